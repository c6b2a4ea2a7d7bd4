#include "controls/ExtSpinEdit.h"

#include "platform/widgets/Label.h"
#include "platform/graphics/PainterCanvas.h"

#include <QPainter>
#include <limits>

TExtSpinEdit::TExtSpinEdit(QWidget* parent, const QString& name) : TSpinEditCore(parent, name, Dialect::Ext)
{
    m_labelFont.OnChange = [this] { UpdateLabel(); };
}

TExtSpinEdit::~TExtSpinEdit()
{
    m_labelFont.OnChange = nullptr;
    delete AttachedLabel();
}

void TExtSpinEdit::SetShowSeconds(bool value)
{
    m_showSeconds = value;
    if (SpinType() == sptTime) SetTimeValue(StoredTime());
}

// ---------------------------------------------------------------------------
// Keys

void TExtSpinEdit::PageStep(int direction)
{
    if (ReadOnly()) {
        MessageBeep();
        return;
    }
    if (m_incrementSmart && SelLength() == 0) {
        SmartStep(direction);
        return;
    }
    if (SpinType() == sptNormal)
        SetValue(int(std::clamp<qint64>(qint64(Value()) + qint64(direction) * m_incrementPage,
                                        std::numeric_limits<int>::min(), std::numeric_limits<int>::max())));
    else if (SpinType() == sptFloat)
        SetFloatValue(FloatValue() + direction * m_incrementFloatPage);
}

void TExtSpinEdit::KeyDown(int& key, TShiftState shift)
{
    const int selStart = SelStart();
    const int selLength = SelLength();
    const QString before = Text();
    const bool smart = m_incrementSmart && selLength == 0 && (SpinType() == sptNormal || SpinType() == sptFloat);
    switch (key) {
    case Win::VK_UP:
    case Win::VK_DOWN: {
        const int direction = key == Win::VK_UP ? +1 : -1;
        if (!smart) {
            if (direction > 0)
                StepUp();
            else
                StepDown();
        } else if (ReadOnly()) {
            MessageBeep();
        } else {
            SmartStep(direction);
        }
        break;
    }
    case Win::VK_PRIOR: PageStep(+1); break;
    case Win::VK_NEXT: PageStep(-1); break;
    case Win::VK_DELETE:
        if (!EditorEnabled() || (SpinType() == sptHex && selStart < 2)) key = 0;
        break;
    case Win::VK_RETURN:
        if (ReturnIsTab()) {
            key = Win::VK_TAB;
            PostKeyDown(this, Win::VK_TAB);
        }
        break;
    default: break;
    }
    if (key == Win::VK_UP || key == Win::VK_DOWN || key == Win::VK_PRIOR || key == Win::VK_NEXT ||
        key == Win::VK_RETURN || key == Win::VK_DELETE) {
        SetSelStart(selStart);
        SetSelLength(selLength);
    }
    if (Text() != before) setModified(true);
    TSpinEditCore::KeyDown(key, shift);
}

void TExtSpinEdit::CharMessage(TKeyChar& key)
{
    if (key == U'+') {
        key = 0;
        return;
    }
    if (key == U'-') {
        key = 0;
        QString t = Text();
        int selStart = SelStart();
        const int selLength = SelLength();
        if (m_signed) {
            // A read-only edit, or one that takes no typing, keeps its sign.
            if (ReadOnly() || !EditorEnabled()) {
                MessageBeep();
                return;
            }
            if (t.startsWith(u'-')) {
                t.remove(0, 1);
                selStart = std::max(0, selStart - 1);
            } else {
                t.prepend(u'-');
                ++selStart;
            }
        }
        setText(t);
        SetSelStart(selStart);
        SetSelLength(selLength);
        return;
    }
    if (key == 13) {
        if (OnKeyPress) {
            TKeyChar enter = 13;
            OnKeyPress(this, enter);
        }
        key = 0;
        return;
    }
    TSpinEditCore::CharMessage(key);
}

void TExtSpinEdit::MouseEnter()
{
    TSpinEditCore::MouseEnter();
    if (m_autoFocus && CanFocus()) SetFocus();
}

// ---------------------------------------------------------------------------
// Look

void TExtSpinEdit::SetFlat(bool value)
{
    if (m_flat == value) return;
    m_flat = value;
    if (value) {
        m_savedColor = Color();
        SetBorderStyle(TBorderStyle::bsNone);
    } else {
        SetColor(m_savedColor);
        SetBorderStyle(TBorderStyle::bsSingle);
    }
    SetFlatRect(value);
    Invalidate();
}

