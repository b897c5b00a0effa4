#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
# The tree stays as clang-format makes it.
bash scripts/check_format.sh
bash scripts/build.sh
# The fuzz targets run for a bounded time each, under the sanitizers.
if [ -f scripts/fuzz.sh ]; then
  bash scripts/fuzz.sh
fi
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --parallel "$(nproc)" --timeout 600
