#include "app/kit/string_grid.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <stdexcept>

#include "app/kit/font_height.h"

namespace {

// Lines between the cells, in the silver of classic grids.
const QColor kGridLineColor(192, 192, 192);
// Text of a cell sits this far in from the cell's top-left corner.
constexpr int kTextInset = 2;

}  // namespace

TStringGrid::TStringGrid(QWidget* parent) : QAbstractScrollArea(parent) {
  // The sunken two-pixel edge of a framed control.
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  horizontalScrollBar()->setSingleStep(1);
  verticalScrollBar()->setSingleStep(1);
  colWidths_.assign(colCount_, defaultColWidth_);
  rowHeights_.assign(rowCount_, defaultRowHeight_);
  cells_.resize(static_cast<std::size_t>(colCount_) * rowCount_);
  updateScrollRanges();

  // The only entry of the grid's context menu; its shortcut works while the
  // grid has the focus.
  auto* copy = new QAction(QStringLiteral("Копировать"), this);
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetShortcut);
  connect(copy, &QAction::triggered, this, &TStringGrid::copyToClipboard);
  addAction(copy);
  setContextMenuPolicy(Qt::ActionsContextMenu);
}

void TStringGrid::setColCount(int count) {
  count = std::max(1, count);
  std::vector<std::string> cells(static_cast<std::size_t>(count) * rowCount_);
  for (int r = 0; r < rowCount_; ++r)
    for (int c = 0; c < std::min(count, colCount_); ++c)
      cells[static_cast<std::size_t>(r) * count + c] = std::move(cells_[static_cast<std::size_t>(r) * colCount_ + c]);
  cells_ = std::move(cells);
  colCount_ = count;
  colWidths_.resize(count, defaultColWidth_);
  reshaped();
}

void TStringGrid::setRowCount(int count) {
  count = std::max(1, count);
  cells_.resize(static_cast<std::size_t>(colCount_) * count);
  rowCount_ = count;
  rowHeights_.resize(count, defaultRowHeight_);
  reshaped();
}

void TStringGrid::reshaped() {
  // A current cell or selection corner that fell off the grid moves to its edge.
  current_ = clampToGrid(current_.X, current_.Y);
  anchor_ = clampToGrid(anchor_.X, anchor_.Y);
  updateScrollRanges();
  viewport()->update();
}

void TStringGrid::setDefaultColWidth(int width) {
  // Like the row height, the default applies to every column at once.
  defaultColWidth_ = std::max(0, width);
  std::fill(colWidths_.begin(), colWidths_.end(), defaultColWidth_);
  updateScrollRanges();
  viewport()->update();
}

void TStringGrid::setDefaultRowHeight(int height) {
  defaultRowHeight_ = std::max(0, height);
  std::fill(rowHeights_.begin(), rowHeights_.end(), defaultRowHeight_);
  updateScrollRanges();
  viewport()->update();
}

void TStringGrid::setGridLineWidth(int width) {
  gridLineWidth_ = std::max(0, width);
  updateScrollRanges();
  viewport()->update();
}

int TStringGrid::colWidth(int col) const {
  checkAddress(col, 0);
  return colWidths_[col];
}

void TStringGrid::setColWidth(int col, int width) {
  checkAddress(col, 0);
  colWidths_[col] = std::max(0, width);
  updateScrollRanges();
  viewport()->update();
}

int TStringGrid::rowHeight(int row) const {
  checkAddress(0, row);
  return rowHeights_[row];
}

void TStringGrid::setFontHeight(int pixels) { SetFontPixelHeight(*this, pixels); }

void TStringGrid::setFixedPitch(bool fixed) {
  QFont f = font();
  f.setFixedPitch(fixed);
  f.setStyleHint(fixed ? QFont::TypeWriter : QFont::AnyStyle);
  setFont(f);
}

void TStringGrid::checkAddress(int col, int row) const {
  if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_)
    throw std::out_of_range("grid cell (" + std::to_string(col) + ", " + std::to_string(row) +
                            ") is outside the grid");
}

