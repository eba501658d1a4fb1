#pragma once

// The program's resources as data: dialog templates, menus, accelerator tables and the
// string table, looked up by id as the Windows resource loader does. The data itself
// lives in res/; dialog_builder.h turns a dialog template into windows.

#include <cstdint>
#include <string>
#include <vector>

namespace win {

// What kind of control a template line creates; buttons and statics are told apart
// further by their style (BS_*, SS_*), as on Windows.
enum class ControlKind { Static, Button, Edit, ComboBox, ListView, UpDown, DateTimePicker };

// One control of a dialog template. Position and size are in dialog units.
struct ControlTemplate {
    int id = 0;
    ControlKind kind = ControlKind::Static;
    std::string text;
    std::uint32_t style = 0;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    // The item list of a combo box that comes with the template, in order.
    std::vector<std::string> items;
    // For a static icon: the icon resource id.
    int icon = 0;
    // For a label or group box: the control that its key mark ("&Amount": Alt+A) puts the
    // focus on, and that screen readers announce by the label's text; 0 for none.
    int buddy = 0;
    // What screen readers call a control that no label names.
    std::string name;
};

// A dialog template: caption, style, font and size (dialog units), controls in tab order.
struct DialogTemplate {
    int id = 0;
    std::string caption;
    std::uint32_t style = 0;
    std::string fontFace;
    int fontPoints = 8;
    int cx = 0;
    int cy = 0;
    std::vector<ControlTemplate> controls;

    // The control with this id, or nullptr.
    const ControlTemplate* FindControl(int controlId) const;
};

// A menu item: a command (id and text), a separator (id 0, no text) or a pop-up menu
// (its items).
struct MenuItemTemplate {
    int id = 0;
    std::string text;
    std::vector<MenuItemTemplate> items;

    bool IsPopup() const { return !items.empty(); }
    bool IsSeparator() const { return id == 0 && text.empty() && items.empty(); }
};

// A menu bar: its pop-up menus in order.
struct MenuTemplate {
    int id = 0;
    std::vector<MenuItemTemplate> popups;
};

// One accelerator: a virtual key (capital letters for letter keys) with modifiers.
struct AcceleratorEntry {
    int virtualKey = 0;
    bool control = false;
    bool shift = false;
    bool alt = false;
    int command = 0;
};

struct AcceleratorTable {
    int id = 0;
    std::vector<AcceleratorEntry> entries;

    // The command of the entry matching the key and modifiers, or 0.
    int Translate(int virtualKey, bool control, bool shift, bool alt) const;
};

// Lookups by id; nullptr when the resource does not exist (the last error is then set to
// ERROR_RESOURCE_NAME_NOT_FOUND).
const DialogTemplate* FindDialogTemplate(int id);
const MenuTemplate* FindMenuTemplate(int id);
const AcceleratorTable* FindAcceleratorTable(int id);

// The string with this id into text; false (text unchanged, last error set) when the string
// table has none.
bool LoadString(int id, std::string& text);
// The string with this id, or empty text when there is none.
std::string LoadString(int id);
// The string with this id; raises api::Exception when there is none.
std::string LoadStringOrThrow(int id);
// The program's name, for message box captions ("Tillane").
const std::string& ApplicationName();

} // namespace win
