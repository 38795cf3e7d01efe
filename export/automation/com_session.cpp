#include "export/automation/com_session.h"

namespace automation {

ComSession::ComSession(OleVariant& link) : link_(link), initResult_(CoInitialize(nullptr)) {}

ComSession::~ComSession() {
  // The link's object must be released while COM is still there to take
  // the release.
  link_.Clear();
  if (initialized()) CoUninitialize();
}

}  // namespace automation
