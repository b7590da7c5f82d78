#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Nudgeon and its tests with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan/ and runs every test except the end-to-end and install ones. Any memory error,
# undefined behaviour or leak fails the run. No leak is suppressed: Qt with the offscreen
# platform leaves none at exit.
#
# Usage: scripts/sanitize.sh
# Needs what scripts/setup.sh installs; installs nothing itself.
set -euo pipefail
cd "$(dirname "$0")/.."

flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
link="-fsanitize=address,undefined"

# Also for the build: the test programs are run at build time to list their tests.
export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"

start=$(date +%s)
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNUDGEON_BUILD_BENCH=OFF \
    -DCMAKE_CXX_COMPILER=g++ -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="$link" -DCMAKE_SHARED_LINKER_FLAGS="$link" >/dev/null
cmake --build build-asan -j2
built=$(date +%s)

rc=0
ctest --test-dir build-asan --output-on-failure -j2 -LE 'e2e|install' || rc=$?
end=$(date +%s)

echo "==== sanitizers: build $((built - start))s, tests $((end - built))s, ctest exit $rc"
exit "$rc"
