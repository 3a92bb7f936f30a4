// The entry point of every test program: each runs with a home of its own (so no test
// touches the settings or data of whoever runs it) and with SDL's dummy video and audio
// drivers (no display, no sound card needed).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

int main(int argc, char** argv) {
  std::filesystem::create_directories(HWATABLE_TEST_HOME);
  setenv("HOME", HWATABLE_TEST_HOME, 1);
  for (const char* variable :
       {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
    unsetenv(variable);
  }
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
