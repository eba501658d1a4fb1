#pragma once

#include "ui/platform/wnd.h"

#include <optional>
#include <string>

namespace win {

// What assistive technology (a screen reader) is told of an owner-drawn control that
// shows a picture of figures, such as a chart: it is a chart, named, with a description
// of what it shows and a value at the keyboard's place in it, the text and, when there
// is one, the figure there. Each change is announced.
struct PictureAccess {
    std::string name;
    std::string description;
    std::string valueText;
    std::optional<double> value;
    // The range the value may take.
    double minimum = 0;
    double maximum = 0;
};

// Makes the window's accessible object a chart's with what access says; again to change it.
void SetPictureAccess(CWnd& window, const PictureAccess& access);

} // namespace win
