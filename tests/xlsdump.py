#!/usr/bin/python3
"""Prints every sheet and cell of an .xls file as xlrd, an independent
reader, sees it: one line per sheet, then one line per non-empty cell."""
import sys
import xlrd

book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
for sheet in book.sheets():
    print(f"sheet {sheet.name!r} selected={sheet.sheet_selected} rows={sheet.nrows}")
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                continue
            fmt = book.format_map[book.xf_list[cell.xf_index].format_key].format_str
            value = cell.value
            if cell.ctype == xlrd.XL_CELL_DATE:
                value = xlrd.xldate_as_tuple(value, book.datemode)[:3]
            runs = sheet.rich_text_runlist_map.get((r, c))
            extra = f" runs={runs}" if runs else ""
            print(f"{sheet.name}!{r},{c} type={cell.ctype} value={value!r} format={fmt!r}{extra}")
