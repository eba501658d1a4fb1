#include "ui/platform/widgets.h"

#include <algorithm>

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyleOptionComboBox>
#include <QStyleOptionFocusRect>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/decimal.h"
#include "res/resource.h"
#include "ui/platform/dialog.h"
#include "ui/platform/list_ctrl.h"
#include "ui/platform/property_sheet.h"
#include "ui/platform/resources.h"

namespace win {

DialogWidget::DialogWidget(CDialog& owner, QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), m_owner(&owner)
{
}

void DialogWidget::reject()
{
    // Escape and the close box are the Cancel command.
    if (m_owner)
        m_owner->DispatchCommand(IDCANCEL);
    else
        QDialog::reject();
}

void DialogWidget::accept()
{
    if (m_owner)
        m_owner->DispatchCommand(IDOK);
    else
        QDialog::accept();
}

QPushButton* FocusedPushButton(QWidget* window)
{
    if (!window)
        return nullptr;
    auto* button = qobject_cast<QPushButton*>(window->focusWidget());
    if (!button || dynamic_cast<OwnerDrawButton*>(button) || !button->isVisibleTo(window))
        return nullptr;
    return button;
}

void DialogWidget::keyPressEvent(QKeyEvent* event)
{
    // Enter presses the push button that has the focus, as the dialog manager does; from
    // any other control it goes to the default button.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !(event->modifiers() & ~Qt::KeypadModifier)) {
        QPushButton* button = FocusedPushButton(window());
        if (button && isAncestorOf(button)) {
            if (button->isEnabled())
                button->click();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void DialogWidget::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    if (!m_drawBorder)
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void DialogWidget::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_owner)
        m_owner->DispatchSize(SIZE_RESTORED, width(), height());
}

namespace {

// The longest text a date is typed as: MM/DD/YYYY.
constexpr qsizetype kLongestTypedDate = 10;

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

} // namespace

// Reads the fields in the format's order. With separators, days and months take one or two
// digits and a year exactly four. Typed as digits only, the separators are left out and
// every field takes its full width: shorter digit strings are refused, as 1122026 could be
// 1/12/2026 or 11/2/2026, and 0315202 is a date being typed, not 03/01/5202.
QDate ParseDateText(const QString& text, const QString& format)
{
    const bool digitsOnly = !text.isEmpty() && std::all_of(text.begin(), text.end(), IsDigit);
    int year = -1;
    int month = -1;
    int day = -1;
    qsizetype at = 0;
    for (qsizetype f = 0; f < format.size();) {
        const QChar letter = format[f];
        qsizetype run = 1;
        while (f + run < format.size() && format[f + run] == letter)
            ++run;
        f += run;
        int* field = letter == u'y' ? &year : letter == u'M' ? &month : letter == u'd' ? &day : nullptr;
        if (!field) {
            if (digitsOnly)
                continue;
            for (qsizetype i = 0; i < run; ++i, ++at)
                if (at >= text.size() || text[at] != letter)
                    return {};
            continue;
        }
        const qsizetype most = letter == u'y' ? 4 : 2;
        const qsizetype fewest = digitsOnly || letter == u'y' ? most : 1;
        if (letter == u'y' ? run != 4 : run > 2)
            return {};
        qsizetype digits = 0;
        int value = 0;
        while (digits < most && at < text.size() && IsDigit(text[at])) {
            value = value * 10 + (text[at].unicode() - u'0');
            ++digits;
            ++at;
        }
        if (digits < fewest || *field != -1)
            return {};
        *field = value;
    }
    if (at != text.size() || year < 0 || month < 0 || day < 0)
        return {};
    return QDate(year, month, day);
}

DatePickerWidget::DatePickerWidget(QWidget* parent) : QDateTimeEdit(parent)
{
    lineEdit()->installEventFilter(this);
    connect(this, &QDateTimeEdit::dateTimeChanged, this, [this] { m_typing = false; });
}

QDate DatePickerWidget::TypedDate() const
{
    const QDate date = ParseDateText(lineEdit()->text(), displayFormat());
    return date.isValid() && date >= minimumDate() && date <= maximumDate() ? date : QDate();
}

bool DatePickerWidget::HasCompleteDate() const { return TypedDate().isValid(); }

QDateTime DatePickerWidget::CurrentDateTime() const
{
    const QDate typed = TypedDate();
    return typed.isValid() ? QDateTime(typed, time(), Qt::LocalTime) : dateTime();
}

void DatePickerWidget::TakeTypedDate()
{
    if (!m_typing)
        return;
    if (const QDate typed = TypedDate(); typed.isValid()) {
        m_typing = false;
        setDate(typed);
        // Shown again in the display form even when the date itself did not change.
        lineEdit()->setText(dateTime().toString(displayFormat()));
    }
}

bool DatePickerWidget::EditTypedText(const QKeyEvent& event)
{
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    QLineEdit* line = lineEdit();
    const int key = event.key();
    const bool typed = event.text().size() == 1 && (IsDigit(event.text()[0]) || event.text()[0] == u'/');
    const bool erased = key == Qt::Key_Backspace || key == Qt::Key_Delete;
    const bool moved = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Home || key == Qt::Key_End;
    if (!typed && !erased && !(moved && m_typing)) {
        // Other characters are not part of a date: they change nothing.
        return !event.text().isEmpty() && event.text()[0].isPrint();
    }
    // QDateTimeEdit reads every change of the text and of the cursor as an edit of one of
    // its sections and puts its own value back; while typing, the text is the user's.
    QSignalBlocker quiet(line);
    const bool extend = event.modifiers() & Qt::ShiftModifier;
    if (moved) {
        if (key == Qt::Key_Left)
            line->cursorBackward(extend);
        else if (key == Qt::Key_Right)
            line->cursorForward(extend);
        else if (key == Qt::Key_Home)
            line->home(extend);
        else
            line->end(extend);
        return true;
    }
    QString text = line->text();
    qsizetype from = line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
    qsizetype to = from + (line->hasSelectedText() ? line->selectedText().size() : 0);
    if (!m_typing && typed) {
        if (from == 0) {
            // A date typed at the start of the field is a new date, whatever is selected.
            to = text.size();
        } else if (from == to) {
            // Typed with the cursor in the month, day or year: it replaces that number.
            while (from > 0 && IsDigit(text[from - 1]))
                --from;
            while (to < text.size() && IsDigit(text[to]))
                ++to;
        }
    }
    m_typing = true;
    if (typed) {
        if (text.size() - (to - from) >= kLongestTypedDate)
            return true;
        text.replace(from, to - from, event.text());
        to = from + 1;
    } else if (from != to) {
        text.remove(from, to - from);
        to = from;
    } else if (key == Qt::Key_Backspace && from > 0) {
        text.remove(--from, 1);
        to = from;
    } else if (key == Qt::Key_Delete && from < text.size()) {
        text.remove(from, 1);
    }
    line->setText(text);
    line->setCursorPosition(static_cast<int>(to));
    quiet.unblock();
    // The dialog hears of the change as of any typed text; the picker's own reading of it
    // waits for the focus to leave.
    emit line->textChanged(text);
    return true;
}

bool DatePickerWidget::eventFilter(QObject* watched, QEvent* event)
{
    // A click or drag in text being typed only moves the cursor or selects.
    if (m_typing && watched == lineEdit()) {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
            type == QEvent::MouseButtonDblClick || type == QEvent::MouseMove) {
            QSignalBlocker quiet(lineEdit());
            return static_cast<QObject*>(lineEdit())->event(event);
        }
    }
    return QDateTimeEdit::eventFilter(watched, event);
}

