#include "app/kit/form.h"

#include <QCloseEvent>

#include "app/kit/font_height.h"
#include "app/kit/handler_guard.h"

TForm::TForm(QWidget* parent) : QWidget(parent) {
  QPalette colors = palette();
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    colors.setColor(group, QPalette::Window, colors.color(group, QPalette::Button));
  setPalette(colors);
}

void TForm::setFontHeight(int pixels) { SetFontPixelHeight(*this, pixels); }

void TForm::setFramePosition(const QPoint& position) { move(position); }

void TForm::DoCreate() {
  if (OnCreate) app::RunHandler([this] { OnCreate(this); });
}

void TForm::closeEvent(QCloseEvent* event) {
  bool canClose = true;
  // A close query that fails keeps the window open, as a refusal would.
  if (OnCloseQuery && !app::RunHandler([&] { OnCloseQuery(this, canClose); })) canClose = false;
  if (canClose)
    event->accept();
  else
    event->ignore();
}
