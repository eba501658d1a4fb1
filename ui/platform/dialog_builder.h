#pragma once

// Turns dialog templates into widgets. Dialog units convert to pixels with the average
// character width and the height of the application's UI font, as the Windows dialog
// manager does with the dialog font: x * width / 4, y * height / 8. That font is the
// desktop's when its platform theme names one, else the program's own small default.

#include <memory>
#include <vector>

#include "ui/platform/resources.h"
#include "ui/platform/types.h"

class QFont;
class QIcon;
class QWidget;

namespace win {

class CWnd;

struct DialogBaseUnits {
    int x = 0; // average character width in pixels
    int y = 0; // character height in pixels
};

DialogBaseUnits GetDialogBaseUnits();
// The program's own UI font, used where the desktop names none: a small sans-serif font
// of 8 points with the metrics of the one the dialogs were drawn with.
QFont DefaultUiFont();
// The UI font for a desktop whose font Qt reports at start: the desktop's own, unless Qt
// only fell back to its generic "Sans Serif" 9 points because no theme named one.
QFont ChooseUiFont(const QFont& desktop);
// A size in pixels measured for the default UI font (a list column's width), for the UI
// font in use: scaled by the ratio of their average character widths.
int ScaleForFont(int pixels);
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
