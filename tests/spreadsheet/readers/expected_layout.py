"""What the measurement workbook holds, cell by cell, for the three samples
(and for the exports' "gaps" file: a full read with some slots empty).

Shared by the reader checks. Rows and columns count from 0 here, as the
readers count them: A1 is (0, 0).
"""

TITLE = "ТАБЛИЦА ИЗМЕРЕНИЙ\n(время, с)"
READ_DATE, READ_TIME = "08.12.2025", "14:03:07"
LIGHT_GREY = (230, 230, 230)
YELLOW = (255, 255, 0)
MERGES = [(0, 1, 0, 11), (10, 11, 5, 11)]  # first row, last row + 1, first column, last column + 1
TABLE_ROWS, TABLE_COLUMNS = 12, 11  # A1:K12: the table, and the centred row below it
GAP_SLOTS = {0, 9, 41, 83}  # the slots that read "------" in the exports' "gaps" file


def slot_value(slot):
    """The number of measurement slot i in the full sample (SlotText in tests/export/measurement_grids.cpp)."""
    return round(0.5 + slot * 1.0625 + (slot % 7) * 0.0001, 4)


def header_cells():
    cells = {(0, 0): TITLE, (1, 0): "№ измерения"}
    for n in range(1, 10):
        cells[(1, n + 1)] = "+%d" % n
        cells[(n + 1, 0)] = "%d0" % (n - 1)
    return cells


def expected_values(sample):
    """{(row, column): value} of every cell that holds something; all others are empty."""
    if sample == "empty":
        return {}
    cells = header_cells()
    if sample == "one":
        cells[(2, 1)] = 3.1416
        cells[(10, 5)] = "Данные считаны  в "
        return cells
    for slot in range(84):
        if sample != "gaps" or slot not in GAP_SLOTS:
            cells[(slot // 10 + 2, slot % 10 + 1)] = slot_value(slot)
    cells[(10, 5)] = "Данные считаны %s в %s" % (READ_DATE, READ_TIME)
    return cells


def fill_of(row, column):
    """The fill colour a cell of the table must show, or None."""
    if row == 0:
        return LIGHT_GREY  # the merged title A1:K1
    if row == 10 and column >= 5:
        return LIGHT_GREY  # the merged read-date line F11:K11
    if row == 1 or (column == 0 and 2 <= row <= 10):
        return YELLOW
    return None


def font_size_of(row):
    return 15 if row == 0 else 12


SAMPLES = ["full", "one", "empty"]
