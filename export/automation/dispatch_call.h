// The late-bound member call: a named method, property read or property
// write on an automation object, resolved by name at run time.
#pragma once

#include <span>
#include <string_view>

#include "export/automation/call_argument.h"
#include "export/automation/com_types.h"

namespace automation {

enum class CallKind { Method, PropertyGet, PropertyPut };

// The most arguments one call can carry.
constexpr std::size_t kMaxCallArguments = 64;

// Calls `name` on the automation object `target` holds.
//
// `target` must hold an IDispatch (VT_DISPATCH, or VT_DISPATCH | VT_BYREF, or
// a VT_VARIANT reference to either). For a property write the last argument
// is the value and goes as the named DISPID_PROPERTYPUT argument; any
// leading ones stay positional. A method called without arguments whose
// result is wanted is invoked as method-or-property-get, as late-bound
// callers do, so that servers may expose it either way.
//
// `result` is null when the caller uses no result (then none is requested);
// otherwise it is cleared and receives the result.
//
// Throws EVariantInvalidOpError (empty or non-object target), EOleError (an
// interface that is not IDispatch, more than 64 arguments, an unknown
// member), EOleException (the server's exception record) or EOleSysError
// (any other failing result).
void InvokeMember(const VARIANT& target, std::string_view name, CallKind kind, std::span<const Arg> args,
                  VARIANT* result);

}  // namespace automation
