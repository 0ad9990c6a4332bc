#!/usr/bin/env bash
# Sets up, builds and runs Kelvaro.
#   scripts/run.sh            headless demo: starts the local test search service and
#                             harvests from it with kelvaro-cli (no internet needed)
#   scripts/run.sh --window   the desktop program under Wine (Xvfb when no display)
#   scripts/run.sh --cli ARGS kelvaro-cli against the real search service, with ARGS
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh >&2

mode=${1:-demo}
case $mode in
  --window)
    cmake --preset windows >/dev/null
    cmake --build --preset windows -j "$(nproc)" --target kelvaro >&2
    export WINEPREFIX=$PWD/build/wineprefix WINEDEBUG=-all
    scripts/wine-prefix.sh
    if [[ -z ${DISPLAY:-} ]]; then
      echo "no display: running under Xvfb (:77); take a look with 'DISPLAY=:77 import -window root shot.png'" >&2
      Xvfb :77 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      export DISPLAY=:77
      sleep 1
    fi
    exec wine explorer /desktop=kelvaro,1024x768 build/windows/app/win32/kelvaro.exe ;;
  --cli)
    shift
    cmake --preset native >/dev/null
    cmake --build --preset native -j "$(nproc)" --target kelvaro-cli >&2
    exec build/native/cli/kelvaro-cli "$@" ;;
  demo)
    cmake --preset native >/dev/null
    cmake --build --preset native -j "$(nproc)" --target kelvaro-cli kelvaro-search-service >&2
    log=$(mktemp)
    build/native/tests/kelvaro-search-service --port 0 >"$log" &
    service=$!
    trap 'kill $service 2>/dev/null; rm -f "$log"' EXIT
    for _ in $(seq 100); do grep -q listening "$log" && break; sleep 0.05; done
    address=$(grep -o '127.0.0.1:[0-9]*' "$log")
    echo "test search service on $address; harvesting 手机 and java, depth 2:" >&2
    build/native/cli/kelvaro-cli --service "http://$address" --depth 2 --workers 8 手机 java ;;
  *)
    echo "usage: scripts/run.sh [--window | --cli ARGS...]" >&2; exit 2 ;;
esac
