#include "app/no_access_notice.h"

#include "app/kit/label.h"
#include "app/kit/static_text.h"
#include "hid/hid_device.h"
#include "stopwatch/identity.h"

namespace app {

bool IsStopwatchWithoutAccess(TJvHidDevice& device) {
  // Vendor and product only: the product string may need the very access
  // that is refused.
  const HIDD_ATTRIBUTES& attributes = device.Attributes();
  if (attributes.VendorID != stopwatch::kVendorId || attributes.ProductID != stopwatch::kProductId) return false;
  if (device.SyncHandle() == INVALID_HANDLE_VALUE) {
    device.OpenSyncHandle();
    device.CloseSyncHandle();
  }
  return device.AccessDenied();
}

void ShowNoAccess(TLabel& stateLine, TStaticText& statusLine, const std::string& devicePath) {
  const std::string hint = NoAccessHint(devicePath);
  stateLine.setFontColor(clBlue);
  stateLine.setText(kNoAccessText);
  stateLine.setHint(hint);
  statusLine.setText(NoAccessFix());
  statusLine.setHint(hint);
}

void ClearNoAccess(TLabel& stateLine, TStaticText& statusLine) {
  stateLine.setHint("");
  statusLine.setHint("");
  if (statusLine.text() == NoAccessFix()) statusLine.setText("");
}

}  // namespace app
