# The HTTP client against a server of cpp-httplib on the loopback interface.
pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)

hwatable_test(http_tests
  platform/http_client_test.cpp
)
target_link_libraries(http_tests PRIVATE hwatable_http PkgConfig::HTTPLIB)
