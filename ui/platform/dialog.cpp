#include "ui/platform/dialog.h"

#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>

#include "ui/platform/accessibility.h"
#include "ui/platform/api.h"
#include "ui/platform/controls.h"
#include "ui/platform/data_exchange.h"
#include "ui/platform/dialog_builder.h"
#include "ui/platform/modal_runner.h"
#include "ui/platform/widgets.h"
#include "ui/platform/win_app.h"

namespace win {

CDialog::CDialog(int templateId, CWnd* parent)
    : m_templateId(templateId), m_template(FindDialogTemplate(templateId)), m_parent(parent)
{
}

CDialog::~CDialog()
{
    if (auto* widget = dynamic_cast<DialogWidget*>(Widget()))
        widget->Detach();
    // The control wrappers go first, so none of them outlives this object's handlers.
    QWidget* widget = Detach();
    m_items.clear();
    delete widget;
}

namespace {

QWidget* ParentWidget(CWnd* parent)
{
    if (parent && parent->Widget())
        return parent->Widget();
    if (CWinApp* app = CWinApp::GetApp())
        if (CWnd* main = app->GetMainWindow())
            return main->Widget();
    return nullptr;
}

bool IsAutoRadio(const ControlTemplate& control)
{
    return control.kind == ControlKind::Button && (control.style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

// Tells the dialog whenever the text of an edit or date picker, or the selection or text
// of a combo box, changes.
void ConnectChangeNotice(CDialog& dialog, QWidget* widget, QWidget* context, int id)
{
    auto notify = [&dialog, id] { dialog.DispatchChange(id); };
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        QObject::connect(edit, &QLineEdit::textChanged, context, notify);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        QObject::connect(combo, &QComboBox::currentIndexChanged, context, notify);
        QObject::connect(combo, &QComboBox::editTextChanged, context, notify);
    } else if (auto* picker = qobject_cast<QDateTimeEdit*>(widget)) {
        // A date set or picked, and the typed text, complete or not (the picker sets its
        // own text without a notice).
        QObject::connect(picker, &QDateTimeEdit::dateTimeChanged, context, notify);
        if (auto* text = picker->findChild<QLineEdit*>())
            QObject::connect(text, &QLineEdit::textChanged, context, notify);
    }
}

} // namespace

bool CDialog::BuildWindow(QWidget* parent, bool child)
{
    if (!m_template)
        return false;
    Qt::WindowFlags flags = child ? Qt::Widget : Qt::Dialog;
    if (!child) {
        // WS_CAPTION is two bits, one of them WS_BORDER: only both make a caption.
        if ((m_template->style & WS_CAPTION) == WS_CAPTION)
            flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                     Qt::CustomizeWindowHint;
        else
            flags |= Qt::FramelessWindowHint;
    }
    auto* widget = new DialogWidget(*this, parent, flags);
    if (child)
        widget->setWindowFlags(Qt::Widget); // QDialog makes itself a window unless told again
    widget->setWindowTitle(QString::fromStdString(m_template->caption));
    const CRect size = MapDialogRect(CRect{0, 0, m_template->cx, m_template->cy});
    // A thin border around a dialog without caption.
    widget->SetDrawBorder(!child && (m_template->style & WS_CAPTION) != WS_CAPTION);
    m_ended = false;
    m_result = IDCANCEL;
    m_items.clear();
    m_bound.clear();
    for (const ControlTemplate& control : m_template->controls) {
        std::unique_ptr<CWnd> item = CreateControl(control, widget);
        if (auto* button = qobject_cast<QAbstractButton*>(item->Widget())) {
            const int id = control.id;
            const std::size_t index = m_items.size();
            QObject::connect(button, &QAbstractButton::clicked, widget, [this, id, index] {
                if (IsAutoRadio(m_template->controls[index]))
                    CheckRadioInGroup(index);
                DispatchCommand(id);
            });
        }
        ConnectChangeNotice(*this, item->Widget(), widget, control.id);
        m_items.push_back(std::move(item));
    }
    SetUpRadioGroups();
    std::vector<QWidget*> widgets;
    for (const auto& item : m_items)
        widgets.push_back(item->Widget());
    NameControls(*m_template, widgets);
    // An up-down control with UDS_AUTOBUDDY takes the control before it as its buddy;
    // UDS_ALIGNRIGHT puts it at the buddy's right edge, narrowing the buddy by its width.
    for (std::size_t i = 1; i < m_items.size(); ++i) {
        const ControlTemplate& control = m_template->controls[i];
        auto* spin = dynamic_cast<CSpinButtonCtrl*>(m_items[i].get());
        if (!spin || !(control.style & UDS_AUTOBUDDY))
            continue;
        QWidget* buddy = m_items[i - 1]->Widget();
        if (control.style & UDS_ALIGNRIGHT) {
            const QRect place = buddy->geometry();
            const int width = spin->Widget()->width();
            buddy->setGeometry(place.x(), place.y(), std::max(0, place.width() - width), place.height());
            spin->Widget()->setGeometry(place.x() + place.width() - width, place.y(), width, place.height());
        }
        spin->SetBuddy(*m_items[i - 1]);
    }
    // Group boxes stay behind the controls they frame.
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_template->controls[i].kind == ControlKind::Button &&
            (m_template->controls[i].style & BS_TYPEMASK) == BS_GROUPBOX)
            m_items[i]->Widget()->lower();
    if (child)
        widget->resize(size.Width(), size.Height());
    else
        widget->setFixedSize(size.Width(), size.Height());
    Attach(widget, 0, m_template->style);
    return true;
}

int CDialog::DoModal()
{
    if (!BuildWindow(ParentWidget(m_parent), false))
        return -1;
    m_inModalRun = true;
    if (OnInitDialog())
        SetInitialFocus();
    int result = m_result;
    if (!m_ended) {
        try {
            result = GetModalRunner().RunModal(*this);
        } catch (...) {
            m_inModalRun = false;
            DestroyDialogWindow();
            throw;
        }
    } else {
        result = m_result;
    }
    m_inModalRun = false;
    DestroyDialogWindow();
    return result;
}

bool CDialog::Create(CWnd* parent)
{
    QWidget* parentWidget = parent ? parent->Widget() : nullptr;
    if (!BuildWindow(parentWidget, parentWidget != nullptr))
        return false;
    if (OnInitDialog())
        SetInitialFocus();
    return true;
}

void CDialog::DestroyDialogWindow()
{
    if (!HasWindow())
        return;
    OnDestroy();
    if (auto* widget = dynamic_cast<DialogWidget*>(Widget()))
        widget->Detach();
    QWidget* widget = Detach();
    m_items.clear();
    m_bound.clear();
    delete widget;
}

void CDialog::OnWindowDestroyed()
{
    m_items.clear();
    m_bound.clear();
}

void CDialog::EndDialog(int result)
{
    m_ended = true;
    m_result = result;
    if (auto* widget = dynamic_cast<DialogWidget*>(Widget()); widget && widget->isVisible() && m_inModalRun)
        widget->Finish(result);
}

bool CDialog::UpdateData(bool saveAndValidate)
{
    CDataExchange exchange(*this, saveAndValidate);
    try {
        DoDataExchange(&exchange);
    } catch (const DataExchangeFailure&) {
        return false;
    }
    return true;
}

CWnd* CDialog::GetDlgItem(int id) const
{
    if (const auto bound = m_bound.find(id); bound != m_bound.end() && bound->second->HasWindow())
        return bound->second;
    for (const auto& item : m_items)
        if (item->GetDlgCtrlID() == id && item->HasWindow())
            return item.get();
    return nullptr;
}

std::string CDialog::GetDlgItemText(int id) const
{
    CWnd* item = GetDlgItem(id);
    return item ? item->GetWindowText() : std::string();
}

void CDialog::SetDlgItemText(int id, const std::string& text)
{
    if (CWnd* item = GetDlgItem(id))
        item->SetWindowText(text);
}

void CDialog::GotoDlgCtrl(CWnd& control)
{
    control.SetFocus();
    if (auto* edit = dynamic_cast<CEdit*>(GetDlgItem(control.GetDlgCtrlID())))
        edit->SetSel(0, -1);
}

int CDialog::GetFocusedControlId() const
{
    for (const auto& item : m_items)
        if (item->HasWindow() && item->HasFocus())
            return item->GetDlgCtrlID();
    return 0;
}

CRect CDialog::GetControlsRect(int exceptId, int fromTop, int toTop) const
{
    CRect bounds;
    bool any = false;
    for (const auto& item : m_items) {
        const QWidget* widget = item->Widget();
        if (!widget || item->GetDlgCtrlID() == exceptId || widget->isHidden() || widget->y() < fromTop ||
            widget->y() >= toTop)
            continue;
        const QRect place = widget->geometry();
        const CRect rect{place.left(), place.top(), place.left() + place.width(), place.top() + place.height()};
        if (!any) {
            bounds = rect;
            any = true;
        } else {
            bounds = CRect{std::min(bounds.left, rect.left), std::min(bounds.top, rect.top),
                           std::max(bounds.right, rect.right), std::max(bounds.bottom, rect.bottom)};
        }
    }
    return bounds;
}

void CDialog::PressButton(int id)
{
    if (auto* button = dynamic_cast<CButton*>(GetDlgItem(id)))
        button->Click();
    else
        DispatchCommand(id);
}

void CDialog::CheckRadioInGroup(std::size_t index)
{
    const auto [first, last] = RadioGroupOf(index);
    for (std::size_t i = first; i < last; ++i)
        if (IsAutoRadio(m_template->controls[i]))
            if (auto* button = dynamic_cast<CButton*>(m_items[i].get()))
                button->SetCheck(i == index ? 1 : 0);
}

std::pair<std::size_t, std::size_t> CDialog::RadioGroupOf(std::size_t index) const
{
    // The group runs from the control with WS_GROUP at or before this one to the next one.
    const auto& controls = m_template->controls;
    std::size_t first = index;
    while (first > 0 && !(controls[first].style & WS_GROUP))
        --first;
    std::size_t last = index + 1;
    while (last < controls.size() && !(controls[last].style & WS_GROUP))
        ++last;
    return {first, std::min(last, m_items.size())};
}

void CDialog::SetUpRadioGroups()
{
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (!IsAutoRadio(m_template->controls[i]))
            continue;
        auto* button = qobject_cast<QAbstractButton*>(m_items[i]->Widget());
        if (!button)
            continue;
        // Whatever checks a button (a click, an arrow key, the data exchange), the group's
        // one tab stop follows the checked button.
        QObject::connect(button, &QAbstractButton::toggled, button, [this, i] { UpdateRadioTabStop(i); });
        new KeyPressFilter(button, [this, i](int key, Qt::KeyboardModifiers modifiers) {
            if (modifiers & (Qt::ControlModifier | Qt::AltModifier))
                return false;
            if (key == Qt::Key_Down || key == Qt::Key_Right)
                return MoveInRadioGroup(i, true);
            if (key == Qt::Key_Up || key == Qt::Key_Left)
                return MoveInRadioGroup(i, false);
            return false;
        });
        UpdateRadioTabStop(i);
    }
}

