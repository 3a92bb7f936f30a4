# The sound player, the display modes and the desktop's message boxes and default programs.
target_sources(hwatable_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/game_sound.cpp
  ${CMAKE_CURRENT_LIST_DIR}/display_modes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../platform/sdl/sdl_desktop.cpp
)
