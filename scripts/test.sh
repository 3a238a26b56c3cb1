#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
# Usage: scripts/test.sh [build-dir] [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
dir=${1:-build}
shift || true
scripts/build.sh "$dir" -DSORABI_BUILD_TESTS=ON "$@"
cd "$dir"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
