#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets Nudgeon up and starts it in the tray.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
exec build/nudgeon "$@"
