#!/usr/bin/env bash
# Installs the Debian 12 packages that hwatable needs to build, run and test.
# Safe to run again: packages already there are left as they are.
set -euo pipefail

packages=(
  # building
  build-essential cmake ninja-build pkg-config
  # the game and its window, pictures, sound and Korean text
  libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev libsdl2-ttf-dev libfontconfig-dev fonts-nanum
  # the portal, its client and the updater
  libcurl4-openssl-dev libcpp-httplib-dev nlohmann-json3-dev libsqlite3-dev libsqlitecpp-dev
  libsodium-dev
  # the simulator's records, written as they are read (a streaming JSON writer)
  rapidjson-dev
  # the portal's checks of game names (normalisation, scripts, look-alikes)
  libicu-dev
  # the portal's HTTP server (Boost.Beast and Asio, header-only) and its PostgreSQL store
  libboost-dev libpqxx-dev
  # opening the portal's pages in the desktop's browser
  xdg-utils
  # tests: GoogleTest, GMP as the money oracle, clang for the fuzzers, the format check,
  # a virtual X server for screenshots, and xdotool and xwininfo to drive windows end to end
  libgtest-dev libgmock-dev libgmp-dev clang libclang-rt-14-dev clang-format xvfb xauth xdotool x11-utils
  # tests: a PostgreSQL server of their own, and nginx in front of two portals
  postgresql nginx-light
  # the installer's checks of its desktop entry
  libglib2.0-bin desktop-file-utils
  # the generators of the pictures and sounds (the test run checks the committed ones)
  python3 imagemagick librsvg2-bin sox espeak-ng
)

as_root=()
if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi

"${as_root[@]}" apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y --no-install-recommends "${packages[@]}"
