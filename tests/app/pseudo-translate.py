#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Fills every message of a Qt .ts file with its source text in ⟦brackets⟧, so a
test can see which texts reach the user through the translation machinery."""
import sys
import xml.etree.ElementTree as ET

tree = ET.parse(sys.argv[1])
for message in tree.iter("message"):
    source = message.find("source").text or ""
    translation = message.find("translation")
    if translation is None:
        translation = ET.SubElement(message, "translation")
    translation.attrib.pop("type", None)
    translation.text = "⟦" + source + "⟧"
tree.write(sys.argv[1], encoding="utf-8", xml_declaration=True)
