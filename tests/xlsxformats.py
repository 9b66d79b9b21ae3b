#!/usr/bin/python3
"""Prints the cell format of every cell that holds something in an .xlsx
file (as LibreOffice writes one from an .xls it read), a line each:
"sheet!row,column" counted from 0, then the format's attributes, alignment,
protection and number format code."""
import re
import sys
import zipfile
import xml.etree.ElementTree as ET

MAIN = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
RELS = "{http://schemas.openxmlformats.org/package/2006/relationships}"
REL_ID = "{http://schemas.openxmlformats.org/officeDocument/2006/relationships}id"

book = zipfile.ZipFile(sys.argv[1])
styles = ET.fromstring(book.read("xl/styles.xml"))
codes = {fmt.get("numFmtId"): fmt.get("formatCode") for fmt in styles.iter(MAIN + "numFmt")}
formats = []
for xf in styles.find(MAIN + "cellXfs"):
    parts = [f"{key}={value}" for key, value in sorted(xf.attrib.items()) if key != "numFmtId"]
    for child in xf:
        parts += [f"{child.tag[len(MAIN):]}.{key}={value}" for key, value in sorted(child.attrib.items())]
    number = xf.get("numFmtId", "0")
    parts.append("number=" + codes.get(number, "built-in " + number))
    formats.append(" ".join(parts))

targets = {rel.get("Id"): rel.get("Target") for rel in ET.fromstring(book.read("xl/_rels/workbook.xml.rels")).iter(RELS + "Relationship")}
for sheet in ET.fromstring(book.read("xl/workbook.xml")).iter(MAIN + "sheet"):
    target = targets[sheet.get(REL_ID)].lstrip("/")
    data = ET.fromstring(book.read(target if target.startswith("xl/") else "xl/" + target))
    for cell in data.iter(MAIN + "c"):
        if cell.find(MAIN + "v") is None and cell.find(MAIN + "is") is None:
            continue
        letters, digits = re.match(r"([A-Z]+)(\d+)", cell.get("r")).groups()
        column = 0
        for letter in letters:
            column = column * 26 + ord(letter) - ord("A") + 1
        print(f"{sheet.get('name')}!{int(digits) - 1},{column - 1} {formats[int(cell.get('s', '0'))]}")
