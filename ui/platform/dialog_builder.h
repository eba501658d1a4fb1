#pragma once

// Turns dialog templates into widgets. Dialog units convert to pixels with the average
// character width and the height of the application's UI font, as the Windows dialog
// manager does with the dialog font: x * width / 4, y * height / 8.

#include <memory>
#include <vector>

#include "ui/platform/resources.h"
#include "ui/platform/types.h"

class QIcon;
class QWidget;

namespace win {

class CWnd;

struct DialogBaseUnits {
    int x = 0; // average character width in pixels
    int y = 0; // character height in pixels
};

DialogBaseUnits GetDialogBaseUnits();
// A rectangle in dialog units to pixels.
CRect MapDialogRect(const CRect& dialogUnits);
CRect MapDialogRect(const ControlTemplate& control);

// Creates the styled widget of one template control as a child of parent, not placed.
QWidget* CreateControlWidget(const ControlTemplate& control, QWidget* parent);
// Creates the widget of one template control as a child of parent, placed and styled, and
// a wrapper of the matching type attached to it.
std::unique_ptr<CWnd> CreateControl(const ControlTemplate& control, QWidget* parent);
// The wrapper type for a kind and style (CButton, CEdit, ...), not attached.
std::unique_ptr<CWnd> MakeWrapper(const ControlTemplate& control);

// The program's icon (icon resource 128) in every size it is drawn in.
QIcon LoadIcon(int id);

} // namespace win
