#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails (and shows the difference) when a C++ file is not formatted with clang-format, and
# names every source or build file that lacks its licence line.
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

mapfile -t sources < <(git ls-files --cached --others --exclude-standard -- \
    '*.cpp' '*.h' '*.cmake' '*CMakeLists.txt' '*.sh' '*.py')
for f in "${sources[@]}"; do
    if [ -f "$f" ] && ! head -n 3 "$f" | grep -q 'SPDX-License-Identifier: GPL-3.0-or-later'; then
        echo "check-format: $f lacks '# SPDX-License-Identifier: GPL-3.0-or-later' (or //)" >&2
        status=1
    fi
done
exit "$status"
