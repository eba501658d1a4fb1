#include "ui/platform/controls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>

#include "ui/platform/dialog.h"
#include "ui/platform/widgets.h"

namespace win {

int CButton::GetCheck() const
{
    auto* button = qobject_cast<QAbstractButton*>(Widget());
    return button && button->isChecked() ? 1 : 0;
}

void CButton::SetCheck(int check)
{
    if (auto* button = qobject_cast<QAbstractButton*>(Widget())) {
        button->setCheckable(true);
        button->setChecked(check != 0);
    }
}

void CButton::Click()
{
    if (auto* button = qobject_cast<QAbstractButton*>(Widget()))
        if (button->isEnabled())
            button->click();
}

void CButton::SetDrawHandler(std::function<void(DrawItemContext&)> handler)
{
    if (auto* button = dynamic_cast<OwnerDrawButton*>(Widget()))
        button->drawHandler = std::move(handler);
}

void CButton::SetSizeHandler(std::function<void(int type, int cx, int cy)> handler)
{
    if (auto* button = dynamic_cast<OwnerDrawButton*>(Widget()))
        button->sizeHandler = std::move(handler);
}

void CButton::SetKeyHandler(std::function<bool(int virtualKey)> handler)
{
    if (auto* button = dynamic_cast<OwnerDrawButton*>(Widget()))
        button->keyHandler = std::move(handler);
}

void CButton::SetFocusHandler(std::function<void(bool focused)> handler)
{
    if (auto* button = dynamic_cast<OwnerDrawButton*>(Widget()))
        button->focusHandler = std::move(handler);
}

void CEdit::LimitText(int count)
{
    if (auto* edit = qobject_cast<QLineEdit*>(Widget()))
        edit->setMaxLength(count <= 0 ? 32767 : count);
}

int CEdit::GetLimitText() const
{
    auto* edit = qobject_cast<QLineEdit*>(Widget());
    return edit ? edit->maxLength() : 0;
}

void CEdit::SetSel(int start, int end)
{
    auto* edit = qobject_cast<QLineEdit*>(Widget());
    if (!edit)
        return;
    const int length = static_cast<int>(edit->text().size());
    if (end < 0 || end > length)
        end = length;
    start = std::clamp(start, 0, length);
    edit->setSelection(start, end - start);
}

void CEdit::GetSel(int& start, int& end) const
{
    start = end = 0;
    auto* edit = qobject_cast<QLineEdit*>(Widget());
    if (!edit)
        return;
    if (edit->hasSelectedText()) {
        start = edit->selectionStart();
        end = edit->selectionEnd();
    } else {
        start = end = edit->cursorPosition();
    }
}

void CEdit::ScrollCaret()
{
    // The line edit keeps its cursor in view by itself; re-placing the cursor at the end
    // of the selection makes it scroll there.
    auto* edit = qobject_cast<QLineEdit*>(Widget());
    if (edit && !edit->hasSelectedText())
        edit->setCursorPosition(edit->cursorPosition());
}

namespace {

QComboBox* ComboOf(const CWnd& wnd) { return qobject_cast<QComboBox*>(wnd.Widget()); }

// Windows sorts combo box lists without regard to case.
int CompareItems(const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseInsensitive); }

} // namespace

int CComboBox::AddString(const std::string& text)
{
    QComboBox* combo = ComboOf(*this);
    if (!combo)
        return CB_ERR;
    int index = combo->count();
    const QString value = QString::fromStdString(text);
    if (GetStyle() & CBS_SORT) {
        index = 0;
        while (index < combo->count() && CompareItems(combo->itemText(index), value) <= 0)
            ++index;
    }
    return InsertString(index, text);
}

int CComboBox::InsertString(int index, const std::string& text)
{
    QComboBox* combo = ComboOf(*this);
    if (!combo)
        return CB_ERR;
    if (index < 0 || index > combo->count())
        index = combo->count();
    // Adding items must not change the selection or the typed text, which Qt would do
    // for the first item.
    const int selected = combo->currentIndex();
    const QString typed = combo->isEditable() ? combo->currentText() : QString();
    combo->insertItem(index, QString::fromStdString(text));
    combo->setCurrentIndex(selected < 0 ? -1 : (selected >= index ? selected + 1 : selected));
    if (combo->isEditable())
        combo->setEditText(typed);
    return index;
}

int CComboBox::GetCount() const
{
    QComboBox* combo = ComboOf(*this);
    return combo ? combo->count() : 0;
}

int CComboBox::GetCurSel() const
{
    QComboBox* combo = ComboOf(*this);
    return combo ? combo->currentIndex() : CB_ERR;
}

int CComboBox::SetCurSel(int index)
{
    QComboBox* combo = ComboOf(*this);
    if (!combo || index >= combo->count())
        return CB_ERR;
    combo->setCurrentIndex(index < 0 ? -1 : index);
    return index < 0 ? CB_ERR : index;
}

std::string CComboBox::GetLBText(int index) const
{
    QComboBox* combo = ComboOf(*this);
    if (!combo || index < 0 || index >= combo->count())
        return {};
    return combo->itemText(index).toStdString();
}

