# The Korean font, the scroll bar control and the message log.
target_sources(hwatable_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/fonts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/message_log.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scroll_bar.cpp
)
