# The Korean font, the scroll bar control and the message log.
target_sources(ui_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/log_and_scroll_test.cpp)
