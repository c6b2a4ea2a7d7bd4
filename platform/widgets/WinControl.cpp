#include "platform/widgets/WinControl.h"

#include "platform/dialogs/Dialogs.h"
#include "platform/kernel/KeyPreview.h"
#include "platform/widgets/Label.h"
#include "platform/graphics/PainterCanvas.h"
#include "platform/widgets/PopupMenu.h"
#include "platform/widgets/WidgetStyle.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

TMouseButton MouseButtonFromQt(Qt::MouseButton button)
{
    switch (button) {
    case Qt::RightButton: return TMouseButton::mbRight;
    case Qt::MiddleButton: return TMouseButton::mbMiddle;
    default: return TMouseButton::mbLeft;
    }
}

TFont FontTakenFromQt(const QFont& given, TFont base)
{
    base.SetName(given.family());
    if (given.pointSize() > 0)
        base.SetSize(given.pointSize());
    else if (given.pixelSize() > 0)
        base.SetSize(qRound(given.pixelSize() * 72.0 / 96.0));
    TFontStyles style;
    if (given.bold()) style = style + TFontStyle::fsBold;
    if (given.italic()) style = style + TFontStyle::fsItalic;
    if (given.underline()) style = style + TFontStyle::fsUnderline;
    if (given.strikeOut()) style = style + TFontStyle::fsStrikeOut;
    base.SetStyle(style);
    return base;
}

namespace {

bool IsTabKey(const QKeyEvent* e)
{
    return (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) &&
        !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

} // namespace

TWinControl::TWinControl(QWidget* self, TColor color) : m_self(self), m_color(color)
{
    InstallWidgetStyle();
    m_font.OnChange = [this] { FontObjectChanged(); };
}

TWinControl::~TWinControl() { m_font.OnChange = nullptr; }

void TWinControl::InitControl()
{
    SetTabStop(m_tabStop);
    UpdateContentsMargins();
    if (m_parentFont)
        TakeParentFont();
    else
        ApplyFont();
    ApplyColor();
}

TWinControl* TWinControl::Of(QWidget* widget) { return widget ? dynamic_cast<TWinControl*>(widget) : nullptr; }

QString TWinControl::Name() const { return m_self->objectName(); }

void TWinControl::SetName(const QString& name) { m_self->setObjectName(name); }

// ---------------------------------------------------------------------------
// Position, border and client area

int TWinControl::ParentBorder() const
{
    TWinControl* parent = Of(m_self->parentWidget());
    return parent ? parent->BorderWidth() : 0;
}

int TWinControl::Left() const { return m_self->geometry().x() - ParentBorder(); }

int TWinControl::Top() const { return m_self->geometry().y() - ParentBorder(); }

int TWinControl::Width() const { return m_self->width(); }

int TWinControl::Height() const { return m_self->height(); }

void TWinControl::SetBounds(int left, int top, int width, int height)
{
    const int b = ParentBorder();
    m_self->setGeometry(left + b, top + b, std::max(0, width), std::max(0, height));
    // A hidden widget hears of its new size only when shown; the layouts
    // depend on it now.
    HandleResize();
}

void TWinControl::HandleResize()
{
    if (m_self->size() == m_handledSize) return;
    m_handledSize = m_self->size();
    Resize();
}

int TWinControl::BorderWidth() const
{
    if (m_borderStyle == TBorderStyle::bsNone) return 0;
    return m_ctl3D ? 2 : 1;
}

int TWinControl::ClientWidth() const { return std::max(0, m_self->width() - 2 * BorderWidth()); }

int TWinControl::ClientHeight() const { return std::max(0, m_self->height() - 2 * BorderWidth()); }

void TWinControl::PlaceChild(QWidget* child, const TRect& bounds) const
{
    if (!child) return;
    if (TWinControl* c = Of(child); c && child->parentWidget() == m_self) {
        c->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
        return;
    }
    const int b = BorderWidth();
    child->setGeometry(bounds.Left + b, bounds.Top + b, std::max(0, bounds.Width()), std::max(0, bounds.Height()));
}

void TWinControl::MoveChildrenForBorder(int oldBorder)
{
    const int delta = BorderWidth() - oldBorder;
    if (delta == 0) return;
    for (QObject* o : m_self->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && !w->isWindow()) w->move(w->pos() + QPoint(delta, delta));
    }
}