const std::string& TStringGrid::cell(int col, int row) const {
  checkAddress(col, row);
  return cells_[static_cast<std::size_t>(row) * colCount_ + col];
}

void TStringGrid::setCell(int col, int row, std::string text) {
  checkAddress(col, row);
  cells_[static_cast<std::size_t>(row) * colCount_ + col] = std::move(text);
  viewport()->update();
}

void TStringGrid::setCurrentCell(int col, int row) {
  checkAddress(col, row);
  moveCurrent(col, row);
}

TGridRect TStringGrid::selection() const {
  return {std::min(current_.X, anchor_.X), std::min(current_.Y, anchor_.Y), std::max(current_.X, anchor_.X),
          std::max(current_.Y, anchor_.Y)};
}

void TStringGrid::setSelection(const TGridRect& rect) {
  checkAddress(rect.Left, rect.Top);
  checkAddress(rect.Right, rect.Bottom);
  current_ = {rect.Left, rect.Top};
  anchor_ = {rect.Right, rect.Bottom};
  scrollIntoView(current_.X, current_.Y);
  viewport()->update();
}

QString TStringGrid::copyText() const {
  TGridRect range = selection();
  if (range.Left == range.Right && range.Top == range.Bottom) range = {0, 0, colCount_ - 1, rowCount_ - 1};
  QString text;
  for (int r = range.Top; r <= range.Bottom; ++r) {
    for (int c = range.Left; c <= range.Right; ++c) {
      if (c > range.Left) text += u'\t';
      if (!(HiddenCell && HiddenCell(c, r))) text += QString::fromStdString(cell(c, r));
    }
    text += u'\n';
  }
  return text;
}

void TStringGrid::copyToClipboard() const { QGuiApplication::clipboard()->setText(copyText()); }

int TStringGrid::leftCol() const { return horizontalScrollBar()->value(); }
int TStringGrid::topRow() const { return verticalScrollBar()->value(); }
void TStringGrid::setLeftCol(int col) { horizontalScrollBar()->setValue(col); }
void TStringGrid::setTopRow(int row) { verticalScrollBar()->setValue(row); }

QRect TStringGrid::cellRect(int col, int row) const {
  checkAddress(col, row);
  if (col < leftCol() || row < topRow()) return {};
  int x = 0;
  for (int c = leftCol(); c < col; ++c) x += colWidths_[c] + gridLineWidth_;
  int y = 0;
  for (int r = topRow(); r < row; ++r) y += rowHeights_[r] + gridLineWidth_;
  const QSize client = viewport()->size();
  if (x >= client.width() || y >= client.height()) return {};
  return QRect(x, y, colWidths_[col], rowHeights_[row]);
}

std::optional<TGridCoord> TStringGrid::cellAt(const QPoint& point) const {
  // A cell owns the grid line to its right and below it.
  int col = -1;
  for (int c = leftCol(), x = 0; c < colCount_ && x <= point.x(); ++c) {
    const int next = x + colWidths_[c] + gridLineWidth_;
    if (point.x() >= x && point.x() < next) col = c;
    x = next;
  }
  int row = -1;
  for (int r = topRow(), y = 0; r < rowCount_ && y <= point.y(); ++r) {
    const int next = y + rowHeights_[r] + gridLineWidth_;
    if (point.y() >= y && point.y() < next) row = r;
    y = next;
  }
  if (col < 0 || row < 0) return std::nullopt;
  return TGridCoord{col, row};
}

TGridCoord TStringGrid::nearestCell(const QPoint& point) const {
  const QPoint inside(std::clamp(point.x(), 0, std::max(0, viewport()->width() - 1)),
                      std::clamp(point.y(), 0, std::max(0, viewport()->height() - 1)));
  int col = leftCol();
  for (int c = leftCol(), x = 0; c < colCount_ && x <= inside.x(); ++c) {
    col = c;
    x += colWidths_[c] + gridLineWidth_;
  }
  int row = topRow();
  for (int r = topRow(), y = 0; r < rowCount_ && y <= inside.y(); ++r) {
    row = r;
    y += rowHeights_[r] + gridLineWidth_;
  }
  return {col, row};
}

