#pragma once

// The Qt widgets behind the layer's windows. Internal to ui/platform: the program's own
// classes never see them.

#include <functional>
#include <set>

#include <QAbstractTableModel>
#include <QDateTimeEdit>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QHeaderView>
#include <QTableView>
#include <QWidget>

#include "ui/platform/controls.h"

class QToolButton;

namespace win {

class CDialog;
class CListCtrl;
class CPropertySheet;

// The window of a dialog or property page.
class DialogWidget : public QDialog {
public:
    DialogWidget(CDialog& owner, QWidget* parent, Qt::WindowFlags flags);
    void Detach() { m_owner = nullptr; }
    // Ends exec() with a result without going through the dialog's handlers.
    void Finish(int result) { QDialog::done(result); }

    void reject() override;
    void accept() override;
    // Draws a one-pixel line in the text colour along the window's edges.
    void SetDrawBorder(bool on) { m_drawBorder = on; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CDialog* m_owner;
    bool m_drawBorder = false;
};

// The main window of a property sheet: menu bar and client area.
class SheetWidget : public QMainWindow {
public:
    explicit SheetWidget(CPropertySheet& owner);
    void Detach() { m_owner = nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Tells the owner the frame's widths once the window manager has put a frame round it.
    void ReportFrame();

    CPropertySheet* m_owner;
};

// The client area of a property sheet; reports its size.
class SheetClientWidget : public QWidget {
public:
    SheetClientWidget(CPropertySheet& owner, QWidget* parent);
    void Detach() { m_owner = nullptr; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CPropertySheet* m_owner;
};

// Shows a CListCtrl's rows.
class ListModel : public QAbstractTableModel {
public:
    explicit ListModel(CListCtrl& list) : m_list(list) {}

    // Whether the row has a note (shown in italics) and the cell one (bold, marked); the
    // tooltip and the description for screen readers give the notes' texts.
    static constexpr int kRowNoteRole = Qt::UserRole + 1;
    static constexpr int kCellNoteRole = Qt::UserRole + 2;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // Asked for often (every cell painted, every row when a view lays its rows out):
    // answered without the round of virtual calls Qt's defaults make for each.
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Only a row's check box can be changed from the view.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Notifications the list sends; the names say what changed.
    using QAbstractTableModel::beginInsertColumns;
    using QAbstractTableModel::beginInsertRows;
    using QAbstractTableModel::beginRemoveRows;
    using QAbstractTableModel::beginResetModel;
    using QAbstractTableModel::endInsertColumns;
    using QAbstractTableModel::endInsertRows;
    using QAbstractTableModel::endRemoveRows;
    using QAbstractTableModel::endResetModel;

private:
    bool HasCheckBox(const QModelIndex& index) const;

    CListCtrl& m_list;
};

// The list view of a CListCtrl: a table view that looks and behaves as a report list's
// tree view would (rows of one line of the font, the whole row selected, one focus frame
// around the current row, Home and End going to the first and last row, Left and Right
// scrolling). A tree view walks every row whenever the row count changes, which costs
// more than a frame for a few hundred thousand rows; a table view only counts them.
class ListViewWidget : public QTableView {
public:
    explicit ListViewWidget(QWidget* parent);
    void SetOwner(CListCtrl* owner) { m_owner = owner; }
    CListCtrl* Owner() const { return m_owner; }
    // The column headings.
    QHeaderView* header() const { return horizontalHeader(); }
    // The height of every row.
    int RowHeight() const { return verticalHeader()->defaultSectionSize(); }
    // The focus frame goes around the whole current row, else around the current cell.
    void SetWholeRowFocus(bool whole);
    bool WholeRowFocus() const { return m_wholeRowFocus; }
    // Scrolls the row into view, with the scroll range brought up to the row count first.
    void ShowRow(const QModelIndex& index);

    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Right click, the Menu key, and Shift+F10 (which Qt leaves alone) ask for the
    // context menu.
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    // The focus frame spans the row: the whole row is painted again when it comes or goes.
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void UpdateRow(const QModelIndex& index);
    // The context menu of the selected row, shown at its left end.
    void ContextMenuFromKeyboard();
    // Scrolled to the end, the last row is not pushed to the bottom edge: the first row
    // in sight stays whole, as everywhere else.
    bool KeepTopRowWhole();
    // Rows as high as one line of text in an item of the view's font and style.
    void UpdateRowHeight();

    CListCtrl* m_owner = nullptr;
    bool m_wholeRowFocus = true;
    bool m_dividerPressed = false;
    std::set<int> m_resizedWhilePressed;
};

// An up-down control: two arrow buttons, a range, a position and a buddy.
class UpDownWidget : public QWidget {
public:
    UpDownWidget(QWidget* parent, bool horizontal);

