#include "app/kit/desktop.h"

#include "app/kit/backend.h"

namespace kit {
namespace {

Desktop* installed = nullptr;

}  // namespace

Desktop& CurrentDesktop() { return installed != nullptr ? *installed : NativeDesktop(); }

ScopedDesktop::ScopedDesktop(Desktop& desktop) : previous_(installed) { installed = &desktop; }

ScopedDesktop::~ScopedDesktop() { installed = previous_; }

}  // namespace kit
