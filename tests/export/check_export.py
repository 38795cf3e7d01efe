"""Reads back the workbooks that whole exports through the built-in
spreadsheet application saved, with xlrd, using the workbook checks of
tests/spreadsheet/readers (on PYTHONPATH) for the layouts they share."""
import os
import sys

import xlrd

import check_xls
import check_xlsx
from expected_layout import GAP_SLOTS, READ_DATE, READ_TIME, SAMPLES, slot_value
from harness import check, run


def check_gaps(path):
    """A full read with some zero times: those cells stay empty, every other one holds its number."""
    sheet = xlrd.open_workbook(path).sheet_by_index(0)
    for slot in range(84):
        row, column = slot // 10 + 2, slot % 10 + 1
        cell = sheet.cell(row, column)
        if slot in GAP_SLOTS:
            check(cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK), "%s: slot %d is %r" % (path, slot, cell))
        else:
            check(cell.ctype == xlrd.XL_CELL_NUMBER and abs(cell.value - slot_value(slot)) < 1e-9,
                  "%s: slot %d is %r" % (path, slot, cell))
    check(sheet.cell_value(10, 5) == "Данные считаны %s в %s" % (READ_DATE, READ_TIME), "%s: read-date line" % path)
    check(sheet.cell_value(1, 1) == "", "%s: B2 stays empty" % path)


def check_samples(folder):
    for sample in SAMPLES:
        check_xls.check_measurement(folder, sample)
        check_xlsx.check_measurement(folder, sample)
    # A grid of "------" only comes out exactly like an empty one.
    check_xls.check_measurement(os.path.join(folder, "dashes"), "empty")
    check_xlsx.check_measurement(os.path.join(folder, "dashes"), "empty")
    for extension in (".xls", ".xlsx"):
        check_gaps(os.path.join(folder, "gaps" + extension))


if __name__ == "__main__":
    sys.exit(run(check_samples, "all exported workbooks read back as expected"))
