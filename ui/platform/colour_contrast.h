#pragma once

#include "ui/platform/device_context.h"

namespace win {

// Colours measured as the eye reads them (the WCAG formulas): relative luminance, from 0
// for black to 1 for white, and the contrast ratio of two colours, from 1 to 21.
double RelativeLuminance(COLORREF colour);
double ContrastRatio(COLORREF first, COLORREF second);

// Whether text on this background is dark (the background is light).
bool IsLightBackground(COLORREF background);

// The colour a fraction of the way to another, each channel rounded half up.
COLORREF Mix(COLORREF from, COLORREF to, double fraction);

// The nearest colour to preferred with at least the ratio against the background: moved
// towards black on a light background, towards white on a dark one, only as far as needed.
COLORREF WithContrast(COLORREF preferred, COLORREF background, double ratio);

} // namespace win
