target_sources(hwatable_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/animation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shape.cpp
)
foreach(part IN ITEMS log_and_scroll sound_and_display)
  include(${CMAKE_CURRENT_LIST_DIR}/${part}.cmake OPTIONAL)
endforeach()
