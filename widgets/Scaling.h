// The layout is designed at 96 pixels per inch and placed at the screen's: pure
// conversions between design pixels and the screen's pixels.
#pragma once

namespace ui {

constexpr int kDesignPixelsPerInch = 96;

// A design length on a screen of ppi pixels per inch, rounded to the nearest pixel
// (halves away from zero, as MulDiv rounds).
int ScaleTo(int design, int ppi);
// A font's pixel height (negative: the character height) on a screen of ppi pixels
// per inch, by its whole point size as the toolkit scales a font: 9 points of 12
// pixels at 96 are 15 at 120, 18 at 144 and 24 at 192. At 96 every height stays.
int ScaleFontHeightTo(int height, int ppi);
// A screen length back in design pixels, to the nearest. For ppi of 96 or more,
// UnscaleFrom(ScaleTo(x, ppi), ppi) == x: an edge placed in design pixels reads back
// as placed.
int UnscaleFrom(int screen, int ppi);
// The smallest design length whose scaled edges hold screen pixels: a measured text
// sized by it is never clipped.
int UnscaleUpFrom(int screen, int ppi);

} // namespace ui
