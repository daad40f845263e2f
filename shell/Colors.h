// Colour values as the game stores and compares them: 32-bit numbers in
// blue-green-red order. They become Qt colours only where pixels are drawn
// (ColorToQColor in shell/Canvas.h), so the board can hold them without Gui.
#pragma once

#include <cstdint>

using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

// Theme colours carry the high bit and an index into the desktop's palette;
// they are resolved at drawing time so a theme change is followed.
constexpr TColor clSystemColor = 0x80000000;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;

constexpr bool IsSystemColor(TColor color) { return (color & clSystemColor) != 0; }

constexpr TColor RGBToColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return TColor(red) | (TColor(green) << 8) | (TColor(blue) << 16);
}
constexpr std::uint8_t GetRValue(TColor color) { return color & 0xFF; }
constexpr std::uint8_t GetGValue(TColor color) { return (color >> 8) & 0xFF; }
constexpr std::uint8_t GetBValue(TColor color) { return (color >> 16) & 0xFF; }
