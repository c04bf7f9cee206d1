#!/usr/bin/env bash
# Sets up, builds and runs every test (unit tests and the end-to-end tests under
# Xvfb), then each unit-test binary once more as one process in shuffled order.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
ctest --test-dir build --output-on-failure -j4
scripts/shuffle-tests.sh build
