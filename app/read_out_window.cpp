#include "app/read_out_window.h"

#include "app/static_text.h"
#include "app/string_grid.h"

namespace app {

void ReadOutWindow::SetStatusText(const std::string& text) { status_.setText(QString::fromStdString(text)); }

void ReadOutWindow::SetCellText(int column, int row, const std::string& text) { grid_.setCell(column, row, text); }

}  // namespace app
