#!/usr/bin/python3
"""Prints, as JSON, the diary columns A to H of one sheet of an .xls file as
xlrd, an independent reader, sees them: the rows from the top down to the
first whose column A is empty, each cell as [kind, text]."""
import json
import sys
import xlrd

book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
sheet = book.sheet_by_name(sys.argv[2])


def cell_json(cell):
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


rows = []
for r in range(sheet.nrows):
    row = [cell_json(sheet.cell(r, c)) if c < sheet.row_len(r) else ["empty", ""] for c in range(8)]
    if row[0][0] == "empty":
        break
    rows.append(row)
print(json.dumps(rows, ensure_ascii=False))
