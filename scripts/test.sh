#!/usr/bin/env bash
# Sets Nudgeon up and runs every test. Tests that need a display start their own X server.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
ctest --test-dir build --output-on-failure -j2
