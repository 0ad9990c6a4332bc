#!/usr/bin/env bash
# Creates the project's Wine prefix once: a 64-bit prefix whose default GUI fonts map
# to WenQuanYi Micro Hei so that Chinese renders, and whose windows are not left to a
# window manager (without one, Wine waits 2 s for every closed window). Safe to call
# from parallel tests.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX=${WINEPREFIX:-${KELVARO_WINEPREFIX:-$here/../build/wineprefix}}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
[[ -f $WINEPREFIX/.kelvaro-ready-3 ]] && exit 0
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
[[ -f $WINEPREFIX/.kelvaro-ready-3 ]] && exit 0
WINEARCH=win64 wineboot -i >/dev/null 2>&1 || true
reg=$(mktemp --suffix=.reg)
{
  printf '\xff\xfe'
  sed 's/$/\r/' <<'REG' | iconv -f UTF-8 -t UTF-16LE
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Tahoma"="WenQuanYi Micro Hei"
"MS Shell Dlg"="WenQuanYi Micro Hei"
"MS Shell Dlg 2"="WenQuanYi Micro Hei"
"Microsoft Sans Serif"="WenQuanYi Micro Hei"
"SimSun"="WenQuanYi Micro Hei"
"宋体"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
REG
} >"$reg"
wine regedit "$reg" >/dev/null 2>&1 || true
# Debian's Wine looks for its own fonts beside its DLLs, where fonts-wine does not put
# them; without Marlett the title bar's buttons draw as letters.
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
rm -f "$reg"
wineserver -w || true
touch "$WINEPREFIX/.kelvaro-ready-3"