    int lower = 0;
    int upper = 100;
    int position = 0;
    bool wrap = false;
    bool setBuddyInt = false;
    bool arrowKeys = false;
    QWidget* buddy = nullptr;
    std::function<int(int position, int delta)> deltaPosHandler;

    // When the buddy loses the focus showing no number within the range, it shows the
    // position again.
    bool showPositionOnLeave = false;

    // The current position, read back from a buddy that shows it.
    int CurrentPosition() const;
    void ShowPositionInBuddy();
    bool Step(int delta);
    // Up or down by as many steps as the range allows, at most steps (Page Up and Page Down).
    void StepWithin(int steps);
    // The buddy's arrow keys step the position; a spin without a name takes the buddy's.
    void SetBuddy(QWidget* buddyWidget);
    // Names the spin and its two arrows ("Increase Duration") for screen readers.
    void SetName(const QString& name);

    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* m_decrease;
    QToolButton* m_increase;
    bool m_horizontal;
};

// A date picker that is one tab stop: Tab and Shift+Tab leave it at once (the arrow keys
// still step the day, month or year). Digits and slashes are typed as into a text field,
// so a date reads as typed — 12/31/2026, 3/5/2027 or 12312026. Typing that starts at the
// beginning of the field replaces the whole date; elsewhere it replaces the selection, or
// the month, day or year the cursor is in. A typed date that is not complete
// stays as typed, on Enter and when the focus leaves, so OK can refuse it instead of a guess.
class DatePickerWidget : public QDateTimeEdit {
public:
    explicit DatePickerWidget(QWidget* parent);

    // True when the text is a whole date of the display format within the allowed range.
    bool HasCompleteDate() const;
    // The typed date at the picker's time of day when the text is a whole date, else the
    // picker's value.
    QDateTime CurrentDateTime() const;
    // Opens the calendar pop-up (F4 and Alt+Down do, as a click on the arrow does).
    void ShowCalendar();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    QValidator::State validate(QString& input, int& position) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // The text's date within the allowed range; invalid when the text is not a whole date.
    QDate TypedDate() const;
    // Applies a typed digit or slash, Backspace, Delete or a cursor key to the text.
    bool EditTypedText(const QKeyEvent& event);
    // Makes a whole typed date the picker's value (and its text the display form).
    void TakeTypedDate();

    // The text is being typed: QDateTimeEdit must not read or reformat it on the way.
    bool m_typing = false;
};

// The push button with the keyboard focus in this window, shown on it; nullptr when the
// focus is elsewhere. Owner-drawn buttons (the chart) are not taken for push buttons.
QPushButton* FocusedPushButton(QWidget* window);

// Reads a picker's text in its display format (numeric day, month and four-digit year
// sections, literal separators): each day and month of one or two digits, or all the
// digits without separators (MMDDYYYY for MM/dd/yyyy). An invalid QDate when the text is
// not a whole date.
QDate ParseDateText(const QString& text, const QString& format);

// Offers a widget's key presses to a handler before the widget sees them; the handler
// returns true when it used the key.
class KeyPressFilter : public QObject {
public:
    KeyPressFilter(QWidget* watched, std::function<bool(int key, Qt::KeyboardModifiers modifiers)> handler);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool(int, Qt::KeyboardModifiers)> m_handler;
};

// A group box whose key mark puts the focus on a control it frames (its buddy): the
// controls of a dialog template are the box's siblings, not its children.
class GroupBoxWidget : public QGroupBox {
public:
    GroupBoxWidget(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}
    QWidget* buddy = nullptr;

protected:
    bool event(QEvent* event) override;
};

// A push button that draws a focus frame of its own while it has the focus: the style
// draws none on a flat button ("<<", the summary line), and outlines the default button
// alike with or without the focus.
class PushButtonWidget : public QPushButton {
public:
    PushButtonWidget(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};

// An edit field without a frame, on the window's own background (a number where a label
// would be): a focus frame shows where the keys go.
class BorderlessEditWidget : public QLineEdit {
public:
    BorderlessEditWidget(const QString& text, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Draws a focus frame in the palette's highlight colour along the inside of rect (in the
// widget's coordinates), whether or not the focus came from the keyboard.
void DrawFocusFrame(QWidget& widget, QPainter& painter, const QRect& rect);

// An owner-drawn button: its owner paints it.
class OwnerDrawButton : public QPushButton {
public:
    explicit OwnerDrawButton(QWidget* parent) : QPushButton(parent) {}

    std::function<void(DrawItemContext&)> drawHandler;
    std::function<void(int type, int cx, int cy)> sizeHandler;
    std::function<bool(int virtualKey)> keyHandler;
    std::function<void(bool focused)> focusHandler;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

} // namespace win
