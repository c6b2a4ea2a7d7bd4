#include "controls/HTMLButton.h"

#include "controls/HTMLDraw.h"
#include "controls/HTMLPicture.h"
#include "platform/widgets/PaintBuffer.h"
#include "platform/graphics/Themes.h"
#include "platform/kernel/Application.h"

#include "platform/dialogs/Dialogs.h"
#include "platform/graphics/ImageList.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcut>

THTMLButton::THTMLButton(QWidget* parent, const QString& name) : QPushButton(parent)
{
    setObjectName(name);
    setAutoDefault(false);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover, true);
    setMouseTracking(true);
    m_caption = QStringLiteral("THTMLButton");
    QPushButton::setText(m_caption);
    m_winXP = Win32MajorVersion() > 5 || (Win32MajorVersion() == 5 && Win32MinorVersion() >= 1);
    m_cache = std::make_unique<THTMLPictureCache>();
    m_font.OnChange = [this] { update(); };
    // A failing handler is reported here, so its exception never unwinds
    // through Qt's button and event code (which would leak that code's state).
    connect(this, &QAbstractButton::clicked, this, [this] {
        // The dialog takes the button's modal result before OnClick runs, as
        // the class library's form does, and ends with it afterwards: a
        // handler that finds bad input keeps the dialog open by setting the
        // result back to none (the dialog's, or the button's ModalResult).
        QPointer<QDialog> dialog = m_modalResult != mrNone ? qobject_cast<QDialog*>(window()) : nullptr;
        if (dialog) dialog->setResult(m_modalResult);
        QPointer<THTMLButton> self(this);
        if (OnClick) GuardedCall(this, [this] { OnClick(this); });
        if (!dialog || !self || m_modalResult == mrNone || dialog->result() == mrNone) return;
        dialog->done(dialog->result());
    });
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this] { UpdateDefaultStyle(); });
}

THTMLButton::~THTMLButton() { disconnect(m_focusWatch); }

void THTMLButton::SetCaption(const QString& caption)
{
    m_caption = caption;
    QPushButton::setText(caption);
    update();
}

void THTMLButton::SetAlignment(TBtnHAlignment value)
{
    m_alignment = value;
    update();
}

void THTMLButton::SetVAlignment(TBtnVAlignment value)
{
    m_vAlignment = value;
    update();
}

void THTMLButton::SetBackground(TBtnBackground value)
{
    m_background = value;
    BuildBackground();
    update();
}

void THTMLButton::SetColor(TColor value)
{
    if (m_color == value) return;
    m_color = value;
    BuildBackground();
    update();
}

void THTMLButton::SetDownColor(TColor value)
{
    m_downColor = value;
    update();
}

void THTMLButton::SetHoverColor(TColor value)
{
    m_hoverColor = value;
    update();
}

void THTMLButton::SetFlat(bool value)
{
    if (m_flat == value) return;
    m_flat = value;
    update();
}

void THTMLButton::SetEllipsis(bool value)
{
    if (m_ellipsis == value) return;
    m_ellipsis = value;
    update();
}

void THTMLButton::SetShadowColor(TColor value)
{
    if (m_shadowColor == value) return;
    m_shadowColor = value;
    update();
}

void THTMLButton::SetShadowOffset(int value)
{
    if (m_shadowOffset == value) return;
    m_shadowOffset = value;
    update();
}

void THTMLButton::SetImages(TImageList* value)
{
    m_images.reset(value);
    update();
}

void THTMLButton::SetPictureContainer(TPictureContainer* value)
{
    m_pictureContainer = value;
    update();
}

void THTMLButton::SetStyle(TButtonStyle value)
{
    if (m_style == value) return;
    m_style = value;
    update();
}

void THTMLButton::SetLayout(TButtonLayout value)
{
    if (m_layout == value) return;
    m_layout = value;
    update();
}

void THTMLButton::SetSpacing(int value)
{
    if (m_spacing == value) return;
    m_spacing = value;
    update();
}