void TWinControl::UpdateContentsMargins()
{
    const int b = BorderWidth();
    m_self->setContentsMargins(b, b, b, b);
}

void TWinControl::SetBorderStyle(TBorderStyle value)
{
    if (m_borderStyle == value) return;
    const int old = BorderWidth();
    m_borderStyle = value;
    MoveChildrenForBorder(old);
    UpdateContentsMargins();
    Resize();
    Invalidate();
}

void TWinControl::SetCtl3D(bool value)
{
    if (m_ctl3D == value) return;
    const int old = BorderWidth();
    m_ctl3D = value;
    MoveChildrenForBorder(old);
    UpdateContentsMargins();
    Resize();
    Invalidate();
}

void TWinControl::PaintBorder()
{
    const int b = BorderWidth();
    if (b == 0) return;
    QPainter painter(m_self);
    TPainterCanvas canvas(&painter);
    TRect r(0, 0, m_self->width(), m_self->height());
    if (b == 2) {
        canvas.DrawEdge(r, Win::EDGE_SUNKEN, Win::BF_RECT);
    } else {
        canvas.Brush().SetColor(clWindowFrame);
        canvas.FrameRect(r);
    }
}

// ---------------------------------------------------------------------------
// Colour and font

void TWinControl::SetColor(TColor value)
{
    m_parentColor = false;
    if (m_color == value) return;
    m_color = value;
    ApplyColor();
    ColorChanged();
    ChildrenFollowColor();
    Invalidate();
}

void TWinControl::SetParentColor(bool value)
{
    if (m_parentColor == value) return;
    m_parentColor = value;
    if (value) TakeParentColor();
}

void TWinControl::TakeParentColor()
{
    QWidget* parent = m_self->parentWidget();
    if (!parent) return;
    const TWinControl* pc = Of(parent);
    const TColor c = pc ? pc->Color() : FromQColor(parent->palette().color(QPalette::Window));
    if (c != m_color) {
        m_color = c;
        ApplyColor();
        ColorChanged();
        ChildrenFollowColor();
        Invalidate();
    }
}

void TWinControl::ChildrenFollowColor()
{
    for (QObject* o : m_self->children()) {
        TWinControl* c = Of(qobject_cast<QWidget*>(o));
        if (c && c->m_parentColor) c->TakeParentColor();
    }
}

void TWinControl::SetParentFont(bool value)
{
    if (m_parentFont == value) return;
    m_parentFont = value;
    if (value) TakeParentFont();
}

void TWinControl::TakeParentFont()
{
    const TWinControl* pc = Of(m_self->parentWidget());
    m_takingFont = true;
    m_font = pc ? pc->Font() : TFont();
    m_takingFont = false;
    m_parentFont = true;
    ApplyFont();
    FontChanged();
    ChildrenFollowFont();
}

void TWinControl::FontObjectChanged()
{
    if (m_takingFont) return;
    m_parentFont = false;
    ApplyFont();
    FontChanged();
    ChildrenFollowFont();
    Invalidate();
}

void TWinControl::ChildrenFollowFont()
{
    for (QObject* o : m_self->children()) {
        TWinControl* c = Of(qobject_cast<QWidget*>(o));
        if (c && c->m_parentFont) c->TakeParentFont();
    }
}

void TWinControl::ApplyColor()
{
    QPalette pal = m_self->palette();
    const QColor c = ToQColor(m_color);
    pal.setColor(QPalette::Base, c);
    pal.setColor(QPalette::Window, c);
    pal.setColor(QPalette::Button, c);
    m_self->setPalette(pal);
}

