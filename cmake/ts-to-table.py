#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Turns contexts of a Qt Linguist .ts file into C++ table rows, for a program without Qt.

    ts-to-table.py FILE.ts OUT.inc CONTEXT...

Each finished message becomes {"context", "source", "disambiguation", {"form", ...}}, in UTF-8,
with one form, or the plural forms of a %n text in the translation's order; unfinished ones are
left out, so the program shows their English.
"""

import sys
import xml.etree.ElementTree as tree


def literal(text):
    escaped = text.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n")
    return '"' + escaped + '"'


ts_file, out_file = sys.argv[1:3]
contexts = set(sys.argv[3:])
rows = []
for context in tree.parse(ts_file).getroot().iter("context"):
    name = context.findtext("name")
    if name not in contexts:
        continue
    for message in context.iter("message"):
        translation = message.find("translation")
        if translation is None or translation.get("type"):
            continue
        forms = [form.text for form in translation.iter("numerusform")] or [translation.text]
        if not all(forms):
            continue
        rows.append("{%s, %s, %s, {%s}}," % (literal(name), literal(message.findtext("source")),
                                             literal(message.findtext("comment") or ""),
                                             ", ".join(literal(form) for form in forms)))
with open(out_file, "w", encoding="utf-8") as out:
    out.write("// Made from %s by ts-to-table.py: do not edit.\n" % ts_file.rsplit("/", 1)[-1])
    out.write("\n".join(rows) + "\n")
