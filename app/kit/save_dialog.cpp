#include "app/kit/save_dialog.h"

#include "app/kit/dialogs.h"

TSaveDialog::TSaveDialog(QObject* parent) : QObject(parent) {}

bool TSaveDialog::execute() {
  app::SaveFileRequest request{defaultExt_, filter_, fileName_, overwritePrompt_};
  if (!app::CurrentDialogs().saveFile(request)) return false;
  fileName_ = request.fileName;
  return true;
}