void TWinControl::ApplyFont()
{
    m_self->setFont(QtFontOf(m_font));
    QPalette pal = m_self->palette();
    const QColor c = ToQColor(m_font.Color());
    // A disabled control writes in the disabled text colour, whatever its
    // font's colour.
    const QColor gray = ToQColor(clGrayText);
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
        pal.setColor(QPalette::Active, role, c);
        pal.setColor(QPalette::Inactive, role, c);
        pal.setColor(QPalette::Disabled, role, gray);
    }
    m_self->setPalette(pal);
}

QFont TWinControl::QtFontOf(const TFont& font)
{
    TPainterCanvas canvas(static_cast<QImage*>(nullptr), 96);
    canvas.Font() = font;
    return canvas.CurrentQFont();
}

TTextMetric TWinControl::TextMetricsOf(const TFont& font)
{
    TPainterCanvas canvas(static_cast<QImage*>(nullptr), 96);
    canvas.Font() = font;
    return canvas.TextMetrics();
}

int TWinControl::TextWidthOf(const TFont& font, const QString& text)
{
    TPainterCanvas canvas(static_cast<QImage*>(nullptr), 96);
    canvas.Font() = font;
    return canvas.TextWidth(text);
}

// ---------------------------------------------------------------------------
// State and focus

bool TWinControl::Enabled() const { return !m_self->testAttribute(Qt::WA_ForceDisabled); }

void TWinControl::SetEnabled(bool value)
{
    m_self->setEnabled(value);
    if (TLabel* label = AttachedLabel(); label && LabelFollowsEnabled()) label->SetEnabled(value);
}

bool TWinControl::Visible() const { return !m_self->isHidden(); }

void TWinControl::SetVisible(bool value)
{
    m_self->setVisible(value);
    if (TLabel* label = AttachedLabel(); label && (label->parentWidget() || !value)) label->SetVisible(value);
}

void TWinControl::SetTabStop(bool value)
{
    m_tabStop = value;
    m_self->setFocusPolicy(value ? Qt::StrongFocus : m_clickFocus ? Qt::ClickFocus : Qt::NoFocus);
}

void TWinControl::SetClickFocus(bool value)
{
    m_clickFocus = value;
    SetTabStop(m_tabStop);
}

bool TWinControl::CanFocus() const
{
    return m_self->isEnabled() && m_self->isVisibleTo(m_self->window()) && !m_self->isHidden();
}

bool TWinControl::Focused() const { return m_self->hasFocus(); }

void TWinControl::SetFocus() { m_self->setFocus(Qt::OtherFocusReason); }

void TWinControl::AttachLabel(TLabel* label) { m_label = label; }

TLabel* TWinControl::AttachedLabel() const { return static_cast<TLabel*>(m_label.data()); }

void TWinControl::Invalidate() { m_self->update(); }

void TWinControl::Repaint() { m_self->repaint(); }

void TWinControl::MessageBeep() { Dialogs::Beep(); }

// ---------------------------------------------------------------------------
// Hooks

TKeyPreview* TWinControl::PreviewWindow() const
{
    QWidget* window = m_self->window();
    if (!window || window == m_self) return nullptr;
    TKeyPreview* preview = dynamic_cast<TKeyPreview*>(window);
    return preview && preview->KeyPreview() ? preview : nullptr;
}

void TWinControl::KeyDownMessage(int& key, TShiftState shift)
{
    if (TKeyPreview* preview = PreviewWindow()) {
        QPointer<QWidget> alive(m_self);
        preview->PreviewKeyDown(key, shift);
        if (!alive || key == 0) return;
    }
    KeyDown(key, shift);
}

void TWinControl::KeyDown(int& key, TShiftState shift)
{
    if (OnKeyDown) OnKeyDown(m_self, key, shift);
}

void TWinControl::CharMessage(TKeyChar& key)
{
    if (TKeyPreview* preview = PreviewWindow()) {
        QPointer<QWidget> alive(m_self);
        preview->PreviewKeyPress(key);
        if (!alive || key == 0) return;
    }
    KeyPress(key);
}

