"""Converts the .xls and .xlsx samples to CSV with LibreOffice and checks the values it read."""
import csv
import os
import shutil
import subprocess
import sys
import tempfile

from expected_layout import SAMPLES
from harness import check, check_values, run

EXTENSIONS = ("xls", "xlsx")


def read_csv(path):
    with open(path, encoding="utf-8", newline="") as f:
        return list(csv.reader(f))


def check_samples(folder):
    soffice = shutil.which("soffice") or shutil.which("libreoffice")
    check(soffice, "LibreOffice (soffice) not found")
    if not soffice:
        return
    with tempfile.TemporaryDirectory(prefix="lumetra-lo-") as work:
        inputs = []
        for sample in SAMPLES:
            for extension in EXTENSIONS:
                # Distinct base names: the CSV takes the input's name.
                copy = os.path.join(work, "%s_%s.%s" % (sample, extension, extension))
                shutil.copy(os.path.join(folder, "measurement_%s.%s" % (sample, extension)), copy)
                inputs.append(copy)
        out = os.path.join(work, "csv")
        command = [soffice, "-env:UserInstallation=file://" + os.path.join(work, "profile"), "--headless",
                   "--norestore", "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1", "--outdir", out]
        result = subprocess.run(command + inputs, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=200)
        for sample in SAMPLES:
            for extension in EXTENSIONS:
                name = "%s_%s.csv" % (sample, extension)
                path = os.path.join(out, name)
                check(os.path.exists(path), "%s: LibreOffice did not convert it: %s" % (name, result.stdout.decode()[-500:]))
                if os.path.exists(path):
                    rows = read_csv(path)
                    check_values(name, sample, lambda row, column: rows[row][column] if column < len(rows[row]) else "",
                                 len(rows), max((len(r) for r in rows), default=0), typed=False)


if __name__ == "__main__":
    sys.exit(run(check_samples, "LibreOffice read every sample as written"))
