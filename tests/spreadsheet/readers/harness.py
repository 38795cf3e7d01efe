"""The frame every reader check runs in: the samples folder named on the
command line, the failed checks gathered in one list, the values of the
measurement table compared with its expected layout, and one report whose
exit status CTest reads."""
import sys

from expected_layout import TABLE_COLUMNS, TABLE_ROWS, expected_values

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def check_values(name, sample, read, rows, columns, typed=True):
    """Every cell holds what the layout says, and nothing lies outside it.

    `read(row, column)` answers a cell's value, "" for an empty one; `rows`
    and `columns` are the extent the reader found. Numbers must come back as
    numbers, or, where the reader gives only texts (`typed` false), as texts
    that read as the number.
    """
    expected = expected_values(sample)
    for row in range(max(rows, TABLE_ROWS)):
        for column in range(max(columns, TABLE_COLUMNS)):
            got = read(row, column) if row < rows and column < columns else ""
            want = expected.get((row, column), "")
            if isinstance(want, float):
                ok = _reads_as(got, want, typed)
            else:
                ok = got == want
            check(ok, "%s: (%d,%d) is %r, want %r" % (name, row, column, got, want))


def _reads_as(got, want, typed):
    if typed and not isinstance(got, float):
        return False
    try:
        return abs(float(got) - want) < 1e-9
    except ValueError:
        return False


def run(checks, passed):
    """Runs checks(folder) on the folder named on the command line and reports.

    Prints the first failures, or `passed` when there were none; answers the
    exit status: 0 passed, 1 failed, 2 wrong arguments.
    """
    if len(sys.argv) != 2:
        print("usage: %s SAMPLES_FOLDER" % sys.argv[0])
        return 2
    checks(sys.argv[1])
    for failure in failures[:40]:
        print("FAIL:", failure)
    print("%d checks failed" % len(failures) if failures else passed)
    return 1 if failures else 0