QValidator::State DatePickerWidget::validate(QString& input, int& position) const
{
    // The field's validator would rewrite text being typed section by section ("6/26/"
    // becomes "06/26/"): it is left as typed, to be read when the focus leaves.
    if (m_typing)
        return QValidator::Intermediate;
    return QDateTimeEdit::validate(input, position);
}

bool DatePickerWidget::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            if (key->key() == Qt::Key_Backtab || (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier)))
                return QWidget::focusNextPrevChild(false);
            if (key->key() == Qt::Key_Tab)
                return QWidget::focusNextPrevChild(true);
        }
    }
    return QDateTimeEdit::event(event);
}

void DatePickerWidget::ShowCalendar()
{
    if (!calendarPopup() || !isEnabled())
        return;
    TakeTypedDate();
    // QDateTimeEdit opens its calendar only for a press on its arrow: press it there.
    QStyleOptionComboBox arrow;
    arrow.initFrom(this);
    arrow.editable = true;
    arrow.frame = true;
    arrow.subControls = QStyle::SC_All;
    const QPoint place = style()->subControlRect(QStyle::CC_ComboBox, &arrow, QStyle::SC_ComboBoxArrow, this).center();
    QMouseEvent press(QEvent::MouseButtonPress, place, mapToGlobal(place), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    mousePressEvent(&press);
    QMouseEvent release(QEvent::MouseButtonRelease, place, mapToGlobal(place), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    mouseReleaseEvent(&release);
}

void DatePickerWidget::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if ((event->key() == Qt::Key_F4 && modifiers == Qt::NoModifier) ||
        (event->key() == Qt::Key_Down && modifiers == Qt::AltModifier)) {
        ShowCalendar();
        event->accept();
        return;
    }
    if (EditTypedText(*event)) {
        event->accept();
        return;
    }
    // Enter goes on to the dialog's default button without completing the date by a guess.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !HasCompleteDate()) {
        event->ignore();
        return;
    }
    const int key = event->key();
    if (key != Qt::Key_Shift && key != Qt::Key_Control && key != Qt::Key_Alt && key != Qt::Key_AltGr &&
        key != Qt::Key_Meta) {
        // Any other key (Enter, an arrow that steps the date) works on the typed date.
        TakeTypedDate();
        m_typing = false;
    }
    QDateTimeEdit::keyPressEvent(event);
}

