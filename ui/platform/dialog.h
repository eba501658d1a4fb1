#pragma once

// CDialog: a dialog built from a template of res/ (see resources.h), run modally through
// the modal runner (modal_runner.h) or created modeless as a child (property pages).
// Behaviour comes from the virtual hooks: OnInitDialog, DoDataExchange (with the DDX_ and
// DDV_ functions of data_exchange.h), OnOK, OnCancel, OnCommand, OnSize.
//
// A modal run: DoModal builds the window from the template, runs OnInitDialog (which by
// default loads the controls with UpdateData(false)), hands the dialog to the runner and
// destroys the window when the runner returns the result. OK runs OnOK: UpdateData(true)
// validates and stores; on failure the message has been shown, the focus is on the failing
// control and the dialog stays open.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/platform/resources.h"
#include "ui/platform/wnd.h"

namespace win {

class CDataExchange;

class CDialog : public CWnd {
public:
    // The dialog on template templateId; parent may be null (the main window is used).
    explicit CDialog(int templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally; returns IDOK, IDCANCEL or what EndDialog was given.
    int DoModal();
    // Creates the dialog's window modeless, as a child of parent when parent has a window
    // (property pages), else top-level; runs OnInitDialog. False when the template is
    // missing.
    bool Create(CWnd* parent);
    // Ends a modal run with a result (the window is destroyed when the run returns).
    void EndDialog(int result);
    bool IsEnded() const { return m_ended; }
    int GetResult() const { return m_result; }

    // Data exchange: false = controls from members, true = members from controls with
    // validation. Returns false when validation failed.
    bool UpdateData(bool saveAndValidate = true);

    int GetTemplateId() const { return m_templateId; }
    const DialogTemplate* GetTemplate() const { return m_template; }

    // The wrapper of the control with this id, or nullptr (no window or no such control).
    CWnd* GetDlgItem(int id) const;
    // The same, as the wrapper type of its kind (CEdit, CButton, CComboBox, CListCtrl,
    // CSpinButtonCtrl, CDateTimeCtrl, CStatic); nullptr when it is of another kind.
    template <typename T>
    T* GetDlgItemAs(int id) const
    {
        return dynamic_cast<T*>(GetDlgItem(id));
    }
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const std::string& text);
    // Moves the focus to a control (selecting all text of an edit control).
    void GotoDlgCtrl(CWnd& control);
    // The id of the control that has the focus within the dialog, or 0.
    int GetFocusedControlId() const;
    // The smallest rectangle (client coordinates) holding every visible control but one
    // whose top lies in [fromTop, toTop); an empty rectangle when there is none.
    CRect GetControlsRect(int exceptId, int fromTop, int toTop) const;

    // Presses a button as the user would: radio buttons and check boxes change state, then
    // the command reaches OnCommand (IDOK runs OnOK, IDCANCEL OnCancel).
    void PressButton(int id);

    // Calls handler when the button with this id is clicked (checked by OnCommand first).
    void OnClicked(int id, std::function<void()> handler);
    // Calls handler whenever what the control with this id holds changes, by the user or
    // by the program: an edit's text (an up-down control's buddy included), a combo
    // box's selection or text, a date picker's text.
    void OnChanged(int id, std::function<void()> handler);

    // For the layer: a member wrapper now stands for control id (DDX_Control);
    // GetDlgItem returns it from then on.
    void BindControl(int id, CWnd& control) { m_bound[id] = &control; }
    // For the layer: a button of the window was clicked.
    void DispatchCommand(int id);
    // For the layer: what a control holds changed.
    void DispatchChange(int id);
    // For the layer: the window's size or position changed.
    void DispatchSize(int type, int cx, int cy) { OnSize(type, cx, cy); }

protected:
    // The dialog's initialisation; the default runs UpdateData(false). Return true to let
    // the platform put the focus on the first tab stop, false when the focus was set.
    virtual bool OnInitDialog();
    // Exchanges members and controls; the default does nothing.
    virtual void DoDataExchange(CDataExchange* dx);
    // OK: validate and store, then end with IDOK.
    virtual void OnOK();
    // Cancel (button, Escape, close box): end with IDCANCEL.
    virtual void OnCancel();
    // A button was clicked; return true when handled. The default handles IDOK, IDCANCEL
    // and the OnClicked handlers.
    virtual bool OnCommand(int id);
    // The window's client size changed (pages get this when the sheet resizes them).
    virtual void OnSize(int type, int cx, int cy);
    // The window is about to be destroyed; controls still exist.
    virtual void OnDestroy();

    void OnWindowDestroyed() override;

private:
    bool BuildWindow(QWidget* parent, bool child);
    void DestroyDialogWindow();
    void SetInitialFocus();
    void CheckRadioInGroup(std::size_t index);
    // Automatic radio buttons: one tab stop per group (the checked button, else the
    // template's), arrow keys move within the group and check the button they land on.
    std::pair<std::size_t, std::size_t> RadioGroupOf(std::size_t index) const;
    void SetUpRadioGroups();
    void UpdateRadioTabStop(std::size_t index);
    bool MoveInRadioGroup(std::size_t index, bool forward);

    int m_templateId;
    const DialogTemplate* m_template = nullptr;
    CWnd* m_parent;
    std::vector<std::unique_ptr<CWnd>> m_items; // one per template control, in order
    std::map<int, CWnd*> m_bound; // member wrappers bound with DDX_Control, not owned
    std::map<int, std::function<void()>> m_clickHandlers;
    std::map<int, std::function<void()>> m_changeHandlers;
    bool m_ended = false;
    bool m_inModalRun = false;
    int m_result = IDCANCEL;
};

} // namespace win
