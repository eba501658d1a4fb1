#include "ui/platform/menu.h"

#include <QAction>
#include <QMenu>

#include "ui/platform/api.h"
#include "ui/platform/wnd.h"
#include "ui/platform/resources.h"

namespace win {

CMenu::CMenu() = default;

CMenu::~CMenu() = default;

bool CMenu::LoadMenu(int id)
{
    const MenuTemplate* menu = FindMenuTemplate(id);
    if (!menu)
        return false;
    DestroyMenu();
    std::vector<MenuItemTemplate> popups = menu->popups;
    LoadItems(popups);
    m_loaded = true;
    return true;
}

void CMenu::LoadItems(const std::vector<MenuItemTemplate>& items)
{
    for (const MenuItemTemplate& item : items) {
        Item entry;
        entry.id = item.id;
        entry.text = item.text;
        if (item.IsPopup()) {
            entry.popup = std::make_unique<CMenu>();
            entry.popup->LoadItems(item.items);
            entry.popup->m_loaded = true;
        }
        m_items.push_back(std::move(entry));
    }
}

void CMenu::DestroyMenu()
{
    m_items.clear();
    m_loaded = false;
    m_popup = nullptr;
}

int CMenu::GetMenuItemCount() const { return static_cast<int>(m_items.size()); }

int CMenu::GetMenuItemID(int position) const
{
    if (position < 0 || position >= GetMenuItemCount())
        return -1;
    const Item& item = m_items[static_cast<std::size_t>(position)];
    return item.popup ? -1 : item.id;
}

std::string CMenu::GetMenuString(int position) const
{
    if (position < 0 || position >= GetMenuItemCount())
        return {};
    return m_items[static_cast<std::size_t>(position)].text;
}

CMenu* CMenu::GetSubMenu(int position) const
{
    if (position < 0 || position >= GetMenuItemCount())
        return nullptr;
    return m_items[static_cast<std::size_t>(position)].popup.get();
}

CMenu::Item* CMenu::FindItem(int id)
{
    for (Item& item : m_items) {
        if (item.popup) {
            if (Item* found = item.popup->FindItem(id))
                return found;
        } else if (item.id == id && id != 0) {
            return &item;
        }
    }
    return nullptr;
}

const CMenu::Item* CMenu::FindItem(int id) const { return const_cast<CMenu*>(this)->FindItem(id); }

unsigned CMenu::EnableMenuItem(int id, unsigned flags)
{
    Item* item = FindItem(id);
    if (!item)
        return kMenuItemNotFound;
    const unsigned previous = item->enabled ? MF_ENABLED : MF_GRAYED;
    item->enabled = (flags & (MF_GRAYED | MF_DISABLED)) == 0;
    if (item->action)
        item->action->setEnabled(item->enabled);
    return previous;
}

bool CMenu::IsMenuItemEnabled(int id) const
{
    const Item* item = FindItem(id);
    return item && item->enabled;
}

unsigned CMenu::CheckMenuItem(int id, unsigned flags)
{
    Item* item = FindItem(id);
    if (!item)
        return kMenuItemNotFound;
    const unsigned previous = item->checked ? MF_CHECKED : MF_UNCHECKED;
    item->checkable = true;
    item->checked = (flags & MF_CHECKED) != 0;
    if (item->action) {
        item->action->setCheckable(true);
        item->action->setChecked(item->checked);
    }
    return previous;
}

bool CMenu::IsMenuItemChecked(int id) const
{
    const Item* item = FindItem(id);
    return item && item->checked;
}

bool CMenu::SetMenuItemText(int id, const std::string& text)
{
    Item* item = FindItem(id);
    if (!item)
        return false;
    item->text = text;
    // The accelerator's keys are the action's shortcut: they stay.
    if (item->action)
        item->action->setText(QString::fromStdString(text));
    return true;
}

std::string CMenu::GetMenuItemText(int id) const
{
    const Item* item = FindItem(id);
    return item ? item->text : std::string();
}

// Qt reads "&x" (mnemonic) and "&&" (a literal ampersand) in menu texts as Windows does.
void CMenu::BindPopup(QMenu* menu)
{
    m_popup = menu;
    for (Item& item : m_items) {
        const QString text = QString::fromStdString(item.text);
        if (item.popup) {
            QMenu* sub = menu->addMenu(text);
            item.popup->BindPopup(sub);
        } else if (item.id == 0) {
            menu->addSeparator();
        } else {
            QAction* action = menu->addAction(text);
            action->setData(item.id);
            action->setEnabled(item.enabled);
            action->setCheckable(item.checkable);
            action->setChecked(item.checked);
            item.action = action;
        }
    }
}

void CMenu::TrackPopupMenu(const CPoint& screen, CWnd& owner, std::function<void(int)> onCommand)
{
    if (m_popup)
        m_popup->close();
    auto* menu = new QMenu(owner.Widget());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    BindPopup(menu);
    QObject::connect(menu, &QMenu::triggered, menu, [onCommand = std::move(onCommand)](QAction* action) {
        if (const int id = action->data().toInt(); id != 0 && onCommand)
            onCommand(id);
    });
    menu->popup(QPoint(screen.x, screen.y));
}

} // namespace win