void DatePickerWidget::focusInEvent(QFocusEvent* event)
{
    if (!m_typing) {
        QDateTimeEdit::focusInEvent(event);
        return;
    }
    // Coming back to a date being typed (after OK refused it): go on typing at its end.
    const QString typed = lineEdit()->text();
    QDateTimeEdit::focusInEvent(event);
    QSignalBlocker quiet(lineEdit());
    lineEdit()->setText(typed);
    lineEdit()->end(false);
}

void DatePickerWidget::focusOutEvent(QFocusEvent* event)
{
    TakeTypedDate();
    if (HasCompleteDate()) {
        QDateTimeEdit::focusOutEvent(event);
        return;
    }
    const QString typed = lineEdit()->text();
    const bool typing = m_typing;
    QDateTimeEdit::focusOutEvent(event);
    m_typing = typing;
    {
        QSignalBlocker quiet(lineEdit());
        lineEdit()->setText(typed);
    }
    emit lineEdit()->textChanged(typed);
}

KeyPressFilter::KeyPressFilter(QWidget* watched, std::function<bool(int, Qt::KeyboardModifiers)> handler)
    : QObject(watched), m_handler(std::move(handler))
{
    watched->installEventFilter(this);
}

bool KeyPressFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && m_handler) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (m_handler(key->key(), key->modifiers()))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

SheetWidget::SheetWidget(CPropertySheet& owner) : QMainWindow(nullptr), m_owner(&owner) {}

void SheetWidget::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (m_owner)
        m_owner->DispatchCloseRequest();
}

void SheetWidget::ReportFrame()
{
    if (!m_owner)
        return;
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    if (frame != inner)
        m_owner->FrameKnown(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                            frame.bottom() - inner.bottom());
}

void SheetWidget::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    ReportFrame();
}

void SheetWidget::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    ReportFrame();
}

void SheetWidget::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    ReportFrame();
    if (m_owner) {
        const QRect frame = frameGeometry();
        m_owner->DispatchMove(frame.x(), frame.y());
    }
}

SheetClientWidget::SheetClientWidget(CPropertySheet& owner, QWidget* parent) : QWidget(parent), m_owner(&owner) {}

void SheetClientWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!m_owner)
        return;
    const QWidget* frame = window();
    const int type = frame->isMinimized()                            ? SIZE_MINIMIZED
                     : frame->isMaximized() || frame->isFullScreen() ? SIZE_MAXIMIZED
                                                                     : SIZE_RESTORED;
    m_owner->DispatchSize(type, width(), height());
}

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_list.ViewRowCount();
}

int ListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_list.GetColumnCount();
}

QModelIndex ListModel::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || column < 0 || row >= m_list.ViewRowCount() || column >= m_list.GetColumnCount())
        return {};
    return createIndex(row, column);
}

Qt::ItemFlags ListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this || index.row() >= m_list.ViewRowCount() ||
        index.column() >= m_list.GetColumnCount())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    return HasCheckBox(index) ? flags | Qt::ItemIsUserCheckable : flags;
}

bool ListModel::HasCheckBox(const QModelIndex& index) const
{
    return index.column() == 0 && (m_list.GetExtendedStyle() & LVS_EX_CHECKBOXES) && !m_list.GetDataSource();
}

bool ListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || !index.isValid() || !HasCheckBox(index))
        return false;
    return m_list.SetCheck(index.row(), value.toInt() == Qt::Checked);
}

namespace {

Qt::Alignment AlignmentOf(int format)
{
    switch (format) {
    case LVCFMT_RIGHT:
        return Qt::AlignRight | Qt::AlignVCenter;
    case LVCFMT_CENTER:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

// No cell shows more characters than this: however wide a column is dragged, its text
// ends long before. A longer text is cut, with an ellipsis, before the view sees it, since
// the view lays out and elides a cell's whole text each time it paints the cell.
constexpr std::size_t kMostCharactersShown = 4096;

// The bytes of a text's start that hold at least one character more than a cell shows
// (a character is at most four bytes).
constexpr std::size_t kBytesShown = 4 * (kMostCharactersShown + 1);

QString ShownText(const std::string& text)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && characters++ == kMostCharactersShown)
            return QString::fromUtf8(text.data(), static_cast<qsizetype>(i)) + QChar(0x2026);
    return QString::fromStdString(text);
}

} // namespace

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return ShownText(m_list.GetItemTextStart(index.row(), index.column(), kBytesShown));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(AlignmentOf(m_list.GetColumnFormat(index.column())));
    if (role == Qt::CheckStateRole && HasCheckBox(index))
        return m_list.GetCheck(index.row()) ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole) {
        // The row's note, then the cell's: a what-if payment that was moved says both.
        std::string note = m_list.GetRowNote(index.row());
        const std::string cell = m_list.GetCellNote(index.row(), index.column());
        if (!note.empty() && !cell.empty())
            note += "\n";
        note += cell;
        return note.empty() ? QVariant() : QVariant(QString::fromStdString(note));
    }
    if (role == kRowNoteRole)
        return !m_list.GetRowNote(index.row()).empty();
    if (role == kCellNoteRole)
        return !m_list.GetCellNote(index.row(), index.column()).empty();
    return {};
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(m_list.GetColumnHeading(section));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(AlignmentOf(m_list.GetColumnFormat(section)));
    return {};
}

