"""Reads the .xls samples back with xlrd and checks values, layout and formats."""
import os
import struct
import sys

import xlrd
from xlrd import compdoc

from expected_layout import MERGES, SAMPLES, fill_of, font_size_of
from harness import check, check_values, run


def records(path):
    """(type, data) of every record of the Workbook stream, read through xlrd's own compound-file reader."""
    with open(path, "rb") as f:
        stream = compdoc.CompDoc(f.read(), logfile=open(os.devnull, "w")).get_named_stream("Workbook")
    pos = 0
    while pos + 4 <= len(stream):
        kind, size = struct.unpack_from("<HH", stream, pos)
        yield kind, stream[pos + 4:pos + 4 + size]
        pos += 4 + size


def check_measurement(folder, sample):
    name = "measurement_%s.xls" % sample
    book = xlrd.open_workbook(os.path.join(folder, name), formatting_info=True)
    check(book.nsheets == 1 and book.sheet_names() == ["Лист1"], "%s: one sheet named Лист1" % name)
    sheet = book.sheet_by_index(0)

    # Values, and their cell types: numbers as numbers, labels as text.
    check_values(name, sample, lambda row, column: sheet.cell_value(row, column), sheet.nrows, sheet.ncols)

    check(sorted(sheet.merged_cells) == MERGES, "%s: merged %r" % (name, sheet.merged_cells))
    check(sheet.colinfo_map[0].width == 4022, "%s: column A width %d" % (name, sheet.colinfo_map[0].width))
    for column in range(1, 11):
        info = sheet.colinfo_map.get(column)
        check(info is not None and info.width == 2742, "%s: column %d width" % (name, column))
    check(11 not in sheet.colinfo_map, "%s: column L keeps the standard width" % name)
    row1 = sheet.rowinfo_map[0]
    check(row1.height == 900 and row1.has_default_height == 0, "%s: row 1 is 45 pt, set by hand" % name)

    for row in range(11):
        for column in range(11):
            where = "%s: (%d,%d)" % (name, row, column)
            xf = book.xf_list[sheet.cell_xf_index(row, column)]
            check(xf.is_style == 0, where + " points at a cell XF")
            font = book.font_list[xf.font_index]
            check(xf.font_index != 4, where + " uses font index 4")
            check(font.name == "Arial" and font.height == font_size_of(row) * 20,
                  where + " font %s %d" % (font.name, font.height))
            border = xf.border
            check((border.left_line_style, border.right_line_style, border.top_line_style,
                   border.bottom_line_style) == (1, 1, 1, 1), where + " thin borders")
            check(border.left_colour_index == 0x40 and border.bottom_colour_index == 0x40,
                  where + " automatic border colour")
            fill = fill_of(row, column)
            background = xf.background
            if fill is None:
                check(background.fill_pattern == 0, where + " has no fill")
            else:
                check(background.fill_pattern == 1 and book.colour_map[background.pattern_colour_index] == fill,
                      where + " fill %r" % (book.colour_map.get(background.pattern_colour_index),))
            text_format = (row == 1 and column >= 2) or (column == 0 and 2 <= row <= 10)
            if sample != "empty":
                check(xf.alignment.hor_align == 2, where + " centred")
                format_key = xf.format_key
                if text_format:
                    check(format_key == 49 and book.format_map[49].format_str == "@", where + " text format @")
                else:
                    check(format_key == 0, where + " general format")

    title = book.xf_list[sheet.cell_xf_index(0, 0)]
    check(title.alignment.vert_align == 1, "%s: title centred vertically" % name)
    check(title.alignment.text_wrapped == (1 if sample != "empty" else 0), "%s: title wraps its two lines" % name)
    if sample != "empty":
        # Row 12 was centred but holds nothing: formatted blanks, no borders.
        xf = book.xf_list[sheet.cell_xf_index(11, 0)]
        check(xf.alignment.hor_align == 2 and xf.border.left_line_style == 0, "%s: row 12 centred only" % name)

    setups = [data for kind, data in records(os.path.join(folder, name)) if kind == 0x00A1]
    check(len(setups) == 1, "%s: one page setup" % name)
    if setups:
        grbit = struct.unpack_from("<H", setups[0], 10)[0]
        check(grbit & 0x46 == 0, "%s: landscape page, orientation defined (grbit %#x)" % (name, grbit))


def check_stress(folder):
    book = xlrd.open_workbook(os.path.join(folder, "stress.xls"), formatting_info=True)
    check(book.sheet_names() == ["Тексты", "Colours"], "stress: sheet names %r" % book.sheet_names())
    texts = book.sheet_by_index(0)
    latin = "".join(chr(ord("a") + i % 26) for i in range(9000))
    cyrillic = "".join("ж" if i % 2 else "Я" for i in range(7000))
    check(texts.cell_value(0, 0) == latin, "stress: long one-byte text")
    check(texts.cell_value(1, 0) == cyrillic, "stress: long two-byte text")
    check(texts.cell_value(2, 0) == latin + "é", "stress: Latin-1 text")
    check(all(texts.cell_value(row - 1, 1) == "строка %d" % row for row in range(4, 1501)), "stress: short texts")
    check(texts.cell_value(1500, 1) == "строка 4", "stress: repeated text")
    colours = book.sheet_by_index(1)
    exact = 0
    for row in range(70):
        want = 0x010203 * (row + 1) + 7
        want_rgb = (want & 0xFF, (want >> 8) & 0xFF, want >> 16)
        xf = book.xf_list[colours.cell_xf_index(row, 0)]
        exact += book.colour_map[xf.background.pattern_colour_index] == want_rgb
        check(colours.cell_value(row, 1) == row, "stress: number in row %d" % row)
    check(exact == 56, "stress: 56 of 70 colours held exactly, got %d" % exact)


def check_samples(folder):
    for sample in SAMPLES:
        check_measurement(folder, sample)
    check_stress(folder)


if __name__ == "__main__":
    sys.exit(run(check_samples, "all .xls checks passed"))
