#!/usr/bin/env bash
# Installs what is missing, builds dravelin and runs every test through CTest, the end-to-end
# printing tests against a real CUPS queue included.
set -euo pipefail
DRAVELIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tools/deps.sh
source "$DRAVELIN_ROOT/tools/deps.sh"
dravelin_install "${DRAVELIN_BUILD_PACKAGES[@]}" "${DRAVELIN_TEST_PACKAGES[@]}"
BUILD=${DRAVELIN_BUILD_DIR:-$DRAVELIN_ROOT/build}
dravelin_build "$BUILD"
if [ -x "$DRAVELIN_ROOT/tools/test-setup.sh" ]; then
    "$DRAVELIN_ROOT/tools/test-setup.sh" "$BUILD"
fi
cd "$BUILD"
ctest --output-on-failure -j 2