void TWinControl::KeyPress(TKeyChar& key)
{
    if (OnKeyPress) OnKeyPress(m_self, key);
}

void TWinControl::KeyUp(int& key, TShiftState shift)
{
    if (OnKeyUp) OnKeyUp(m_self, key, shift);
}

void TWinControl::DoEnter()
{
    if (OnEnter) OnEnter(m_self);
}

void TWinControl::DoExit()
{
    if (OnExit) OnExit(m_self);
}

void TWinControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown) OnMouseDown(m_self, button, shift, x, y);
}

void TWinControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp) OnMouseUp(m_self, button, shift, x, y);
}

void TWinControl::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove) OnMouseMove(m_self, shift, x, y);
}

void TWinControl::Click()
{
    if (OnClick) OnClick(m_self);
}

void TWinControl::DblClick()
{
    if (OnDblClick) OnDblClick(m_self);
}

bool TWinControl::WantKey(int, TShiftState) const { return false; }

void TWinControl::DefaultKeyDown(QKeyEvent* event) { BaseEvent(event); }

void TWinControl::DefaultChar(TKeyChar ch, QKeyEvent* source)
{
    // A Tab character does nothing by itself: the focus moves on the Tab
    // key, and only for a control that does not take Tab (HandleKeyPress
    // lets that key go before any handler sees it). Handed to the widget it
    // would run Qt's focus chain after the key-down handlers had used it.
    if (ch == '\t') {
        if (source) source->accept();
        return;
    }
    if (source && source->text().size() == KeyCharText(ch).size() && source->text() == KeyCharText(ch)) {
        BaseEvent(source);
        return;
    }
    QKeyEvent synth(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, KeyCharText(ch));
    BaseEvent(&synth);
    if (source) source->setAccepted(synth.isAccepted());
}

bool TWinControl::AllowDefaultMouse(QMouseEvent*) { return true; }

void TWinControl::DefaultContextMenu(QEvent* event) { BaseEvent(event); }

// ---------------------------------------------------------------------------
// Event routing

bool TWinControl::HandleKeyPress(QKeyEvent* e)
{
    if (IsTabKey(e) && !WantTab()) return false;
    QPointer<QWidget> alive(m_self);
    // Consumed unless the widget's own handling lets the key go on to the
    // parent.
    e->accept();
    const int vk = VirtualKeyFromQt(e->key(), e->modifiers());
    const TShiftState shift = ShiftStateFromQt(e->modifiers(), QGuiApplication::mouseButtons());
    int key = vk;
    if (vk != 0) {
        KeyDownMessage(key, shift);
        if (!alive) return true;
    }
    const QList<TKeyChar> chars = CharactersOfKey(*e);
    if (!chars.isEmpty()) {
        // The key types: its effect comes from the character messages, which
        // the platform made before the key-down handlers ran.
        for (TKeyChar ch : chars) {
            CharMessage(ch);
            if (!alive) return true;
            if (ch != 0) {
                DefaultChar(ch, e);
                if (!alive) return true;
            }
        }
    } else if (vk == 0) {
        // A key the platform has no code for: the widget's own business.
        DefaultKeyDown(e);
    } else if (key != 0) {
        if (key == vk) {
            DefaultKeyDown(e);
        } else {
            QKeyEvent changed(QEvent::KeyPress, QtKeyFromVirtualKey(key), e->modifiers());
            DefaultKeyDown(&changed);
            e->setAccepted(changed.isAccepted());
        }
    }
    return true;
}

