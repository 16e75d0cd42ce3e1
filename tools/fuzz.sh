#!/usr/bin/env bash
# Builds the libFuzzer targets for the EMF player and the prepared-pages reader with clang and
# AddressSanitizer (outside the normal build), then runs each for a while.
# Usage: tools/fuzz.sh [seconds per target, default 60] [build dir, default build-fuzz]
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SECONDS_EACH=${1:-60}
OUT=${2:-$ROOT/build-fuzz}
CXX=${CXX_FUZZ:-clang++-14}
mkdir -p "$OUT"
FLAGS=(-std=c++20 -g -O1 -fPIC -fno-omit-frame-pointer -I"$ROOT/src" -I"$ROOT/tests/fuzz"
  $(pkg-config --cflags Qt6Gui))
LIBS=($(pkg-config --libs Qt6Gui))
CORE=("$ROOT/src/labelprint/emfplayer.cpp" "$ROOT/src/labelprint/emfwriter.cpp"
  "$ROOT/src/labelprint/pagestore.cpp" "$ROOT/src/platform/fileerror.cpp")

build() { # name, sanitizers, sources...
    local name=$1 san=$2
    shift 2
    "$CXX" "${FLAGS[@]}" -fsanitize="$san" "$@" "${CORE[@]}" "${LIBS[@]}" -o "$OUT/$name"
}
build make_seeds address "$ROOT/tests/fuzz/make_seeds.cpp"
build emf_player_fuzz fuzzer,address "$ROOT/tests/fuzz/emf_player_fuzz.cpp"
build prepared_pages_fuzz fuzzer,address "$ROOT/tests/fuzz/prepared_pages_fuzz.cpp"

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
