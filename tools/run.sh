#!/usr/bin/env bash
# Installs what is needed, builds the game (release) and starts it.
#
# HWATABLE_SKIP_DEPS=1 skips the package installation (for a machine already set up).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${HWATABLE_SKIP_DEPS:-0}" != 1 ]; then tools/install-deps.sh; fi
cmake --preset release
cmake --build --preset release
exec build/release/app/hwatable "$@"
