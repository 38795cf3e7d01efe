#include "app/kit/string_grid.h"

#include <algorithm>
#include <stdexcept>

#include "app/kit/form.h"
#include "app/kit/handler_guard.h"

namespace {

// Lines between the cells, in the silver of classic grids.
constexpr TColor kGridLineColor = clSilver;

}  // namespace

TStringGrid::TStringGrid(TForm* parent)
    : TControl(parent, kit::CreateSurfacePeer(parent->FormPeer(), kit::SurfaceKind::Framed)) {
  Surface().SetEvents(this);
  colWidths_.assign(colCount_, defaultColWidth_);
  rowHeights_.assign(rowCount_, defaultRowHeight_);
  cells_.resize(static_cast<std::size_t>(colCount_) * rowCount_);
  UpdateScrollRanges();
}

TStringGrid::~TStringGrid() { Surface().SetEvents(nullptr); }

kit::SurfacePeer& TStringGrid::Surface() const { return static_cast<kit::SurfacePeer&>(Peer()); }

void TStringGrid::Repaint() { Surface().Invalidate(); }

void TStringGrid::SetColCount(int count) {
  count = std::max(1, count);
  std::vector<std::string> cells(static_cast<std::size_t>(count) * rowCount_);
  for (int r = 0; r < rowCount_; ++r)
    for (int c = 0; c < std::min(count, colCount_); ++c)
      cells[static_cast<std::size_t>(r) * count + c] = std::move(cells_[static_cast<std::size_t>(r) * colCount_ + c]);
  cells_ = std::move(cells);
  colCount_ = count;
  colWidths_.resize(count, defaultColWidth_);
  Reshaped();
}

void TStringGrid::SetRowCount(int count) {
  count = std::max(1, count);
  cells_.resize(static_cast<std::size_t>(colCount_) * count);
  rowCount_ = count;
  rowHeights_.resize(count, defaultRowHeight_);
  Reshaped();
}

void TStringGrid::Reshaped() {
  // A current cell or selection corner that fell off the grid moves to its edge.
  current_ = ClampToGrid(current_.X, current_.Y);
  anchor_ = ClampToGrid(anchor_.X, anchor_.Y);
  UpdateScrollRanges();
  Repaint();
}

void TStringGrid::SetDefaultColWidth(int width) {
  // Like the row height, the default applies to every column at once.
  defaultColWidth_ = std::max(0, width);
  std::fill(colWidths_.begin(), colWidths_.end(), defaultColWidth_);
  UpdateScrollRanges();
  Repaint();
}

void TStringGrid::SetDefaultRowHeight(int height) {
  defaultRowHeight_ = std::max(0, height);
  std::fill(rowHeights_.begin(), rowHeights_.end(), defaultRowHeight_);
  UpdateScrollRanges();
  Repaint();
}

void TStringGrid::SetGridLineWidth(int width) {
  gridLineWidth_ = std::max(0, width);
  UpdateScrollRanges();
  Repaint();
}

int TStringGrid::ColWidth(int col) const {
  CheckAddress(col, 0);
  return colWidths_[col];
}

void TStringGrid::SetColWidth(int col, int width) {
  CheckAddress(col, 0);
  colWidths_[col] = std::max(0, width);
  UpdateScrollRanges();
  Repaint();
}

int TStringGrid::RowHeight(int row) const {
  CheckAddress(0, row);
  return rowHeights_[row];
}

void TStringGrid::CheckAddress(int col, int row) const {
  if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_)
    throw std::out_of_range("grid cell (" + std::to_string(col) + ", " + std::to_string(row) + ") is outside the grid");
}

const std::string& TStringGrid::Cell(int col, int row) const {
  CheckAddress(col, row);
  return cells_[static_cast<std::size_t>(row) * colCount_ + col];
}

void TStringGrid::SetCell(int col, int row, std::string text) {
  CheckAddress(col, row);
  cells_[static_cast<std::size_t>(row) * colCount_ + col] = std::move(text);
  // A header's text may run on over its neighbours: the whole grid repaints.
  Repaint();
}

void TStringGrid::SetCurrentCell(int col, int row) {
  CheckAddress(col, row);
  MoveCurrent(col, row);
}

TGridRect TStringGrid::Selection() const {
  if (rowSelect_) return {0, std::min(current_.Y, anchor_.Y), colCount_ - 1, std::max(current_.Y, anchor_.Y)};
  return {std::min(current_.X, anchor_.X), std::min(current_.Y, anchor_.Y), std::max(current_.X, anchor_.X),
          std::max(current_.Y, anchor_.Y)};
}

