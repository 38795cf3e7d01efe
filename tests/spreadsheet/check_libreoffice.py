"""Converts the .xls and .xlsx samples to CSV with LibreOffice and checks the values it read."""
import csv
import os
import shutil
import subprocess
import sys
import tempfile

from expected_layout import SAMPLES, expected_values


def read_csv(path):
    with open(path, encoding="utf-8", newline="") as f:
        return list(csv.reader(f))


def compare(name, rows, sample, failures):
    expected = expected_values(sample)
    for row in range(12):
        for column in range(11):
            got = rows[row][column] if row < len(rows) and column < len(rows[row]) else ""
            want = expected.get((row, column), "")
            if isinstance(want, float):
                try:
                    ok = abs(float(got) - want) < 1e-9
                except ValueError:
                    ok = False
            else:
                ok = got == want
            if not ok:
                failures.append("%s: (%d,%d) is %r, want %r" % (name, row, column, got, want))
    extra = [cell for row in rows[12:] for cell in row if cell] + \
            [cell for row in rows[:12] for cell in row[11:] if cell]
    if extra:
        failures.append("%s: values outside the table: %r" % (name, extra[:5]))


def main():
    folder = sys.argv[1]
    soffice = shutil.which("soffice") or shutil.which("libreoffice")
    if not soffice:
        print("FAIL: LibreOffice (soffice) not found")
        return 1
    failures = []
    with tempfile.TemporaryDirectory(prefix="lumetra-lo-") as work:
        inputs = []
        for sample in SAMPLES:
            for extension in ("xls", "xlsx"):
                # Distinct base names: the CSV takes the input's name.
                copy = os.path.join(work, "%s_%s.%s" % (sample, extension, extension))
                shutil.copy(os.path.join(folder, "measurement_%s.%s" % (sample, extension)), copy)
                inputs.append(copy)
        out = os.path.join(work, "csv")
        command = [soffice, "-env:UserInstallation=file://" + os.path.join(work, "profile"), "--headless",
                   "--norestore", "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1", "--outdir", out]
        result = subprocess.run(command + inputs, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=200)
        for sample in SAMPLES:
            for extension in ("xls", "xlsx"):
                name = "%s_%s.csv" % (sample, extension)
                path = os.path.join(out, name)
                if not os.path.exists(path):
                    failures.append("%s: LibreOffice did not convert it: %s" % (name, result.stdout.decode()[-500:]))
                    continue
                compare(name, read_csv(path), sample, failures)
    for failure in failures[:40]:
        print("FAIL:", failure)
    print("%d checks failed" % len(failures) if failures else "LibreOffice read every sample as written")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