void THTMLButton::SetMargin(int value)
{
    if (value < -1 || m_margin == value) return;
    m_margin = value;
    update();
}

void THTMLButton::SetDefault(bool value)
{
    m_default = value;
    UpdateShortcuts();
    UpdateDefaultStyle();
}

void THTMLButton::SetCancel(bool value)
{
    m_cancel = value;
    UpdateShortcuts();
}

void THTMLButton::SetButtonStyle(bool isDefault)
{
    if (m_defaultStyle == isDefault) return;
    m_defaultStyle = isDefault;
    update();
}

void THTMLButton::UpdateDefaultStyle()
{
    if (hasFocus()) {
        SetButtonStyle(true);
        return;
    }
    // The Default button carries the default style unless another button of
    // its window has the focus.
    bool otherButton = false;
    if (QWidget* f = QApplication::focusWidget())
        otherButton = f != this && f->window() == window() && qobject_cast<QAbstractButton*>(f);
    SetButtonStyle(m_default && !otherButton);
}

void THTMLButton::UpdateShortcuts()
{
    auto make = [this](QShortcut*& sc, bool wanted, QKeySequence key, bool cancel) {
        if (!wanted) {
            delete sc;
            sc = nullptr;
            return;
        }
        if (sc) return;
        sc = new QShortcut(key, this);
        sc->setContext(Qt::WindowShortcut);
        connect(sc, &QShortcut::activated, this, [this, cancel] { DialogKey(cancel); });
    };
    make(m_return, m_default, QKeySequence(Qt::Key_Return), false);
    make(m_enter, m_default, QKeySequence(Qt::Key_Enter), false);
    make(m_escape, m_cancel, QKeySequence(Qt::Key_Escape), true);
}

void THTMLButton::DialogKey(bool cancel)
{
    if (!cancel) {
        // A focused button takes Enter itself.
        if (auto* b = qobject_cast<QAbstractButton*>(QApplication::focusWidget()); b && b != this) {
            if (b->isEnabled()) b->click();
            return;
        }
    }
    if (isEnabled() && isVisible()) click();
}

void THTMLButton::BuildBackground() { m_bitmap.SetImage(BuildButtonTexture(m_background, m_color, width(), height())); }

void THTMLButton::resizeEvent(QResizeEvent* event)
{
    QPushButton::resizeEvent(event);
    BuildBackground();
}

void THTMLButton::enterEvent(QEnterEvent* event)
{
    QPushButton::enterEvent(event);
    m_hover = true;
    update();
}

void THTMLButton::leaveEvent(QEvent* event)
{
    QPushButton::leaveEvent(event);
    m_hover = false;
    update();
}

void THTMLButton::focusInEvent(QFocusEvent* event)
{
    QPushButton::focusInEvent(event);
    UpdateDefaultStyle();
    if (OnEnter) OnEnter(this);
}

void THTMLButton::focusOutEvent(QFocusEvent* event)
{
    QPushButton::focusOutEvent(event);
    UpdateDefaultStyle();
    if (OnExit) OnExit(this);
}

void THTMLButton::changeEvent(QEvent* event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::FontChange && testAttribute(Qt::WA_SetFont)) {
        // A font given with setFont becomes the face font: face, size and
        // style (the colour stays Font()'s).
        const TFont taken = FontTakenFromQt(font(), m_font);
        if (!(taken == m_font)) m_font = taken;
    }
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange) update();
}

void THTMLButton::keyPressEvent(QKeyEvent* event)
{
    int key = VirtualKeyFromQt(event->key(), event->modifiers());
    const TShiftState shift = ShiftStateFromQt(event->modifiers());
    if (OnKeyDown && key != 0) GuardedCall(this, [&] { OnKeyDown(this, key, shift); });
    if (key == 0) {
        event->accept();
        return;
    }
    if (OnKeyPress)
        for (TKeyChar ch : CharactersOfKey(*event)) GuardedCall(this, [&] { OnKeyPress(this, ch); });
    QPushButton::keyPressEvent(event);
}

