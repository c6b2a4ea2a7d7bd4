#!/usr/bin/env bash
# Installs what is missing, builds the release program and starts it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash tools/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DTAMSEL_BUILD_TESTS=OFF -DTAMSEL_BUILD_BENCH=OFF >/dev/null
cmake --build build/release --target tamsel

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "No display found: set DISPLAY (for example run under xvfb-run) to see the window." >&2
fi
exec build/release/app/tamsel "$@"
