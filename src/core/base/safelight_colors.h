#pragma once

#include <QtGlobal>

// The colours of the safelight view: the program's stored colours (0x00BBGGRR,
// system colours with 0xFF in the high byte) mapped to a dim red-on-black
// face. System colours stay as they are: the view's palette gives them.
namespace SafelightColors {

// The view's brightness, in four steps: the brightest is the view as it has
// always been, the dimmest a quarter of it. A screen fogs paper by how bright
// it is: the coin test tells which step a paper stands.
constexpr int Levels = 4;
constexpr int BrightestLevel = Levels;
// The level clamped into 1..Levels.
int clampLevel(int level);
// The brightest red any pixel of the view has at a level.
int maxRed(int level);
// A colour (0x00BBGGRR) dimmed to a level: every channel scaled alike.
quint32 dim(quint32 colour, int level);
// A channel value (0..255) dimmed likewise.
int dimChannel(int value, int level);

// No colour of its own: the palette's (a control's unset colour, a grid cell's).
constexpr quint32 None = 0xFFFFFFFFu;

struct Pair
{
    quint32 text = None;
    quint32 back = None;
    bool operator==(const Pair &) const = default;
};

// A text colour and the background it stands on, mapped together: black text
// on a coloured background (the grid's current cell) stays black, every other
// text turns red. The count-down colours keep apart by their brightness:
// running brightest, then paused, then idle; the monochrome scheme's greys
// stay dim greys.
// At a level below the brightest, every colour of the program's own is dimmed
// in proportion; system colours are the palette's, dimmed with it.
Pair map(Pair stored, int level = BrightestLevel);

} // namespace SafelightColors
