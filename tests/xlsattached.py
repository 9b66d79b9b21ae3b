#!/usr/bin/python3
"""Prints, a line each, what is anchored on the cells of one sheet of an .xls
file, as independent readers see it: notes and hyperlinks as xlrd reads
them, formulas as LibreOffice reads them (with the kind of their result as
xlrd reads it). Each line names the cell and the text of column A of its
row (a date as YYYY/MM/DD), so that a test can see what moved with a day:

    note E6 [2010/01/05] the note's text
    notebox E6 [2010/01/05] rows -1 to +3
    link A3:A3 [2010/01/02] http://example.com#mark
    formula B2 [2022/01/01] of:=[.A2]-1 -> date
"""
import os
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import xlrd
import xlrd.compdoc

path, sheet_name = sys.argv[1], sys.argv[2]
book = xlrd.open_workbook(path, formatting_info=True)
sheet = book.sheet_by_name(sheet_name)
KINDS = {xlrd.XL_CELL_EMPTY: "empty", xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number",
         xlrd.XL_CELL_DATE: "date", xlrd.XL_CELL_BOOLEAN: "boolean", xlrd.XL_CELL_ERROR: "error",
         xlrd.XL_CELL_BLANK: "empty"}


def cell_name(row, col):
    letters = ""
    col += 1
    while col:
        col, rest = divmod(col - 1, 26)
        letters = chr(ord("A") + rest) + letters
    return f"{letters}{row + 1}"


def day_of(row):
    if row >= sheet.nrows or sheet.row_len(row) == 0:
        return "[]"
    cell = sheet.cell(row, 0)
    if cell.ctype == xlrd.XL_CELL_DATE:
        year, month, day = xlrd.xldate_as_tuple(cell.value, book.datemode)[:3]
        return f"[{year:04d}/{month:02d}/{day:02d}]"
    if cell.ctype == xlrd.XL_CELL_NUMBER:
        return "[%.15g]" % cell.value
    return f"[{cell.value}]" if cell.ctype == xlrd.XL_CELL_TEXT else "[]"


def kind_of(row, col):
    if row >= sheet.nrows or col >= sheet.row_len(row):
        return "empty"
    return KINDS[sheet.cell(row, col).ctype]


lines = []
for (row, col), note in sorted(sheet.cell_note_map.items()):
    lines.append(f"note {cell_name(row, col)} {day_of(row)} " + note.text.replace("\n", "\\n"))
for link in sheet.hyperlink_list:
    target = (link.url_or_path or "") + ("#" + link.textmark if link.textmark else "")
    lines.append(f"link {cell_name(link.frowx, link.fcolx)}:{cell_name(link.lrowx, link.lcolx)} "
                 f"{day_of(link.frowx)} {target}")



def note_boxes():
    """The rows of each note's box: the OfficeArt anchor of the drawing
    object whose OBJ record has the note's object id, read from the raw
    records of the sheet (xlrd reads no drawings)."""
    with open(path, "rb") as file:
        stream = xlrd.compdoc.CompDoc(file.read()).get_named_stream("Workbook")
    pos = sheet_start(stream)
    art, anchors, objects, notes, depth = b"", [], {}, [], 0
    while pos + 4 <= len(stream):
        rid, size = struct.unpack_from("<HH", stream, pos)
        data = stream[pos + 4:pos + 4 + size]
        pos += 4 + size
        if rid == 0x0809:
            depth += 1
        elif rid == 0x000A:
            depth -= 1
            if depth == 0:
                break
        elif depth != 1:
            continue
        elif rid == 0x00EC:
            at = len(art)
            art += data
            while at + 8 <= len(art):
                ver, kind, length = struct.unpack_from("<HHI", art, at)
                if ver & 0xF == 0xF:
                    at += 8
                    continue
                if kind == 0xF010:
                    anchors.append(struct.unpack_from("<9H", art, at + 8))
                at += 8 + length
        elif rid == 0x005D and anchors:
            objects[struct.unpack_from("<H", data, 6)[0]] = anchors[-1]
        elif rid == 0x001C:
            notes.append(struct.unpack_from("<4H", data))
    for row, col, _, object_id in notes:
        anchor = objects.get(object_id)
        if anchor:
            lines.append(f"notebox {cell_name(row, col)} {day_of(row)} rows {anchor[3] - row:+d} to {anchor[7] - row:+d}")


def sheet_start(stream):
    """Where the sheet's records start, by its BOUNDSHEET record."""
    pos = 0
    while pos + 4 <= len(stream):
        rid, size = struct.unpack_from("<HH", stream, pos)
        data = stream[pos + 4:pos + 4 + size]
        pos += 4 + size
        if rid == 0x0085:
            count, wide = data[6], data[7] & 1
            name = data[8:8 + count * (2 if wide else 1)].decode("utf-16-le" if wide else "latin-1")
            if name == sheet_name:
                return struct.unpack_from("<I", data, 0)[0]
        if rid == 0x000A:
            break
    raise SystemExit(f"no sheet {sheet_name}")


note_boxes()
TABLE = "urn:oasis:names:tc:opendocument:xmlns:table:1.0"
with tempfile.TemporaryDirectory() as work:
    # A profile of its own, so that conversions running side by side do not meet.
    subprocess.run(["soffice", f"-env:UserInstallation=file://{work}/profile", "--headless",
                    "--convert-to", "fods", "--outdir", work, path],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=240)
    fods = os.path.join(work, os.path.splitext(os.path.basename(path))[0] + ".fods")
    root = ET.parse(fods).getroot()
for table in root.iter(f"{{{TABLE}}}table"):
    if table.get(f"{{{TABLE}}}name") != sheet_name:
        continue
    row = 0
    for row_element in table.iter(f"{{{TABLE}}}table-row"):
        col = 0
        for cell in row_element:
            formula = cell.get(f"{{{TABLE}}}formula")
            if formula:
                lines.append(f"formula {cell_name(row, col)} {day_of(row)} {formula} -> {kind_of(row, col)}")
            col += int(cell.get(f"{{{TABLE}}}number-columns-repeated", "1"))
        row += int(row_element.get(f"{{{TABLE}}}number-rows-repeated", "1"))
print("\n".join(lines))
