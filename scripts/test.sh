#!/usr/bin/env bash
# Sets up, builds and runs every test: natively, under AddressSanitizer+UBSan, the
# threaded engine tests under ThreadSanitizer, and the Windows build under Wine
# (with Xvfb for the window tests).
#   scripts/test.sh            all of it
#   scripts/test.sh native     only some presets (native asan tsan windows)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh

presets=("$@")
((${#presets[@]})) || presets=(native asan tsan windows)
jobs=$(nproc)

xvfb_pid=
cleanup() {
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  [[ -n ${WINEPREFIX:-} ]] && wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

for preset in "${presets[@]}"; do
  echo "=== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "=== $preset: test"
  case $preset in
    tsan)
      # Only the threaded parts: the others gain nothing from it and take long.
      TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
        ctest --preset tsan -L '^(engine|cli)$' ;;
    asan)
      ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1" ctest --preset asan ;;
    windows)
      export WINEPREFIX=$PWD/build/wineprefix WINEDEBUG=-all
      scripts/wine-prefix.sh
      if [[ -z ${DISPLAY:-} ]]; then
        display=:$((90 + RANDOM % 100))
        Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        export DISPLAY=$display
        for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
      fi
      wineserver -p || true  # keep one wineserver alive (one may run already)
      # Boot the session's services and desktop now, with no output attached: the
      # first Wine process starts them and they inherit its standard streams, so
      # ctest would otherwise wait on a test whose pipes they hold open.
      scripts/wine-run.sh cmd /c exit </dev/null >/dev/null 2>&1 || true
      ctest --preset windows ;;
    *)
      ctest --preset "$preset" ;;
  esac
done
echo "=== all tests passed: ${presets[*]}"
