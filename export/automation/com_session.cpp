#include "export/automation/com_session.h"

#include "export/automation/busy_retry.h"

namespace automation {

ComSession::ComSession(OleVariant& link) : link_(link), initResult_(CoInitialize(nullptr)) {
  if (Initialized()) InstallBusyCallFilter();
}

ComSession::~ComSession() {
  // The link's object must be released while COM is still there to take
  // the release.
  link_.Clear();
  if (Initialized()) {
    RemoveBusyCallFilter();
    CoUninitialize();
  }
}

}  // namespace automation
