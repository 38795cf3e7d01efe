// Opens .xls workbooks with Apache POI, reports the cells of the first sheet,
// then does what a user's next tool does with such a file and reports what
// the file holds after a save and a fresh open:
//
//     java -cp POI_CLASSPATH PoiReadAndEdit.java FILE...
//
// Run as a single source file, so the Java runtime alone suffices. Each file
// gives tab-separated lines, which check_poi.py compares with the expected
// layout:
//     file    PATH
//     cell    ROW COLUMN n VALUE | s TEXT     (0-based; only non-blank cells)
//     error   STEP DESCRIPTION                (after a failed open, write or
//                                             reopen, nothing more of the file)
//     reopened                                (then its cells, as above)
//     printarea  REFERENCE
//     repeat     FIRST_ROW LAST_ROW
//     name       NAME REFERS_TO
//     formula    ROW COLUMN FORMULA VALUE
// Texts escape backslash, tab and line feed as \\, \t and \n.
import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.io.FileInputStream;
import java.io.InputStream;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;

import org.apache.poi.hssf.usermodel.HSSFFormulaEvaluator;
import org.apache.poi.hssf.usermodel.HSSFWorkbook;
import org.apache.poi.ss.usermodel.Cell;
import org.apache.poi.ss.usermodel.CellType;
import org.apache.poi.ss.usermodel.Name;
import org.apache.poi.ss.usermodel.Row;
import org.apache.poi.ss.usermodel.Sheet;
import org.apache.poi.ss.util.CellRangeAddress;

public class PoiReadAndEdit {
  // What a user adds: the table's name, and a total below it.
  static final String NAME = "Измерения";
  static final String NAMED_AREA = "$B$3:$K$11";
  static final int FORMULA_ROW = 12, FORMULA_COLUMN = 0;  // A13

  static PrintStream out;

  interface Step {
    void run() throws Exception;
  }

  // Runs one step and answers whether it succeeded; a failure is reported
  // under the step's name.
  static boolean step(String name, Step step) {
    try {
      step.run();
      return true;
    } catch (Exception | Error e) {
      out.println("error\t" + name + "\t" + escape(e.toString()));
      return false;
    }
  }

  static String escape(String text) {
    return text.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n");
  }

  static HSSFWorkbook open(InputStream in) throws Exception {
    try (in) {
      return new HSSFWorkbook(in);
    }
  }

  static void printCells(Sheet sheet) {
    for (Row row : sheet) {
      for (Cell cell : row) {
        String where = "cell\t" + cell.getRowIndex() + "\t" + cell.getColumnIndex() + "\t";
        if (cell.getCellType() == CellType.NUMERIC) {
          out.println(where + "n\t" + Double.toString(cell.getNumericCellValue()));
        } else if (cell.getCellType() == CellType.STRING) {
          out.println(where + "s\t" + escape(cell.getStringCellValue()));
        } else if (cell.getCellType() != CellType.BLANK && cell.getCellType() != CellType.FORMULA) {
          out.println(where + "?\t" + cell.getCellType());
        }
      }
    }
  }

  static void check(String path) {
    out.println("file\t" + escape(path));
    HSSFWorkbook[] book = new HSSFWorkbook[1];
    if (!step("open", () -> book[0] = open(new FileInputStream(path)))) return;
    Sheet sheet = book[0].getSheetAt(0);
    String quoted = "'" + sheet.getSheetName().replace("'", "''") + "'";
    printCells(sheet);

    step("set print area", () -> book[0].setPrintArea(0, "$A$1:$K$11"));
    step("set repeating rows", () -> sheet.setRepeatingRows(CellRangeAddress.valueOf("1:2")));
    step("add name", () -> {
      Name name = book[0].createName();
      name.setNameName(NAME);
      name.setRefersToFormula(quoted + "!" + NAMED_AREA);
    });
    step("add formula", () -> {
      Row row = sheet.getRow(FORMULA_ROW) != null ? sheet.getRow(FORMULA_ROW) : sheet.createRow(FORMULA_ROW);
      row.createCell(FORMULA_COLUMN).setCellFormula("SUM(" + quoted + "!B3:K11)");
    });
    ByteArrayOutputStream saved = new ByteArrayOutputStream();
    if (!step("write", () -> book[0].write(saved))) return;
    HSSFWorkbook[] again = new HSSFWorkbook[1];
    if (!step("reopen", () -> again[0] = open(new ByteArrayInputStream(saved.toByteArray())))) return;

    out.println("reopened");
    Sheet reopened = again[0].getSheetAt(0);
    printCells(reopened);
    step("read print area", () -> out.println("printarea\t" + escape(String.valueOf(again[0].getPrintArea(0)))));
    step("read repeating rows", () -> {
      CellRangeAddress rows = reopened.getRepeatingRows();
      out.println(rows == null ? "repeat\tnone" : "repeat\t" + rows.getFirstRow() + "\t" + rows.getLastRow());
    });
    step("read name", () -> {
      Name name = again[0].getName(NAME);
      out.println(name == null ? "name\tnone" : "name\t" + escape(name.getNameName()) + "\t" + escape(name.getRefersToFormula()));
    });
    step("evaluate formula", () -> {
      Row row = reopened.getRow(FORMULA_ROW);
      Cell cell = row == null ? null : row.getCell(FORMULA_COLUMN);
      if (cell == null || cell.getCellType() != CellType.FORMULA) {
        out.println("formula\tnone");
        return;
      }
      double value = new HSSFFormulaEvaluator(again[0]).evaluate(cell).getNumberValue();
      out.println("formula\t" + FORMULA_ROW + "\t" + FORMULA_COLUMN + "\t" + escape(cell.getCellFormula()) + "\t" + value);
    });
  }

  public static void main(String[] args) throws Exception {
    out = new PrintStream(System.out, true, StandardCharsets.UTF_8);
    for (String path : args) check(path);
  }
}
