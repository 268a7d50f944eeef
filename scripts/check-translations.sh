#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every translatable text in the sources has a finished translation: lupdate, told what the
# build's update target tells it, runs over the sources into a scratch copy of each .ts file;
# a text it adds (a new tr() nobody translated) or leaves unfinished fails the check.
#   scripts/check-translations.sh [LUPDATE]     (default: Qt 6's lupdate)
# The .ts files themselves are brought up to date with:
#   cmake --build build/dev --target update_translations
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=${1:-/usr/lib/qt6/bin/lupdate}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

status=0
for ts in translations/*.ts; do
    copy="$scratch/$(basename "$ts")"
    cp "$ts" "$copy"
    # As src/app/language/CMakeLists.txt tells it.
    "$lupdate" -silent -locations none -no-obsolete \
        -tr-function-alias translate+=renderText,QT_TRANSLATE_NOOP+=VORTAN_RENDER_TEXT_NOOP \
        src tools -ts "$copy"
    # One line per unfinished message: its context and source text.
    unfinished=$(python3 - "$copy" <<'PYTHON'
import sys
import xml.etree.ElementTree as tree
for context in tree.parse(sys.argv[1]).getroot().iter("context"):
    for message in context.iter("message"):
        translation = message.find("translation")
        forms = [f.text for f in translation.iter("numerusform")] or [translation.text]
        if translation.get("type") in ("unfinished", "vanished", "obsolete") or not all(forms):
            print("  %s: %r" % (context.findtext("name"), message.findtext("source")))
PYTHON
    )
    if [ -n "$unfinished" ]; then
        echo "$ts: texts without a finished translation:" >&2
        echo "$unfinished" >&2
        status=1
    else
        echo "$ts: every text translated ($(grep -c '<message' "$copy") messages)"
    fi
done
if [ "$status" -ne 0 ]; then
    echo "Add the translations (README, \"Translations\") after the update_translations target." >&2
fi
exit "$status"
