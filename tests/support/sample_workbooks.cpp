#include "tests/support/sample_workbooks.h"

#include <cstdlib>

namespace spreadsheet::testing {
namespace {

constexpr std::int32_t kLightGrey = 15132390;  // red 230, green 230, blue 230
constexpr std::int32_t kYellow = 65535;        // red 255, green 255

void Format(Worksheet& sheet) {
  sheet.SetOrientation(xl::kLandscape);
  sheet.SetBorderLineStyle(ParseRange("A1:K11"), xl::kContinuous);
  sheet.SetFontName(ParseRange("A1:K11"), "Arial");
  sheet.SetColumnWidth(MakeRange(1, 1, kMaxRows, 1), 15);  // "Columns" item 1
  sheet.SetColumnWidth(ParseRange("B2:K11"), 10);
  sheet.Merge(ParseRange("A1:K1"));
  sheet.Merge(ParseRange("F11:K11"));
  sheet.SetRowHeight(MakeRange(1, 1, 1, kMaxColumns), 45);  // "Rows" item 1
  sheet.SetFontSize(SingleCell(1, 1), 15);
  sheet.SetFontSize(ParseRange("A2:K11"), 12);
  sheet.SetVerticalAlignment(ParseRange("A1:A1"), xl::kCenter);
  sheet.SetFillColor(SingleCell(1, 1), kLightGrey);
  sheet.SetFillColor(ParseRange("A2:K2"), kYellow);
  sheet.SetFillColor(ParseRange("A3:A11"), kYellow);
  sheet.SetFillColor(SingleCell(11, 6), kLightGrey);
}

void WriteHeader(Worksheet& sheet) {
  sheet.SetText(1, 1, "ТАБЛИЦА ИЗМЕРЕНИЙ\n(время, с)");
  sheet.SetText(2, 1, "№ измерения");
  sheet.SetHorizontalAlignment(ParseRange("A1:K12"), xl::kCenter);
  for (int n = 1; n <= 9; ++n) {
    sheet.SetNumberFormat(SingleCell(2, n + 2), "@");
    sheet.SetText(2, n + 2, "+" + std::to_string(n));
    sheet.SetNumberFormat(SingleCell(n + 2, 1), "@");
    sheet.SetText(n + 2, 1, std::to_string(n - 1) + "0");
  }
}

// The grid's texts carry a decimal comma, as the export is told to expect.
double NumberOf(std::string text) {
  if (const auto comma = text.find(','); comma != std::string::npos) text[comma] = '.';
  return std::strtod(text.c_str(), nullptr);
}

}  // namespace

Workbook BuildMeasurementWorkbook(const MeasurementGrid& grid) {
  Workbook workbook;
  Worksheet& sheet = workbook.AddWorksheet();
  Format(sheet);
  for (int c = 1; c < 11; ++c) {
    for (int r = 1; r < 10; ++r) {
      const std::string& text = grid[c][r];
      if (text.empty() || text == "------") continue;
      WriteHeader(sheet);
      if (!(r == 9 && (c == 5 || c == 6))) sheet.SetNumber(r + 2, c + 1, NumberOf(text));
      sheet.SetText(11, 6, "Данные считаны " + grid[5][9] + " в " + grid[6][9]);
    }
  }
  return workbook;
}

std::string StressLatinText() {
  std::string text;
  for (int i = 0; i < 9000; ++i) text += static_cast<char>('a' + i % 26);
  return text;
}

std::string StressCyrillicText() {
  std::string text;
  for (int i = 0; i < 7000; ++i) text += (i % 2) ? "ж" : "Я";
  return text;
}

Workbook BuildStressWorkbook() {
  Workbook workbook;
  Worksheet& texts = workbook.AddWorksheet("Тексты");
  texts.SetText(1, 1, StressLatinText());
  texts.SetText(2, 1, StressCyrillicText());
  texts.SetText(3, 1, StressLatinText() + "é");
  for (int row = 4; row <= 1500; ++row) texts.SetText(row, 2, "строка " + std::to_string(row));
  texts.SetText(1501, 2, "строка 4");  // a repeated text shares its entry

  Worksheet& colors = workbook.AddWorksheet("Colours");
  for (int i = 0; i < 70; ++i) {
    colors.SetFillColor(SingleCell(i + 1, 1), 0x010203 * (i + 1) + 7);
    colors.SetNumber(i + 1, 2, i);
  }
  colors.SetOrientation(xl::kPortrait);
  return workbook;
}

}  // namespace spreadsheet::testing
