#pragma once
// The windowed control of the class library, as a mix-in of a Qt widget.
//
// TWinControl holds what every control shares: its colour and font (or its
// parent's), Enabled and Visible (which also act on an attached label),
// focus handing, the border and the client area inside it, and the events
// OnEnter, OnExit, OnKeyDown, OnKeyPress, OnKeyUp, OnClick, OnDblClick and
// the mouse events. TWinControlOf<QtWidget> joins it to a Qt widget class and
// routes Qt's events through it in the order the platform delivers its
// messages:
// - a key press is first a key-down (KeyDown, then OnKeyDown; a key set to 0
//   is consumed), then, for keys that type something, one character message
//   per character (KeyPress, then OnKeyPress; a character set to 0 is
//   dropped); what survives gets the widget's own handling. Tab moves the
//   focus without reaching the control unless it wants Tab.
// - the client area lies inside the border (2 pixels for the sunken edge of
//   bsSingle with Ctl3D, 1 for a plain frame, none for bsNone); Left, Top and
//   the child layouts are in client coordinates of the parent, as the
//   platform counts them.
// - entering and leaving are reported once per change of the focus between
//   controls; a popup or another window taking the focus for a while is not
//   an exit.

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/kernel/VirtualKeys.h"

#include <QEvent>
#include <QFont>
#include <QPointer>
#include <QSize>
#include <QWidget>
#include <functional>

class QKeyEvent;
class QMouseEvent;
class QInputMethodEvent;
class QFocusEvent;
class QContextMenuEvent;
class TKeyPreview;
class TLabel;
class TPopupMenu;

enum class TBorderStyle { bsNone, bsSingle };
enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// The button of a Qt mouse event.
TMouseButton MouseButtonFromQt(Qt::MouseButton button);
// A font given to a widget with setFont, taken over as a control's font: its
// face, size and style on base, whose colour stays.
TFont FontTakenFromQt(const QFont& given, TFont base);

class TWinControl {
public:
    TWinControl(const TWinControl&) = delete;
    TWinControl& operator=(const TWinControl&) = delete;
    virtual ~TWinControl();

    QWidget* Widget() const { return m_self; }
    // The control behind a widget; nullptr for a widget that is none.
    static TWinControl* Of(QWidget* widget);

    // The component name (the widget's objectName).
    QString Name() const;
    void SetName(const QString& name);

    // ----- Position and size, in the parent's client coordinates
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    TRect BoundsRect() const { return Bounds(Left(), Top(), Width(), Height()); }
    virtual void SetBounds(int left, int top, int width, int height);
    void SetLeft(int value) { SetBounds(value, Top(), Width(), Height()); }
    void SetTop(int value) { SetBounds(Left(), value, Width(), Height()); }
    void SetWidth(int value) { SetBounds(Left(), Top(), value, Height()); }
    void SetHeight(int value) { SetBounds(Left(), Top(), Width(), value); }

    // ----- Border and client area
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    virtual void SetBorderStyle(TBorderStyle value);
    bool Ctl3D() const { return m_ctl3D; }
    virtual void SetCtl3D(bool value);
    // Pixels of border on each side: 2 (sunken edge), 1 (frame) or 0.
    int BorderWidth() const;
    // The client area in client coordinates: (0, 0, ClientWidth, ClientHeight).
    TRect clientRect() const { return TRect(0, 0, ClientWidth(), ClientHeight()); }
    int ClientWidth() const;
    int ClientHeight() const;
    // Where the client area starts in the widget's own coordinates.
    QPoint ClientOrigin() const { return QPoint(BorderWidth(), BorderWidth()); }
    // Places a child widget at bounds in this control's client coordinates.
    void PlaceChild(QWidget* child, const TRect& bounds) const;

