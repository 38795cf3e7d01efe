// Qt's key codes and modifiers as the kit's virtual keys and shift states,
// and back (for delivering keys in tests).
#pragma once

#include <Qt>

#include "app/kit/keys.h"

namespace kit::qt {

// 0 for a key the kit has no number for.
int VirtualKeyOf(int qtKey);
// Qt::Key_unknown for a virtual key Qt has no code for.
Qt::Key QtKeyOf(int virtualKey);

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers);
Qt::KeyboardModifiers ModifiersOf(TShiftState shift);

}  // namespace kit::qt
