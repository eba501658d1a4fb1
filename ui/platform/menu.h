#pragma once

// CMenu: a menu loaded from a menu template (resources.h): pop-up menus with command
// items and separators. A window shows it with SetMenu (property_sheet.h); enabling and
// greying by command id works whether or not it is shown.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QPointer>

#include <QAction>
#include <QMenu>

#include "ui/platform/types.h"

namespace win {

class CWnd;
struct MenuItemTemplate;

// EnableMenuItem flags and result.
inline constexpr unsigned MF_BYCOMMAND = 0x0u;
inline constexpr unsigned MF_ENABLED = 0x0u;
inline constexpr unsigned MF_GRAYED = 0x1u;
inline constexpr unsigned MF_DISABLED = 0x2u;
inline constexpr unsigned kMenuItemNotFound = 0xFFFFFFFFu;
// CheckMenuItem flags and result.
inline constexpr unsigned MF_UNCHECKED = 0x0u;
inline constexpr unsigned MF_CHECKED = 0x8u;

class CMenu {
public:
    CMenu();
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // Loads menu resource id; false (last error set) when there is none.
    bool LoadMenu(int id);
    bool IsLoaded() const { return m_loaded; }
    void DestroyMenu();

    int GetMenuItemCount() const;
    // The command id at a position: 0 for a separator, -1 for a pop-up menu or no item.
    int GetMenuItemID(int position) const;
    std::string GetMenuString(int position) const;
    // The pop-up menu at a position, or nullptr.
    CMenu* GetSubMenu(int position) const;

    // Enables (MF_ENABLED) or greys (MF_GRAYED) the item with this command id, searching
    // pop-up menus too; returns the previous state or kMenuItemNotFound.
    unsigned EnableMenuItem(int id, unsigned flags);
    // Whether the item with this command id is enabled (false when there is none).
    bool IsMenuItemEnabled(int id) const;
    // Shows a check mark beside the item with this command id (MF_CHECKED) or none
    // (MF_UNCHECKED); returns the previous state or kMenuItemNotFound.
    unsigned CheckMenuItem(int id, unsigned flags);
    bool IsMenuItemChecked(int id) const;
    // Changes the text of the item with this command id (the keys shown beside a shown
    // item stay); false when there is none.
    bool SetMenuItemText(int id, const std::string& text);
    // The text of the item with this command id; empty when there is none.
    std::string GetMenuItemText(int id) const;

    // Shows this pop-up menu at a point of the screen, over the owner's window, and returns
    // at once; the command the user chooses goes to onCommand. The menu shown is
    // BoundPopup() until it closes.
    void TrackPopupMenu(const CPoint& screen, CWnd& owner, std::function<void(int)> onCommand);

    // For the layer: builds the Qt menu of a pop-up (with actions carrying command ids).
    void BindPopup(QMenu* menu);
    QMenu* BoundPopup() const { return m_popup; }

private:
    struct Item {
        int id = 0;
        std::string text;
        bool enabled = true;
        // An item that has been checked or unchecked shows its state from then on.
        bool checkable = false;
        bool checked = false;
        std::unique_ptr<CMenu> popup;
        QPointer<QAction> action;
    };
    void LoadItems(const std::vector<MenuItemTemplate>& items);
    Item* FindItem(int id);
    const Item* FindItem(int id) const;

    std::vector<Item> m_items;
    bool m_loaded = false;
    QPointer<QMenu> m_popup;
};

} // namespace win
