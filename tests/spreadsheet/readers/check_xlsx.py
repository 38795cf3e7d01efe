"""Reads the .xlsx samples back: values and merges through xlrd, formats from the package's XML."""
import os
import re
import sys
import zipfile
import xml.etree.ElementTree as ET

import xlrd

from expected_layout import MERGES, SAMPLES, fill_of, font_size_of
from harness import check, check_values, run

NS = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main"}


def cell_ref(row, column):
    return "%s%d" % (chr(ord("A") + column), row + 1)


class Styles:
    def __init__(self, root):
        def all_of(path):
            return root.findall(path, NS)
        self.fonts = [(f.find("m:name", NS).get("val"), float(f.find("m:sz", NS).get("val")))
                      for f in all_of("m:fonts/m:font")]
        self.fills = []
        for fill in all_of("m:fills/m:fill"):
            pattern = fill.find("m:patternFill", NS)
            colour = pattern.find("m:fgColor", NS)
            self.fills.append(colour.get("rgb")[2:] if pattern.get("patternType") == "solid" else None)
        self.borders = [tuple(side.get("style") for side in (b.find("m:" + n, NS) for n in
                                                             ("left", "right", "top", "bottom")))
                        for b in all_of("m:borders/m:border")]
        self.xfs = all_of("m:cellXfs/m:xf")


def check_measurement(folder, sample):
    name = "measurement_%s.xlsx" % sample
    path = os.path.join(folder, name)
    book = xlrd.open_workbook(path)
    check(book.sheet_names() == ["Лист1"], "%s: one sheet named Лист1" % name)
    sheet = book.sheet_by_index(0)
    check_values(name, sample, lambda row, column: sheet.cell_value(row, column), sheet.nrows, sheet.ncols)

    with zipfile.ZipFile(path) as package:
        styles = Styles(ET.fromstring(package.read("xl/styles.xml")))
        root = ET.fromstring(package.read("xl/worksheets/sheet1.xml"))
    merges = sorted(m.get("ref") for m in root.findall("m:mergeCells/m:mergeCell", NS))
    check(merges == ["A1:K1", "F11:K11"], "%s: merges %r" % (name, merges))
    check(sorted(sheet.merged_cells) == MERGES, "%s: merges read by xlrd %r" % (name, sheet.merged_cells))
    widths = {}
    for col in root.findall("m:cols/m:col", NS):
        for index in range(int(col.get("min")), int(col.get("max")) + 1):
            widths[index] = float(col.get("width"))
    # Stored widths include the cell padding: 15 characters are 15.71, 10 are 10.71.
    check(abs(widths.get(1, 0) - 15.71) < 0.01, "%s: column A width %r" % (name, widths.get(1)))
    check(all(abs(widths.get(c, 0) - 10.71) < 0.01 for c in range(2, 12)), "%s: columns B..K width" % name)
    rows = {int(r.get("r")): r for r in root.findall("m:sheetData/m:row", NS)}
    check(1 in rows and rows[1].get("ht") == "45" and rows[1].get("customHeight") == "1", "%s: row 1 is 45 pt" % name)
    setup = root.find("m:pageSetup", NS)
    check(setup is not None and setup.get("orientation") == "landscape", "%s: landscape page" % name)

    cells = {c.get("r"): c for c in root.findall("m:sheetData/m:row/m:c", NS)}
    for row in range(11):
        for column in range(11):
            where = "%s: %s" % (name, cell_ref(row, column))
            cell = cells.get(cell_ref(row, column))
            check(cell is not None, where + " is written")
            if cell is None:
                continue
            xf = styles.xfs[int(cell.get("s", "0"))]
            font = styles.fonts[int(xf.get("fontId"))]
            check(font == ("Arial", font_size_of(row)), where + " font %r" % (font,))
            check(styles.borders[int(xf.get("borderId"))] == ("thin",) * 4, where + " thin borders")
            fill = fill_of(row, column)
            want_fill = None if fill is None else "%02X%02X%02X" % fill
            check(styles.fills[int(xf.get("fillId"))] == want_fill, where + " fill")
            alignment = xf.find("m:alignment", NS)
            if sample != "empty":
                check(alignment is not None and alignment.get("horizontal") == "center", where + " centred")
                text_format = (row == 1 and column >= 2) or (column == 0 and 2 <= row <= 10)
                check(xf.get("numFmtId") == ("49" if text_format else "0"), where + " number format")
            if (row, column) == (0, 0):
                check(alignment is not None and alignment.get("vertical") == "center", where + " centred vertically")
                check((alignment.get("wrapText") == "1") == (sample != "empty"), where + " wraps")


def check_samples(folder):
    for sample in SAMPLES:
        check_measurement(folder, sample)


if __name__ == "__main__":
    sys.exit(run(check_samples, "all .xlsx checks passed"))
