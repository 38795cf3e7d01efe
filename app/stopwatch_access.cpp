#include "app/stopwatch_access.h"

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
  const QString hint = NoAccessHint(devicePath);
  stateLine.setFontColor(clBlue);
  stateLine.setText(QString::fromUtf16(kNoAccessText));
  stateLine.setToolTip(hint);
  statusLine.setText(NoAccessFix());
  statusLine.setToolTip(hint);
}

void ClearNoAccess(TLabel& stateLine, TStaticText& statusLine) {
  stateLine.setToolTip(QString());
  statusLine.setToolTip(QString());
  if (statusLine.text() == NoAccessFix()) statusLine.clear();
}

}  // namespace app
