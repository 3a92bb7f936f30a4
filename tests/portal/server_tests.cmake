# The portal web server, in process on a free loopback port, and its program's commands.
hwatable_test(portal_server_tests portal/server_test.cpp portal/fair_deal_test.cpp)
target_link_libraries(portal_server_tests PRIVATE hwatable_portal_server hwatable_fair_deal
  hwatable_replay)
target_compile_definitions(portal_server_tests PRIVATE
  HWATABLE_PORTAL_PROGRAM="$<TARGET_FILE:hwatable-portal>")
add_dependencies(portal_server_tests hwatable-portal)
