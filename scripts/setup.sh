#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run Kelvaro.
# Idempotent: packages already present are not fetched again.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config                  # native build
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools  # Windows build
  googletest libbenchmark-dev                        # tests and benchmarks
  libcurl4-openssl-dev                               # the Linux HTTP client
  wine wine64 xvfb xauth x11-utils xdotool           # running and testing the .exe
  fonts-wqy-microhei fonts-wine imagemagick          # Chinese and frames under Wine, screenshots
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
fi