bool TWinControl::HandleKeyRelease(QKeyEvent* e)
{
    if (IsTabKey(e) && !WantTab()) return false;
    if (e->isAutoRepeat()) return false;
    const int vk = VirtualKeyFromQt(e->key(), e->modifiers());
    if (vk == 0) return false;
    QPointer<QWidget> alive(m_self);
    int key = vk;
    const TShiftState shift = ShiftStateFromQt(e->modifiers(), QGuiApplication::mouseButtons());
    if (TKeyPreview* preview = PreviewWindow()) {
        preview->PreviewKeyUp(key, shift);
        if (!alive) return true;
    }
    if (key != 0) KeyUp(key, shift);
    if (!alive) return true;
    if (key == vk) {
        BaseEvent(e);
    } else if (key != 0) {
        QKeyEvent changed(QEvent::KeyRelease, QtKeyFromVirtualKey(key), e->modifiers());
        BaseEvent(&changed);
    }
    if (alive) e->accept();
    return true;
}

void TWinControl::HandleInputMethod(QInputMethodEvent* e)
{
    // Committed text arrives as one character message per character, as the
    // platform's input method sends it; what is still being composed is the
    // widget's business.
    QPointer<QWidget> alive(m_self);
    const QString commit = e->commitString();
    if (!commit.isEmpty()) {
        for (char32_t c : commit.toUcs4()) {
            TKeyChar ch = c;
            CharMessage(ch);
            if (!alive) return;
            if (ch != 0) DefaultChar(ch, nullptr);
            if (!alive) return;
        }
    }
    QInputMethodEvent rest(e->preeditString(), e->attributes());
    BaseEvent(&rest);
    e->accept();
}

TPopupMenu* TWinControl::PopupMenu() const { return m_popupMenu; }

void TWinControl::SetPopupMenu(TPopupMenu* menu) { m_popupMenu = menu; }

void TWinControl::ShowPopupMenu(const QPoint& screenPos)
{
    if (m_popupMenu) m_popupMenu->Popup(screenPos, m_self);
}

// Every event of the control passes here first: keys and characters go to
// the key hooks (with the window's key preview), focus changes to Enter and
// Exit, mouse messages to the mouse hooks, and the widget's changes of size,
// visibility, enabled state, parent and paint to what follows them. Anything
// else is the widget's own.
bool TWinControl::FilterEvent(QEvent* e, bool& result)
{
    switch (e->type()) {
    case QEvent::KeyPress:
        if (!HandleKeyPress(static_cast<QKeyEvent*>(e))) return false;
        result = true;
        return true;
    case QEvent::KeyRelease:
        if (!HandleKeyRelease(static_cast<QKeyEvent*>(e))) return false;
        result = true;
        return true;
    case QEvent::ShortcutOverride:
        if (!TakeShortcutKey(static_cast<QKeyEvent*>(e))) return false;
        result = true;
        return true;
    case QEvent::InputMethod:
        HandleInputMethod(static_cast<QInputMethodEvent*>(e));
        result = true;
        return true;
    case QEvent::FocusIn:
    case QEvent::FocusOut: result = HandleFocus(static_cast<QFocusEvent*>(e)); return true;
    case QEvent::Enter:
        result = BaseEvent(e);
        MouseEnter();
        return true;
    case QEvent::Leave:
        result = BaseEvent(e);
        MouseLeave();
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: result = HandleMousePress(static_cast<QMouseEvent*>(e)); return true;
    case QEvent::MouseButtonRelease: result = HandleMouseRelease(static_cast<QMouseEvent*>(e)); return true;
    case QEvent::MouseMove: result = HandleMouseMove(static_cast<QMouseEvent*>(e)); return true;
    case QEvent::ContextMenu:
        HandleContextMenu(static_cast<QContextMenuEvent*>(e));
        result = true;
        return true;
    case QEvent::Resize:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
    case QEvent::EnabledChange:
    case QEvent::ParentChange:
    case QEvent::Paint: result = HandleWidgetChange(e); return true;
    default: return false;
    }
}

bool TWinControl::TakeShortcutKey(QKeyEvent* e)
{
    const int vk = VirtualKeyFromQt(e->key(), e->modifiers());
    if (vk == 0 || !WantKey(vk, ShiftStateFromQt(e->modifiers()))) return false;
    e->accept();
    return true;
}

