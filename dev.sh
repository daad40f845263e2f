#!/usr/bin/env bash
# Sets up a Debian 12 machine for Zelvon, builds it and either starts the
# game (./dev.sh run) or runs every test headless (./dev.sh test), a second
# time built with AddressSanitizer and UBSan.
# Safe to run again: it installs only what is missing and rebuilds only what
# changed.
set -euo pipefail
cd "$(dirname "$0")"

# Build and run dependencies, one Debian package each.
packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev    # windows, widgets, settings store
  fonts-dejavu-core fonts-liberation2           # text in windows and generated pictures
  qt6-multimedia-dev                            # sound effects
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n  # English translation: Qt Linguist, Qt's own texts
  libfluidsynth-dev timgm6mb-soundfont          # MIDI music and its General MIDI soundfont
  libjpeg-dev                                   # the about box's logo
  libbenchmark-dev                              # bench/
  python3 xvfb xdotool x11-utils imagemagick    # the end-to-end test in a private X server
  desktop-file-utils appstream                  # validating the desktop entry and the AppStream file
  dpkg-dev                                      # cpack's Debian package (dpkg-shlibdeps)
)

install_missing() {
  local missing=()
  for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
  local dir=$1; shift
  local options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELVON_WERROR=ON "$@")
  local configure=0 option name
  [ -f "$dir/CMakeCache.txt" ] || configure=1
  # A folder configured otherwise (say, without the sanitizers) is set right.
  for option in "${options[@]}"; do
    name=${option#-D}
    [ $configure -eq 1 ] || grep -qx "${name%%=*}:[A-Z]*=${name#*=}" "$dir/CMakeCache.txt" || configure=1
  done
  [ $configure -eq 0 ] || cmake -S . -B "$dir" "${options[@]}"
  cmake --build "$dir" --parallel "$(nproc)"
}

case "${1:-}" in
  run)
    install_missing
    build build
    exec build/bin/zelvon
    ;;
  test)
    install_missing
    build build
    export QT_QPA_PLATFORM=offscreen
    ctest --test-dir build --output-on-failure --parallel "$(nproc)"
    # The whole suite again under AddressSanitizer and UBSan; any report
    # fails its test. The benchmarks are left out of this build.
    build build-asan -DZELVON_SANITIZE=ON -DZELVON_BENCHMARKS=OFF
    export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:print_stacktrace=1
    export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
    ctest --test-dir build-asan --output-on-failure --parallel "$(nproc)"
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