TGridCoord TStringGrid::clampToGrid(int col, int row) const {
  return {std::clamp(col, 0, colCount_ - 1), std::clamp(row, 0, rowCount_ - 1)};
}

void TStringGrid::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QPalette& colors = palette();
  const QSize client = viewport()->size();
  painter.fillRect(event->rect(), colors.color(QPalette::Base));

  // Visible columns and rows with their offsets.
  std::vector<std::pair<int, int>> cols;
  int right = 0;
  for (int c = leftCol(); c < colCount_ && right < client.width(); ++c) {
    cols.emplace_back(c, right);
    right += colWidths_[c] + gridLineWidth_;
  }
  std::vector<std::pair<int, int>> rows;
  int bottom = 0;
  for (int r = topRow(); r < rowCount_ && bottom < client.height(); ++r) {
    rows.emplace_back(r, bottom);
    bottom += rowHeights_[r] + gridLineWidth_;
  }

  // Lines first; the cells are painted between them.
  if (gridLineWidth_ > 0) {
    for (const auto& [c, x] : cols)
      painter.fillRect(QRect(x + colWidths_[c], 0, gridLineWidth_, bottom), kGridLineColor);
    for (const auto& [r, y] : rows)
      painter.fillRect(QRect(0, y + rowHeights_[r], right, gridLineWidth_), kGridLineColor);
  }

  const TGridRect selected = selection();
  const bool focused = hasFocus();
  canvas_.setPainter(&painter);
  for (const auto& [r, y] : rows) {
    for (const auto& [c, x] : cols) {
      const QRect rect(x, y, colWidths_[c], rowHeights_[r]);
      if (!rect.intersects(event->rect())) continue;
      TGridDrawState state;
      state.Selected = selected.contains(c, r);
      state.Focused = focused && current_ == TGridCoord{c, r};
      paintCell(c, r, rect, state);
    }
  }
  canvas_.setPainter(nullptr);

  if (focused) {
    const QRect rect = cellRect(current_.X, current_.Y);
    if (!rect.isEmpty()) {
      // A dotted rectangle that inverts what lies under it.
      painter.save();
      painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
      QPen pen(Qt::white, 0);
      pen.setDashPattern({1, 1});
      painter.setPen(pen);
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(rect.adjusted(0, 0, -1, -1));
      painter.restore();
    }
  }
}

void TStringGrid::paintCell(int col, int row, const QRect& rect, TGridDrawState state) {
  // The canvas starts every cell with the grid's own font, so nothing a
  // handler set for one cell carries over to the next.
  const QPalette& colors = palette();
  const bool highlighted = state.Selected && !state.Focused;
  canvas_.font.assign(font(), colors.color(highlighted ? QPalette::HighlightedText : QPalette::Text));
  canvas_.brush.setColor(colors.color(highlighted ? QPalette::Highlight : QPalette::Base));
  canvas_.textRect(rect, rect.left() + kTextInset, rect.top() + kTextInset, QString::fromStdString(cell(col, row)));
  if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

void TStringGrid::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
  const std::optional<TGridCoord> hit = cellAt(event->position().toPoint());
  if (!hit) return;
  if (event->modifiers() & Qt::ShiftModifier)
    moveAnchor(hit->X, hit->Y);
  else
    moveCurrent(hit->X, hit->Y);
  selecting_ = true;
}

void TStringGrid::mouseMoveEvent(QMouseEvent* event) {
  if (!selecting_ || !(event->buttons() & Qt::LeftButton)) return QAbstractScrollArea::mouseMoveEvent(event);
  const TGridCoord to = nearestCell(event->position().toPoint());
  moveAnchor(to.X, to.Y);
}

void TStringGrid::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) selecting_ = false;
  QAbstractScrollArea::mouseReleaseEvent(event);
}

