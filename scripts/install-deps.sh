#!/usr/bin/env bash
# Installs every Debian package the project builds, tests and benchmarks with.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev libglew-dev libglm-dev libbox2d-dev libx11-dev
  rapidjson-dev picojson-dev libimgui-dev libstb-dev zlib1g-dev
  # Text: FreeType rasterises fonts; the bundled DejaVu Sans comes from fonts-dejavu-core.
  libfreetype-dev fonts-dejavu-core
  # Tiled maps: XML maps and tilesets (pugixml), zstd-compressed tile layers.
  libpugixml-dev libzstd-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick libgl1-mesa-dri
  # Sanitizer and fuzzing builds: clang with its runtimes (libFuzzer, ASan, UBSan) and
  # llvm-symbolizer for readable reports; g++'s sanitizer runtimes come with g++ itself.
  clang libclang-rt-dev llvm
  # The engine reference (cmake --build build --target docs) and its check.
  doxygen
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "All packages already installed."
  exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
