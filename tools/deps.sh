#!/usr/bin/env bash
# Installs the Debian packages dravelin needs to build, run and test. Sourced by run.sh and
# test.sh; works as root or through sudo, on a machine whose package lists may still be empty.

# nodejs/npm fetch the barcode font that ships with the program; qt6-translations-l10n holds
# the Czech texts of Qt's own dialogs.
# libzint-dev encodes the native barcodes.
# libquazip1-qt6-dev unpacks the XLSX and ODS price lists; python3-openpyxl and python3-odf make
# the test workbooks.
# glabels-data installs the label template files the sheet catalogue reads; a test reads them.
DRAVELIN_BUILD_PACKAGES=(g++ cmake make pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
  libxkbcommon-dev libsqlite3-dev libpq-dev libcups2-dev libzint-dev libquazip1-qt6-dev sqlite3 libgtest-dev googletest libbenchmark-dev
  fontconfig fonts-dejavu-core fonts-liberation xvfb xauth nodejs qt6-translations-l10n)
DRAVELIN_TEST_PACKAGES=(postgresql cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils zbar-tools
  xdotool imagemagick x11-apps openbox appstream desktop-file-utils shared-mime-info man-db
  emf2svg clang libclang-rt-14-dev clang-format-14 glabels-data python3-openpyxl python3-odf)
# Some nodejs builds carry npm inside and conflict with Debian's npm package.
command -v npm >/dev/null 2>&1 || DRAVELIN_BUILD_PACKAGES+=(npm)

dravelin_missing_packages() {
    local p missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    echo "${missing[@]}"
}

dravelin_install() {
    local missing
    missing=$(dravelin_missing_packages "$@")
    [ -z "$missing" ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo=(sudo)
        else
            echo "dravelin: these packages are missing and I am not root: $missing" >&2
            return 1
        fi
    fi
    echo "dravelin: installing $missing" >&2
    export DEBIAN_FRONTEND=noninteractive
    # shellcheck disable=SC2086
    if ! "${sudo[@]}" apt-get install -y --no-install-recommends $missing; then
        "${sudo[@]}" apt-get update && "${sudo[@]}" apt-get install -y --no-install-recommends $missing
    fi
}

# Everything: the programs, the tests and the benchmarks (test.sh).
dravelin_build() {
    local build_dir=$1
    cmake -S "$DRAVELIN_ROOT" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DDRAVELIN_BUILD_TESTS=ON >/dev/null &&
        cmake --build "$build_dir" -j "$(nproc)"
}

# The two programs only (run.sh): a new build folder is set up for Release without tests; one
# that exists keeps its set-up, so switching between run.sh and test.sh rebuilds nothing twice.
dravelin_build_programs() {
    local build_dir=$1
    if [ -f "$build_dir/CMakeCache.txt" ]; then
        cmake -S "$DRAVELIN_ROOT" -B "$build_dir" >/dev/null || return
    else
        cmake -S "$DRAVELIN_ROOT" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release \
            -DDRAVELIN_BUILD_TESTS=OFF >/dev/null || return
    fi
    cmake --build "$build_dir" -j "$(nproc)" --target dravelin dravelin-batch
}