void CDialog::UpdateRadioTabStop(std::size_t index)
{
    if (index >= m_items.size())
        return;
    const auto [first, last] = RadioGroupOf(index);
    std::size_t stop = m_items.size();
    for (std::size_t i = first; i < last; ++i) {
        if (!IsAutoRadio(m_template->controls[i]))
            continue;
        if (stop == m_items.size() && (m_template->controls[i].style & WS_TABSTOP))
            stop = i;
        if (auto* button = dynamic_cast<CButton*>(m_items[i].get()); button && button->GetCheck()) {
            stop = i;
            break;
        }
    }
    for (std::size_t i = first; i < last; ++i)
        if (IsAutoRadio(m_template->controls[i]))
            m_items[i]->Widget()->setFocusPolicy(i == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

bool CDialog::MoveInRadioGroup(std::size_t index, bool forward)
{
    const auto [first, last] = RadioGroupOf(index);
    const std::size_t count = last - first;
    for (std::size_t step = 1; step < count; ++step) {
        const std::size_t offset = forward ? step : count - step;
        const std::size_t i = first + (index - first + offset) % count;
        if (!IsAutoRadio(m_template->controls[i]))
            continue;
        QWidget* widget = m_items[i]->Widget();
        if (!widget->isEnabled() || !widget->isVisibleTo(widget->window()))
            continue;
        widget->setFocus(Qt::TabFocusReason);
        // Landing on a button checks it, as a click would.
        if (auto* button = dynamic_cast<CButton*>(m_items[i].get()); button && !button->GetCheck())
            button->Click();
        return true;
    }
    // A group of one: the key stays within it.
    return true;
}

void CDialog::OnClicked(int id, std::function<void()> handler) { m_clickHandlers[id] = std::move(handler); }

void CDialog::OnChanged(int id, std::function<void()> handler) { m_changeHandlers[id] = std::move(handler); }

void CDialog::DispatchCommand(int id) { OnCommand(id); }

void CDialog::DispatchChange(int id)
{
    // Nothing is told while the window is being built or torn down.
    if (!HasWindow())
        return;
    if (const auto handler = m_changeHandlers.find(id); handler != m_changeHandlers.end())
        handler->second();
}

void CDialog::SetInitialFocus()
{
    for (std::size_t i = 0; m_template && i < m_items.size(); ++i) {
        const CWnd& item = *m_items[i];
        if ((m_template->controls[i].style & WS_TABSTOP) && item.IsWindowEnabled()) {
            m_items[i]->SetFocus();
            if (auto* edit = dynamic_cast<CEdit*>(m_items[i].get()))
                edit->SetSel(0, -1);
            return;
        }
    }
}

bool CDialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK()
{
    if (!UpdateData(true))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::OnCommand(int id)
{
    if (const auto handler = m_clickHandlers.find(id); handler != m_clickHandlers.end()) {
        handler->second();
        return true;
    }
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

void CDialog::OnSize(int, int, int) {}

void CDialog::OnDestroy() {}

} // namespace win
