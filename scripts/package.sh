#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the Debian package from build/ and tests it as installed: lintian, the AppStream
# metadata, an install with apt-get, the installed program used by a fresh user, and a purge
# that leaves nothing of the package behind. Runs the test as root (through sudo for a user);
# run after scripts/setup.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo bash tests/e2e/package.sh build /usr/bin/python3