namespace {

// With the focus frame around the whole row, cells draw none of their own.
class RowFocusDelegate : public QStyledItemDelegate {
public:
    explicit RowFocusDelegate(ListViewWidget& view) : QStyledItemDelegate(&view), m_view(view) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem cell(option);
        if (m_view.WholeRowFocus())
            cell.state &= ~QStyle::State_HasFocus;
        // A row with a note (a what-if transaction's) is told apart in italics.
        if (index.data(ListModel::kRowNoteRole).toBool())
            cell.font.setItalic(true);
        const bool marked = index.data(ListModel::kCellNoteRole).toBool();
        if (marked)
            cell.font.setBold(true);
        QStyledItemDelegate::paint(painter, cell, index);
        if (marked)
            PaintCellMark(*painter, cell, index);
    }

private:
    // A small triangle in the top corner away from the text (the left for text on the
    // right), in the text's own colour, so that it shows on any palette without
    // relying on a colour of its own.
    void PaintCellMark(QPainter& painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
    {
        const QRect cell = option.rect;
        const int side = std::max(5, cell.height() / 2);
        const bool textOnRight = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight;
        const int corner = textOnRight ? cell.left() : cell.right() + 1;
        const int towards = textOnRight ? side : -side;
        const QPolygon triangle({QPoint(corner, cell.top()), QPoint(corner + towards, cell.top()),
                                 QPoint(corner, cell.top() + side)});
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette::ColorGroup group = option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        painter.save();
        painter.setPen(Qt::NoPen);
        painter.setBrush(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter.drawPolygon(triangle);
        painter.restore();
    }

    ListViewWidget& m_view;
};

} // namespace

ListViewWidget::ListViewWidget(QWidget* parent) : QTableView(parent)
{
    setItemDelegate(new RowFocusDelegate(*this));
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    // Tab leaves the list for the next control of the dialog.
    setTabKeyNavigation(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    UpdateRowHeight();
    header()->setHighlightSections(false);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    // Qt has no "divider drag finished" signal: watch the header's viewport for the
    // mouse release that ends a resize.
    header()->viewport()->installEventFilter(this);
    connect(header(), &QHeaderView::sectionResized, this, [this](int section, int, int newSize) {
        if (m_dividerPressed)
            m_resizedWhilePressed.insert(section);
        if (m_owner)
            m_owner->ColumnResizedInView(section, newSize);
    });
    connect(header(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (m_owner)
            m_owner->NotifyColumnClick(section);
    });
}

void ListViewWidget::SetWholeRowFocus(bool whole)
{
    if (whole == m_wholeRowFocus)
        return;
    m_wholeRowFocus = whole;
    viewport()->update();
}

void ListViewWidget::ShowRow(const QModelIndex& index)
{
    executeDelayedItemsLayout();
    updateGeometries();
    scrollTo(index);
}

void ListViewWidget::UpdateRow(const QModelIndex& index)
{
    if (index.isValid())
        viewport()->update(QRect(0, rowViewportPosition(index.row()), viewport()->width(), rowHeight(index.row())));
}

void ListViewWidget::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    UpdateRow(previous);
    UpdateRow(current);
}

void ListViewWidget::focusInEvent(QFocusEvent* event)
{
    QTableView::focusInEvent(event);
    UpdateRow(currentIndex());
}

void ListViewWidget::focusOutEvent(QFocusEvent* event)
{
    QTableView::focusOutEvent(event);
    UpdateRow(currentIndex());
}

bool ListViewWidget::KeepTopRowWhole()
{
    QScrollBar* bar = verticalScrollBar();
    if (verticalScrollMode() != ScrollPerItem || bar->maximum() <= 0 || bar->value() != bar->maximum())
        return false;
    const int top = verticalHeader()->sectionPosition(bar->value());
    if (top < 0 || verticalHeader()->offset() == top)
        return false;
    verticalHeader()->setOffset(top);
    return true;
}

void ListViewWidget::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    if (KeepTopRowWhole())
        viewport()->update();
}

void ListViewWidget::updateGeometries()
{
    QTableView::updateGeometries();
    if (KeepTopRowWhole())
        viewport()->update();
}

void ListViewWidget::UpdateRowHeight()
{
    QStyleOptionViewItem item;
    initViewItemOption(&item);
    item.features |= QStyleOptionViewItem::HasDisplay;
    item.text = QStringLiteral("0");
    const int height = style()->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), this).height();
    verticalHeader()->setDefaultSectionSize(std::max(height, 1));
}

void ListViewWidget::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        UpdateRowHeight();
}

