"""Reads back with xlrd the .xls workbooks that whole exports wrote under
Wine, and compares them with the ones the Linux build wrote for the same
grids:

    read_back_like_linux.py WINDOWS_SAMPLES [LINUX_SAMPLES]

The Windows files must pass the checks of tests/export (on PYTHONPATH with
tests/spreadsheet/readers). Against the Linux files, every sheet must show
the same cells, formats, merges, column widths and row heights, and the
Workbook streams, the same BIFF8 records on both systems, must be equal byte
for byte: only the compound file around them is the system's own."""
import os
import sys

import xlrd
from xlrd import compdoc

import check_export
import check_xls
from expected_layout import SAMPLES
from harness import check, run

FILES = ["measurement_%s.xls" % sample for sample in SAMPLES] + [
    os.path.join("dashes", "measurement_empty.xls"), "gaps.xls"]


def workbook_stream(path):
    with open(path, "rb") as f:
        return compdoc.CompDoc(f.read(), logfile=open(os.devnull, "w")).get_named_stream("Workbook")


def xf_view(book, index):
    xf = book.xf_list[index]
    font = book.font_list[xf.font_index]
    border, fill, alignment = xf.border, xf.background, xf.alignment
    return (font.name, font.height, font.bold, book.format_map[xf.format_key].format_str,
            alignment.hor_align, alignment.vert_align, alignment.text_wrapped,
            (border.left_line_style, border.right_line_style, border.top_line_style, border.bottom_line_style),
            fill.fill_pattern, book.colour_map.get(fill.pattern_colour_index))


def view(path):
    """What a reader sees of the workbook: every sheet's cells with their formats, merges, widths and heights."""
    book = xlrd.open_workbook(path, formatting_info=True)
    sheets = []
    for sheet in book.sheets():
        cells = {(row, column): (sheet.cell_type(row, column), sheet.cell_value(row, column),
                                 xf_view(book, sheet.cell_xf_index(row, column)))
                 for row in range(sheet.nrows) for column in range(sheet.ncols)}
        widths = {column: (info.width, info.hidden) for column, info in sheet.colinfo_map.items()}
        heights = {row: (info.height, info.has_default_height) for row, info in sheet.rowinfo_map.items()}
        sheets.append((sheet.name, cells, sorted(sheet.merged_cells), widths, heights))
    return sheets


def compare(windows, linux, name):
    ours, theirs = view(windows), view(linux)
    check(len(ours) == len(theirs), "%s: %d sheets, Linux %d" % (name, len(ours), len(theirs)))
    for mine, other in zip(ours, theirs):
        for part, a, b in zip(("name", "cells", "merges", "widths", "heights"), mine, other):
            if part == "cells" and a != b:
                for key in sorted(set(a) | set(b)):
                    check(a.get(key) == b.get(key), "%s: cell %r is %r, Linux %r" % (name, key, a.get(key), b.get(key)))
            else:
                check(a == b, "%s: %s %r, Linux %r" % (name, part, a, b))
    check(workbook_stream(windows) == workbook_stream(linux), "%s: the Workbook streams differ" % name)


def check_samples(folder, linux):
    for sample in SAMPLES:
        check_xls.check_measurement(folder, sample)
    check_xls.check_measurement(os.path.join(folder, "dashes"), "empty")
    check_export.check_gaps(os.path.join(folder, "gaps.xls"))
    # The same workbook gives the same bytes: nothing of the process's memory
    # gets into the container (unused directory entries stay zero).
    with open(os.path.join(folder, "measurement_empty.xls"), "rb") as a, \
            open(os.path.join(folder, "dashes", "measurement_empty.xls"), "rb") as b:
        check(a.read() == b.read(), "two saves of the same workbook differ")
    if linux is None:
        return
    for name in FILES:
        compare(os.path.join(folder, name), os.path.join(linux, name), name)


if __name__ == "__main__":
    linux_folder = sys.argv.pop(2) if len(sys.argv) == 3 else None
    sys.exit(run(lambda folder: check_samples(folder, linux_folder),
                 "the workbooks written under Wine read back like the Linux ones"
                 if linux_folder else "the workbooks written under Wine read back as expected"))
