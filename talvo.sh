#!/usr/bin/env bash
# Talvo: set up a Debian 12 machine, build, and either start the app or run every test.
#
#   ./talvo.sh run     install missing packages, build Release, start Talvo
#   ./talvo.sh test    install missing packages, build and run all tests
#                      (a GCC build, and an AddressSanitizer/UBSan build with Clang), build the
#                      benchmarks
#   ./talvo.sh bench   build Release and run the benchmarks
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$here"

packages=(
  build-essential cmake ninja-build pkg-config ccache clang libclang-rt-14-dev
  libgtest-dev libbenchmark-dev libfftw3-dev
  juce-modules-source-data
  libx11-dev libxext-dev libxrandr-dev libxinerama-dev libxcursor-dev
  libfreetype-dev libpng-dev libjpeg-dev zlib1g-dev
  fontconfig-config fonts-dejavu-core
  xvfb xauth xdotool imagemagick xdg-utils x11-utils
)

install_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

jobs() { nproc 2>/dev/null || echo 2; }

export CCACHE_BASEDIR="$here" CCACHE_NOHASHDIR=1 CCACHE_SLOPPINESS=time_macros

configure_build() {  # dir type [extra cmake args...]
  local dir="$1" type="$2"; shift 2
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
  cmake --build "$dir" -j "$(jobs)"
}

run_tests() {  # dir
  (cd "$1" && ctest --output-on-failure -j "$(jobs)")
}

case "${1:-}" in
  run)
    install_packages
    configure_build build/release Release
    exec ./build/release/src/app/Talvo
    ;;
  test)
    install_packages
    configure_build build/debug Debug
    run_tests build/debug
    # The second compiler keeps the code portable; its sanitizer runtime is libclang-rt-14-dev.
    configure_build build/asan-clang Debug -DTALVO_SANITIZE=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 run_tests build/asan-clang
    ;;
  bench)
    install_packages
    configure_build build/release Release
    for b in build/release/bench/bench_*; do [ -x "$b" ] && "$b"; done
    ;;
  *)
    echo "usage: $0 run|test|bench" >&2
    exit 2
    ;;
esac
