#include "export/automation/call_argument.h"

namespace automation {

VARIANT& OmittedMarker() {
  static VARIANT marker = [] {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ERROR;
    v.scode = DISP_E_PARAMNOTFOUND;
    return v;
  }();
  return marker;
}

}  // namespace automation
