// COM for the program's main thread, from before the main window is created
// to after the spreadsheet link has let go of its object.
#pragma once

#include "export/automation/com_types.h"
#include "export/automation/ole_variant.h"

namespace automation {

class ComSession {
 public:
  // Initialises COM for the calling thread as a single-threaded apartment
  // (CoInitialize(nullptr)), remembers whether that succeeded, and then
  // has the system retry the calls a busy server rejects (busy_retry.h).
  explicit ComSession(OleVariant& link);
  // Clears the link first, then, if this session's initialisation succeeded
  // (S_OK or S_FALSE, both of which need it), withdraws the retries and
  // uninitialises COM.
  ~ComSession();
  ComSession(const ComSession&) = delete;
  ComSession& operator=(const ComSession&) = delete;

  HRESULT InitResult() const { return initResult_; }
  bool Initialized() const { return initResult_ == S_OK || initResult_ == S_FALSE; }

 private:
  OleVariant& link_;
  HRESULT initResult_;
};

}  // namespace automation
