#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what clang-format makes of it under the
# committed .clang-format; with --fix it formats them instead. One pinned clang-format version,
# because another version lays out the same code differently and the check would flip.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
CLANG_FORMAT=${DRAVELIN_CLANG_FORMAT:-clang-format-14}
cd "$ROOT"

if ! command -v "$CLANG_FORMAT" >/dev/null 2>&1; then
    echo "check-format: $CLANG_FORMAT is not installed" >&2
    exit 1
fi

# Tracked files when this is a git checkout; the source folders otherwise (an unpacked copy).
if command -v git >/dev/null 2>&1 && git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files -- '*.cpp' '*.h' '*.h.in')
else
    mapfile -t files < <(find src tests bench tools -type f \( -name '*.cpp' -o -name '*.h' \
        -o -name '*.h.in' \) | sort)
fi

if [ "${1:-}" = "--fix" ]; then
    "$CLANG_FORMAT" -i --style=file "${files[@]}"
    exit 0
fi

bad=()
for f in "${files[@]}"; do
    if ! "$CLANG_FORMAT" --style=file --dry-run -Werror "$f" >/dev/null 2>&1; then
        bad+=("$f")
    fi
done
if [ ${#bad[@]} -gt 0 ]; then
    echo "check-format: ${#bad[@]} file(s) are not formatted; run tools/check-format.sh --fix:" >&2
    printf '  %s\n' "${bad[@]}" >&2
    exit 1
fi
echo "check-format: ${#files[@]} files formatted"
