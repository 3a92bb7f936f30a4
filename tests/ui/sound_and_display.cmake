target_sources(ui_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/sound_and_display_test.cpp)
