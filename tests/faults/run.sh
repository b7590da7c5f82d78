#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the fault tests on a small file system of their own: as root in a mount namespace of its
# own, otherwise in a user namespace where the caller may mount. Nothing outside is touched.
#
# Usage: run.sh <fault test program>
set -euo pipefail

program=$(readlink -f "$1")
mount_point=$(mktemp -d "${TMPDIR:-/tmp}/nudgeon-faults.XXXXXX")
trap 'rmdir "$mount_point" 2>/dev/null || true' EXIT

if [ "$(id -u)" -eq 0 ]; then
    namespace=(unshare --mount --propagation private)
else
    namespace=(unshare --map-root-user --mount --propagation private)
fi

"${namespace[@]}" bash -c '
    set -e
    mount -t tmpfs -o size=256k,mode=0777 nudgeon-faults "$1"
    NUDGEON_FAULT_DIR="$1" QT_QPA_PLATFORM=offscreen "$2"
' run "$mount_point" "$program"
