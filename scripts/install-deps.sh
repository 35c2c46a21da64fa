#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need,
# when they are missing and this user can (root, or sudo without a password).
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  qt6-base-dev libgl-dev          # Qt 6 Widgets and Qt Test, and the GL headers its CMake files ask for
  libgtest-dev libbenchmark-dev   # core tests, benchmarks
  libcli11-dev                    # the companions' command lines and --help, from one option table
  fonts-dejavu-core               # a font for the offscreen platform the GUI tests run on
  clang libclang-rt-14-dev        # libFuzzer targets
  desktop-file-utils appstream    # validators for the menu entry and the metainfo
  dpkg-dev file                   # make package: dpkg-shlibdeps finds the .deb's dependencies
  clang-format                    # make format
  nlohmann-json3-dev              # orvik-run --json: JSON written by a library, not by hand
  libxml2-utils                   # xmllint: the study tests check that each picture is well-formed XML
  xvfb xdotool x11-xkb-utils      # window tests with real key events, on an X server of their own
  emscripten                      # make web: the browser edition compiled to WebAssembly
  chromium chromium-driver python3-selenium  # the browser edition's tests, in headless Chromium
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
  as_root=(sudo -n)
else
  echo "Missing packages: ${missing[*]}" >&2
  echo "Install them as root: apt-get install ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
