#include "app/kit/save_dialog.h"

#include "app/kit/dialogs.h"

TSaveDialog::TSaveDialog(TComponent* owner) : TComponent(owner) {}

bool TSaveDialog::Execute() {
  kit::SaveFileRequest request{defaultExt_, filter_, fileName_, overwritePrompt_};
  if (!kit::CurrentDialogs().SaveFile(request)) return false;
  fileName_ = request.fileName;
  return true;
}
