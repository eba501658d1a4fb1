#pragma once

// CListBasedPage: a property page that is mainly one list. It keeps the list filling the
// page when the page is resized, with the margins the list has in the page's template.

#include "ui/base_list_ctrl.h"
#include "ui/platform/property_sheet.h"

class CListBasedPage : public win::CPropertyPage {
public:
    explicit CListBasedPage(int templateId);

protected:
    // Records the page's list (a member of the derived page; not owned).
    void SetList(CBaseListCtrl& list) { m_list = &list; }
    CBaseListCtrl* GetList() const { return m_list; }

    // Does nothing: each derived page binds its own list control.
    void DoDataExchange(win::CDataExchange* dx) override;
    // Keeps the list's left and top margins and gives it a right and bottom margin of the
    // left margin plus one edge width.
    void OnSize(int type, int cx, int cy) override;

private:
    CBaseListCtrl* m_list = nullptr;
};
