// The statistics window: what it covers, the figures in rows under it with
// the note on what is missing, the buttons for the lab sheet and the copy, and the two plots side by
// side at the bottom. Places and sizes as in the main window's layout.
#include "app/statistics/statistics_layout.h"

namespace app {
namespace {

constexpr ControlLayout kControls[] = {
    {ControlKind::Label, "ScopeLabel", Bounds(12, 10, 190, 19), FontLayout{"Arial", 16, fsBold}, ""},
    {ControlKind::Button, "PrintButton", Bounds(208, 8, 112, 25), FontLayout{"Arial", 16}, "Печать…"},
    {ControlKind::Button, "PdfButton", Bounds(328, 8, 152, 25), FontLayout{"Arial", 16}, "Сохранить в PDF…"},
    {ControlKind::Button, "CopyButton", Bounds(488, 8, 120, 25), FontLayout{"Arial", 16}, "Копировать"},
    {ControlKind::Label, "NoteLabel", Bounds(12, 232, 400, 18), FontLayout{"Arial", 15, 0, clMaroon}, ""},
    {ControlKind::PaintBox, "TimesPlot", Bounds(8, 256, 298, 256), FontLayout{"Arial", 12}, ""},
    {ControlKind::PaintBox, "HistogramPlot", Bounds(314, 256, 298, 256), FontLayout{"Arial", 12}, ""},
};

constexpr const char* kTabOrder[] = {"PrintButton", "PdfButton", "CopyButton"};

}  // namespace

// Client area 620 x 520 in a fixed frame of 3 pixels with a 19-pixel caption,
// over the main window's left part: its buttons stay free for the next read.
const FormLayout kStatisticsLayout = {
    .caption = "Статистика",
    .placement = {.framePosition = {20, 160}, .outerSize = {626, 545}, .clientSize = {620, 520}},
    .font = {"Arial", 15},
    .controls = kControls,
    .tabOrder = kTabOrder,
};

}  // namespace app
