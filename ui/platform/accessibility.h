#pragma once

// What screen readers are told about the controls of a dialog: the name of each input
// (its label's text, or the name its template gives it), the label's key mark leading to
// it, and radio buttons reported as radio buttons.

#include <string>
#include <vector>

#include <QString>

class QWidget;

namespace win {

struct DialogTemplate;

// A label's text as read aloud: without its key mark ("&&" is one '&') and without a
// colon at its end.
QString PlainLabelText(const std::string& text);

// Names the dialog's controls (widgets[i] was built from dialogTemplate.controls[i]): a
// label or group box with a buddy names it and focuses it by its key mark, a control's
// own name comes before that, and a list no one names is called after the dialog.
void NameControls(const DialogTemplate& dialogTemplate, const std::vector<QWidget*>& widgets);

// Gives a control its accessible name, and the text field inside it (an editable combo
// box's, a date picker's) the same; a spin's arrows are named after it.
void SetAccessibleName(QWidget& widget, const QString& name);

// Makes Qt report this layer's radio buttons (which keep their groups themselves, so Qt's
// automatic exclusivity is off) with the radio button role; Qt would take them for check
// boxes. Done once; any later call does nothing.
void InstallAccessibleRoles();

} // namespace win
