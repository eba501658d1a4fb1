#include "ui/base_list_ctrl.h"

#include <algorithm>

#include "res/resource.h"
#include "ui/platform/modal_runner.h"
#include "ui/platform/resources.h"

namespace {

std::string ColumnWidthKey(int column) { return "ColumnWidth_" + std::to_string(column); }

} // namespace

CBaseListCtrl::CBaseListCtrl(IConfigDataManager& configuration) : m_configuration(configuration) {}

int CBaseListCtrl::GetSelectedIndex() const { return GetNextItem(-1, win::LVNI_SELECTED); }

bool CBaseListCtrl::ConfirmDelete()
{
    const int answer = win::MessageBox(this, win::LoadString(res::IDS_CONFIRM_DELETE),
                                       win::LoadString(res::IDS_DELETE_SELECTION),
                                       win::MB_YESNO | win::MB_ICONQUESTION | win::MB_DEFBUTTON2);
    return answer == win::IDYES;
}

void CBaseListCtrl::DeleteWithConfirmation(int row)
{
    if (ConfirmDelete())
        DeleteConfirmed(row);
}

int CBaseListCtrl::GetColumnWidth(int column)
{
    return m_configuration.ReadInt(GetSectionName(), ColumnWidthKey(column), GetDefaultColumnWidth(column));
}

void CBaseListCtrl::SaveColumnWidth(int column)
{
    m_configuration.WriteInt(GetSectionName(), ColumnWidthKey(column), win::CListCtrl::GetColumnWidth(column));
}

int CBaseListCtrl::AmountColumnWidth(int minimum) const
{
    // A list cell keeps a few pixels of margin on each side of its text.
    constexpr int kCellMargins = 12;
    return std::max(minimum, GetStringWidth("-2147483648") + kCellMargins);
}

void CBaseListCtrl::PreSubclassWindow()
{
    SetExtendedStyle(GetExtendedStyle() | win::LVS_EX_FULLROWSELECT);
}

void CBaseListCtrl::OnEndTrack(int column) { SaveColumnWidth(column); }
