# The installer, built from stand-in programs by packaging/build_installer.cmake and run
# in a scratch HOME: a fresh install, updates over an installed game, failures that must
# leave the game as it was, and the command line.
foreach(case IN ITEMS fresh update failure options)
  add_test(NAME Installer.${case}
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/packaging/installer_test.sh ${case}
            ${CMAKE_COMMAND} ${PROJECT_SOURCE_DIR}/packaging)
  set_tests_properties(Installer.${case} PROPERTIES LABELS packaging TIMEOUT 60)
endforeach()
