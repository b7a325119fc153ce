#pragma once

#include <QPalette>

// The safelight view: a dim red-on-black face for the darkroom, over every
// window of the program. One palette for the application and one colour map
// (SafelightColors) for the colours the program stores; the controls' stored
// colours are drawn through the map while the view is on.
namespace Safelight {

bool isOn();
// Puts the view's palette on the application, or the one it had back, and
// draws every control's stored colours again.
void setOn(bool on);
// The view's brightness (SafelightColors' levels); taken at once while on.
int level();
void setLevel(int level);
// Near-black backgrounds, dark red text and lines.
QPalette palette();

} // namespace Safelight
