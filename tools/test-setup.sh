#!/usr/bin/env bash
# Prepares the end-to-end printing tests: a running CUPS scheduler with a cups-pdf queue as the
# default printer and a second cups-pdf queue that offers US Letter only (never the default).
# Anything that cannot be set up stops the run with a message; the tests never silently skip.
# (The barcode font they print with is the one the build ships with the program.)
# Usage: tools/test-setup.sh BUILD_DIR
set -euo pipefail

BUILD=${1:?usage: test-setup.sh BUILD_DIR}
mkdir -p "$BUILD"
BUILD=$(cd "$BUILD" && pwd)
QUEUE=${DRAVELIN_E2E_QUEUE:-dravelin-pdf}
LETTER_QUEUE=${DRAVELIN_E2E_LETTER_QUEUE:-dravelin-letter}
OUT_DIR=${DRAVELIN_E2E_OUT:-/var/spool/cups-pdf/dravelin-e2e}
PPD=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
CONF=/etc/cups/cups-pdf.conf

fail() {
    echo "test-setup: FAILED: $*" >&2
    exit 1
}

[ "$(id -u)" -eq 0 ] || fail "must run as root to start the CUPS scheduler"
for tool in /usr/sbin/cupsd lpadmin lpstat lpoptions pdftotext zbarimg; do
    command -v "$tool" >/dev/null 2>&1 || fail "$tool is missing (see tools/deps.sh)"
done
[ -f "$PPD" ] || fail "$PPD is missing (printer-driver-cups-pdf)"
[ -f "$CONF" ] || fail "$CONF is missing (printer-driver-cups-pdf)"

# cups-pdf writes into a fixed directory instead of the job owner's home.
mkdir -p "$OUT_DIR"
chmod 0777 "$OUT_DIR"
if ! grep -qx "Out $OUT_DIR" "$CONF"; then
    sed -i -e '/^Out /d' "$CONF"
    echo "Out $OUT_DIR" >>"$CONF"
fi
grep -q '^UserUMask 0000$' "$CONF" || echo "UserUMask 0000" >>"$CONF"

scheduler_running() { lpstat -r 2>/dev/null | grep -q 'scheduler is running'; }

if ! scheduler_running; then
    mkdir -p /run/cups
    # No systemd here: the scheduler runs in the foreground of its own session. It outlives
    # this script, so it must not keep the caller's files open: a lock the caller holds (such
    # as a build lock taken with flock) would otherwise stay held for as long as cupsd runs.
    (
        for fd in /proc/$BASHPID/fd/*; do
            fd=${fd##*/}
            [ "$fd" -gt 2 ] && { eval "exec $fd>&-" 2>/dev/null || true; }
        done
        exec setsid /usr/sbin/cupsd -f </dev/null >"$BUILD/cupsd.log" 2>&1
    ) &
    CUPSD_PID=$!
    for _ in $(seq 1 100); do
        scheduler_running && break
        kill -0 "$CUPSD_PID" 2>/dev/null || break
        sleep 0.1
    done
    scheduler_running || {
        cat "$BUILD/cupsd.log" >&2 || true
        fail "the CUPS scheduler did not start"
    }
    echo "test-setup: CUPS scheduler started (pid $CUPSD_PID)"
fi

if ! lpstat -v "$QUEUE" >/dev/null 2>&1; then
    lpadmin -p "$QUEUE" -E -v cups-pdf:/ -P "$PPD" -o PageSize=A4 || fail "lpadmin could not create $QUEUE"
fi
cupsenable "$QUEUE" 2>/dev/null || true
cupsaccept "$QUEUE" 2>/dev/null || true
# Poppler-cairo turns the PDF jobs into PostScript with real TrueType fonts, so the text of
# what cups-pdf writes stays readable for the measuring tools.
lpadmin -p "$QUEUE" -o pdftops-renderer-default=pdftocairo || fail "could not set the renderer of $QUEUE"

# The Letter queue: the same driver with every paper but US Letter taken out of a copy of its
# PPD (custom sizes too), so a job cannot quietly land on A4.
LETTER_PPD=$BUILD/dravelin-letter.ppd
awk '
    /^\*CustomPageSize / { skip = 1 }
    skip { if ($0 ~ /^\*End/) skip = 0; next }
    /^\*(ParamCustomPageSize|MaxMediaWidth|MaxMediaHeight|NonUIOrderDependency:.*CustomPageSize)/ { next }
    /^\*VariablePaperSize:/ { print "*VariablePaperSize: False"; next }
    /^\*Default(PageSize|PageRegion|ImageableArea|PaperDimension):/ { sub(/:.*/, ": Letter"); print; next }
    /^\*(PageSize|PageRegion|ImageableArea|PaperDimension) / && $2 !~ /^Letter\// { next }
    { print }
' "$PPD" >"$LETTER_PPD" || fail "could not write $LETTER_PPD"
grep -q '^\*PageSize Letter/' "$LETTER_PPD" && ! grep -q '^\*PageSize A4' "$LETTER_PPD" ||
    fail "$LETTER_PPD does not offer Letter alone"
letter_only() { [ "$(lpoptions -p "$LETTER_QUEUE" -l 2>/dev/null | grep '^PageSize')" = "PageSize/Page Size: *Letter" ]; }
if ! lpstat -v "$LETTER_QUEUE" >/dev/null 2>&1 || ! letter_only; then
    lpadmin -p "$LETTER_QUEUE" -E -v cups-pdf:/ -P "$LETTER_PPD" || fail "lpadmin could not create $LETTER_QUEUE"
fi
cupsenable "$LETTER_QUEUE" 2>/dev/null || true
cupsaccept "$LETTER_QUEUE" 2>/dev/null || true
lpadmin -p "$LETTER_QUEUE" -o pdftops-renderer-default=pdftocairo ||
    fail "could not set the renderer of $LETTER_QUEUE"
letter_only || fail "$LETTER_QUEUE offers other papers than Letter"
echo "test-setup: queue $LETTER_QUEUE ready (US Letter only)"

lpadmin -d "$QUEUE" || fail "could not make $QUEUE the server's default printer"
lpoptions -d "$QUEUE" >/dev/null || fail "could not make $QUEUE the default printer"
lpstat -d | grep -q "$QUEUE" || fail "$QUEUE is not the default printer"
echo "test-setup: queue $QUEUE ready, PDFs go to $OUT_DIR"
