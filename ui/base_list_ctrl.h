#pragma once

// CBaseListCtrl: what the program's three lists share. It keeps each column's width in
// the profile store (read when the columns are created, written when the user finishes
// dragging a divider), turns on full-row selection when attached, finds the selected row
// and asks before deleting. The rows and what they mean belong to the derived lists.

#include <string>

#include "storage/config_data_manager.h"
#include "ui/platform/list_ctrl.h"

class CBaseListCtrl : public win::CListCtrl {
public:
    // The profile store keeps the column widths; it is not owned.
    explicit CBaseListCtrl(IConfigDataManager& configuration);

    // The first selected row, or -1.
    virtual int GetSelectedIndex() const;
    // Deletes one row with everything that hangs on it.
    virtual void DeleteItemAt(int row) = 0;
    // The list's section in the profile store ("AccountsList", ...).
    virtual std::string GetSectionName() const = 0;
    // Width in pixels of a column that has no stored width.
    virtual int GetDefaultColumnWidth(int column) const = 0;
    // Asks "Are you sure you want to delete the selected entry?" (Yes/No, No the default);
    // true for Yes.
    virtual bool ConfirmDelete();

    // Deletes row only when the user answers Yes. The row must exist.
    void DeleteWithConfirmation(int row);
    // The user's delete, once confirmed; by default DeleteItemAt.
    virtual void DeleteConfirmed(int row) { DeleteItemAt(row); }
    // The stored width of a column (key "ColumnWidth_<column>"), else its default. Hides
    // the list view's own GetColumnWidth, which gives the current width.
    int GetColumnWidth(int column);
    // Stores the column's current width.
    void SaveColumnWidth(int column);

protected:
    // A default width for a column of amounts: at least minimum, and wide enough for the
    // widest amount (-2147483648) with the cell's margins.
    int AmountColumnWidth(int minimum) const;
    // The base attach step: adds full-row selection to the extended style. Derived lists
    // create their columns, then call it.
    void PreSubclassWindow() override;
    // The end of a divider drag stores that column's width.
    void OnEndTrack(int column) override;

private:
    IConfigDataManager& m_configuration;
};
