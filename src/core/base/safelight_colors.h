#pragma once

#include <QtGlobal>

// The colours of the safelight view: the program's stored colours (0x00BBGGRR,
// system colours with 0xFF in the high byte) mapped to a dim red-on-black
// face. System colours stay as they are: the view's palette gives them.
namespace SafelightColors {

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
Pair map(Pair stored);

} // namespace SafelightColors
