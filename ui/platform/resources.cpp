#include "ui/platform/resources.h"

#include "res/resource.h"
#include "res/resources.h"
#include "ui/platform/api.h"

namespace win {

namespace {

template <typename T>
const T* FindById(const std::vector<T>& items, int id)
{
    for (const T& item : items)
        if (item.id == id)
            return &item;
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}

} // namespace

const ControlTemplate* DialogTemplate::FindControl(int controlId) const
{
    for (const ControlTemplate& control : controls)
        if (control.id == controlId)
            return &control;
    return nullptr;
}

int AcceleratorTable::Translate(int virtualKey, bool control, bool shift, bool alt) const
{
    for (const AcceleratorEntry& entry : entries)
        if (entry.virtualKey == virtualKey && entry.control == control && entry.shift == shift && entry.alt == alt)
            return entry.command;
    return 0;
}

const DialogTemplate* FindDialogTemplate(int id) { return FindById(res::DialogTemplates(), id); }

const MenuTemplate* FindMenuTemplate(int id) { return FindById(res::MenuTemplates(), id); }

const AcceleratorTable* FindAcceleratorTable(int id) { return FindById(res::AcceleratorTables(), id); }

bool LoadString(int id, std::string& text)
{
    const auto& table = res::StringTable();
    const auto found = table.find(id);
    if (found == table.end()) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return false;
    }
    text = found->second;
    return true;
}

std::string LoadString(int id)
{
    std::string text;
    LoadString(id, text);
    return text;
}

std::string LoadStringOrThrow(int id)
{
    std::string text;
    if (!LoadString(id, text))
        throw api::Exception(GetLastError());
    return text;
}

const std::string& ApplicationName()
{
    static const std::string name = LoadString(res::IDS_APP_TITLE);
    return name;
}

} // namespace win