void THTMLButton::keyReleaseEvent(QKeyEvent* event)
{
    int key = VirtualKeyFromQt(event->key(), event->modifiers());
    if (OnKeyUp && key != 0 && !event->isAutoRepeat())
        GuardedCall(this, [&] { OnKeyUp(this, key, ShiftStateFromQt(event->modifiers())); });
    if (key == 0) {
        event->accept();
        return;
    }
    QPushButton::keyReleaseEvent(event);
}

void THTMLButton::mousePressEvent(QMouseEvent* event)
{
    // A double click comes here too: it is a press like any other.
    const QPointer<THTMLButton> self(this);
    QPushButton::mousePressEvent(event);
    if (!self || !OnMouseDown) return;
    const QPoint p = event->position().toPoint();
    const TShiftState shift = ShiftStateFromQt(event->modifiers(), event->buttons());
    GuardedCall(this, [&] { OnMouseDown(this, MouseButtonFromQt(event->button()), shift, p.x(), p.y()); });
}

void THTMLButton::mouseMoveEvent(QMouseEvent* event)
{
    const QPointer<THTMLButton> self(this);
    QPushButton::mouseMoveEvent(event);
    if (!self || !OnMouseMove) return;
    const QPoint p = event->position().toPoint();
    const TShiftState shift = ShiftStateFromQt(event->modifiers(), event->buttons());
    GuardedCall(this, [&] { OnMouseMove(this, shift, p.x(), p.y()); });
}

void THTMLButton::mouseReleaseEvent(QMouseEvent* event)
{
    // The click (and OnClick) comes first, then OnMouseUp.
    const QPointer<THTMLButton> self(this);
    QPushButton::mouseReleaseEvent(event);
    if (!self || !OnMouseUp) return;
    const QPoint p = event->position().toPoint();
    const TShiftState shift = ShiftStateFromQt(event->modifiers(), event->buttons());
    GuardedCall(this, [&] { OnMouseUp(this, MouseButtonFromQt(event->button()), shift, p.x(), p.y()); });
}

void THTMLButton::paintEvent(QPaintEvent*)
{
    // Double-buffered: the face is drawn into an image, then copied.
    TPaintBuffer buffer(this);
    PaintTo(buffer.Canvas(), isDown(), hasFocus());
}

