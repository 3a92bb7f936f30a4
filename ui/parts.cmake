target_sources(hwatable_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/animation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/board_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dialog_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/effect_control.cpp
  ${CMAKE_CURRENT_LIST_DIR}/game_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/login_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/options_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdl_util.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shape.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin_fallbacks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../platform/sdl/sdl_event_loop.cpp
)
foreach(part IN ITEMS log_and_scroll sound_and_display)
  include(${CMAKE_CURRENT_LIST_DIR}/${part}.cmake OPTIONAL)
endforeach()
