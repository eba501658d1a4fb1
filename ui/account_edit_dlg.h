#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "ui/platform/dialog.h"

// The Account Editor: a description (typed or picked from the descriptions entered
// earlier in this run) and a balance in whole dollars. Used to add an account and to
// change one; the caller applies the result.
class CAccountEditDlg : public win::CDialog {
public:
    enum class Mode { Add = 0, Update = 1 };

    // Longest description accepted, in characters as typed (before trimming).
    static constexpr int kMaxDescriptionChars = 50;
    // Longest balance text the user can type: room for the lowest balance with its
    // grouping commas, -2,147,483,648.
    static constexpr int kMaxBalanceChars = 14;

    CAccountEditDlg(Mode mode, win::CWnd* parent = nullptr);

    // Set before running to fill the controls; after OK they hold the accepted values.
    std::string m_description;
    std::int32_t m_balance = 0;

    Mode GetMode() const { return m_mode; }

    // Every description confirmed with OK in this run, sorted byte-wise; it fills the
    // drop-down list of later editors. Never saved.
    static std::set<std::string> knownDescriptions;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(win::CDataExchange* dx) override;
    void OnOK() override;

private:
    Mode m_mode;
};
