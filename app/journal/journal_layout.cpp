// The journal window: the folder it shows at the top, the list of reads
// under it, a line for what is wrong with the chosen file, and the two
// buttons at the bottom. Places and sizes as in the main window's layout.
#include "app/journal/journal_layout.h"

namespace app {
namespace {

constexpr ControlLayout kControls[] = {
    {ControlKind::Label, "FolderLabel", Bounds(12, 10, 576, 18), FontLayout{"Arial", 15}, ""},
    {ControlKind::StringGrid, "EntryGrid", Bounds(8, 34, 584, 300), FontLayout{"Arial", 15}, "",
     GridLayout{.colCount = 5, .rowCount = 2, .defaultColWidth = 90, .defaultRowHeight = 22, .gridLineWidth = 1}},
    {ControlKind::Label, "NoteLabel", Bounds(12, 342, 576, 18), FontLayout{"Arial", 15, 0, clMaroon}, ""},
    {ControlKind::Button, "OpenButton", Bounds(8, 372, 140, 25), FontLayout{"Arial", 16}, "Открыть"},
    {ControlKind::Button, "FolderButton", Bounds(156, 372, 140, 25), FontLayout{"Arial", 16}, "Открыть папку"},
};

constexpr const char* kTabOrder[] = {"EntryGrid", "OpenButton", "FolderButton"};

}  // namespace

// Client area 600 x 405 in a fixed frame of 3 pixels with a 19-pixel
// caption, over the main window's right part, clear of the statistics
// window's usual place.
const FormLayout kJournalLayout = {
    .caption = "Журнал считываний",
    .placement = {.framePosition = {330, 130}, .outerSize = {606, 430}, .clientSize = {600, 405}},
    .font = {"Arial", 15},
    .controls = kControls,
    .tabOrder = kTabOrder,
};

}  // namespace app