bool TWinControl::HandleFocus(QFocusEvent* e)
{
    QPointer<QWidget> alive(m_self);
    const bool result = BaseEvent(e);
    if (!alive) return result;
    if (e->type() == QEvent::FocusIn) {
        if (!m_entered) {
            m_entered = true;
            DoEnter();
        }
        return result;
    }
    // A popup or another active window takes the focus only for a while,
    // and the focus going to a widget of the control's own (its drop-down
    // list, a calendar, a part inside it) stays within the control.
    const Qt::FocusReason reason = e->reason();
    bool within = false;
    for (const QWidget* w = QApplication::focusWidget(); w && !within; w = w->parentWidget()) within = w == m_self;
    if (m_entered && !within && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
        m_entered = false;
        DoExit();
    }
    return result;
}

bool TWinControl::MouseBaseEvent(QMouseEvent* e)
{
    if (AllowDefaultMouse(e)) return BaseEvent(e);
    e->accept();
    return true;
}

bool TWinControl::HandleMousePress(QMouseEvent* e)
{
    QPointer<QWidget> alive(m_self);
    const bool result = MouseBaseEvent(e);
    if (!alive) return result;
    const QPoint p = e->position().toPoint() - ClientOrigin();
    TShiftState shift = ShiftStateFromQt(e->modifiers(), e->buttons());
    if (e->type() == QEvent::MouseButtonDblClick) {
        shift += TShiftStateItem::ssDouble;
        DblClick();
        if (!alive) return result;
    }
    MouseDown(MouseButtonFromQt(e->button()), shift, p.x(), p.y());
    return result;
}

bool TWinControl::HandleMouseRelease(QMouseEvent* e)
{
    QPointer<QWidget> alive(m_self);
    const bool result = MouseBaseEvent(e);
    if (!alive) return result;
    const QPoint p = e->position().toPoint() - ClientOrigin();
    // A click is a left press and release inside the control.
    if (m_clickEvents && e->button() == Qt::LeftButton && m_self->rect().contains(e->position().toPoint())) {
        Click();
        if (!alive) return result;
    }
    MouseUp(MouseButtonFromQt(e->button()), ShiftStateFromQt(e->modifiers(), e->buttons()), p.x(), p.y());
    return result;
}

bool TWinControl::HandleMouseMove(QMouseEvent* e)
{
    QPointer<QWidget> alive(m_self);
    const bool result = MouseBaseEvent(e);
    if (!alive) return result;
    const QPoint p = e->position().toPoint() - ClientOrigin();
    MouseMove(ShiftStateFromQt(e->modifiers(), e->buttons()), p.x(), p.y());
    return result;
}

void TWinControl::HandleContextMenu(QContextMenuEvent* e)
{
    if (m_popupMenu) {
        ShowPopupMenu(e->globalPos());
    } else {
        DefaultContextMenu(e);
    }
    e->accept();
}

bool TWinControl::HandleWidgetChange(QEvent* e)
{
    const bool result = BaseEvent(e);
    switch (e->type()) {
    case QEvent::Resize: HandleResize(); break;
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        // The label shows and hides with the control.
        if (TLabel* label = AttachedLabel(); label && m_self->parentWidget())
            label->setVisible(e->type() == QEvent::ShowToParent);
        break;
    case QEvent::EnabledChange: EnabledChanged(); break;
    case QEvent::ParentChange: FollowNewParent(); break;
    case QEvent::Paint: PaintBorder(); break;
    default: break;
    }
    return result;
}

// The attached label moves to the new parent with the control; a parent's
// colour and font, where followed, are taken from the new one.
void TWinControl::FollowNewParent()
{
    if (TLabel* label = AttachedLabel(); label && label->parentWidget() != m_self->parentWidget()) {
        label->setParent(m_self->parentWidget());
        label->SetVisible(m_self->parentWidget() && Visible());
    }
    if (m_parentColor) TakeParentColor();
    if (m_parentFont) TakeParentFont();
}
