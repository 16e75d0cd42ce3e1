#!/usr/bin/env bash
# Builds the libFuzzer targets for the EMF player and the prepared-pages reader with clang and
# AddressSanitizer in their own build folder, then runs each for a while.
# Usage: tools/fuzz.sh [seconds per target, default 60] [build dir, default build-fuzz]
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SECONDS_EACH=${1:-60}
OUT=${2:-$ROOT/build-fuzz}
CXX=${CXX_FUZZ:-clang++-14}
CC=${CC_FUZZ:-clang-14}
# The targets link the core libraries as the programs build them (DRAVELIN_FUZZ), so no list
# of sources is kept here.
cmake -S "$ROOT" -B "$OUT" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$CXX" \
    -DCMAKE_C_COMPILER="$CC" -DDRAVELIN_BUILD_TESTS=OFF -DDRAVELIN_FUZZ=ON >/dev/null
cmake --build "$OUT" -j "$(nproc)" --target make_seeds emf_player_fuzz prepared_pages_fuzz

SEEDS="$ROOT/tests/fuzz/seeds"
mkdir -p "$SEEDS/emf" "$SEEDS/lpf"
[ -n "$(ls -A "$SEEDS/emf")" ] || "$OUT/make_seeds" "$SEEDS"

export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
for target in emf:emf_player_fuzz lpf:prepared_pages_fuzz; do
    kind=${target%%:*} bin=${target#*:}
    corpus="$OUT/corpus-$kind"
    mkdir -p "$corpus" "$OUT/crashes-$kind"
    echo "== $bin for ${SECONDS_EACH}s" >&2
    "$OUT/$bin" "$corpus" "$SEEDS/$kind" -max_total_time="$SECONDS_EACH" -max_len=65536 \
        -timeout=10 -rss_limit_mb=4096 -artifact_prefix="$OUT/crashes-$kind/" -print_final_stats=1
done