void TStringGrid::SetSelection(const TGridRect& rect) {
  CheckAddress(rect.Left, rect.Top);
  CheckAddress(rect.Right, rect.Bottom);
  current_ = {rect.Left, rect.Top};
  anchor_ = {rect.Right, rect.Bottom};
  ScrollIntoView(current_.X, current_.Y);
  Repaint();
  SelectionChanged();
}

void TStringGrid::SetRowSelect(bool rowSelect) {
  rowSelect_ = rowSelect;
  Repaint();
}

void TStringGrid::SelectionChanged() {
  if (OnSelectionChanged) kit::RunHandler([this] { OnSelectionChanged(this); });
}

std::string TStringGrid::CopyText() const {
  TGridRect range = Selection();
  if (range.Left == range.Right && range.Top == range.Bottom) range = {0, 0, colCount_ - 1, rowCount_ - 1};
  std::string text;
  for (int r = range.Top; r <= range.Bottom; ++r) {
    for (int c = range.Left; c <= range.Right; ++c) {
      if (c > range.Left) text += '\t';
      if (!(HiddenCell && HiddenCell(c, r))) text += Cell(c, r);
    }
    text += '\n';
  }
  return text;
}

void TStringGrid::CopyToClipboard() const { kit::SetClipboardText(CopyText()); }

void TStringGrid::SetLeftCol(int col) {
  col = std::clamp(col, 0, maxLeftCol_);
  if (col == leftCol_) return;
  leftCol_ = col;
  UpdateScrollRanges();
  Repaint();
}

void TStringGrid::SetTopRow(int row) {
  row = std::clamp(row, 0, maxTopRow_);
  if (row == topRow_) return;
  topRow_ = row;
  UpdateScrollRanges();
  Repaint();
}

int TStringGrid::ScrollMaximum(kit::ScrollBar bar) const { return Surface().ScrollBarMaximum(bar); }

TSize TStringGrid::ClientSize() const { return Surface().ClientSize(); }

kit::Image TStringGrid::GrabClient() const { return Surface().GrabClient(); }

TRect TStringGrid::CellRect(int col, int row) const {
  CheckAddress(col, row);
  if (col < leftCol_ || row < topRow_) return {};
  int x = 0;
  for (int c = leftCol_; c < col; ++c) x += colWidths_[c] + gridLineWidth_;
  int y = 0;
  for (int r = topRow_; r < row; ++r) y += rowHeights_[r] + gridLineWidth_;
  const TSize client = ClientSize();
  if (x >= client.Width || y >= client.Height) return {};
  return Bounds(x, y, colWidths_[col], rowHeights_[row]);
}

std::optional<TGridCoord> TStringGrid::CellAt(TPoint point) const {
  // A cell owns the grid line to its right and below it.
  int col = -1;
  for (int c = leftCol_, x = 0; c < colCount_ && x <= point.X; ++c) {
    const int next = x + colWidths_[c] + gridLineWidth_;
    if (point.X >= x && point.X < next) col = c;
    x = next;
  }
  int row = -1;
  for (int r = topRow_, y = 0; r < rowCount_ && y <= point.Y; ++r) {
    const int next = y + rowHeights_[r] + gridLineWidth_;
    if (point.Y >= y && point.Y < next) row = r;
    y = next;
  }
  if (col < 0 || row < 0) return std::nullopt;
  return TGridCoord{col, row};
}

TGridCoord TStringGrid::NearestCell(TPoint point) const {
  const TSize client = ClientSize();
  const TPoint inside{std::clamp(point.X, 0, std::max(0, client.Width - 1)),
                      std::clamp(point.Y, 0, std::max(0, client.Height - 1))};
  int col = leftCol_;
  for (int c = leftCol_, x = 0; c < colCount_ && x <= inside.X; ++c) {
    col = c;
    x += colWidths_[c] + gridLineWidth_;
  }
  int row = topRow_;
  for (int r = topRow_, y = 0; r < rowCount_ && y <= inside.Y; ++r) {
    row = r;
    y += rowHeights_[r] + gridLineWidth_;
  }
  return {col, row};
}

TGridCoord TStringGrid::ClampToGrid(int col, int row) const {
  return {std::clamp(col, 0, colCount_ - 1), std::clamp(row, 0, rowCount_ - 1)};
}