    // ----- Colour and font
    TColor Color() const { return m_color; }
    void SetColor(TColor value);
    // The control takes the colour of its parent (and follows it).
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool value);
    // Changing the font (also through the reference) clears ParentFont.
    TFont& Font() { return m_font; }
    const TFont& Font() const { return m_font; }
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool value);

    // ----- State
    // The control's own flags (a disabled or hidden parent leaves them as
    // they are). Both also act on an attached label.
    bool Enabled() const;
    virtual void SetEnabled(bool value);
    bool Visible() const;
    virtual void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool TabStop() const { return m_tabStop; }
    void SetTabStop(bool value);

    // ----- Focus
    bool CanFocus() const;
    bool Focused() const;
    void SetFocus();
    // The control that takes the focus in this one's place (labels, button
    // pairs); cleared when that control goes away.
    QWidget* FocusControl() const { return m_focusControl.data(); }
    void SetFocusControl(QWidget* control) { m_focusControl = control; }

    // ----- Attached label and popup menu
    TLabel* AttachedLabel() const;
    // The label moves with the control to a new parent and follows its
    // Enabled (see LabelFollowsEnabled) and Visible.
    void AttachLabel(TLabel* label);
    // Shown on a right click instead of the widget's own menu; not owned:
    // a menu destroyed while assigned reads as none.
    TPopupMenu* PopupMenu() const;
    void SetPopupMenu(TPopupMenu* menu);

    void Invalidate();
    void Repaint();

    // The platform's default beep (through the dialog layer).
    static void MessageBeep();

    // ----- Measuring with a font, as on the control's canvas
    static QFont QtFontOf(const TFont& font);
    static TTextMetric TextMetricsOf(const TFont& font);
    static int TextWidthOf(const TFont& font, const QString& text);

    // ----- Events
    std::function<void(QObject* sender)> OnEnter;
    std::function<void(QObject* sender)> OnExit;
    std::function<void(QObject* sender, int& key, TShiftState shift)> OnKeyDown;
    std::function<void(QObject* sender, TKeyChar& key)> OnKeyPress;
    std::function<void(QObject* sender, int& key, TShiftState shift)> OnKeyUp;
    std::function<void(QObject* sender)> OnClick;
    std::function<void(QObject* sender)> OnDblClick;
    std::function<void(QObject* sender, TMouseButton button, TShiftState shift, int x, int y)> OnMouseDown;
    std::function<void(QObject* sender, TMouseButton button, TShiftState shift, int x, int y)> OnMouseUp;
    std::function<void(QObject* sender, TShiftState shift, int x, int y)> OnMouseMove;

protected:
    TWinControl(QWidget* self, TColor color);

    // ----- Hooks, as the class library's virtual and message methods
    // The key-down message; the base offers the key to the window's key
    // preview (TKeyPreview) and then to KeyDown.
    virtual void KeyDownMessage(int& key, TShiftState shift);
    // Key-down; the base fires OnKeyDown.
    virtual void KeyDown(int& key, TShiftState shift);
    // The character message; the base offers the character to the window's
    // key preview and then to KeyPress.
    virtual void CharMessage(TKeyChar& key);
    // Key-press; the base fires OnKeyPress.
    virtual void KeyPress(TKeyChar& key);
    virtual void KeyUp(int& key, TShiftState shift);
    // Entering and leaving; the base fires OnEnter / OnExit.
    virtual void DoEnter();
    virtual void DoExit();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void Click();
    virtual void DblClick();
    virtual void MouseEnter() { }
    virtual void MouseLeave() { }
    // The size changed (also for a hidden control, at once).
    virtual void Resize() { }
    virtual void ColorChanged() { }
    virtual void FontChanged() { }
    virtual void EnabledChanged() { }
    // Whether Tab reaches KeyDown instead of moving the focus.
    virtual bool WantTab() const { return false; }
    // Whether the key reaches KeyDown even when a shortcut of the window
    // would take it (Enter for the default button, say).
    virtual bool WantKey(int vk, TShiftState shift) const;
    // A label attached to the control follows its Enabled flag.
    virtual bool LabelFollowsEnabled() const { return true; }

    // ----- The widget's own handling, for what the hooks let through
    virtual void DefaultKeyDown(QKeyEvent* event);
    // A character that survived the character message (source: the key
    // event it came from, or nullptr for committed input-method text).
    virtual void DefaultChar(TKeyChar ch, QKeyEvent* source);
    // Whether the widget's own handling of a mouse event runs.
    virtual bool AllowDefaultMouse(QMouseEvent* event);
    // A context menu was asked for and the control has no popup menu.
    virtual void DefaultContextMenu(QEvent* event);
    // Paints the border (after the widget's own painting).
    virtual void PaintBorder();
    // Hands colour and font to the widget's palette and Qt font.
    virtual void ApplyColor();
    virtual void ApplyFont();

    // The Qt base class's event handling.
    virtual bool BaseEvent(QEvent* event) = 0;
    // Called first for every event by TWinControlOf; true when the event was
    // dealt with here (result is then event()'s answer).
    bool FilterEvent(QEvent* event, bool& result);

    // Whether a left click (press and release inside) fires Click; controls
    // that decide their clicks themselves turn it off.
    void SetClickEvents(bool value) { m_clickEvents = value; }
    // Whether a control that is no tab stop still takes the focus when
    // clicked (controls that hand the focus on turn it off).
    void SetClickFocus(bool value);
    // Applies the current size to Resize() when it changed.
    void HandleResize();
    // First colour, font and focus policy; run once both halves exist.
    void InitControl();

