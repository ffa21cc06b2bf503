#!/usr/bin/env python3
"""Reads a workbook with xlrd, an independent reader, and prints what a test
compares: per sheet its name and size, the column widths, the alignments and
cell types met over all cells, the first rows and the last row (a number
as Python writes a float)."""
import sys

import xlrd

HOR = {0: "general", 1: "left", 2: "center", 3: "right"}
VER = {0: "top", 1: "center", 2: "bottom"}
TYPES = {xlrd.XL_CELL_EMPTY: "empty", xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number"}


def main(path, shown_rows):
    book = xlrd.open_workbook(path, formatting_info=True)
    for sheet in book.sheets():
        print(f"sheet {sheet.name} rows {sheet.nrows} cols {sheet.ncols}")
        widths = sorted({sheet.colinfo_map[c].width if c in sheet.colinfo_map else -1
                         for c in range(max(sheet.ncols, 1))})
        print("width " + " ".join(map(str, widths)))
        aligns, types = set(), set()
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                xf = book.xf_list[sheet.cell_xf_index(r, c)].alignment
                aligns.add(HOR.get(xf.hor_align, "?") + "/" + VER.get(xf.vert_align, "?"))
                types.add(TYPES.get(sheet.cell_type(r, c), "other"))
        print("align " + " ".join(sorted(aligns)))
        print("types " + " ".join(sorted(types)))
        shown = list(range(min(sheet.nrows, shown_rows)))
        if sheet.nrows > shown_rows:
            shown.append(sheet.nrows - 1)
        for r in shown:
            print(f"row {r}: " + "|".join(v if isinstance(v, str) else repr(v)
                                          for v in sheet.row_values(r)))


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 1000)
