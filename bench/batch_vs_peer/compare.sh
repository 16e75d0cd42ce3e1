#!/usr/bin/env bash
# Whole-process time and peak memory of dravelin-batch against the peer glabels-3-batch on the
# same price labels: A4, 3 x 7 labels of 63.24 x 37 mm from 10 mm margins, with code, name,
# price and one text line. Both write a PDF. Not a CTest test: it takes minutes with the peer.
#
#   bench/batch_vs_peer/compare.sh [BUILD_DIR]
#   SIZES="10000 100000"   label counts for dravelin-batch
#   PEER_SIZES="10000"     label counts for the peer (empty: skip it); install it with
#                          apt-get install glabels
# Needs python3, /usr/bin/time (package time) and pdfinfo (poppler-utils).
set -euo pipefail
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BUILD=${1:-$ROOT/build}
BATCH=$BUILD/src/dravelin-batch
SIZES=${SIZES:-10000 100000}
PEER_SIZES=${PEER_SIZES-10000}

[ -x "$BATCH" ] || { echo "compare: build dravelin-batch first ($BATCH)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "compare: /usr/bin/time is missing (apt-get install time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/settings"
cp "$HERE/dravelin.ini" "$work/settings/"
cp "$HERE/price-labels.glabels" "$work/"

# measure NAME LABELS PDF COMMAND...: one line "NAME LABELS SECONDS PEAK_MB PAGES"
measure() {
    local name=$1 labels=$2 pdf=$3
    shift 3
    rm -f "$pdf"
    if ! /usr/bin/time -v -o "$work/time.txt" "$@" >"$work/out.txt" 2>&1; then
        echo "compare: $name failed on $labels labels:" >&2
        cat "$work/out.txt" >&2
        return 1
    fi
    local elapsed rss pages
    elapsed=$(sed -n 's/.*Elapsed (wall clock) time.*: //p' "$work/time.txt")
    rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")
    pages=$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')
    awk -v n="$name" -v l="$labels" -v e="$elapsed" -v r="$rss" -v p="$pages" 'BEGIN {
        k = split(e, part, ":"); s = 0
        for (i = 1; i <= k; i++) s = s * 60 + part[i]
        printf "%-16s %8d %10.2f %10.1f %8d\n", n, l, s, r / 1024, p }'
}

printf "%-16s %8s %10s %10s %8s\n" program labels seconds peak_MB pages
results=$work/results.txt
: >"$results"
for n in $SIZES; do
    "$HERE/make_labels.py" "$n" "$work/labels-$n.txt" "$work/labels-$n.csv"
    measure dravelin-batch "$n" "$work/ours.pdf" \
        "$BATCH" --list "$work/labels-$n.txt" --settings "$work/settings" --pdf "$work/ours.pdf" \
        | tee -a "$results"
done
if [ -n "$PEER_SIZES" ]; then
    if ! command -v glabels-3-batch >/dev/null; then
        echo "compare: glabels-3-batch is not installed; skipping the peer" >&2
    else
        for n in $PEER_SIZES; do
            [ -f "$work/labels-$n.csv" ] ||
                "$HERE/make_labels.py" "$n" "$work/labels-$n.txt" "$work/labels-$n.csv"
            measure glabels-3-batch "$n" "$work/peer.pdf" \
                glabels-3-batch -o "$work/peer.pdf" -i "$work/labels-$n.csv" \
                "$work/price-labels.glabels" | tee -a "$results"
        done
    fi
fi
# The speed ratio wherever both ran on the same count.
awk '{ t[$1, $2] = $3; m[$1, $2] = $4; n[$2] = 1 }
     END { for (l in n) if (((("glabels-3-batch") SUBSEP l) in t) && ((("dravelin-batch") SUBSEP l) in t))
             printf "%d labels: dravelin-batch is %.0fx faster and uses %.0fx less memory\n", l,
                    t["glabels-3-batch", l] / t["dravelin-batch", l],
                    m["glabels-3-batch", l] / m["dravelin-batch", l] }' "$results"
