#!/usr/bin/env bash
# Fails when a C++ source differs from what clang-format makes of it with .clang-format; lists the
# files and the lines it would change. Run by ctest (label unit) and usable by hand.
set -euo pipefail
cd "$(dirname "$0")/.."
clang_format="${CLANG_FORMAT:-clang-format}"

files=()
while IFS= read -r -d '' file; do
    files+=("$file")
done < <(find src tests bench \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)

"$clang_format" --dry-run --Werror "${files[@]}"
