#!/usr/bin/env bash
# Installs what is missing, builds the two programs (not the tests) and starts dravelin with a
# seznam.db beside it. Arguments go to dravelin (./run.sh cenovky.LPF).
set -euo pipefail
DRAVELIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tools/deps.sh
source "$DRAVELIN_ROOT/tools/deps.sh"
dravelin_install "${DRAVELIN_BUILD_PACKAGES[@]}"
BUILD=${DRAVELIN_BUILD_DIR:-$DRAVELIN_ROOT/build}
dravelin_build_programs "$BUILD"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$BUILD/src/dravelin" "$@"
fi
echo "dravelin: no display found; running under xvfb-run until Ctrl+C" >&2
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$BUILD/src/dravelin" "$@"
