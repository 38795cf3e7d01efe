// Reading and answering Qt's modal boxes and file dialogs while they are up:
// a timer that runs inside their event loop looks at the active modal
// widget, reads what it shows and sends it the answer's keys.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "app/kit/qt/keys.h"
#include "tests/app/support/native_ui.h"

namespace nativeui {
namespace {

// A box is taken for closed and shown anew when it is still up this long
// after its answer (a file dialog back after a box of its own).
constexpr int kClosingMs = 300;
// More boxes than any test shows: the rest are closed without a look.
constexpr std::size_t kMostBoxes = 10;

BoxIcon IconOf(QMessageBox::Icon icon) {
  switch (icon) {
    case QMessageBox::Information: return BoxIcon::Information;
    case QMessageBox::Warning: return BoxIcon::Warning;
    case QMessageBox::Question: return BoxIcon::Question;
    case QMessageBox::Critical: return BoxIcon::Stop;
    default: return BoxIcon::None;
  }
}

SeenBox Read(QWidget& box) {
  SeenBox seen;
  seen.caption = box.windowTitle().toStdString();
  if (auto* message = qobject_cast<QMessageBox*>(&box)) {
    if (const auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
      seen.text = label->text().toStdString();
    seen.icon = IconOf(message->icon());
  }
  if (auto* dialog = qobject_cast<QFileDialog*>(&box)) {
    seen.saveDialog = dialog->acceptMode() == QFileDialog::AcceptSave;
    if (const auto* name = box.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
      seen.fileName = name->text().toStdString();
    if (const auto* types = box.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
      for (int i = 0; i < types->count(); ++i) seen.fileTypes.push_back(types->itemText(i).toStdString());
  }
  // The buttons as they stand in the box, left to right.
  std::vector<QPushButton*> buttons;
  for (QDialogButtonBox* row : box.findChildren<QDialogButtonBox*>())
    for (QAbstractButton* button : row->buttons())
      if (auto* push = qobject_cast<QPushButton*>(button); push != nullptr && push->isVisible())
        buttons.push_back(push);
  std::sort(buttons.begin(), buttons.end(),
            [](QPushButton* a, QPushButton* b) { return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x(); });
  for (QPushButton* button : buttons) {
    seen.buttons.push_back(button->text().toStdString());
    if (button->isDefault()) seen.defaultButton = button->text().toStdString();
  }
  return seen;
}

void Give(QWidget& box, const Answer& answer) {
  QWidget* focus = QApplication::focusWidget();
  if (focus == nullptr || focus->window() != &box) focus = &box;
  if (!answer.typed.empty()) {
    if (auto* name = box.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
      name->setFocus();
      // What is there goes, as a typed name replaces a selected one.
      QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClick(name, Qt::Key_Delete);
      QTest::keyClicks(name, QString::fromStdString(answer.typed));
      focus = name;
    }
  }
  QTest::keyClick(focus, kit::qt::QtKeyOf(answer.key));
}

}  // namespace

std::vector<SeenBox> AnswerBoxes(const std::function<void()>& open, std::vector<Answer> answers) {
  std::vector<SeenBox> seen;
  QWidget* lastBox = nullptr;
  QElapsedTimer sinceAnswer;
  QTimer probe;
  probe.setInterval(10);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    QWidget* box = QApplication::activeModalWidget();
    if (box == nullptr || !box->isVisible()) return;
    if (box == lastBox && sinceAnswer.elapsed() < kClosingMs) return;
    if (seen.size() >= kMostBoxes) {
      box->close();
      return;
    }
    seen.push_back(Read(*box));
    const Answer answer = seen.size() <= answers.size() ? answers[seen.size() - 1] : Answer{kit::key::Escape, {}};
    lastBox = box;
    sinceAnswer.start();
    Give(*box, answer);
  });
  probe.start();
  open();
  probe.stop();
  return seen;
}

}  // namespace nativeui
