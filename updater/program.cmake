# The updater program: the start-up, the update window and the notice drawn with SDL. It
# is built beside the game (build/<preset>/app/), as it is installed. The tests build it
# a second time as the next version.
add_library(hwatable_updater_ui STATIC sdl_alert_window.cpp sdl_small_window.cpp
                                       sdl_update_window.cpp)
target_link_libraries(hwatable_updater_ui PUBLIC hwatable_updater hwatable_widgets)

# The operator's public list key, compiled into the updater (generated/hwatable_list_key.h):
# the updater then takes only lists signed with it. Without one it takes any list.
set(HWATABLE_LIST_KEY "" CACHE STRING
    "The portal's public list key (hwatable-portal keygen): the key, or the full path of list-key.pub")
include(${PROJECT_SOURCE_DIR}/cmake/list_key.cmake)
hwatable_list_key_header("${HWATABLE_LIST_KEY}" ${PROJECT_BINARY_DIR}/generated/hwatable_list_key.h)
if(IS_ABSOLUTE "${HWATABLE_LIST_KEY}" AND EXISTS "${HWATABLE_LIST_KEY}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${HWATABLE_LIST_KEY})
endif()
if(HWATABLE_LIST_KEY STREQUAL "")
  message(STATUS "The updater takes unsigned update lists (HWATABLE_LIST_KEY is not set)")
endif()

function(hwatable_updater_program name)
  add_executable(${name} ${PROJECT_SOURCE_DIR}/updater/main.cpp)
  target_link_libraries(${name} PRIVATE hwatable_updater_ui hwatable_http)
endfunction()

hwatable_updater_program(updater)
set_target_properties(updater PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/app)