QModelIndex ListViewWidget::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    const int rows = model() ? model()->rowCount(rootIndex()) : 0;
    const int column = current.isValid() ? current.column() : 0;
    switch (action) {
    case MoveHome:
        return rows > 0 ? model()->index(0, column, rootIndex()) : QModelIndex();
    case MoveEnd:
        return rows > 0 ? model()->index(rows - 1, column, rootIndex()) : QModelIndex();
    case MovePageUp: {
        // Up by the rows of the view's height, rounded up: a row partly in sight counts.
        if (!current.isValid() || rows == 0)
            return QTableView::moveCursor(action, modifiers);
        const int height = std::max(RowHeight(), 1);
        const int pixels = rowViewportPosition(current.row()) - viewport()->height();
        const int top = verticalScrollBar()->value();
        const int up = pixels < 0 ? (pixels - (height - 1)) / height : pixels / height;
        const int row = verticalScrollMode() == ScrollPerItem
                            ? top + up
                            : current.row() - (viewport()->height() + height - 1) / height;
        return model()->index(std::clamp(row, 0, rows - 1), column, rootIndex());
    }
    case MoveLeft:
    case MoveRight: {
        // A row is selected whole: sideways keys scroll the columns instead.
        QScrollBar* bar = horizontalScrollBar();
        bar->setValue(bar->value() + (action == MoveLeft ? -bar->singleStep() : bar->singleStep()));
        return current;
    }
    default:
        return QTableView::moveCursor(action, modifiers);
    }
}

void ListViewWidget::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    const QModelIndex current = currentIndex();
    if (hasFocus() && !current.isValid()) {
        // No row to frame (an empty list, say): the frame goes around the whole list.
        QPainter painter(viewport());
        DrawFocusFrame(*this, painter, viewport()->rect());
        return;
    }
    if (!m_wholeRowFocus || !current.isValid() || !hasFocus())
        return;
    // One focus frame around the whole current row, as a report list draws it.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(option);
    focus.state |= QStyle::State_KeyboardFocusChange;
    const QPalette::ColorGroup group = (option.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    focus.backgroundColor = option.palette.color(
        group, selectionModel() && selectionModel()->isSelected(current) ? QPalette::Highlight : QPalette::Window);
    const int left = option.showDecorationSelected ? 0 : header()->sectionPosition(0);
    const QRect row(left - header()->offset(), rowViewportPosition(current.row()), header()->length() - left,
                    rowHeight(current.row()));
    focus.rect = style()->visualRect(layoutDirection(), viewport()->rect(), row);
    QPainter painter(viewport());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter);
}

bool ListViewWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == header()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            m_dividerPressed = true;
            m_resizedWhilePressed.clear();
        } else if (event->type() == QEvent::MouseButtonRelease && m_dividerPressed) {
            m_dividerPressed = false;
            const std::set<int> resized = std::move(m_resizedWhilePressed);
            m_resizedWhilePressed.clear();
            for (int section : resized)
                if (m_owner)
                    m_owner->NotifyEndTrack(section, header()->sectionSize(section));
        }
    }
    return QTableView::eventFilter(watched, event);
}

void ListViewWidget::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    if (!m_owner)
        return;
    if (event->reason() != QContextMenuEvent::Mouse) {
        ContextMenuFromKeyboard();
        return;
    }
    // A right click selects the row it is on, as a report list does, before its menu.
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid() && selectionModel())
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_owner->NotifyContextMenu(index.isValid() ? index.row() : -1, CPoint{event->globalPos().x(), event->globalPos().y()});
}

void ListViewWidget::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F10 && (event->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier) {
        event->accept();
        ContextMenuFromKeyboard();
        return;
    }
    QTableView::keyPressEvent(event);
}

void ListViewWidget::ContextMenuFromKeyboard()
{
    if (!m_owner)
        return;
    const int row = m_owner->GetNextItem(-1, LVNI_SELECTED);
    QPoint place(0, 0);
    if (row >= 0 && model()) {
        const QModelIndex index = model()->index(row, 0);
        scrollTo(index);
        place = visualRect(index).bottomLeft();
    }
    const QPoint screen = viewport()->mapToGlobal(place);
    m_owner->NotifyContextMenu(row, CPoint{screen.x(), screen.y()});
}

void ListViewWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (m_owner && event->button() == Qt::LeftButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        m_owner->NotifyDoubleClick(index.isValid() ? index.row() : -1);
    }
}

