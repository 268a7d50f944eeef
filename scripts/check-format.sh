#!/usr/bin/env bash
# Fails (and shows the difference) when a C++ file is not formatted with clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
[ ${#files[@]} -gt 0 ] || exit 0
status=0
for f in "${files[@]}"; do
    [ -f "$f" ] || continue
    if ! diff -u --label "$f" --label "$f (formatted)" "$f" <(clang-format --style=file "$f"); then
        status=1
    fi
done
[ "$status" -eq 0 ] || echo "check-format: run 'clang-format -i' on the files above" >&2
exit "$status"