void TStringGrid::Paint(kit::PaintDevice& device, const TRect& dirty) {
  const TSize client = ClientSize();
  device.FillRect(dirty, clWindow);

  // Visible columns and rows with their offsets.
  std::vector<std::pair<int, int>> cols;
  int right = 0;
  for (int c = leftCol_; c < colCount_ && right < client.Width; ++c) {
    cols.emplace_back(c, right);
    right += colWidths_[c] + gridLineWidth_;
  }
  std::vector<std::pair<int, int>> rows;
  int bottom = 0;
  for (int r = topRow_; r < rowCount_ && bottom < client.Height; ++r) {
    rows.emplace_back(r, bottom);
    bottom += rowHeights_[r] + gridLineWidth_;
  }

  // Lines first; the cells are painted between them.
  if (gridLineWidth_ > 0) {
    for (const auto& [c, x] : cols)
      device.FillRect(Bounds(x + colWidths_[c], 0, gridLineWidth_, bottom), kGridLineColor);
    for (const auto& [r, y] : rows)
      device.FillRect(Bounds(0, y + rowHeights_[r], right, gridLineWidth_), kGridLineColor);
  }

  const TGridRect selected = Selection();
  const bool focused = HasFocus();
  canvas_.SetDevice(&device);
  for (const auto& [r, y] : rows) {
    for (const auto& [c, x] : cols) {
      const TRect rect = Bounds(x, y, colWidths_[c], rowHeights_[r]);
      if (!rect.Intersects(dirty)) continue;
      TGridDrawState state;
      state.Selected = selected.Contains(c, r);
      state.Focused = focused && current_ == TGridCoord{c, r};
      PaintCell(c, r, rect, state);
    }
  }
  canvas_.SetDevice(nullptr);

  if (focused && !rowSelect_) {
    const TRect rect = CellRect(current_.X, current_.Y);
    if (!rect.IsEmpty()) device.DrawFocusRect(rect);
  }
}

