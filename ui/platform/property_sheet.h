#pragma once

// CPropertySheet: the program's main window. A top-level window with a menu bar whose
// client area holds a tab control with the pages (CPropertyPage, dialogs on templates)
// and room for other children (the chart) placed by the owner. Pages are added in order
// and get their windows when first activated. Key presses pass through
// PreTranslateKeyDown before they reach the focused control: the accelerator table is
// tried first, then Ctrl+Tab, Ctrl+Page Down and Ctrl+Page Up change pages.
//
// Closing (close box, EndDialog) destroys the window after the current event: OnDestroy
// runs while every page and control still exists; then the widgets are deleted; if the
// sheet is the application's main window the message loop ends.

#include <cstdint>
#include <string>
#include <vector>

#include "ui/platform/controls.h"
#include "ui/platform/dialog.h"
#include "ui/platform/menu.h"
#include "ui/platform/resources.h"

namespace win {

class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(int templateId) : CDialog(templateId) {}
    // The tab caption, from the template.
    std::string GetCaption() const;
};

class CTabCtrl : public CWnd {
public:
    int GetCurSel() const;
    int GetItemCount() const;
};

class CPropertySheet : public CWnd {
public:
    // caption: string resource id of the window caption; selectPage: page shown first.
    CPropertySheet(int captionId, CWnd* parent = nullptr, int selectPage = 0);
    ~CPropertySheet() override;

    // Adds a page (not owned) after the others.
    void AddPage(CPropertyPage* page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const;

    // Creates the sheet's window, modeless and top-level; the page selected at
    // construction is activated, then OnInitDialog runs. Style WS_VISIBLE shows it.
    bool Create(CWnd* parent = nullptr, std::uint32_t style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU,
                std::uint32_t extendedStyle = 0);

    int GetActiveIndex() const;
    CPropertyPage* GetActivePage() const;
    // Shows page index, creating its window first if needed.
    bool SetActivePage(int index);
    CTabCtrl* GetTabControl();

    // Creates a child control of the client area (the chart: an owner-drawn button) at
    // rect (client coordinates) with a control id; the wrapper is attached to it.
    bool CreateChildControl(CWnd& control, ControlKind kind, const std::string& text, std::uint32_t style,
                            const CRect& rect, int id);

    // Shows a menu (not owned) as the window's menu bar; nullptr removes it.
    void SetMenu(CMenu* menu);
    CMenu* GetMenu() const { return m_menu; }
    // Loads the accelerator table tried by PreTranslateKeyDown; false when missing.
    bool LoadAccelerators(int id);
    // Icon resource for the title bar and task bar.
    void SetIcon(int iconId);

    // Queues command id: it runs through OnCommand after the current event.
    void PostCommand(int id);
    // Runs command id now.
    bool SendCommand(int id) { return OnCommand(id); }
    // Ends the modeless sheet: its window is destroyed after the current event.
    void EndDialog(int result);
    int GetResult() const { return m_result; }
    // Destroys the window now (OnDestroy first, while everything exists).
    bool DestroyWindow() override;

    // For the layer and for tests: a key went down while the sheet was active. Returns
    // true when it was consumed.
    bool KeyDown(int virtualKey, bool control, bool shift, bool alt);
    // For the layer: a pop-up menu is about to drop down.
    void MenuAboutToShow(CMenu& popup, int index) { OnInitMenuPopup(popup, index); }
    // For the layer: geometry changes of the window.
    void DispatchSize(int type, int cx, int cy) { OnSize(type, cx, cy); }
    void DispatchMove(int x, int y) { OnMove(x, y); }
    void DispatchClose();
    // For the layer: the user asked to close the window; it closes unless OnClose refuses.
    void DispatchCloseRequest()
    {
        if (OnClose())
            DispatchClose();
    }

protected:
    // The sheet's initialisation, after the window and the first page exist.
    virtual bool OnInitDialog();
    // A command from the menu, an accelerator or PostCommand; true when handled.
    virtual bool OnCommand(int id);
    // A pop-up menu (index = its position in the menu bar) is about to drop down.
    virtual void OnInitMenuPopup(CMenu& popup, int index);
    // Key pre-translation; the default tries the accelerators and the page keys.
    virtual bool PreTranslateKeyDown(int virtualKey, bool control, bool shift, bool alt);
    // True when the control with the keyboard focus is a push button: Enter presses it.
    bool IsPushButtonFocused() const;
    // Client area size; outer position (screen).
    virtual void OnSize(int type, int cx, int cy);
    virtual void OnMove(int x, int y);
    // The user asked to close the window (close box, Alt+F4); false keeps it open.
    virtual bool OnClose() { return true; }
    // The window is about to be destroyed; pages and controls still exist.
    virtual void OnDestroy();

    // The client area is below the menu bar.
    QWidget* ClientWidget() const override;

private:
    void BindMenuBar();

    std::string m_caption;
    CWnd* m_parent;
    int m_firstPage;
    std::vector<CPropertyPage*> m_pages;
    CTabCtrl m_tabControl;
    CMenu* m_menu = nullptr;
    const AcceleratorTable* m_accelerators = nullptr;
    int m_result = 0;
    bool m_destroying = false;
};

} // namespace win