private:
    void TakeParentColor();
    void TakeParentFont();
    void FontObjectChanged();
    void ChildrenFollowColor();
    void ChildrenFollowFont();
    void MoveChildrenForBorder(int oldBorder);
    void UpdateContentsMargins();
    int ParentBorder() const;
    bool HandleKeyPress(QKeyEvent* event);
    bool HandleKeyRelease(QKeyEvent* event);
    void HandleInputMethod(QInputMethodEvent* event);
    // A key the control wants (WantKey) is kept from the window's shortcuts.
    bool TakeShortcutKey(QKeyEvent* event);
    // The handlers below return event()'s answer.
    bool HandleFocus(QFocusEvent* event);
    // The widget's own handling of a mouse event, where it is allowed.
    bool MouseBaseEvent(QMouseEvent* event);
    bool HandleMousePress(QMouseEvent* event);
    bool HandleMouseRelease(QMouseEvent* event);
    bool HandleMouseMove(QMouseEvent* event);
    void HandleContextMenu(QContextMenuEvent* event);
    // Size, visibility, enabled state, parent and paint: the widget's own
    // handling first, then what follows from the change.
    bool HandleWidgetChange(QEvent* event);
    void FollowNewParent();
    void ShowPopupMenu(const QPoint& screenPos);
    TKeyPreview* PreviewWindow() const;

    QWidget* m_self;
    TColor m_color;
    bool m_parentColor = false;
    TFont m_font;
    bool m_parentFont = true;
    bool m_takingFont = false;
    bool m_tabStop = true;
    TBorderStyle m_borderStyle = TBorderStyle::bsNone;
    bool m_ctl3D = true;
    bool m_entered = false;
    bool m_clickEvents = true;
    bool m_clickFocus = true;
    QSize m_handledSize{-1, -1};
    QPointer<QWidget> m_focusControl;
    QPointer<QWidget> m_label;        // a TLabel
    QPointer<TPopupMenu> m_popupMenu; // not owned; cleared when the menu goes
};

// A Qt widget class joined with TWinControl. Constructed with its parent and
// its component name (the objectName).
template <class QtWidget>
class TWinControlOf : public QtWidget, public TWinControl {
public:
    explicit TWinControlOf(QWidget* parent, const QString& name = QString(), TColor color = clBtnFace)
        : QtWidget(parent), TWinControl(this, color)
    {
        if (!name.isEmpty()) this->setObjectName(name);
        InitControl();
    }

protected:
    bool event(QEvent* e) override
    {
        bool result = false;
        if (FilterEvent(e, result)) return result;
        return QtWidget::event(e);
    }
    bool BaseEvent(QEvent* e) override { return QtWidget::event(e); }
};
