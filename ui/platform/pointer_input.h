#pragma once

#include "ui/platform/wnd.h"

#include <functional>
#include <string>

namespace win {

// Hovering and clicking on a window that takes no other input (the chart): Qt's tooltip
// follows the pointer with the text the window gives for each position, and a left click
// is reported instead of reaching the window, so a disabled button stays what it is.
// Positions are in the window's client coordinates.
struct PointerHandlers {
    // The tooltip's text for the pointer at x, y; empty shows none.
    std::function<std::string(int x, int y)> toolTipAt;
    std::function<void(int x, int y)> clicked;
};

// Replaces the handlers of a window that exists; empty handlers stop the reports.
void SetPointerHandlers(CWnd& window, PointerHandlers handlers);

// Shows the tooltip at x, y of the window's client area as the pointer there would (the
// keyboard's way to the same text); empty text hides it.
void ShowToolTipAt(CWnd& window, int x, int y, const std::string& text);
// Hides the tooltip shown for the window.
void HideToolTip(CWnd& window);

} // namespace win
