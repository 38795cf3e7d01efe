"""Reads a lab sheet's PDF back with poppler's tools, as an outsider to the
program would, and checks it against what the test expects:

    read_lab_sheet.py PDF EXPECTED PNG [--drawn-like REFERENCE]

PDF is the file, or a folder holding exactly one. It must be one A4 page
(pdfinfo), and its text (pdftotext, in the locale this runs under) must
hold every line of the UTF-8 file EXPECTED, with runs of white space taken
as one space. The page is rendered to PNG (pdftoppm) for a person to look
at. Prints what is missing; the exit status says whether all was found,
or is 77 (skipped) for a folder where tests/app/with-pdf-printer could not
print (it leaves the file "skipped" there).

With --drawn-like, it is REFERENCE whose text must hold EXPECTED, and the
page of PDF must look like REFERENCE's: for a PDF that a print server's
filters made from a print job, where text may have become pictures of its
glyphs (Debian 12's CUPS filters turn the fonts of a PDF job into Type 3
glyphs without their characters on the way to PostScript)."""
import os
import re
import subprocess
import sys


def the_pdf(path):
    if not os.path.isdir(path):
        return path
    if os.path.exists(os.path.join(path, "skipped")):
        print("nothing was printed:", open(os.path.join(path, "skipped")).read().strip())
        sys.exit(77)
    found = [os.path.join(path, name) for name in sorted(os.listdir(path)) if name.endswith(".pdf")]
    if len(found) != 1:
        sys.exit(f"{path}: {len(found)} PDF files, one expected: {found}")
    return found[0]


def grey_pixels(pdf, dpi):
    """The first page as (width, height, bytes) of 8-bit grey, from pdftoppm's PGM."""
    pgm = subprocess.run(["pdftoppm", "-q", "-gray", "-r", str(dpi), "-singlefile", pdf], capture_output=True,
                         check=True).stdout
    # "P5 width height maxval" and one white-space byte before the pixels.
    fields = pgm.split(maxsplit=4)
    return int(fields[1]), int(fields[2]), fields[4][-int(fields[1]) * int(fields[2]):]


def block_greys(pdf, size=8):
    """The page at 50 dpi as the mean grey of each square of size x size
    pixels (4 mm): glyphs drawn from other fonts' outlines differ pixel by
    pixel, not in how much ink they put on the page."""
    width, height, pixels = grey_pixels(pdf, 50)
    greys = []
    for top in range(0, height - size + 1, size):
        for left in range(0, width - size + 1, size):
            greys.append(sum(pixels[(top + y) * width + left + x] for y in range(size) for x in range(size)) / size ** 2)
    return (width, height), greys


def unlike(pdf, reference):
    """Why the two pages do not look alike, or None: the share of squares
    whose grey differs by more than 16 of 255 must stay under 1 %. (The same
    sheet through the print server differs in 0.4 %; one read a minute later,
    drawn by another system, in 7 %.)"""
    size, greys = block_greys(pdf)
    reference_size, reference_greys = block_greys(reference)
    if size != reference_size:
        return f"page of {size[0]} x {size[1]} pixels, the reference's {reference_size[0]} x {reference_size[1]}"
    differing = sum(1 for a, b in zip(greys, reference_greys) if abs(a - b) > 16)
    if differing > 0.01 * len(greys):
        return f"{differing} of {len(greys)} squares look different from the reference's"
    return None


def main():
    arguments = sys.argv[1:]
    reference = None
    if len(arguments) == 5 and arguments[3] == "--drawn-like":
        reference = arguments[4]
        arguments = arguments[:3]
    if len(arguments) != 3:
        sys.exit(__doc__)
    pdf, expected_file, png = the_pdf(arguments[0]), arguments[1], arguments[2]
    info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True, check=True).stdout
    problems = []
    if reference:
        difference = unlike(pdf, reference)
        if difference:
            problems.append(difference)
    pages = re.search(r"^Pages:\s+(\d+)", info, re.M)
    if not pages or pages.group(1) != "1":
        problems.append("not one page: " + (pages.group(1) if pages else "no page count"))
    size = re.search(r"^Page size:\s+([\d.]+) x ([\d.]+) pts", info, re.M)
    # A4 is 595.28 x 841.89 points; a driver may round to whole points.
    if not size or abs(float(size.group(1)) - 595.28) > 1 or abs(float(size.group(2)) - 841.89) > 1:
        problems.append("not A4 portrait: " + (size.group(0) if size else "no page size"))

    text = subprocess.run(["pdftotext", "-q", "-layout", "-enc", "UTF-8", reference or pdf, "-"],
                          capture_output=True, check=True)
    words = " ".join(text.stdout.decode("utf-8").split())
    with open(expected_file, encoding="utf-8") as lines:
        for line in lines:
            wanted = " ".join(line.split())
            if wanted and wanted not in words:
                problems.append("missing text: " + wanted)

    os.makedirs(os.path.dirname(os.path.abspath(png)), exist_ok=True)
    subprocess.run(["pdftoppm", "-q", "-png", "-r", "100", "-singlefile", pdf, png[:-4] if png.endswith(".png") else png],
                   check=True)

    for problem in problems:
        print(f"{pdf}: {problem}")
    if problems:
        print("The text pdftotext found:\n" + text.stdout.decode("utf-8", "replace"))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
