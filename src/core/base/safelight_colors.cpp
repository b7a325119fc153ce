#include "core/base/safelight_colors.h"

#include "core/base/colors.h"

#include <cmath>

namespace SafelightColors {

Pair mapAtBrightest(Pair stored);

namespace {

constexpr quint32 red(int level)
{
    return quint32(level);
}

constexpr quint32 grey(int level)
{
    return quint32(level) * 0x010101u;
}

bool isSystem(quint32 c)
{
    return (c & 0xFF000000u) == 0xFF000000u;
}

// 0..1, as the eye weighs the three channels.
double lightness(quint32 c)
{
    const double r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    return (0.299 * r + 0.587 * g + 0.114 * b) / 255.0;
}

quint32 redOfLightness(quint32 c, int brightest, int dimmest)
{
    return red(dimmest + int(std::lround(lightness(c) * (brightest - dimmest))));
}

quint32 mapText(quint32 c)
{
    switch (c) {
    case Colors::Black:
        return Colors::WindowText;
    case Colors::Red: // running, agitating; the calculators' figures
        return red(0xC8);
    case Colors::Yellow: // paused
        return red(0x88);
    case Colors::Blue: // idle, an agitation to come
        return red(0x50);
    case Colors::Gray: // the same three in the monochrome scheme
        return grey(0x50);
    case Colors::Silver:
        return grey(0x6C);
    case Colors::White:
        return grey(0x88);
    default:
        return redOfLightness(c, 0xC8, 0x40);
    }
}

quint32 mapBack(quint32 c)
{
    switch (c) {
    case Colors::Black:
        return Colors::Black;
    case Colors::White:
        return Colors::WindowColor;
    case Colors::Red: // the grid's current cell
        return red(0x90);
    case Colors::Blue: // the grid's done cells
        return red(0x30);
    case Colors::Gray: // the current cell in the monochrome scheme
        return grey(0x48);
    case Colors::Silver:
        return grey(0x60);
    default:
        return redOfLightness(c, 0x90, 0x00);
    }
}

} // namespace

int clampLevel(int level)
{
    return level < 1 ? 1 : level > Levels ? Levels : level;
}

int dimChannel(int value, int level)
{
    return int(std::lround(value * double(clampLevel(level)) / Levels));
}

int maxRed(int level)
{
    // The palette's brightest, the highlighted text.
    return dimChannel(0xD0, level);
}

quint32 dim(quint32 colour, int level)
{
    if (isSystem(colour) || clampLevel(level) == Levels)
        return colour;
    const int r = dimChannel(colour & 0xFF, level);
    const int g = dimChannel((colour >> 8) & 0xFF, level);
    const int b = dimChannel((colour >> 16) & 0xFF, level);
    return quint32(r) | quint32(g) << 8 | quint32(b) << 16;
}

Pair map(Pair stored, int level)
{
    Pair out = mapAtBrightest(stored);
    if (out.text != None)
        out.text = dim(out.text, level);
    if (out.back != None)
        out.back = dim(out.back, level);
    return out;
}

Pair mapAtBrightest(Pair stored)
{
    Pair out = stored;
    if (stored.back != None && !isSystem(stored.back))
        out.back = mapBack(stored.back);
    if (stored.text == None || isSystem(stored.text))
        return out;
    const bool litBack = out.back != None && !isSystem(out.back) && out.back != Colors::Black;
    if (litBack && stored.text == Colors::Black)
        out.text = Colors::Black; // dark text on a lit cell, as before
    else if (stored.back == Colors::Blue && stored.text == Colors::White)
        out.text = red(0xB0); // the done cells of the colour scheme
    else
        out.text = mapText(stored.text);
    return out;
}

} // namespace SafelightColors
