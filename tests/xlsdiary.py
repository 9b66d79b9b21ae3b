#!/usr/bin/python3
"""Prints, as JSON, the diary columns A to H of one sheet of an .xls file as
xlrd, an independent reader, sees them: the rows from the top down to the
first whose column A is empty, each cell as [kind, text, number format,
wraps]; and the height of every row the sheet has, with its default."""
import json
import sys
import xlrd

book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
sheet = book.sheet_by_name(sys.argv[2])


def value(cell):
    if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK) or (cell.ctype == xlrd.XL_CELL_TEXT and cell.value == ""):
        return ["empty", ""]
    if cell.ctype == xlrd.XL_CELL_DATE:
        year, month, day = xlrd.xldate_as_tuple(cell.value, book.datemode)[:3]
        return ["date", f"{year:04d}/{month:02d}/{day:02d}"]
    if cell.ctype == xlrd.XL_CELL_NUMBER:
        return ["number", "%.15g" % cell.value]
    if cell.ctype == xlrd.XL_CELL_BOOLEAN:
        return ["boolean", "TRUE" if cell.value else "FALSE"]
    if cell.ctype == xlrd.XL_CELL_ERROR:
        return ["error", xlrd.error_text_from_code[cell.value]]
    return ["text", cell.value]


def cell_json(r, c):
    if c >= sheet.row_len(r):
        return ["empty", "", "", False]
    cell = sheet.cell(r, c)
    xf = book.xf_list[cell.xf_index]
    return value(cell) + [book.format_map[xf.format_key].format_str, bool(xf.alignment.text_wrapped)]


rows = []
for r in range(sheet.nrows):
    row = [cell_json(r, c) for c in range(8)]
    if row[0][0] == "empty":
        break
    rows.append(row)
heights = [sheet.rowinfo_map[r].height if r in sheet.rowinfo_map else None for r in range(sheet.nrows)]
print(json.dumps({"rows": rows, "heights": heights, "defaultHeight": sheet.default_row_height}, ensure_ascii=False))
