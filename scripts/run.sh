#!/usr/bin/env bash
# Installs what is needed, builds the two programs (the tests, fuzz targets and
# benchmarks are built by scripts/test.sh), and starts ZEBLON (or TALMOR:
# scripts/run.sh talmor) from its own program folder, build/program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh --programs
prog=ZEBLON
[ "${1:-}" = "talmor" ] && prog=TALMOR
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting $prog under Xvfb" >&2
  exec xvfb-run -a -s '-screen 0 1280x1024x24' env QT_QPA_PLATFORM=xcb "build/program/$prog"
fi
exec "build/program/$prog"
