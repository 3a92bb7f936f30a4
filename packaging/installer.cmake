# The target "installer" builds ${PROJECT_BINARY_DIR}/hwatable-installer-<HWATABLE_VERSION>:
# a shell script that installs or updates the game for the current user, with the
# programs hwatable, hwatable-portal and updater, the pictures and sounds, the icon and
# the menu entry packed inside (packaging/build_installer.cmake).
#
#   cmake --build <build folder> --target installer
#
# A release build should be packed: other builds carry their debug information (or
# their sanitizers) to the players. The updater is built in updater/; the target is set
# up once the whole tree is read, so this file may be included before updater/ is.

set(HWATABLE_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})

function(hwatable_add_installer_target)
  set(output ${PROJECT_BINARY_DIR}/hwatable-installer-${HWATABLE_VERSION})
  if(NOT TARGET updater OR NOT TARGET hwatable OR NOT TARGET hwatable-portal)
    add_custom_target(installer
      COMMAND ${CMAKE_COMMAND} -E echo
              "The installer needs the programs hwatable, hwatable-portal and updater, and this build does not have them all."
      COMMAND ${CMAKE_COMMAND} -E false
      VERBATIM)
    return()
  endif()

  set(strip)
  if(CMAKE_BUILD_TYPE MATCHES "^(Release|MinSizeRel)$" AND CMAKE_STRIP)
    set(strip -DSTRIP=${CMAKE_STRIP})
  endif()
  file(GLOB_RECURSE assets CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/assets/images/* ${PROJECT_SOURCE_DIR}/assets/sounds/*)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND}
            -DVERSION=${HWATABLE_VERSION}
            -DOUTPUT=${output}
            -DSTAGE=${PROJECT_BINARY_DIR}/packaging/stage
            -DHWATABLE=$<TARGET_FILE:hwatable>
            -DPORTAL=$<TARGET_FILE:hwatable-portal>
            -DUPDATER=$<TARGET_FILE:updater>
            -DIMAGES=${PROJECT_SOURCE_DIR}/assets/images
            -DSOUNDS=${PROJECT_SOURCE_DIR}/assets/sounds
            ${strip}
            -P ${HWATABLE_PACKAGING_DIR}/build_installer.cmake
    DEPENDS hwatable hwatable-portal updater ${assets}
            ${HWATABLE_PACKAGING_DIR}/build_installer.cmake
            ${HWATABLE_PACKAGING_DIR}/installer.sh.in
            ${HWATABLE_PACKAGING_DIR}/hwatable.svg
            ${HWATABLE_PACKAGING_DIR}/hwatable.desktop.in
    COMMENT "Packing hwatable-installer-${HWATABLE_VERSION}"
    VERBATIM)
  add_custom_target(installer DEPENDS ${output})
endfunction()

cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL hwatable_add_installer_target)
