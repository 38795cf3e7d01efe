#include "app/adapters/read_out_window_port.h"

#include "app/kit/static_text.h"
#include "app/kit/string_grid.h"

namespace app {

void Form1ReadOutWindowPort::SetStatusText(const std::string& text) { status_.SetText(text); }

void Form1ReadOutWindowPort::SetCellText(int column, int row, const std::string& text) {
  grid_.SetCell(column, row, text);
}

}  // namespace app
