#!/usr/bin/env bash
# Installs a build into a throw-away prefix as `make install` does (stripped) and checks what a
# desktop sees: programs without debug data, the shipped font with its licence, a valid menu
# entry that opens prepared-pages files, the MIME type, valid AppStream metainfo and readable
# manual pages.
# Usage: install_test.sh BUILD_DIR VERSION
set -euo pipefail
BUILD=${1:?usage: install_test.sh BUILD_DIR VERSION}
VERSION=${2:?usage: install_test.sh BUILD_DIR VERSION}
PREFIX=$(mktemp -d)
trap 'rm -rf "$PREFIX"' EXIT
failures=0
check() {
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what" >&2
        failures=$((failures + 1))
    fi
}
for tool in readelf desktop-file-validate appstreamcli update-mime-database man; do
    command -v "$tool" >/dev/null || { echo "FAILED: $tool is missing (tools/deps.sh)" >&2; exit 1; }
done

cmake --install "$BUILD" --prefix "$PREFIX" --strip >/dev/null

dir=$PREFIX/lib/dravelin
for program in dravelin dravelin-batch; do
    check "$program installed" test -x "$dir/$program"
    check "$program stripped" bash -c "! readelf -S '$dir/$program' | grep -Eq '\\.(symtab|debug_info)'"
done
check "seznam.db created beside the programs" test -s "$dir/seznam.db"
check "barcode font beside the programs" test -s "$dir/fonts/LibreBarcode39-Regular.woff"
check "its licence beside it" grep -q "SIL Open Font License" "$dir/fonts/LibreBarcode39-OFL.txt"
check "dravelin --version through the command in bin" \
    test "$(env -u DISPLAY -u QT_QPA_PLATFORM "$PREFIX/bin/dravelin" --version)" = "dravelin $VERSION"
check "dravelin-batch --version" \
    test "$("$PREFIX/bin/dravelin-batch" --version)" = "dravelin-batch $VERSION"

desktop=$PREFIX/share/applications/dravelin.desktop
check "desktop entry valid" desktop-file-validate "$desktop"
check "desktop entry opens prepared pages" grep -qx "MimeType=application/x-dravelin-pages;" "$desktop"
check "desktop entry passes the file" grep -qx "Exec=$PREFIX/bin/dravelin %f" "$desktop"

check "MIME package installed" test -s "$PREFIX/share/mime/packages/dravelin.xml"
check "MIME database knows *.lpf" grep -q "application/x-dravelin-pages:\\*\\.lpf" "$PREFIX/share/mime/globs2"
check "MIME magic of prepared pages" test -s "$PREFIX/share/mime/application/x-dravelin-pages.xml"

metainfo=$PREFIX/share/metainfo/cz.dravelin.Dravelin.metainfo.xml
check "metainfo valid" appstreamcli validate --no-net "$metainfo"
check "metainfo carries the version" grep -q "<release version=\"$VERSION\"" "$metainfo"

for page in dravelin dravelin-batch; do
    file=$PREFIX/share/man/man1/$page.1
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null || echo "man failed")
    check "man page $page renders without warnings" test -z "$out"
    check "man page $page names itself" bash -c "LC_ALL=C.UTF-8 man -l '$file' 2>/dev/null | grep -q '^NAME'"
done

# Every option that dravelin-batch --help offers is described in its manual page.
batch_page=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$PREFIX/share/man/man1/dravelin-batch.1" 2>/dev/null)
for option in $("$PREFIX/bin/dravelin-batch" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    check "man page dravelin-batch describes $option" grep -q -- "^ *$option\\b" <<<"$batch_page"
done

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all install checks passed"
