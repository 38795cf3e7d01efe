"""Reads back the workbooks that the program saved in its end-to-end runs
(on Linux, and lumetra.exe under Wine), with xlrd and with Apache POI (which
also edits and saves it again, as a user's next tool does):

    check_saved_workbook.py [--without-journal] FOLDER SAMPLE_MEASUREMENTS_H

FOLDER holds the workbook of a fresh read, "Измерения.xls", "status-line.txt",
the text the program's status line showed after the read, and "Из
журнала.xls", saved after the same read was put back from the journal,
which must be the same workbook: every sheet with the same cells, formats,
merged areas, column widths and row heights, as xlrd reads them. With
--without-journal (a run that put nothing back) the folder holds no "Из
журнала.xls".

The table must hold the emulator's measurements as numbers, whatever the
locale the program ran under, with the same values as the Linux end-to-end
run shows: the cell texts of tests/support/sample_measurements.h, read as
numbers, "------" as an empty cell, and the status line's text as the
read-date line. The reader checks of
tests/spreadsheet/readers are on PYTHONPATH; POI's from the environment
(LUMETRA_JAVA, LUMETRA_POI_CLASSPATH)."""
import os
import re
import subprocess
import sys

import xlrd

from check_poi import PROGRAM as POI_PROGRAM, parse as parse_poi
from expected_layout import TABLE_COLUMNS, TABLE_ROWS, header_cells

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def expected_cells(header, status_line):
    """{(row, column): value} of the table (0-based)."""
    shown = [text for _, text in re.findall(r'\{"([^"]*)", "([^"]*)"\}', open(header, encoding="utf-8").read())]
    check(len(shown) == 12, "%s: %d measurements found, want 12" % (header, len(shown)))
    cells = header_cells()
    for slot in range(84):
        text = shown[slot] if slot < len(shown) else "------"
        if text != "------":
            cells[(slot // 10 + 2, slot % 10 + 1)] = float(text)
    check(status_line.startswith("Данные считаны "), "the status line read %r" % status_line)
    cells[(10, 5)] = status_line
    return cells


def check_cells(name, expected, cells):
    """`cells` {(row, column): value} holds exactly the expected values, numbers as numbers."""
    for where in sorted(set(expected) | set(cells)):
        want, got = expected.get(where, ""), cells.get(where, "")
        if isinstance(want, float):
            ok = isinstance(got, float) and abs(got - want) < 1e-9
        else:
            ok = got == want
        check(ok, "%s: %r is %r, want %r" % (name, where, got, want))


def xlrd_cells(path):
    sheet = xlrd.open_workbook(path).sheet_by_index(0)
    check(sheet.nrows <= TABLE_ROWS and sheet.ncols <= TABLE_COLUMNS,
          "xlrd: the sheet reaches %d rows, %d columns" % (sheet.nrows, sheet.ncols))
    cells = {}
    for row in range(sheet.nrows):
        for column in range(sheet.ncols):
            cell = sheet.cell(row, column)
            if cell.ctype == xlrd.XL_CELL_NUMBER:
                cells[(row, column)] = float(cell.value)
            elif cell.ctype == xlrd.XL_CELL_TEXT and cell.value != "":
                cells[(row, column)] = cell.value
            elif cell.ctype not in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                cells[(row, column)] = ("type %d" % cell.ctype, cell.value)
    return cells


def workbook_contents(path):
    """Everything of a workbook that xlrd reads, sheet by sheet, to compare two."""
    book = xlrd.open_workbook(path, formatting_info=True)
    sheets = []
    for sheet in book.sheets():
        cells = {}
        for row in range(sheet.nrows):
            for column in range(sheet.ncols):
                cell = sheet.cell(row, column)
                xf = book.xf_list[cell.xf_index]
                font = book.font_list[xf.font_index]
                cells[(row, column)] = (cell.ctype, cell.value, book.format_map[xf.format_key].format_str,
                                        font.name, font.height, font.bold, xf.background.pattern_colour_index,
                                        xf.alignment.hor_align, xf.alignment.vert_align)
        widths = {column: info.width for column, info in sheet.colinfo_map.items()}
        heights = {row: info.height for row, info in sheet.rowinfo_map.items()}
        sheets.append((sheet.name, cells, sorted(sheet.merged_cells), widths, heights))
    return sheets


def check_same_workbook(fresh, reopened):
    first, second = workbook_contents(fresh), workbook_contents(reopened)
    check(len(first) == len(second), "%d sheets, then %d" % (len(first), len(second)))
    for (name, cells, merged, widths, heights), (name2, cells2, merged2, widths2, heights2) in zip(first, second):
        check(name == name2, "sheet %r, then %r" % (name, name2))
        for where in sorted(set(cells) | set(cells2)):
            check(cells.get(where) == cells2.get(where),
                  "%s %r: %r from the read, %r from the journal" % (name, where, cells.get(where), cells2.get(where)))
        check(merged == merged2, "%s: merged areas %r, then %r" % (name, merged, merged2))
        check(widths == widths2, "%s: column widths %r, then %r" % (name, widths, widths2))
        check(heights == heights2, "%s: row heights %r, then %r" % (name, heights, heights2))


def check_with_poi(path, expected):
    command = [os.environ.get("LUMETRA_JAVA", "java"), "-Dfile.encoding=UTF-8", "-cp",
               os.environ.get("LUMETRA_POI_CLASSPATH", ""), POI_PROGRAM, path]
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=100)
    check(result.returncode == 0, "POI ended with %d: %s" % (result.returncode, result.stderr.decode()[-800:]))
    got = parse_poi(result.stdout.decode("utf-8")).get(path)
    if got is None:
        check(False, "POI reported nothing")
        return
    for error in got["errors"]:
        check(False, "POI: " + error)
    check_cells("POI", expected, got["cells"])
    # Its own save of the file, with a total below the table, opened again.
    if "reopened" in got:
        check_cells("POI, saved again", expected, {k: v for k, v in got["reopened"].items() if k[0] < TABLE_ROWS})
        total = sum(value for value in expected.values() if isinstance(value, float))
        formula = got.get("formula", [])
        check(len(formula) == 4 and abs(float(formula[3]) - total) < 1e-6,
              "POI: the total below the table is %r, want %r" % (formula, total))


def main():
    arguments = sys.argv[1:]
    with_journal = arguments[:1] != ["--without-journal"]
    if not with_journal:
        arguments = arguments[1:]
    if len(arguments) != 2:
        print("usage: %s [--without-journal] FOLDER SAMPLE_MEASUREMENTS_H" % sys.argv[0])
        return 2
    folder, header = arguments
    path = os.path.join(folder, "Измерения.xls")
    with open(os.path.join(folder, "status-line.txt"), encoding="utf-8") as status:
        expected = expected_cells(header, status.read())
    check_cells("xlrd", expected, xlrd_cells(path))
    check_with_poi(path, expected)
    if with_journal:
        check_same_workbook(path, os.path.join(folder, "Из журнала.xls"))
    for failure in failures[:40]:
        print("FAIL:", failure)
    print("%d checks failed" % len(failures) if failures else "%s read back by xlrd and POI as expected" % path)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
