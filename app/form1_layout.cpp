// The main window's stored layout. Places and sizes are client pixels at 96
// dots per inch; font heights are character heights in pixels; every font
// has the Cyrillic character set. Controls are created in the order listed,
// so StaticText1, created after the grid, lies above its last row.
#include "app/form1_layout.h"

#include "stopwatch/measurement_table.h"

namespace app {
namespace {

constexpr ControlLayout kControls[] = {
    {ControlKind::Label, "Label1", Bounds(80, 400, 63, 24), FontLayout{"Arial", 21}, "Label1"},
    {ControlKind::Label, "Label2", Bounds(80, 352, 257, 24), FontLayout{"Arial", 21, 0, clBlue},
     "Секундомер не подключен"},
    {ControlKind::Label, "Label39", Bounds(224, 8, 303, 32), FontLayout{"Arial", 27}, "ТАБЛИЦА ИЗМЕРЕНИЙ"},
    {ControlKind::Label, "Label40", Bounds(312, 40, 125, 31), FontLayout{"Arial", 27, fsItalic}, "(время, с)"},
    {ControlKind::Label, "Label3", Bounds(292, 464, 159, 14), FontLayout{"Arial", 11, 0, clBlue},
     "© Lumetra, Новосибирск, 2024"},
    {ControlKind::Label, "Label4", Bounds(344, 488, 55, 14), std::nullopt, "Версия 1.0"},
    {ControlKind::StringGrid, "StringGrid1", Bounds(16, 80, 741, 253),
     FontLayout{"Courier", 13, 0, clWindowText, TFontPitch::fpFixed}, "",
     GridLayout{.colCount = stopwatch::kGridColumns,
                .rowCount = stopwatch::kGridRows,
                .defaultColWidth = 60,
                .defaultRowHeight = 24,
                .gridLineWidth = 1}},
    {ControlKind::Button, "Button2", Bounds(504, 400, 193, 25), FontLayout{"Arial", 16}, "Сохранить в MS EXCEL"},
    {ControlKind::Button, "Button3", Bounds(504, 352, 193, 25), FontLayout{"Arial", 16}, "Считать данные"},
    {ControlKind::StaticText, "StaticText1", Bounds(389, 306, 368, 27), FontLayout{"Arial", 16}, ""},
};

// StaticText1 comes fourth in the tab order but is no tab stop.
constexpr const char* kTabOrder[] = {"StringGrid1", "Button2", "Button3"};

}  // namespace

// The window is 774 x 523 inside a frame of 782 x 550 (4-pixel sizing
// edges, a 19-pixel caption).
const FormLayout kForm1Layout = {
    .caption = "Lumetra",
    .placement = {.framePosition = {145, 100}, .outerSize = {782, 550}, .clientSize = {774, 523}},
    .font = {"Arial", 11},
    .controls = kControls,
    .tabOrder = kTabOrder,
};

}  // namespace app
