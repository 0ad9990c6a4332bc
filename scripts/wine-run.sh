#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix (build/wineprefix),
# creating that prefix on first use. CMake uses this as the cross-compiling emulator,
# so ctest runs the Windows test programs through it.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX=${KELVARO_WINEPREFIX:-$here/../build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
"$here/wine-prefix.sh"
exec wine "$@"
