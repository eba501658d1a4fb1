#include "ui/platform/data_exchange.h"

#include <cstdint>
#include <limits>

#include "common/decimal.h"
#include "res/resource.h"
#include "ui/platform/controls.h"
#include "ui/platform/dialog.h"
#include "ui/platform/modal_runner.h"
#include "ui/platform/resources.h"

namespace win {

CDataExchange::CDataExchange(CDialog& dialog, bool saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_dialog(dialog)
{
}

namespace {

// A wrapper for controls the dialog cannot find, so exchanges never dereference null.
CWnd& Missing()
{
    static CWnd missing;
    return missing;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t CountCodePoints(const std::string& text)
{
    std::size_t count = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0u) != 0x80u)
            ++count;
    return count;
}

} // namespace

CWnd& CDataExchange::PrepareCtrl(int id)
{
    m_lastControl = id;
    m_lastIsEdit = false;
    CWnd* control = m_dialog.GetDlgItem(id);
    return control ? *control : Missing();
}

CWnd& CDataExchange::PrepareEditCtrl(int id)
{
    CWnd& control = PrepareCtrl(id);
    m_lastIsEdit = true;
    return control;
}

void CDataExchange::Fail()
{
    if (CWnd* control = m_dialog.GetDlgItem(m_lastControl)) {
        control->SetFocus();
        if (m_lastIsEdit)
            if (auto* edit = dynamic_cast<CEdit*>(control))
                edit->SetSel(0, -1);
    }
    throw DataExchangeFailure{};
}

bool ParseDialogInteger(std::string_view text, int& value)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    const std::size_t end = i;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i != text.size())
        return false;
    const std::int32_t read = Utility::ReadDecimal(text.substr(start, end - start));
    // Nothing but a number reads as 0: accept 0 only when it was written as a 0.
    if (read == 0 && (start == text.size() || text[start] != '0'))
        return false;
    value = read;
    return true;
}

bool ParseDialogUnsigned(std::string_view text, unsigned& value)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    const std::size_t start = i;
    std::uint64_t read = 0;
    while (i < text.size() && IsDigit(text[i])) {
        read = std::min<std::uint64_t>(read * 10 + static_cast<std::uint64_t>(text[i] - '0'),
                                       std::numeric_limits<unsigned>::max());
        ++i;
    }
    const bool digits = i > start;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (!digits || i != text.size())
        return false;
    value = static_cast<unsigned>(read);
    return true;
}

std::string WithoutGrouping(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && IsBlank(text[start]))
        ++start;
    if (start < text.size() && (text[start] == '+' || text[start] == '-'))
        ++start;
    std::size_t end = start;
    while (end < text.size() && (IsDigit(text[end]) || text[end] == ','))
        ++end;
    const std::string_view number = text.substr(start, end - start);
    if (number.find(',') == std::string_view::npos)
        return std::string(text);
    // Every group after the first has exactly three digits; the first has one to three.
    std::size_t group = 0;
    std::size_t groups = 0;
    for (std::size_t i = 0; i <= number.size(); ++i) {
        if (i < number.size() && number[i] != ',') {
            ++group;
            continue;
        }
        if (group == 0 || group > 3 || (groups > 0 && group != 3))
            return std::string(text);
        ++groups;
        group = 0;
    }
    std::string plain(text.substr(0, start));
    for (char c : number)
        if (c != ',')
            plain += c;
    plain += text.substr(end);
    return plain;
}

bool HasDecimalPoint(std::string_view text)
{
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos)
        return false;
    const std::string whole = WithoutGrouping(text.substr(0, point));
    std::size_t i = 0;
    while (i < whole.size() && IsBlank(whole[i]))
        ++i;
    if (i < whole.size() && (whole[i] == '+' || whole[i] == '-'))
        ++i;
    std::size_t digits = 0;
    for (; i < whole.size(); ++i, ++digits)
        if (!IsDigit(whole[i]))
            return false;
    std::size_t j = point + 1;
    for (; j < text.size() && IsDigit(text[j]); ++j)
        ++digits;
    while (j < text.size() && IsBlank(text[j]))
        ++j;
    return digits > 0 && j == text.size();
}

std::string FormatPrompt(std::string prompt, const std::string& first, const std::string& second)
{
    auto replace = [&prompt](const std::string& marker, const std::string& with) {
        if (const auto at = prompt.find(marker); at != std::string::npos)
            prompt.replace(at, marker.size(), with);
    };
    replace("%1", first);
    replace("%2", second);
    return prompt;
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (control.HasWindow())
        return;
    CWnd& item = dx->PrepareCtrl(id);
    if (item.HasWindow()) {
        control.Attach(item.Widget(), id, item.GetStyle());
        dx->m_dialog.BindControl(id, control);
    }
}

void DDX_Text(CDataExchange* dx, int id, std::string& value)
{
    CWnd& control = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate)
        value = control.GetWindowText();
    else
        control.SetWindowText(value);
}

void DDX_Text(CDataExchange* dx, int id, int& value)
{
    CWnd& control = dx->PrepareEditCtrl(id);
    if (!dx->m_bSaveAndValidate) {
        control.SetWindowText(std::to_string(value));
        return;
    }
    if (!ParseDialogInteger(control.GetWindowText(), value)) {
        AfxMessageBox(LoadString(res::AFX_IDP_PARSE_INT), MB_OK);
        dx->Fail();
    }
}

