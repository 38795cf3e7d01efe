#include "app/kit/save_dialog.h"

#include "app/kit/dialogs.h"

TSaveDialog::TSaveDialog(TComponent* owner) : TComponent(owner) {}

bool TSaveDialog::execute() {
  kit::SaveFileRequest request{defaultExt_, filter_, fileName_, overwritePrompt_};
  if (!kit::CurrentDialogs().saveFile(request)) return false;
  fileName_ = request.fileName;
  return true;
}
