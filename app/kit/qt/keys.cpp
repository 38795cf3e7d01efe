#include "app/kit/qt/keys.h"

#include <iterator>

namespace kit::qt {
namespace {

struct KeyPair {
  int qtKey;
  int virtualKey;
};

// Letters and digits have the same codes on both sides; these do not.
constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, 0x08},     {Qt::Key_Tab, key::Tab},       {Qt::Key_Backtab, key::Tab},
    {Qt::Key_Return, key::Return}, {Qt::Key_Enter, key::Return},  {Qt::Key_Escape, key::Escape},
    {Qt::Key_Space, key::Space},   {Qt::Key_PageUp, key::PageUp}, {Qt::Key_PageDown, key::PageDown},
    {Qt::Key_End, key::End},       {Qt::Key_Home, key::Home},     {Qt::Key_Left, key::Left},
    {Qt::Key_Up, key::Up},         {Qt::Key_Right, key::Right},   {Qt::Key_Down, key::Down},
    {Qt::Key_Insert, 0x2D},        {Qt::Key_Delete, 0x2E},        {Qt::Key_Menu, 0x5D},
};

}  // namespace

int VirtualKeyOf(int qtKey) {
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) return qtKey;
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 0x70 + (qtKey - Qt::Key_F1);
  for (const KeyPair& pair : kKeys)
    if (pair.qtKey == qtKey) return pair.virtualKey;
  return 0;
}

Qt::Key QtKeyOf(int virtualKey) {
  if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9')) return Qt::Key(virtualKey);
  if (virtualKey >= 0x70 && virtualKey <= 0x87) return Qt::Key(Qt::Key_F1 + (virtualKey - 0x70));
  for (const KeyPair& pair : kKeys)
    if (pair.virtualKey == virtualKey) return Qt::Key(pair.qtKey);
  return Qt::Key_unknown;
}

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers) {
  TShiftState shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= ssShift;
  if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
  if (modifiers & Qt::AltModifier) shift |= ssAlt;
  return shift;
}

Qt::KeyboardModifiers ModifiersOf(TShiftState shift) {
  Qt::KeyboardModifiers modifiers;
  if (shift & ssShift) modifiers |= Qt::ShiftModifier;
  if (shift & ssCtrl) modifiers |= Qt::ControlModifier;
  if (shift & ssAlt) modifiers |= Qt::AltModifier;
  return modifiers;
}

}  // namespace kit::qt
