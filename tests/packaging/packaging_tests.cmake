# The installer, built from stand-in programs by packaging/build_installer.cmake and run
# in a scratch HOME: a fresh install, updates over an installed game, failures that must
# leave the game as it was, the command line, and the settings it records, compared with
# what the game's settings store writes (settings_tool).
add_executable(settings_tool packaging/settings_tool.cpp)
target_link_libraries(settings_tool PRIVATE hwatable_platform_posix)
foreach(case IN ITEMS fresh update failure options settings)
  add_test(NAME Installer.${case}
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/packaging/installer_test.sh ${case}
            ${CMAKE_COMMAND} ${PROJECT_SOURCE_DIR}/packaging $<TARGET_FILE:settings_tool>)
  set_tests_properties(Installer.${case} PROPERTIES LABELS packaging TIMEOUT 60)
endforeach()
