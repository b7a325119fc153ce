#pragma once

#include <QtGlobal>

// Colours as stored values, 0x00BBGGRR (0x0000FF is red). The high byte 0xFF
// marks a system colour; Palette::Window is the window background.
namespace Colors {
constexpr quint32 Black = 0x000000;
constexpr quint32 White = 0xFFFFFF;
constexpr quint32 Red = 0x0000FF;
constexpr quint32 Blue = 0xFF0000;
constexpr quint32 Yellow = 0x00FFFF;
constexpr quint32 Gray = 0x808080;
constexpr quint32 Silver = 0xC0C0C0;
constexpr quint32 WindowColor = 0xFF000005;
constexpr quint32 ButtonFace = 0xFF00000F;
constexpr quint32 WindowText = 0xFF000008;
// The text of the calculators' numbers in the timers' scheme: red in colour,
// grey in monochrome.
constexpr quint32 schemeNumbers(bool colourScheme)
{
    return colourScheme ? Red : Gray;
}
} // namespace Colors
