// Keys and mouse buttons as the kit's controls receive them: the system's
// virtual-key numbers, whatever the toolkit underneath calls them.
#pragma once

namespace kit {

namespace key {
inline constexpr int Return = 0x0D;
inline constexpr int Escape = 0x1B;
inline constexpr int Space = 0x20;
inline constexpr int PageUp = 0x21;
inline constexpr int PageDown = 0x22;
inline constexpr int End = 0x23;
inline constexpr int Home = 0x24;
inline constexpr int Left = 0x25;
inline constexpr int Up = 0x26;
inline constexpr int Right = 0x27;
inline constexpr int Down = 0x28;
inline constexpr int Tab = 0x09;
// Letters are their upper-case character codes, 'A' to 'Z'.
inline constexpr int A = 'A';
inline constexpr int C = 'C';
}  // namespace key

}  // namespace kit

// Modifier keys and mouse buttons held during an input event.
enum TShiftStateFlag : unsigned { ssShift = 1u, ssAlt = 2u, ssCtrl = 4u, ssLeft = 8u, ssRight = 16u };
using TShiftState = unsigned;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