UpDownWidget::UpDownWidget(QWidget* parent, bool horizontal)
    : QWidget(parent), m_decrease(new QToolButton(this)), m_increase(new QToolButton(this)),
      m_horizontal(horizontal)
{
    m_decrease->setArrowType(horizontal ? Qt::LeftArrow : Qt::DownArrow);
    m_increase->setArrowType(horizontal ? Qt::RightArrow : Qt::UpArrow);
    m_decrease->setAutoRepeat(true);
    m_increase->setAutoRepeat(true);
    m_decrease->setFocusPolicy(Qt::NoFocus);
    m_increase->setFocusPolicy(Qt::NoFocus);
    connect(m_decrease, &QToolButton::clicked, this, [this] { Step(-1); });
    connect(m_increase, &QToolButton::clicked, this, [this] { Step(1); });
}

void UpDownWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_horizontal) {
        const int half = width() / 2;
        m_decrease->setGeometry(0, 0, half, height());
        m_increase->setGeometry(half, 0, width() - half, height());
    } else {
        const int half = height() / 2;
        m_increase->setGeometry(0, 0, width(), half);
        m_decrease->setGeometry(0, half, width(), height() - half);
    }
}

namespace {

// Page Up and Page Down step this many at a time.
constexpr int kPageSteps = 10;

QString BuddyText(QWidget* buddy)
{
    if (auto* edit = qobject_cast<QLineEdit*>(buddy))
        return edit->text();
    if (auto* label = qobject_cast<QLabel*>(buddy))
        return label->text();
    return {};
}

} // namespace

int UpDownWidget::CurrentPosition() const
{
    if (setBuddyInt && buddy) {
        const std::string text = BuddyText(buddy).toStdString();
        if (!text.empty()) {
            const int low = std::min(lower, upper);
            const int high = std::max(lower, upper);
            return std::clamp(static_cast<int>(Utility::ReadDecimal(text)), low, high);
        }
    }
    return position;
}

void UpDownWidget::ShowPositionInBuddy()
{
    if (!setBuddyInt || !buddy)
        return;
    const QString text = QString::number(position);
    if (auto* edit = qobject_cast<QLineEdit*>(buddy))
        edit->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(buddy))
        label->setText(text);
}

bool UpDownWidget::Step(int delta)
{
    if (!isEnabled())
        return false;
    const int current = CurrentPosition();
    if (deltaPosHandler && deltaPosHandler(current, delta) != 0)
        return false;
    const int low = std::min(lower, upper);
    const int high = std::max(lower, upper);
    int proposed = current + (lower <= upper ? delta : -delta);
    if (proposed > high)
        proposed = wrap ? low : high;
    if (proposed < low)
        proposed = wrap ? high : low;
    const bool changed = proposed != position;
    position = proposed;
    ShowPositionInBuddy();
    return changed;
}

void UpDownWidget::StepWithin(int steps)
{
    const int low = std::min(lower, upper);
    const int high = std::max(lower, upper);
    const int current = CurrentPosition();
    const int target = std::clamp(current + (lower <= upper ? steps : -steps), low, high);
    if (target != current)
        Step(lower <= upper ? target - current : current - target);
}

void UpDownWidget::SetBuddy(QWidget* buddyWidget)
{
    if (buddy)
        buddy->removeEventFilter(this);
    buddy = buddyWidget;
    if (buddy)
        buddy->installEventFilter(this);
    if (buddy && accessibleName().isEmpty() && !buddy->accessibleName().isEmpty())
        SetName(buddy->accessibleName());
    ShowPositionInBuddy();
}

void UpDownWidget::SetName(const QString& name)
{
    setAccessibleName(name);
    m_decrease->setAccessibleName(QString::fromStdString(LoadString(res::IDS_SPIN_DECREASE)).arg(name));
    m_increase->setAccessibleName(QString::fromStdString(LoadString(res::IDS_SPIN_INCREASE)).arg(name));
}