void DDX_Text(CDataExchange* dx, int id, unsigned& value)
{
    CWnd& control = dx->PrepareEditCtrl(id);
    if (!dx->m_bSaveAndValidate) {
        control.SetWindowText(std::to_string(value));
        return;
    }
    if (!ParseDialogUnsigned(control.GetWindowText(), value)) {
        AfxMessageBox(LoadString(res::AFX_IDP_PARSE_UINT), MB_OK);
        dx->Fail();
    }
}

namespace {

// Reads an amount field's text with the given integer reading, or refuses it with the
// whole-dollars message or the reading's own.
template <typename Value>
void ExchangeAmount(CDataExchange* dx, int id, Value& value, bool (*read)(std::string_view, Value&),
                    int notANumberPrompt)
{
    CWnd& control = dx->PrepareEditCtrl(id);
    if (!dx->m_bSaveAndValidate) {
        control.SetWindowText(std::to_string(value));
        return;
    }
    const std::string text = control.GetWindowText();
    if (read(WithoutGrouping(text), value))
        return;
    if (HasDecimalPoint(text))
        AfxMessageBox(LoadString(res::IDS_WHOLE_DOLLARS), MB_ICONEXCLAMATION);
    else
        AfxMessageBox(LoadString(notANumberPrompt), MB_OK);
    dx->Fail();
}

} // namespace

void DDX_Amount(CDataExchange* dx, int id, int& value)
{
    ExchangeAmount(dx, id, value, ParseDialogInteger, res::AFX_IDP_PARSE_INT);
}

void DDX_Amount(CDataExchange* dx, int id, unsigned& value)
{
    ExchangeAmount(dx, id, value, ParseDialogUnsigned, res::AFX_IDP_PARSE_UINT);
}

void DDX_Radio(CDataExchange* dx, int firstId, int& index)
{
    dx->PrepareCtrl(firstId);
    const DialogTemplate* dialogTemplate = dx->m_dialog.GetTemplate();
    if (!dialogTemplate)
        return;
    const auto& controls = dialogTemplate->controls;
    std::size_t first = 0;
    while (first < controls.size() && controls[first].id != firstId)
        ++first;
    if (dx->m_bSaveAndValidate)
        index = -1;
    int position = 0;
    for (std::size_t i = first; i < controls.size(); ++i, ++position) {
        const ControlTemplate& control = controls[i];
        const auto kind = control.style & BS_TYPEMASK;
        if (i > first && (control.style & WS_GROUP))
            break;
        if (control.kind != ControlKind::Button || (kind != BS_AUTORADIOBUTTON && kind != BS_RADIOBUTTON))
            break;
        auto* button = dx->m_dialog.GetDlgItemAs<CButton>(control.id);
        if (!button)
            continue;
        if (dx->m_bSaveAndValidate) {
            if (button->GetCheck())
                index = position;
        } else {
            button->SetCheck(position == index ? 1 : 0);
        }
    }
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index)
{
    auto* combo = dynamic_cast<CComboBox*>(&dx->PrepareCtrl(id));
    if (!combo)
        return;
    if (dx->m_bSaveAndValidate)
        index = combo->GetCurSel();
    else
        combo->SetCurSel(index);
}

void DDX_DateTimeCtrl(CDataExchange* dx, int id, std::int64_t& time)
{
    auto* picker = dynamic_cast<CDateTimeCtrl*>(&dx->PrepareCtrl(id));
    if (!picker)
        return;
    if (!dx->m_bSaveAndValidate) {
        picker->SetTime(time);
        return;
    }
    if (!picker->HasCompleteDate()) {
        std::string minimum;
        std::string maximum;
        picker->GetRangeText(minimum, maximum);
        AfxMessageBox(FormatPrompt(LoadString(res::IDS_DATE_FORM), minimum, maximum), MB_ICONEXCLAMATION);
        dx->Fail();
    }
    picker->GetTime(time);
}

void DDX_Check(CDataExchange* dx, int id, int& value)
{
    auto* button = dynamic_cast<CButton*>(&dx->PrepareCtrl(id));
    if (!button)
        return;
    if (dx->m_bSaveAndValidate)
        value = button->GetCheck();
    else
        button->SetCheck(value);
}

void DDV_MaxChars(CDataExchange* dx, const std::string& value, int count)
{
    if (dx->m_bSaveAndValidate && CountCodePoints(value) > static_cast<std::size_t>(std::max(0, count))) {
        AfxMessageBox(FormatPrompt(LoadString(res::AFX_IDP_PARSE_STRING_SIZE), std::to_string(count)),
                      MB_ICONEXCLAMATION);
        dx->Fail();
    }
}

void DDV_MinMaxUInt(CDataExchange* dx, unsigned value, unsigned minimum, unsigned maximum)
{
    if (dx->m_bSaveAndValidate && (value < minimum || value > maximum)) {
        AfxMessageBox(FormatPrompt(LoadString(res::AFX_IDP_PARSE_INT_RANGE), std::to_string(minimum),
                                   std::to_string(maximum)),
                      MB_ICONEXCLAMATION);
        dx->Fail();
    }
}

} // namespace win
