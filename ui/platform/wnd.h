#pragma once

// CWnd: the program's handle on one window. It wraps a Qt widget that it does not own
// (Qt's parent ownership applies) and offers the Windows-style operations the program
// uses on every window: text, enabling, focus, rectangles, moving, invalidation. A CWnd
// "has a window" only once a widget has been attached to it; wrappers for the controls
// of a dialog are attached by the dialog (see dialog.h and DDX_Control).

#include <cstdint>
#include <optional>
#include <string>

#include <QPointer>

#include "ui/platform/types.h"

class QWidget;

namespace win {

// SetWindowPos flags.
inline constexpr unsigned SWP_NOSIZE = 0x1u;
inline constexpr unsigned SWP_NOMOVE = 0x2u;
inline constexpr unsigned SWP_NOZORDER = 0x4u;

class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Whether a window is attached (the Windows handle is not null).
    bool HasWindow() const;
    // The attached widget, or nullptr. For the layer and for drawing code.
    QWidget* Widget() const;

    // The control id from the template (0 for windows that are not controls).
    int GetDlgCtrlID() const { return m_id; }
    // The style bits the window was created with.
    std::uint32_t GetStyle() const { return m_style; }

    // The window's text: caption, control text, edit or combo box text.
    virtual void SetWindowText(const std::string& text);
    virtual std::string GetWindowText() const;

    void EnableWindow(bool enable = true);
    bool IsWindowEnabled() const;
    void ShowWindow(bool show);
    // A top-level window that fills the screen: maximized or full screen.
    bool IsZoomed() const;

    // Gives this window the input focus (within its top-level window).
    void SetFocus();
    // Whether this window is the focus window of its top-level window.
    bool HasFocus() const;

    // Outer rectangle in screen coordinates.
    CRect GetWindowRect() const;
    // Client rectangle: left and top are 0.
    CRect GetClientRect() const;
    // Converts between this window's client coordinates and the screen.
    void ScreenToClient(CRect& rect) const;
    void ClientToScreen(CRect& rect) const;
    // Moves and sizes the window; for a child the rectangle is in its parent's client
    // coordinates, for a top-level window it is the outer rectangle on the screen.
    void MoveWindow(const CRect& rect, bool repaint = true);
    void MoveWindow(int x, int y, int width, int height, bool repaint = true);
    // Position and size with SWP_NOMOVE, SWP_NOSIZE, SWP_NOZORDER as on Windows.
    void SetWindowPos(int x, int y, int width, int height, unsigned flags);
    // The smallest client area the user can size a top-level window to.
    void SetMinimumClientSize(int cx, int cy);
    // For the layer: the window manager's frame is now known (its widths on each side).
    // An outer rectangle given before the frame was known is applied again, once, so the
    // window ends up with that outer size and not that inner size.
    void FrameKnown(int left, int top, int right, int bottom);

    // Schedules a repaint of the whole client area (erased first when erase is true).
    void Invalidate(bool erase = true);
    // Destroys the window (deletes the widget and its children).
    virtual bool DestroyWindow();

    // Attaches a widget (the layer's step for subclassing a dialog control); runs
    // PreSubclassWindow. The widget stays owned by its Qt parent.
    void Attach(QWidget* widget, int id, std::uint32_t style);
    // Detaches the widget without destroying it.
    QWidget* Detach();

protected:
    // The widget whose area is the client area (the window itself unless a frame adds a
    // menu bar around it).
    virtual QWidget* ClientWidget() const { return Widget(); }
    // Runs once a widget has been attached, before PreSubclassWindow: the layer's own
    // wiring of a wrapper to its widget.
    virtual void BindWidget() {}
    // Runs once a widget has been attached (the attach step derived classes extend).
    virtual void PreSubclassWindow() {}
    // Runs when the attached widget is being destroyed; the CWnd no longer has a window.
    virtual void OnWindowDestroyed() {}

private:
    QPointer<QWidget> m_widget;
    int m_id = 0;
    std::uint32_t m_style = 0;
    bool m_destroyConnected = false;
    std::optional<CRect> m_outerRectBeforeFrame;
};

} // namespace win
