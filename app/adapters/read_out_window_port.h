// The read-out's window port: the main window's status line and grid.
#pragma once

#include "stopwatch/read_out_ports.h"

class TStaticText;
class TStringGrid;

namespace app {

class Form1ReadOutWindowPort final : public stopwatch::ReadOutWindowPort {
 public:
  Form1ReadOutWindowPort(TStaticText& status, TStringGrid& grid) : status_(status), grid_(grid) {}

  void SetStatusText(const std::string& text) override;
  void SetCellText(int column, int row, const std::string& text) override;

 private:
  TStaticText& status_;
  TStringGrid& grid_;
};

}  // namespace app
