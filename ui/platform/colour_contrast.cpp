#include "ui/platform/colour_contrast.h"

#include <algorithm>
#include <cmath>

namespace win {

namespace {

double Linear(int channel)
{
    const double value = channel / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

} // namespace

double RelativeLuminance(COLORREF colour)
{
    return 0.2126 * Linear(GetRValue(colour)) + 0.7152 * Linear(GetGValue(colour)) + 0.0722 * Linear(GetBValue(colour));
}

double ContrastRatio(COLORREF first, COLORREF second)
{
    const double a = RelativeLuminance(first);
    const double b = RelativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

bool IsLightBackground(COLORREF background)
{
    // Where black text and white text contrast equally with it.
    return RelativeLuminance(background) > 0.179;
}

COLORREF Mix(COLORREF from, COLORREF to, double fraction)
{
    const auto channel = [fraction](int a, int b) {
        return static_cast<int>(std::floor(a + (b - a) * fraction + 0.5));
    };
    return RGB(channel(GetRValue(from), GetRValue(to)), channel(GetGValue(from), GetGValue(to)),
               channel(GetBValue(from), GetBValue(to)));
}

COLORREF WithContrast(COLORREF preferred, COLORREF background, double ratio)
{
    const COLORREF extreme = IsLightBackground(background) ? RGB(0, 0, 0) : RGB(255, 255, 255);
    // The contrast grows as the colour moves towards the extreme: take the first step
    // of a fine scale that reaches the ratio.
    constexpr int kSteps = 64;
    for (int step = 0; step < kSteps; ++step) {
        const COLORREF colour = Mix(preferred, extreme, static_cast<double>(step) / kSteps);
        if (ContrastRatio(colour, background) >= ratio)
            return colour;
    }
    return extreme;
}

} // namespace win
