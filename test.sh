#!/usr/bin/env bash
# Installs what is missing, builds dravelin and runs every test through CTest, the end-to-end
# printing tests against a real CUPS queue included.
set -euo pipefail
DRAVELIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tools/deps.sh
source "$DRAVELIN_ROOT/tools/deps.sh"
dravelin_install "${DRAVELIN_BUILD_PACKAGES[@]}" "${DRAVELIN_TEST_PACKAGES[@]}"
# Every C++ file stays in the committed clang-format layout; a stray one fails the run at once.
"$DRAVELIN_ROOT/tools/check-format.sh"
BUILD=${DRAVELIN_BUILD_DIR:-$DRAVELIN_ROOT/build}
dravelin_build "$BUILD"
if [ -x "$DRAVELIN_ROOT/tools/test-setup.sh" ]; then
    "$DRAVELIN_ROOT/tools/test-setup.sh" "$BUILD"
fi

# The shared print-list tests need a real PostgreSQL server: a private cluster on a Unix socket,
# named by the build directory, removed again however the run ends.
PGCLUSTER="$DRAVELIN_ROOT/tools/pgcluster.sh"
UBSAN_BUILD=${DRAVELIN_UBSAN_BUILD_DIR:-$DRAVELIN_ROOT/build-ubsan}
stop_pg() {
    "$PGCLUSTER" remove "$BUILD" || true
    # The servers that tests restart, one per test program and build folder.
    for b in "$BUILD" "$UBSAN_BUILD"; do
        for name in pg-restart pg-restart-ui; do
            "$PGCLUSTER" remove "$b" "$name" 2>/dev/null || true
        done
    done
}
trap stop_pg EXIT
if ! DRAVELIN_PG_CONNINFO=$("$PGCLUSTER" start "$BUILD"); then
    echo "test.sh: the PostgreSQL test server did not start (see above); the run cannot go on" >&2
    exit 1
fi
export DRAVELIN_PG_CONNINFO
(cd "$BUILD" && ctest --output-on-failure -j 2)

# The whole label-printing test program under AddressSanitizer: closing the preview while its
# layout run goes on, a full temporary folder, a window left pointing at a released page store
# would all show here.
ASAN_BUILD=${DRAVELIN_ASAN_BUILD_DIR:-$DRAVELIN_ROOT/build-asan}
cmake -S "$DRAVELIN_ROOT" -B "$ASAN_BUILD" -DCMAKE_BUILD_TYPE=Debug -DDRAVELIN_SANITIZE=address >/dev/null
cmake --build "$ASAN_BUILD" -j "$(nproc)" --target test_labelprint
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 QT_QPA_PLATFORM=offscreen \
    "$ASAN_BUILD/tests/test_labelprint"

# The whole settings, label-printing and window test programs under UndefinedBehaviorSanitizer:
# extreme values from files must give defined arithmetic, and the window's commands, "tisk"
# with its preview and the shared list on the test server among them, must run clean; the first
# report fails the run.
cmake -S "$DRAVELIN_ROOT" -B "$UBSAN_BUILD" -DCMAKE_BUILD_TYPE=Debug -DDRAVELIN_SANITIZE=undefined >/dev/null
cmake --build "$UBSAN_BUILD" -j "$(nproc)" --target test_settings test_labelprint test_ui
for program in test_settings test_labelprint test_ui; do
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 QT_QPA_PLATFORM=offscreen \
        "$UBSAN_BUILD/tests/$program"
done

# Each fuzz target of the page player and the prepared-pages reader for 30 s, when clang is
# there: a crash or a sanitizer report fails the run.
if command -v clang++-14 >/dev/null 2>&1; then
    "$DRAVELIN_ROOT/tools/fuzz.sh" 30 "${DRAVELIN_FUZZ_BUILD_DIR:-$DRAVELIN_ROOT/build-fuzz}"
fi
