// Record type numbers of the Excel 97-2003 workbook stream.
#pragma once

#include <cstdint>

namespace spreadsheet::xls::record {

inline constexpr std::uint16_t kBof = 0x0809;
inline constexpr std::uint16_t kEof = 0x000A;

// Workbook globals.
inline constexpr std::uint16_t kInterfaceHdr = 0x00E1;
inline constexpr std::uint16_t kMms = 0x00C1;
inline constexpr std::uint16_t kInterfaceEnd = 0x00E2;
inline constexpr std::uint16_t kWriteAccess = 0x005C;
inline constexpr std::uint16_t kCodePage = 0x0042;
inline constexpr std::uint16_t kDsf = 0x0161;
inline constexpr std::uint16_t kTabId = 0x013D;
inline constexpr std::uint16_t kWindowProtect = 0x0019;
inline constexpr std::uint16_t kProtect = 0x0012;
inline constexpr std::uint16_t kPassword = 0x0013;
inline constexpr std::uint16_t kProt4Rev = 0x01AF;
inline constexpr std::uint16_t kProt4RevPass = 0x01BC;
inline constexpr std::uint16_t kWindow1 = 0x003D;
inline constexpr std::uint16_t kBackup = 0x0040;
inline constexpr std::uint16_t kHideObj = 0x008D;
inline constexpr std::uint16_t kDateMode = 0x0022;
inline constexpr std::uint16_t kPrecision = 0x000E;
inline constexpr std::uint16_t kRefreshAll = 0x01B7;
inline constexpr std::uint16_t kBookBool = 0x00DA;
inline constexpr std::uint16_t kFont = 0x0031;
inline constexpr std::uint16_t kFormat = 0x041E;
inline constexpr std::uint16_t kXf = 0x00E0;
inline constexpr std::uint16_t kStyle = 0x0293;
inline constexpr std::uint16_t kPalette = 0x0092;
inline constexpr std::uint16_t kUsesElfs = 0x0160;
inline constexpr std::uint16_t kBoundSheet = 0x0085;
inline constexpr std::uint16_t kCountry = 0x008C;

// Worksheet.
inline constexpr std::uint16_t kCalcMode = 0x000D;
inline constexpr std::uint16_t kCalcCount = 0x000C;
inline constexpr std::uint16_t kCalcRefMode = 0x000F;
inline constexpr std::uint16_t kCalcIter = 0x0011;
inline constexpr std::uint16_t kCalcDelta = 0x0010;
inline constexpr std::uint16_t kCalcSaveRecalc = 0x005F;
inline constexpr std::uint16_t kPrintRowCol = 0x002A;
inline constexpr std::uint16_t kPrintGrid = 0x002B;
inline constexpr std::uint16_t kGridSet = 0x0082;
inline constexpr std::uint16_t kGuts = 0x0080;
inline constexpr std::uint16_t kDefaultRowHeight = 0x0225;
inline constexpr std::uint16_t kWsBool = 0x0081;
inline constexpr std::uint16_t kHeader = 0x0014;
inline constexpr std::uint16_t kFooter = 0x0015;
inline constexpr std::uint16_t kHCenter = 0x0083;
inline constexpr std::uint16_t kVCenter = 0x0084;
inline constexpr std::uint16_t kSetup = 0x00A1;
inline constexpr std::uint16_t kDefColWidth = 0x0055;
inline constexpr std::uint16_t kColInfo = 0x007D;
inline constexpr std::uint16_t kDimensions = 0x0200;
inline constexpr std::uint16_t kRow = 0x0208;
inline constexpr std::uint16_t kNumber = 0x0203;
inline constexpr std::uint16_t kLabelSst = 0x00FD;
inline constexpr std::uint16_t kBlank = 0x0201;
inline constexpr std::uint16_t kWindow2 = 0x023E;
inline constexpr std::uint16_t kSelection = 0x001D;
inline constexpr std::uint16_t kMergedCells = 0x00E5;

}  // namespace spreadsheet::xls::record
