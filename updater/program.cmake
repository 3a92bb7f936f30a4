# The updater program: the start-up, the update window and the notice drawn with SDL. It
# is built beside the game (build/<preset>/app/), as it is installed. The tests build it
# a second time as the next version.
add_library(hwatable_updater_ui STATIC sdl_alert_window.cpp sdl_small_window.cpp
                                       sdl_update_window.cpp)
target_link_libraries(hwatable_updater_ui PUBLIC hwatable_updater hwatable_widgets)

function(hwatable_updater_program name)
  add_executable(${name} ${PROJECT_SOURCE_DIR}/updater/main.cpp)
  target_link_libraries(${name} PRIVATE hwatable_updater_ui hwatable_http)
endfunction()

hwatable_updater_program(updater)
set_target_properties(updater PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/app)