void THTMLButton::PaintTo(TCanvas& canvas, bool down, bool focused)
{
    const TRect client(0, 0, width(), height());
    TRect r = client;
    const bool disabled = !isEnabled();
    const bool themed = m_winXP && ThemeLibraryLoaded() && IsThemeActive() && m_background == stXPTheme;
    const bool textured = m_background != stNormal && m_background != stXPTheme;
    canvas.Font() = m_font;

    if (textured) {
        // A size change of a hidden button reaches it only when shown.
        if (m_bitmap.Width() != width() + 2 || m_bitmap.Height() != height() + 2) BuildBackground();
        canvas.Draw(down ? 0 : -2, down ? 0 : -2, m_bitmap);
        canvas.Pen().SetWidth(1);
        canvas.Pen().SetColor(clWhite);
        canvas.MoveTo(0, r.Bottom);
        canvas.LineTo(0, 0);
        canvas.LineTo(r.Right, 0);
        canvas.Pen().SetColor(clGray);
        canvas.LineTo(r.Right, r.Bottom);
        canvas.LineTo(r.Left, r.Bottom);
    } else if (m_flat && !down) {
        canvas.Pen().SetColor(clBtnShadow);
        canvas.Pen().SetWidth(1);
        canvas.Brush().SetColor(m_hover ? m_hoverColor : m_color);
        canvas.Rectangle(r);
        if (m_defaultStyle) {
            r.Inflate(-1, -1);
            canvas.Rectangle(r);
        }
        if (m_hover) {
            canvas.Pen().SetColor(clWhite);
            canvas.MoveTo(r.Left, r.Bottom);
            canvas.LineTo(r.Left, r.Top);
            canvas.LineTo(r.Right, r.Top);
        }
    } else if (m_flat) {
        canvas.Pen().SetColor(clBtnShadow);
        canvas.Pen().SetWidth(2);
        canvas.Brush().SetColor(m_downColor);
        canvas.Rectangle(r);
        canvas.Pen().SetColor(clGray);
        canvas.Pen().SetWidth(1);
        canvas.MoveTo(r.Left, r.Bottom);
        canvas.LineTo(r.Left, r.Top);
        canvas.LineTo(r.Right, r.Top);
    } else if (themed) {
        HTHEME theme = OpenThemeData(this, QStringLiteral("button"));
        int state = Win::PBS_NORMAL;
        if (down) {
            state = Win::PBS_PRESSED;
        } else {
            const QPoint p = mapFromGlobal(QCursor::pos());
            if (r.Contains(p.x(), p.y())) state = Win::PBS_HOT;
        }
        if (theme) DrawThemeBackground(theme, canvas, Win::BP_PUSHBUTTON, state, r);
        CloseThemeData(theme);
    } else {
        if (m_defaultStyle || focused) {
            canvas.Pen().SetColor(clWindowFrame);
            canvas.Pen().SetWidth(1);
            canvas.Brush().SetStyle(TBrushStyle::bsClear);
            canvas.Rectangle(r);
            r.Inflate(-1, -1);
        }
        if (down) {
            canvas.Pen().SetColor(clBtnShadow);
            canvas.Pen().SetWidth(1);
            canvas.Brush().SetColor(clBtnFace);
            canvas.Rectangle(r);
            r.Inflate(-1, -1);
        } else {
            canvas.DrawFrameControl(r, Win::DFC_BUTTON,
                                    Win::DFCS_BUTTONPUSH | Win::DFCS_ADJUSTRECT | (disabled ? Win::DFCS_INACTIVE : 0u));
        }
    }

    if (m_defaultStyle && (focused || textured)) {
        r = client.Inflated(textured ? -2 : -4, textured ? -2 : -4);
        canvas.Pen().SetColor(clWindowFrame);
        canvas.Brush().SetColor(clBtnFace);
        canvas.DrawFocusRect(r);
    }

    // The caption, measured first to place the text block.
    r = client.Inflated(-4, -4);
    THTMLDrawOptions o;
    o.Images = Images();
    o.XPos = o.YPos = 0;
    o.ShadowOffset = m_shadowOffset;
    o.Blink = false;
    o.WordWrap = !m_ellipsis;
    o.HoverColor = o.HoverFontColor = clNone;
    o.ShadowColor = m_shadowColor;
    o.PictureCache = m_cache.get();
    o.PictureContainer = m_pictureContainer;
    o.Controls = false;
    THTMLDrawResults res;
    o.CheckHeight = true;
    HTMLDraw(canvas, m_caption, r, o, res);
    o.CheckHeight = false;

    if (m_alignment == TBtnHAlignment::haCenter) {
        if (r.Width() > res.XSize) r.Left += (r.Width() - res.XSize) / 2;
    } else if (m_alignment == TBtnHAlignment::haRight) {
        if (r.Width() > res.XSize) r.Left = r.Right - res.XSize;
    }
    if (m_vAlignment == TBtnVAlignment::vaCenter) {
        if (r.Height() > res.YSize) r.Top += (r.Height() - res.YSize) / 2;
    } else if (m_vAlignment == TBtnVAlignment::vaBottom) {
        r.Top = r.Bottom - res.YSize;
    }
    if (down) r.Offset(1, 1);

    if (!disabled) {
        o.URLColor = clBlue;
        HTMLDraw(canvas, m_caption, r, o, res);
    } else {
        r.Offset(1, 1);
        canvas.Font().SetColor(clWhite);
        o.URLColor = clWhite;
        HTMLDraw(canvas, m_caption, r, o, res);
        canvas.Font().SetColor(clGray);
        r.Offset(-1, -1);
        o.URLColor = clGray;
        HTMLDraw(canvas, m_caption, r, o, res);
    }
}