bool UpDownWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == buddy && event->type() == QEvent::KeyPress && arrowKeys) {
        const auto* press = static_cast<QKeyEvent*>(event);
        const int key = press->key();
        if (press->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return QWidget::eventFilter(watched, event);
        if (key == Qt::Key_Up || (m_horizontal && key == Qt::Key_Right)) {
            Step(1);
            return true;
        }
        if (key == Qt::Key_Down || (m_horizontal && key == Qt::Key_Left)) {
            Step(-1);
            return true;
        }
        if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            StepWithin(key == Qt::Key_PageUp ? kPageSteps : -kPageSteps);
            return true;
        }
    }
    if (watched == buddy && event->type() == QEvent::FocusOut && showPositionOnLeave && setBuddyInt) {
        bool number = false;
        const int shown = BuddyText(buddy).toInt(&number);
        if (!number || shown < std::min(lower, upper) || shown > std::max(lower, upper))
            ShowPositionInBuddy();
    }
    return QWidget::eventFilter(watched, event);
}

bool GroupBoxWidget::event(QEvent* event)
{
    // The key mark: the focus goes to the framed control, as a label's goes to its buddy.
    if (event->type() == QEvent::Shortcut) {
        if (buddy && buddy->isEnabled())
            buddy->setFocus(Qt::ShortcutFocusReason);
        return true;
    }
    return QGroupBox::event(event);
}

void DrawFocusFrame(QWidget& widget, QPainter& painter, const QRect& rect)
{
    // Fusion's own focus rectangle is a shade of the background, hard to see; this is the
    // colour it outlines a focused field with.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(widget.palette().color(QPalette::Highlight), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

void PushButtonWidget::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    // Inside the bevel, where Windows draws its dotted frame.
    const int inset = isFlat() ? 0 : 3;
    DrawFocusFrame(*this, painter, rect().adjusted(inset, inset, -inset, -inset));
}

BorderlessEditWidget::BorderlessEditWidget(const QString& text, QWidget* parent) : QLineEdit(text, parent)
{
    setFrame(false);
    setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
}

void BorderlessEditWidget::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    DrawFocusFrame(*this, painter, rect());
}

void OwnerDrawButton::paintEvent(QPaintEvent*)
{
    if (!drawHandler)
        return;
    QPainter painter(this);
    DrawItemContext context;
    context.painter = &painter;
    context.rect = CRect{0, 0, width(), height()};
    context.action = ODA_DRAWENTIRE;
    context.state = hasFocus() ? ODS_FOCUS : 0u;
    drawHandler(context);
}

void OwnerDrawButton::keyPressEvent(QKeyEvent* event)
{
    int virtualKey = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        virtualKey = VK_LEFT;
        break;
    case Qt::Key_Right:
        virtualKey = VK_RIGHT;
        break;
    case Qt::Key_Up:
        virtualKey = VK_UP;
        break;
    case Qt::Key_Down:
        virtualKey = VK_DOWN;
        break;
    case Qt::Key_PageUp:
        virtualKey = VK_PRIOR;
        break;
    case Qt::Key_PageDown:
        virtualKey = VK_NEXT;
        break;
    case Qt::Key_Home:
        virtualKey = VK_HOME;
        break;
    case Qt::Key_End:
        virtualKey = VK_END;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        virtualKey = VK_RETURN;
        break;
    default:
        break;
    }
    const bool plain = !(event->modifiers() & ~Qt::KeypadModifier);
    if (virtualKey != 0 && plain && keyHandler && keyHandler(virtualKey)) {
        event->accept();
        return;
    }
    // Not a push button's keys: Space does not press it, Enter does not reach the dialog.
    if (event->key() == Qt::Key_Space || virtualKey == VK_RETURN) {
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void OwnerDrawButton::focusInEvent(QFocusEvent* event)
{
    QPushButton::focusInEvent(event);
    update();
    if (focusHandler)
        focusHandler(true);
}

void OwnerDrawButton::focusOutEvent(QFocusEvent* event)
{
    QPushButton::focusOutEvent(event);
    update();
    if (focusHandler)
        focusHandler(false);
}

void OwnerDrawButton::resizeEvent(QResizeEvent* event)
{
    QPushButton::resizeEvent(event);
    if (sizeHandler)
        sizeHandler(window()->isMinimized() ? SIZE_MINIMIZED : SIZE_RESTORED, width(), height());
}

} // namespace win
