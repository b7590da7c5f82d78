#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets Nudgeon up and runs every test: the unit and end-to-end tests, then the whole unit
# suite again under AddressSanitizer and UndefinedBehaviorSanitizer, then each fuzz target for
# a bounded time, then the Debian package made, installed, used and purged. Tests that need a
# display start their own X server.
set -euo pipefail
cd "$(dirname "$0")/.."
# Warnings fail the build here, as they do in CI.
NUDGEON_WERROR=ON scripts/setup.sh

failed=()
ctest --test-dir build --output-on-failure -j2 || failed+=("tests")
scripts/sanitize.sh || failed+=("sanitizers")
scripts/fuzz.sh 15 || failed+=("fuzzing")
scripts/package.sh || failed+=("package")

if [ ${#failed[@]} -gt 0 ]; then
    echo "FAILED: ${failed[*]}" >&2
    exit 1
fi
echo "All tests passed."
