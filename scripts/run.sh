#!/usr/bin/env bash
# Installs the dependencies, builds the game and starts it on the default data folder.
#
#   bash scripts/run.sh            on a desktop (needs a display)
#   bash scripts/run.sh --xvfb     on a private, invisible X server (Xvfb); also PLATFORMER_XVFB=1
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

usage() {
  echo "usage: bash scripts/run.sh [--xvfb]"
  echo "  --xvfb  run the game on an invisible X server (Xvfb), for machines without a display;"
  echo "          the same as PLATFORMER_XVFB=1"
}

use_xvfb="${PLATFORMER_XVFB:-0}"
for arg in "$@"; do
  case "$arg" in
    --xvfb) use_xvfb=1 ;;
    -h | --help) usage; exit 0 ;;
    *) echo "run.sh: unknown option '$arg'" >&2; usage >&2; exit 2 ;;
  esac
done

# Checked before the long install and build: the game cannot start without a display.
if [ "$use_xvfb" != 1 ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<'EOF'
No display found (DISPLAY is not set): the game opens an 800 x 600 OpenGL window.
Run it on a desktop, or under Xvfb, an invisible X server (the game then plays unseen; take
screenshots with ImageMagick's "import -window root shot.png" on the display it prints):
    bash scripts/run.sh --xvfb
EOF
  exit 1
fi

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja
cmake --build "$root/build" --target platformer
cd "$root/data"

if [ "$use_xvfb" != 1 ]; then
  exec "$root/build/platformer"
fi

# A private X server on the first free display number, stopped when the game ends.
display_file="$(mktemp)"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true; rm -f "$display_file"' EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
if [ ! -s "$display_file" ]; then
  echo "run.sh: Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$display_file")"
echo "Running the game under Xvfb on display $DISPLAY (invisible)." >&2
"$root/build/platformer"
