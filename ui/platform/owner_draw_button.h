#pragma once

// An owner-drawn button: a child window that draws nothing of its own but asks its owner
// to draw it on every paint, and tells of every change of its size. The chart is one.

#include "ui/platform/types.h"

class QWidget;

namespace win {

class CDC;

class OwnerDrawButton {
public:
    OwnerDrawButton() = default;
    virtual ~OwnerDrawButton();
    OwnerDrawButton(const OwnerDrawButton&) = delete;
    OwnerDrawButton& operator=(const OwnerDrawButton&) = delete;

    // Creates the window as a visible child of parent, placed at rect, without caption,
    // disabled (it takes no input) and drawn by DrawItem.
    void Create(QWidget* parent, const CRect& rect);
    // The window, while it exists (the parent may destroy it first).
    QWidget* GetWindow() const;
    bool HasWindow() const { return m_window != nullptr; }
    void MoveWindow(const CRect& rect);
    // Asks for the whole window to be erased and drawn again.
    void Invalidate();

protected:
    // action is ODA_DRAWENTIRE for a full paint.
    virtual void DrawItem(CDC& dc, unsigned action) = 0;
    // type is SIZE_RESTORED, SIZE_MINIMIZED or SIZE_MAXIMIZED; cx, cy: the client size.
    virtual void OnSize(int type, int cx, int cy);

private:
    class Window;
    friend class Window;

    Window* m_window = nullptr;
};

} // namespace win
