#pragma once

// The Qt widgets behind the layer's windows. Internal to ui/platform: the program's own
// classes never see them.

#include <functional>
#include <set>

#include <QAbstractTableModel>
#include <QDialog>
#include <QMainWindow>
#include <QPushButton>
#include <QTreeView>
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

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CDialog* m_owner;
};

// The main window of a property sheet: menu bar and client area.
class SheetWidget : public QMainWindow {
public:
    explicit SheetWidget(CPropertySheet& owner);
    void Detach() { m_owner = nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
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

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
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
    CListCtrl& m_list;
};

// The list view of a CListCtrl.
class ListViewWidget : public QTreeView {
public:
    explicit ListViewWidget(QWidget* parent);
    void SetOwner(CListCtrl* owner) { m_owner = owner; }
    CListCtrl* Owner() const { return m_owner; }

    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    CListCtrl* m_owner = nullptr;
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

    // The current position, read back from a buddy that shows it.
    int CurrentPosition() const;
    void ShowPositionInBuddy();
    bool Step(int delta);
    void SetBuddy(QWidget* buddyWidget);

    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* m_decrease;
    QToolButton* m_increase;
    bool m_horizontal;
};

// An owner-drawn button: its owner paints it.
class OwnerDrawButton : public QPushButton {
public:
    explicit OwnerDrawButton(QWidget* parent) : QPushButton(parent) {}

    std::function<void(DrawItemContext&)> drawHandler;
    std::function<void(int type, int cx, int cy)> sizeHandler;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace win