void TStringGrid::PaintCell(int col, int row, const TRect& rect, TGridDrawState state) {
  // The canvas starts every cell with the grid's own font, so nothing a
  // handler set for one cell carries over to the next.
  const bool highlighted = state.Selected && (rowSelect_ || !state.Focused);
  canvas_.font = Font();
  canvas_.font.SetColor(highlighted ? clHighlightText : clWindowText);
  canvas_.brush.SetColor(highlighted ? clHighlight : clWindow);
  canvas_.TextRect(rect, rect.Left + kTextInset, rect.Top + kTextInset, Cell(col, row));
  if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

void TStringGrid::MouseDown(TMouseButton button, TShiftState shift, TPoint at) {
  if (button != TMouseButton::mbLeft) return;
  const std::optional<TGridCoord> hit = CellAt(at);
  if (!hit) return;
  if (shift & ssShift)
    MoveAnchor(hit->X, hit->Y);
  else
    MoveCurrent(hit->X, hit->Y);
  selecting_ = true;
}

void TStringGrid::MouseMove(TShiftState shift, TPoint at) {
  if (!selecting_ || !(shift & ssLeft)) return;
  const TGridCoord to = NearestCell(at);
  MoveAnchor(to.X, to.Y);
}

void TStringGrid::MouseUp(TMouseButton button, TShiftState, TPoint) {
  if (button == TMouseButton::mbLeft) selecting_ = false;
}

bool TStringGrid::KeyDown(int key, TShiftState shift) {
  const bool extend = shift & ssShift;
  const bool control = shift & ssCtrl;
  // Ctrl+C and nothing else held with it.
  if (key == kit::key::C && (shift & (ssShift | ssCtrl | ssAlt)) == ssCtrl) {
    CopyToClipboard();
    return true;
  }
  const TGridCoord from = extend ? anchor_ : current_;
  const int page = VisibleCount(rowHeights_, topRow_, ClientSize().Height);
  TGridCoord to = from;
  switch (key) {
    case kit::key::Left: --to.X; break;
    case kit::key::Right: ++to.X; break;
    case kit::key::Up: --to.Y; break;
    case kit::key::Down: ++to.Y; break;
    case kit::key::PageUp: to.Y -= page; break;
    case kit::key::PageDown: to.Y += page; break;
    case kit::key::Home:
      to.X = 0;
      if (control) to.Y = 0;
      break;
    case kit::key::End:
      to.X = colCount_ - 1;
      if (control) to.Y = rowCount_ - 1;
      break;
    default: return false;
  }
  if (extend)
    MoveAnchor(to.X, to.Y);
  else
    MoveCurrent(to.X, to.Y);
  return true;
}

void TStringGrid::AddMenuItem(const std::string& text, std::function<void(TObject* Sender)> onClick) {
  menuItems_.push_back({text, "", [this, onClick = std::move(onClick)] { kit::RunHandler([&] { onClick(this); }); }});
}

void TStringGrid::ContextMenu(TPoint at) {
  std::vector<kit::MenuItem> items{{"Копировать", "Ctrl+C", [this] { CopyToClipboard(); }}};
  items.insert(items.end(), menuItems_.begin(), menuItems_.end());
  Surface().PopupMenu(at, items);
}

void TStringGrid::FocusChanged(bool) { Repaint(); }

void TStringGrid::Resized() { UpdateScrollRanges(); }

void TStringGrid::Scrolled(kit::ScrollBar bar, int position) {
  if (bar == kit::ScrollBar::Horizontal)
    SetLeftCol(position);
  else
    SetTopRow(position);
}

void TStringGrid::MoveCurrent(int col, int row) {
  current_ = anchor_ = ClampToGrid(col, row);
  ScrollIntoView(current_.X, current_.Y);
  Repaint();
  SelectionChanged();
}

void TStringGrid::MoveAnchor(int col, int row) {
  anchor_ = ClampToGrid(col, row);
  ScrollIntoView(anchor_.X, anchor_.Y);
  Repaint();
  SelectionChanged();
}

void TStringGrid::ScrollIntoView(int col, int row) {
  const TSize client = ClientSize();
  if (col < leftCol_)
    SetLeftCol(col);
  else if (col >= leftCol_ + VisibleCount(colWidths_, leftCol_, client.Width))
    SetLeftCol(FirstShowing(colWidths_, col, client.Width));
  if (row < topRow_)
    SetTopRow(row);
  else if (row >= topRow_ + VisibleCount(rowHeights_, topRow_, client.Height))
    SetTopRow(FirstShowing(rowHeights_, row, client.Height));
}

int TStringGrid::FirstShowing(const std::vector<int>& extents, int last, int available) const {
  // Back from `last` for as long as the cells before it fit as well: one
  // step to the scroll position, however far it is (a list of thousands).
  int first = last;
  int room = available - extents[last];
  while (first > 0 && room - gridLineWidth_ - extents[first - 1] >= 0) {
    room -= gridLineWidth_ + extents[first - 1];
    --first;
  }
  return first;
}

int TStringGrid::LastFirstIndex(const std::vector<int>& extents, int available) const {
  // The grid line after the last cell may fall outside the client area
  // without calling for a scroll bar.
  int room = available + gridLineWidth_;
  int first = static_cast<int>(extents.size()) - 1;
  for (int i = first; i >= 0; --i) {
    room -= extents[i] + gridLineWidth_;
    if (room < 0) break;
    first = i;
  }
  return first;
}

int TStringGrid::VisibleCount(const std::vector<int>& extents, int first, int available) const {
  int count = 0;
  for (int i = first, x = 0; i < static_cast<int>(extents.size()) && x + extents[i] <= available; ++i) {
    ++count;
    x += extents[i] + gridLineWidth_;
  }
  return std::max(1, count);
}

void TStringGrid::UpdateScrollRanges() {
  // Decide from the room the cells would have without scroll bars, so that
  // a scroll bar shown while the grid was small does not stay once it has
  // grown. A bar that is needed takes its room from the other direction.
  const TSize full = Surface().ClientSizeWithoutBars();
  const int barWidth = Surface().ScrollBarExtent();
  bool needH = LastFirstIndex(colWidths_, full.Width) > 0;
  bool needV = LastFirstIndex(rowHeights_, full.Height) > 0;
  if (needH && !needV) needV = LastFirstIndex(rowHeights_, full.Height - barWidth) > 0;
  if (needV && !needH) needH = LastFirstIndex(colWidths_, full.Width - barWidth) > 0;
  const TSize client{full.Width - (needV ? barWidth : 0), full.Height - (needH ? barWidth : 0)};

  maxLeftCol_ = needH ? std::max(1, LastFirstIndex(colWidths_, client.Width)) : 0;
  maxTopRow_ = needV ? std::max(1, LastFirstIndex(rowHeights_, client.Height)) : 0;
  leftCol_ = std::min(leftCol_, maxLeftCol_);
  topRow_ = std::min(topRow_, maxTopRow_);
  Surface().SetScrollBar(kit::ScrollBar::Horizontal, maxLeftCol_, VisibleCount(colWidths_, leftCol_, client.Width),
                         leftCol_);
  Surface().SetScrollBar(kit::ScrollBar::Vertical, maxTopRow_, VisibleCount(rowHeights_, topRow_, client.Height),
                         topRow_);
}
