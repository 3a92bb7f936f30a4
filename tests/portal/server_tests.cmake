# The portal web server, in process on a free loopback port, and its program's commands.
hwatable_test(portal_server_tests portal/server_test.cpp portal/fair_deal_test.cpp
  portal/hostile_test.cpp portal/log_file_test.cpp
  PROPERTIES FIXTURES_REQUIRED postgres
             ENVIRONMENT HWATABLE_TEST_POSTGRES=${HWATABLE_TEST_POSTGRES_DIR})
target_link_libraries(portal_server_tests PRIVATE hwatable_portal_server hwatable_fair_deal
  hwatable_replay hwatable_updater hwatable_digest PkgConfig::HTTPLIB)
target_compile_definitions(portal_server_tests PRIVATE
  HWATABLE_PORTAL_PROGRAM="$<TARGET_FILE:hwatable-portal>"
  HWATABLE_TEST_POSTGRES_SCRIPT="${HWATABLE_TEST_POSTGRES_SCRIPT}")
add_dependencies(portal_server_tests hwatable-portal)

# Game names: their checks and look keys, and the store keeping one member per look.
hwatable_test(portal_name_tests portal/member_names_test.cpp)
target_link_libraries(portal_name_tests PRIVATE hwatable_portal_server)

# The game's headless table and the portal together over loopback, with lost posts, lost
# replies and a portal that is down.
hwatable_test(portal_fault_tests portal/faults_test.cpp)
target_link_libraries(portal_fault_tests PRIVATE hwatable_portal_server hwatable_replay
                      PkgConfig::HTTPLIB)

# A thousand hands the portal deals and settles, each checked against the simulator's own
# settlement of it.
add_test(NAME Portal.AThousandHandsSettleAsTheSimulatorPlayedThem
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/portal/hands_through_the_portal.sh
          $<TARGET_FILE:hwatable-portal> $<TARGET_FILE:hwatable-sim> 1000)
set_tests_properties(Portal.AThousandHandsSettleAsTheSimulatorPlayedThem PROPERTIES TIMEOUT 900)
# A few hands against the search player, which the portal settles against it too (each
# hand costs seconds in a debug build, at both ends).
add_test(NAME Portal.HandsAgainstTheSearchPlayerSettleAsTheSimulatorPlayedThem
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/portal/hands_through_the_portal.sh
          $<TARGET_FILE:hwatable-portal> $<TARGET_FILE:hwatable-sim> 4 --opponent search)
set_tests_properties(Portal.HandsAgainstTheSearchPlayerSettleAsTheSimulatorPlayedThem
  PROPERTIES TIMEOUT 300)

# Two portal processes on one PostgreSQL database behind nginx, as the README sets them up;
# one is killed while hands are played, and none may be lost.
add_test(NAME Portal.TwoPortalsBehindNginxLoseNoHandWhenOneIsKilled
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/portal/two_portals_behind_nginx.sh
          $<TARGET_FILE:hwatable-portal> $<TARGET_FILE:hwatable-sim> 1500)
set_tests_properties(Portal.TwoPortalsBehindNginxLoseNoHandWhenOneIsKilled PROPERTIES TIMEOUT 600)
