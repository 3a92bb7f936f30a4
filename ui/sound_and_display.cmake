# The sound player, the display modes, the program's own message boxes and the desktop's
# default programs.
target_sources(hwatable_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/game_sound.cpp
  ${CMAKE_CURRENT_LIST_DIR}/display_modes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/message_box.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program_desktop.cpp
)
