"""Prints every number cell of a saved workbook's first sheet as "ROW COLUMN VALUE"
(rows and columns from 1), read by a reader of its own: xlrd for .xls, the
package's XML for .xlsx. A number written with a decimal comma is no number
to either, and shows as an error."""
import sys
import zipfile
import xml.etree.ElementTree as ET

import xlrd


def xls_numbers(path):
    sheet = xlrd.open_workbook(path).sheet_by_index(0)
    for row in range(sheet.nrows):
        for column in range(sheet.ncols):
            if sheet.cell_type(row, column) == xlrd.XL_CELL_NUMBER:
                yield row + 1, column + 1, sheet.cell_value(row, column)


def column_number(letters):
    number = 0
    for letter in letters:
        number = number * 26 + ord(letter) - ord("A") + 1
    return number


def xlsx_numbers(path):
    ns = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main"}
    with zipfile.ZipFile(path) as package:
        root = ET.fromstring(package.read("xl/worksheets/sheet1.xml"))
    for cell in root.iterfind(".//m:sheetData/m:row/m:c", ns):
        value = cell.find("m:v", ns)
        if cell.get("t", "n") == "n" and value is not None:
            reference = cell.get("r")
            letters = reference.rstrip("0123456789")
            yield int(reference[len(letters):]), column_number(letters), float(value.text)


if __name__ == "__main__":
    path = sys.argv[1]
    for row, column, value in (xlsx_numbers if path.lower().endswith(".xlsx") else xls_numbers)(path):
        print(row, column, repr(value))
