#!/usr/bin/env bash
# Profiles dravelin-batch writing N labels (default 1,000,000) into a PDF, with perf from
# Debian's linux-perf, and lists the functions by the share of the run spent in them and in what
# they call: first the project's own functions, then everything.
# Usage: tools/profile-batch.sh [BUILD_DIR] [N]
set -euo pipefail
DRAVELIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=tools/deps.sh
source "$DRAVELIN_ROOT/tools/deps.sh"
dravelin_install linux-perf
BUILD=${1:-$DRAVELIN_ROOT/build}
N=${2:-1000000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
awk -v n="$N" 'BEGIN { for (i = 0; i < n; i++) {
    c = 100000 + i; printf "%d;*%d*;Rohlik tukovy %d;%d,50 Kc;;;\r\n", c, c, i % 97, i % 40 } }' \
    >"$work/list.csv"
mkdir "$work/defaults"
# Qt's libraries have no frame pointers: the stacks are unwound from DWARF, at a low rate.
perf record -q -F 60 --call-graph dwarf,16384 -o "$work/perf.data" \
    "$BUILD/src/dravelin-batch" --quiet --list "$work/list.csv" --settings "$work/defaults" \
    --pdf "$work/out.pdf"
echo "== own functions (share of the run including what they call)"
perf report -i "$work/perf.data" --children --sort symbol -g none 2>/dev/null |
    grep -E '(labelprint|printlist|platform|batch)::' | head -25
echo "== everything (own time only)"
perf report -i "$work/perf.data" --no-children --sort dso,symbol -g none 2>/dev/null |
    grep '%' | head -25
