#!/usr/bin/env bash
# Installs the dependencies, builds the game and starts it on the default data folder.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja
cmake --build "$root/build" --target platformer
cd "$root/data"
exec "$root/build/platformer"
