"""Prints the first sheet of a workbook as JSON: its name, every stored cell with its value,
type, number format and boldness, and the widths set on columns."""
import json
import sys

import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
sheet = book.worksheets[0]
cells = {}
for row in sheet.iter_rows():
    for cell in row:
        if cell.value is None:
            continue
        cells[cell.coordinate] = {
            "value": cell.value,
            "type": "number" if isinstance(cell.value, (int, float)) else "text",
            "format": cell.number_format,
            "bold": bool(cell.font.b),
        }
widths = {}
for letter, dim in sheet.column_dimensions.items():
    if dim.customWidth:
        widths[letter] = dim.width
print(json.dumps({"sheets": len(book.worksheets), "title": sheet.title, "cells": cells,
                  "widths": widths},
                 ensure_ascii=False))
