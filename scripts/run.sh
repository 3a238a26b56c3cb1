#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on the bundled sample deck.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
scripts/build.sh build -DSORABI_BUILD_TESTS=OFF
cd build
exec ./sorabi sample.sb