void TExtSpinEdit::SetFlatRect(bool flat)
{
    const int pw = Button()->Width();
    if (flat)
        SetEditRect(TRect(2, 4, ClientWidth() - 2 - pw - 2, ClientHeight() - 4));
    else
        SetEditRect(TRect(0, 0, ClientWidth() - pw - 2, ClientHeight()));
}

void TExtSpinEdit::SetFlatLineColor(TColor value)
{
    m_flatLineColor = value;
    Invalidate();
}

void TExtSpinEdit::SetTransparent(bool value)
{
    if (m_transparent == value) return;
    m_transparent = value;
    ApplyColor();
    Invalidate();
}

void TExtSpinEdit::ApplyColor()
{
    TSpinEditCore::ApplyColor();
    if (!m_transparent) return;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::transparent);
    setPalette(pal);
    setAutoFillBackground(false);
}

void TExtSpinEdit::FontChanged()
{
    TSpinEditCore::FontChanged();
    Resize();
    SetFlatRect(m_flat);
}

void TExtSpinEdit::Resize()
{
    TSpinEditCore::Resize();
    UpdateLabel();
}

void TExtSpinEdit::paintEvent(QPaintEvent* event)
{
    TSpinEditCore::paintEvent(event);
    if (!m_flat) return;
    QPainter painter(this);
    TPainterCanvas canvas(&painter);
    canvas.Pen().SetStyle(TPenStyle::psSolid);
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetColor(m_flatLineColor);
    const TRect r = EditRect();
    canvas.MoveTo(r.Left, height() - 1);
    canvas.LineTo(r.Right, height() - 1);
}

// ---------------------------------------------------------------------------
// Label

QString TExtSpinEdit::LabelCaption() const
{
    const TLabel* label = AttachedLabel();
    return label ? label->Caption() : QString();
}

void TExtSpinEdit::SetLabelCaption(const QString& value)
{
    TLabel* label = AttachedLabel();
    if (!label) {
        label = new TLabel(parentWidget(), Name().isEmpty() ? QString() : Name() + QStringLiteral("Label"));
        label->SetFocusControl(this);
        label->Font() = Font();
        AttachLabel(label);
        label->setVisible(parentWidget() && Visible());
        if (!Enabled() && !m_labelAlwaysEnabled) label->SetEnabled(false);
    }
    label->SetCaption(value);
    UpdateLabel();
}

void TExtSpinEdit::SetLabelPosition(TLabelPosition value)
{
    m_labelPosition = value;
    UpdateLabel();
}

void TExtSpinEdit::SetLabelMargin(int value)
{
    m_labelMargin = value;
    UpdateLabel();
}

void TExtSpinEdit::SetLabelTransparent(bool value)
{
    m_labelTransparent = value;
    UpdateLabel();
}

void TExtSpinEdit::SetLabelAlwaysEnabled(bool value)
{
    m_labelAlwaysEnabled = value;
    if (value)
        if (TLabel* label = AttachedLabel()) label->SetEnabled(true);
    Invalidate();
}

void TExtSpinEdit::SetBounds(int left, int top, int width, int height)
{
    TSpinEditCore::SetBounds(left, top, width, height);
    UpdateLabel();
}

void TExtSpinEdit::moveEvent(QMoveEvent* event)
{
    TSpinEditCore::moveEvent(event);
    UpdateLabel();
}

void TExtSpinEdit::UpdateLabel()
{
    TLabel* label = AttachedLabel();
    if (!label) return;
    label->SetTransparent(m_labelTransparent);
    // The font first: the caption is measured in the font it is shown in.
    label->Font() = m_labelFont;
    const int tw = label->CanvasTextWidth(label->Caption());
    const int lw = label->Width();
    const int lh = label->Height();
    const int l = Left(), t = Top(), w = Width(), h = Height();
    const int m = m_labelMargin;
    int top = t, left = l;
    switch (m_labelPosition) {
    case lpLeftTop:
        top = t;
        left = l - tw - m;
        break;
    case lpLeftCenter:
        top = t + (h - lh) / 2;
        left = l - tw - m;
        break;
    case lpLeftBottom:
        top = t + h - lh;
        left = l - tw - m;
        break;
    case lpTopLeft:
        top = t - lh - m;
        left = l;
        break;
    case lpBottomLeft:
        top = t + h + m;
        left = l;
        break;
    case lpLeftTopLeft:
        top = t;
        left = l - m;
        break;
    case lpLeftCenterLeft:
        top = t + (h - lh) / 2;
        left = l - m;
        break;
    case lpLeftBottomLeft:
        top = t + h - lh;
        left = l - m;
        break;
    case lpTopCenter:
        top = t - lh - m;
        left = l + (w - lw) / 2;
        break;
    case lpBottomCenter:
        top = t + h + m;
        left = l + (w - lw) / 2;
        break;
    }
    label->SetBounds(left, top, lw, lh);
}
