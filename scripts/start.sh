#!/usr/bin/env bash
# Sets Nudgeon up and starts it in the tray.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
exec build/nudgeon "$@"
