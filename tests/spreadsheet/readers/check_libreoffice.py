"""Has LibreOffice open the .xls and .xlsx samples and checks the values it read.

LibreOffice saves what it read as a flat OpenDocument spreadsheet, whose cells
carry their type and their value in a form that does not depend on the locale
LibreOffice runs in (a Russian desktop's would turn 12.3456 into "12,3456" in
any text export).
"""
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

from expected_layout import SAMPLES
from harness import check, check_values, run

EXTENSIONS = ("xls", "xlsx")
OFFICE = "urn:oasis:names:tc:opendocument:xmlns:office:1.0"
TABLE = "urn:oasis:names:tc:opendocument:xmlns:table:1.0"
TEXT = "urn:oasis:names:tc:opendocument:xmlns:text:1.0"


def q(namespace, name):
    return "{%s}%s" % (namespace, name)


def paragraph_text(element):
    """The text of a paragraph, with its space and line-break elements spelt out."""
    parts = [element.text or ""]
    for child in element:
        if child.tag == q(TEXT, "s"):
            parts.append(" " * int(child.get(q(TEXT, "c"), "1")))
        elif child.tag == q(TEXT, "line-break"):
            parts.append("\n")
        elif child.tag == q(TEXT, "tab"):
            parts.append("\t")
        else:
            parts.append(paragraph_text(child))
        parts.append(child.tail or "")
    return "".join(parts)


def cell_value(cell):
    if cell.get(q(OFFICE, "value-type")) == "float":
        return float(cell.get(q(OFFICE, "value")))
    return "\n".join(paragraph_text(p) for p in cell.findall(q(TEXT, "p")))


def repeats(element, attribute, value):
    """How often a cell or row stands. Empty ones run on to the sheet's edge
    (a million rows); far past the table, they only mark its extent."""
    count = int(element.get(q(TABLE, attribute), "1"))
    return min(count, 256) if value in ("", []) else count


def read_first_sheet(path):
    """The first sheet as a list of rows of values ("" for an empty cell)."""
    sheet = ET.parse(path).getroot().find(".//" + q(TABLE, "table"))
    rows = []
    for row in sheet.iter(q(TABLE, "table-row")):
        values = []
        for cell in row:
            if cell.tag not in (q(TABLE, "table-cell"), q(TABLE, "covered-table-cell")):
                continue
            value = cell_value(cell)
            values += [value] * repeats(cell, "number-columns-repeated", value)
        values = values[:max((i + 1 for i, v in enumerate(values) if v != ""), default=0)]
        rows += [values] * repeats(row, "number-rows-repeated", values)
    # Trailing empty rows are only the sheet's extent.
    while rows and not rows[-1]:
        rows.pop()
    return rows


def check_samples(folder):
    soffice = shutil.which("soffice") or shutil.which("libreoffice")
    check(soffice, "LibreOffice (soffice) not found")
    if not soffice:
        return
    with tempfile.TemporaryDirectory(prefix="lumetra-lo-") as work:
        inputs = []
        for sample in SAMPLES:
            for extension in EXTENSIONS:
                # Distinct base names: the output takes the input's name.
                copy = os.path.join(work, "%s_%s.%s" % (sample, extension, extension))
                shutil.copy(os.path.join(folder, "measurement_%s.%s" % (sample, extension)), copy)
                inputs.append(copy)
        out = os.path.join(work, "fods")
        command = [soffice, "-env:UserInstallation=file://" + os.path.join(work, "profile"), "--headless",
                   "--norestore", "--convert-to", "fods", "--outdir", out]
        result = subprocess.run(command + inputs, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=200)
        for sample in SAMPLES:
            for extension in EXTENSIONS:
                name = "%s_%s.fods" % (sample, extension)
                path = os.path.join(out, name)
                check(os.path.exists(path), "%s: LibreOffice did not convert it: %s" % (name, result.stdout.decode()[-500:]))
                if os.path.exists(path):
                    rows = read_first_sheet(path)
                    check_values(name, sample, lambda row, column: rows[row][column] if column < len(rows[row]) else "",
                                 len(rows), max((len(r) for r in rows), default=0))


if __name__ == "__main__":
    sys.exit(run(check_samples, "LibreOffice read every sample as written"))
