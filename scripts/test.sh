#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
# The tree stays as clang-format makes it.
bash scripts/check_format.sh
# Every include runs down the layers of the tree.
bash scripts/check_layers.sh
bash scripts/build.sh
# The fuzz targets run for a bounded time each, under the sanitizers.
if [ -f scripts/fuzz.sh ]; then
  bash scripts/fuzz.sh
fi
export QT_QPA_PLATFORM=offscreen
# A test that fails is run once more before it counts as failed: the tests that
# record sound or read serial lines through pseudo-terminals depend on timing
# under a full parallel load. Both runs' output stays in the log.
ctest --test-dir build --output-on-failure --parallel "$(nproc)" --timeout 600 --repeat until-pass:2
