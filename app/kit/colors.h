// Colours as the window's code states them: 0x00BBGGRR values (blue in the
// high byte, red in the low byte), so 0xFF0000 is pure blue.
//
// TColor is a distinct type on purpose: toolkits take a plain unsigned
// integer as 0xAARRGGBB, and a BGR value slipping into one would turn blue
// into red without a word.
//
// A system colour (clBtnFace and the like) is not a colour but the name of
// one: the desktop's theme decides it, and ColorToRGB (backend.h) asks the
// backend.
#pragma once

#include <cstdint>

enum class TColor : std::uint32_t {};

inline constexpr TColor clBlack{0x000000};
inline constexpr TColor clMaroon{0x000080};
inline constexpr TColor clGreen{0x008000};
inline constexpr TColor clNavy{0x800000};
inline constexpr TColor clRed{0x0000FF};
inline constexpr TColor clSilver{0xC0C0C0};
inline constexpr TColor clBlue{0xFF0000};
inline constexpr TColor clYellow{0x00FFFF};
inline constexpr TColor clWhite{0xFFFFFF};

// System colours: the high byte set, the system's colour index below.
inline constexpr std::uint32_t kSystemColorFlag = 0xFF000000u;
inline constexpr TColor clWindow{kSystemColorFlag | 5};          // background of ordinary cells
inline constexpr TColor clWindowText{kSystemColorFlag | 8};      // text on it
inline constexpr TColor clHighlight{kSystemColorFlag | 13};      // background of a selection
inline constexpr TColor clHighlightText{kSystemColorFlag | 14};  // text in a selection
inline constexpr TColor clBtnFace{kSystemColorFlag | 15};        // the window's background
inline constexpr TColor clBtnShadow{kSystemColorFlag | 16};
inline constexpr TColor clBtnHighlight{kSystemColorFlag | 20};

constexpr bool IsSystemColor(TColor color) {
  return (static_cast<std::uint32_t>(color) & kSystemColorFlag) == kSystemColorFlag;
}

// The red, green and blue of a colour that is not a system colour.
constexpr std::uint8_t RedOf(TColor color) { return static_cast<std::uint32_t>(color) & 0xFF; }
constexpr std::uint8_t GreenOf(TColor color) { return (static_cast<std::uint32_t>(color) >> 8) & 0xFF; }
constexpr std::uint8_t BlueOf(TColor color) { return (static_cast<std::uint32_t>(color) >> 16) & 0xFF; }
constexpr TColor RGBColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return TColor{static_cast<std::uint32_t>(red) | static_cast<std::uint32_t>(green) << 8 |
                static_cast<std::uint32_t>(blue) << 16};
}
