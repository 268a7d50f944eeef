#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Turns one context of a Qt Linguist .ts file into C++ table rows, for a program without Qt.

    ts-to-table.py FILE.ts CONTEXT OUT.inc

Each finished message becomes {"source", "translation"}, in UTF-8; unfinished ones are left out,
so the program shows their English.
"""

import sys
import xml.etree.ElementTree as tree


def literal(text):
    escaped = text.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n")
    return '"' + escaped + '"'


ts_file, context_name, out_file = sys.argv[1:4]
rows = []
for context in tree.parse(ts_file).getroot().iter("context"):
    if context.findtext("name") != context_name:
        continue
    for message in context.iter("message"):
        translation = message.find("translation")
        if translation is None or translation.get("type") or not translation.text:
            continue
        rows.append("{%s, %s}," % (literal(message.findtext("source")), literal(translation.text)))
with open(out_file, "w", encoding="utf-8") as out:
    out.write("// Made from %s by ts-to-table.py: do not edit.\n" % ts_file.rsplit("/", 1)[-1])
    out.write("\n".join(rows) + "\n")
