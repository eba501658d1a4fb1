#pragma once

#include "model/dates.h"
#include "ui/platform/controls.h"
#include "ui/platform/dialog.h"

// The Starting Date dialog: one date picker showing the projection's start date. OK takes
// the picked day (at 10:00); Cancel leaves the date as it was given. The caller reads the
// date whatever button closed the dialog and applies it only when it differs.
class CEditStartDateDlg : public win::CDialog {
public:
    explicit CEditStartDateDlg(TimeValue date);

    TimeValue GetDate() const { return m_date; }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(win::CDataExchange* dx) override;

private:
    win::CDateTimeCtrl m_picker;
    TimeValue m_date = Today();
};
