# The updater's logic headless: the list and its digest, start-up and toolbox, the process
# table, the running game and the launcher (with a few real processes), the log, and the
# update window on a virtual clock.
hwatable_test(updater_tests
  updater/process_test.cpp
  updater/startup_test.cpp
  updater/update_list_test.cpp
  updater/update_log_test.cpp
  updater/update_window_test.cpp
)
# The list's signatures are checked against libsodium itself.
pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)
target_link_libraries(updater_tests PRIVATE hwatable_updater hwatable_digest PkgConfig::SODIUM)

# The updater's windows under SDL's dummy video driver.
hwatable_test(updater_window_tests updater/sdl_windows_test.cpp)
target_link_libraries(updater_window_tests PRIVATE hwatable_updater_ui)