void CComboBox::LimitText(int count)
{
    QComboBox* combo = ComboOf(*this);
    if (combo && combo->lineEdit())
        combo->lineEdit()->setMaxLength(count <= 0 ? 32767 : count);
}

namespace {

UpDownWidget* UpDownOf(const CWnd& wnd) { return dynamic_cast<UpDownWidget*>(wnd.Widget()); }

} // namespace

void CSpinButtonCtrl::SetRange(int lower, int upper) { SendSetRange(MakeRangeParam(lower, upper)); }

void CSpinButtonCtrl::SendSetRange(std::uint32_t lParam)
{
    if (UpDownWidget* upDown = UpDownOf(*this)) {
        upDown->upper = LowWord(lParam);
        upDown->lower = HighWord(lParam);
    }
}

void CSpinButtonCtrl::GetRange(int& lower, int& upper) const
{
    lower = upper = 0;
    if (UpDownWidget* upDown = UpDownOf(*this)) {
        lower = upDown->lower;
        upper = upDown->upper;
    }
}

int CSpinButtonCtrl::SetPos(int position)
{
    UpDownWidget* upDown = UpDownOf(*this);
    if (!upDown)
        return 0;
    const int previous = upDown->position;
    upDown->position = std::clamp(position, std::min(upDown->lower, upDown->upper),
                                  std::max(upDown->lower, upDown->upper));
    upDown->ShowPositionInBuddy();
    return previous;
}

int CSpinButtonCtrl::GetPos() const
{
    UpDownWidget* upDown = UpDownOf(*this);
    return upDown ? upDown->CurrentPosition() : 0;
}

void CSpinButtonCtrl::SetBuddy(CWnd& buddy)
{
    if (UpDownWidget* upDown = UpDownOf(*this))
        upDown->SetBuddy(buddy.Widget());
}

void CSpinButtonCtrl::SetShowPositionOnLeave(bool on)
{
    if (UpDownWidget* upDown = UpDownOf(*this))
        upDown->showPositionOnLeave = on;
}

void CSpinButtonCtrl::SetDeltaPosHandler(std::function<int(int position, int delta)> handler)
{
    if (UpDownWidget* upDown = UpDownOf(*this))
        upDown->deltaPosHandler = std::move(handler);
}

bool CSpinButtonCtrl::Step(int delta)
{
    UpDownWidget* upDown = UpDownOf(*this);
    return upDown && upDown->Step(delta);
}

namespace {

QDateTimeEdit* PickerOf(const CWnd& wnd) { return qobject_cast<QDateTimeEdit*>(wnd.Widget()); }

QDateTime FromSystemTime(const SystemTime& time)
{
    return QDateTime(QDate(time.year, time.month, time.day),
                     QTime(time.hour, time.minute, time.second, time.milliseconds), Qt::LocalTime);
}

} // namespace

bool CDateTimeCtrl::SetFormat(const std::string& format)
{
    QDateTimeEdit* picker = PickerOf(*this);
    if (!picker)
        return false;
    picker->setDisplayFormat(QString::fromStdString(format));
    return true;
}

std::string CDateTimeCtrl::GetFormat() const
{
    QDateTimeEdit* picker = PickerOf(*this);
    return picker ? picker->displayFormat().toStdString() : std::string();
}

bool CDateTimeCtrl::SetRange(const SystemTime* minimum, const SystemTime* maximum)
{
    QDateTimeEdit* picker = PickerOf(*this);
    if (!picker)
        return false;
    if (minimum)
        picker->setMinimumDateTime(FromSystemTime(*minimum));
    else
        picker->clearMinimumDateTime();
    if (maximum)
        picker->setMaximumDateTime(FromSystemTime(*maximum));
    else
        picker->clearMaximumDateTime();
    return true;
}

bool CDateTimeCtrl::GetMinimum(std::int64_t& time) const
{
    QDateTimeEdit* picker = PickerOf(*this);
    if (!picker)
        return false;
    time = picker->minimumDateTime().toSecsSinceEpoch();
    return true;
}

bool CDateTimeCtrl::GetTime(std::int64_t& time) const
{
    QDateTimeEdit* picker = PickerOf(*this);
    if (!picker)
        return false;
    // A date being typed counts as soon as it is whole, before the picker takes it.
    auto* typing = dynamic_cast<DatePickerWidget*>(picker);
    time = (typing ? typing->CurrentDateTime() : picker->dateTime()).toSecsSinceEpoch();
    return true;
}

bool CDateTimeCtrl::SetTime(std::int64_t time)
{
    QDateTimeEdit* picker = PickerOf(*this);
    if (!picker)
        return false;
    picker->setDateTime(QDateTime::fromSecsSinceEpoch(time, Qt::LocalTime));
    return true;
}

bool CDateTimeCtrl::HasCompleteDate() const
{
    auto* picker = dynamic_cast<DatePickerWidget*>(Widget());
    return picker && picker->HasCompleteDate();
}

bool CDateTimeCtrl::GetRangeText(std::string& minimum, std::string& maximum) const
{
    QDateTimeEdit* picker = PickerOf(*this);
    if (!picker)
        return false;
    minimum = picker->minimumDate().toString(picker->displayFormat()).toStdString();
    maximum = picker->maximumDate().toString(picker->displayFormat()).toStdString();
    return true;
}

} // namespace win
