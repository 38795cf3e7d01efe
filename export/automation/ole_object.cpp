#include "export/automation/ole_object.h"

#include <string>

#include "export/automation/class_registry.h"
#include "export/automation/exceptions.h"
#include "export/automation/text_convert.h"

namespace automation {

OleVariant CreateOleObject(std::string_view progId) {
  OleString const wideId = ToOleString(progId);
  CLSID clsid{};
  HRESULT const found = LookupClass(wideId.c_str(), &clsid);
  if (FAILED(found)) throw EOleSysError(std::string(), found);

  IDispatch* dispatch = nullptr;
  HRESULT const created = CreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, kDispatchIid,
                                         reinterpret_cast<void**>(&dispatch));
  if (FAILED(created)) throw EOleSysError(std::string(), created);
  // A server that answers success without an object has still failed.
  if (dispatch == nullptr) throw EOleSysError(std::string(), E_NOINTERFACE);

  OleVariant result(dispatch);
  dispatch->Release();
  return result;
}

}  // namespace automation
