"""Has Apache POI open the measurement workbooks (.xls) of a folder, read
them back, and then do what a user's next tool does: set a print area and
rows to repeat, add a defined name and a formula that names the sheet, save,
and open the result again (PoiReadAndEdit.java, run with the Java runtime
and POI's classpath from the environment: LUMETRA_JAVA, LUMETRA_POI_CLASSPATH).

    check_poi.py FOLDER

Checks measurement_{full,one,empty}.xls and, where the folder has them,
dashes/measurement_empty.xls and gaps.xls (the exports' extra files)."""
import os
import subprocess
import sys

from expected_layout import SAMPLES, expected_values
from harness import check, check_values, run

PROGRAM = os.path.join(os.path.dirname(os.path.abspath(__file__)), "PoiReadAndEdit.java")
SHEET = "Лист1"


def unescape(text):
    return text.replace("\\\\", "\0").replace("\\t", "\t").replace("\\n", "\n").replace("\0", "\\")


def parse(output):
    """{path: {"cells": {...}, "reopened": {...}, "errors": [...], key: fields}} from the program's lines."""
    files, current, cells = {}, None, None
    for line in output.splitlines():
        fields = [unescape(f) for f in line.split("\t")]
        kind = fields[0]
        if kind == "file":
            current = files[fields[1]] = {"cells": {}, "errors": []}
            cells = current["cells"]
        elif kind == "cell":
            row, column, cell_type, value = int(fields[1]), int(fields[2]), fields[3], fields[4]
            cells[(row, column)] = float(value) if cell_type == "n" else value if cell_type == "s" else (cell_type, value)
        elif kind == "reopened":
            cells = current["reopened"] = {}
        elif kind == "error":
            current["errors"].append("%s failed: %s" % (fields[1], fields[2]))
        else:
            current[kind] = fields[1:]
    return files


def check_cells(name, sample, cells):
    rows = max((row + 1 for row, _ in cells), default=0)
    columns = max((column + 1 for _, column in cells), default=0)
    check_values(name, sample, lambda row, column: cells.get((row, column), ""), rows, columns)


def check_follow_ups(name, sample, result):
    """After the edits, POI's own save and a fresh open: the cells kept, the edits there."""
    for error in result["errors"]:
        check(False, "%s: %s" % (name, error))
    if "reopened" not in result:
        return
    check_cells(name + " (saved by POI)", sample, result["reopened"])
    check(result.get("printarea") in (["%s!$A$1:$K$11" % SHEET], ["'%s'!$A$1:$K$11" % SHEET]),
          "%s: print area %r" % (name, result.get("printarea")))
    check(result.get("repeat") == ["0", "1"], "%s: repeating rows %r" % (name, result.get("repeat")))
    check(result.get("name", [None])[0] == "Измерения" and result["name"][1].endswith("!$B$3:$K$11")
          and SHEET in result["name"][1], "%s: defined name %r" % (name, result.get("name")))
    formula = result.get("formula", [])
    total = sum(value for (row, column), value in expected_values(sample).items()
                if isinstance(value, float) and 2 <= row <= 10 and 1 <= column <= 10)
    check(len(formula) == 4 and SHEET in formula[2] and abs(float(formula[3]) - total) < 1e-6,
          "%s: formula %r, want the total %r" % (name, formula, total))


def check_folder(folder):
    files = {os.path.join(folder, "measurement_%s.xls" % sample): sample for sample in SAMPLES}
    extras = {os.path.join(folder, "dashes", "measurement_empty.xls"): "empty", os.path.join(folder, "gaps.xls"): "gaps"}
    files.update({path: sample for path, sample in extras.items() if os.path.exists(path)})

    java = os.environ.get("LUMETRA_JAVA", "java")
    # The program's source holds Cyrillic: read it as UTF-8 whatever the locale.
    command = [java, "-Dfile.encoding=UTF-8", "-cp", os.environ.get("LUMETRA_POI_CLASSPATH", ""), PROGRAM] + list(files)
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=200)
    check(result.returncode == 0, "POI program ended with %d: %s" % (result.returncode, result.stderr.decode()[-800:]))
    results = parse(result.stdout.decode("utf-8"))
    for path, sample in files.items():
        name = os.path.relpath(path, folder)
        got = results.get(path)
        check(got is not None, "%s: POI reported nothing" % name)
        if got is None:
            continue
        check_cells(name, sample, got["cells"])
        check_follow_ups(name, sample, got)


if __name__ == "__main__":
    sys.exit(run(check_folder, "POI read every workbook, and edited, saved and reopened it"))