void TStringGrid::keyPressEvent(QKeyEvent* event) {
  const bool extend = event->modifiers() & Qt::ShiftModifier;
  const bool control = event->modifiers() & Qt::ControlModifier;
  const TGridCoord from = extend ? anchor_ : current_;
  const int page = visibleCount(rowHeights_, topRow(), viewport()->height());
  TGridCoord to = from;
  switch (event->key()) {
    case Qt::Key_Left: --to.X; break;
    case Qt::Key_Right: ++to.X; break;
    case Qt::Key_Up: --to.Y; break;
    case Qt::Key_Down: ++to.Y; break;
    case Qt::Key_PageUp: to.Y -= page; break;
    case Qt::Key_PageDown: to.Y += page; break;
    case Qt::Key_Home:
      to.X = 0;
      if (control) to.Y = 0;
      break;
    case Qt::Key_End:
      to.X = colCount_ - 1;
      if (control) to.Y = rowCount_ - 1;
      break;
    default:
      // Where the shortcut did not take Ctrl+C first (a key sent straight
      // to the grid), it copies all the same.
      if (event->matches(QKeySequence::Copy)) {
        copyToClipboard();
        return;
      }
      event->ignore();
      return;
  }
  if (extend)
    moveAnchor(to.X, to.Y);
  else
    moveCurrent(to.X, to.Y);
}

void TStringGrid::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
}

void TStringGrid::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
}

void TStringGrid::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollRanges();
}

void TStringGrid::scrollContentsBy(int, int) { viewport()->update(); }

void TStringGrid::moveCurrent(int col, int row) {
  current_ = anchor_ = clampToGrid(col, row);
  scrollIntoView(current_.X, current_.Y);
  viewport()->update();
}

void TStringGrid::moveAnchor(int col, int row) {
  anchor_ = clampToGrid(col, row);
  scrollIntoView(anchor_.X, anchor_.Y);
  viewport()->update();
}

void TStringGrid::scrollIntoView(int col, int row) {
  if (col < leftCol()) setLeftCol(col);
  while (leftCol() < horizontalScrollBar()->maximum() &&
         col >= leftCol() + visibleCount(colWidths_, leftCol(), viewport()->width()))
    setLeftCol(leftCol() + 1);
  if (row < topRow()) setTopRow(row);
  while (topRow() < verticalScrollBar()->maximum() &&
         row >= topRow() + visibleCount(rowHeights_, topRow(), viewport()->height()))
    setTopRow(topRow() + 1);
}

int TStringGrid::lastFirstIndex(const std::vector<int>& extents, int available) const {
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

int TStringGrid::visibleCount(const std::vector<int>& extents, int first, int available) const {
  int count = 0;
  for (int i = first, x = 0; i < static_cast<int>(extents.size()) && x + extents[i] <= available; ++i) {
    ++count;
    x += extents[i] + gridLineWidth_;
  }
  return std::max(1, count);
}

void TStringGrid::updateScrollRanges() {
  // Decide from the room the cells would have without scroll bars, so that
  // a scroll bar shown while the grid was small does not stay once it has
  // grown. A bar that is needed takes its room from the other direction.
  const QSize full = maximumViewportSize();
  const int barWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  bool needH = lastFirstIndex(colWidths_, full.width()) > 0;
  bool needV = lastFirstIndex(rowHeights_, full.height()) > 0;
  if (needH && !needV) needV = lastFirstIndex(rowHeights_, full.height() - barWidth) > 0;
  if (needV && !needH) needH = lastFirstIndex(colWidths_, full.width() - barWidth) > 0;
  const QSize client(full.width() - (needV ? barWidth : 0), full.height() - (needH ? barWidth : 0));

  horizontalScrollBar()->setRange(0, needH ? std::max(1, lastFirstIndex(colWidths_, client.width())) : 0);
  horizontalScrollBar()->setPageStep(visibleCount(colWidths_, leftCol(), client.width()));
  verticalScrollBar()->setRange(0, needV ? std::max(1, lastFirstIndex(rowHeights_, client.height())) : 0);
  verticalScrollBar()->setPageStep(visibleCount(rowHeights_, topRow(), client.height()));
}
