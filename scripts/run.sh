#!/usr/bin/env bash
# Starts the tool with a simulated drive attached, no hardware needed: ./scripts/run.sh
# The simulated drive registers itself as COM1 for this user while it runs, so the connect
# button finds it; it unregisters when the tool is closed.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: start this from a desktop session (or set QT_QPA_PLATFORM)." >&2
  exit 1
fi

"$build/bin/kinetra-drive-sim" --com "${KINETRA_SIM_COM:-1}" &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
"$build/bin/kinetra"
