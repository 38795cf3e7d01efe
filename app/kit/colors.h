// Colours as the window's code states them: 0x00BBGGRR values (blue in the
// high byte, red in the low byte), so 0xFF0000 is pure blue.
//
// TColor is a distinct type on purpose: QColor accepts a plain unsigned
// integer as 0xAARRGGBB, and a BGR value slipping into it would turn blue
// into red without a word.
#pragma once

#include <QColor>
#include <cstdint>

enum class TColor : std::uint32_t {};

inline constexpr TColor clBlue{0xFF0000};
inline constexpr TColor clGreen{0x008000};
inline constexpr TColor clMaroon{0x000080};
inline constexpr TColor clYellow{0x00FFFF};

QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);
