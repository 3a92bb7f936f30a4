#pragma once
// Fresh PostgreSQL databases for tests, on the tests' own server: the one the test run
// started (HWATABLE_TEST_POSTGRES names its folder, which holds its address in "uri"), or
// else one started for this test program alone and stopped at its end, by the script
// HWATABLE_TEST_POSTGRES_SCRIPT.

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include "portal/server/sql.h"

namespace hw::testing {

class TestPostgres {
 public:
  static TestPostgres& Shared() {
    static TestPostgres server;
    return server;
  }

  // The address of a new, empty database.
  std::string FreshDatabase() {
    static std::atomic<int> counter{0};
    const std::string name = "test_" + std::to_string(getpid()) + "_" + std::to_string(counter++);
    {
      auto admin = portal::sql::Database::Open(admin_, 1);
      admin->Borrow()->Script("DROP DATABASE IF EXISTS " + name);
      admin->Borrow()->Script("CREATE DATABASE " + name);
    }
    return admin_.substr(0, admin_.rfind('/') + 1) + name;
  }

 private:
  TestPostgres() {
    if (const char* run = std::getenv("HWATABLE_TEST_POSTGRES")) {
      std::ifstream uri(std::string(run) + "/uri");
      std::getline(uri, admin_);
      if (admin_.empty()) throw std::runtime_error(std::string("no PostgreSQL in ") + run);
      return;
    }
    own_ = "/tmp/hwatable-test-postgres-" + std::to_string(getpid());
    Script("start");
    std::ifstream uri(own_ + "/uri");
    std::getline(uri, admin_);
    if (admin_.empty()) throw std::runtime_error("the tests' PostgreSQL did not start");
  }
  ~TestPostgres() {
    if (!own_.empty()) Script("stop");
  }
  void Script(const char* command) const {
    const std::string line =
        std::string(HWATABLE_TEST_POSTGRES_SCRIPT) + " " + command + " " + own_ + " >/dev/null";
    if (std::system(line.c_str()) != 0) {
      throw std::runtime_error(std::string("tests' PostgreSQL: ") + command + " failed");
    }
  }

  std::string admin_;  // the address of its "postgres" database
  std::string own_;    // the folder of a server of this program's own
};

}  // namespace hw::testing
