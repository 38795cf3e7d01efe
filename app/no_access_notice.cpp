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
  stateLine.SetFontColor(clBlue);
  stateLine.SetText(kNoAccessText);
  stateLine.SetHint(hint);
  statusLine.SetText(NoAccessFix());
  statusLine.SetHint(hint);
}

void ClearNoAccess(TLabel& stateLine, TStaticText& statusLine) {
  stateLine.SetHint("");
  statusLine.SetHint("");
  if (statusLine.Text() == NoAccessFix()) statusLine.SetText("");
}

}  // namespace app
