#pragma once

#include "ui/platform/device_context.h"
#include "ui/platform/wnd.h"

#include <functional>
#include <string>

namespace win {

// Small touches that the Windows-like controls do not have: a push button shown as a
// line of left-aligned text in a colour (flat, no frame), a tooltip, and a call queued to
// run once the current event is handled.

// The button's text is left-aligned and drawn in the colour.
void ShowAsTextLine(CWnd& button, COLORREF colour);
// The colour ShowAsTextLine gave the window (black when it gave none).
COLORREF GetTextColor(const CWnd& window);

void SetToolTip(CWnd& window, const std::string& text);

// Runs the call after the current event, while the window exists; at once when the
// window does not exist.
void PostCall(CWnd& window, std::function<void()> call);

} // namespace win
