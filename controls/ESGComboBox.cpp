#include "controls/ESGComboBox.h"

#include "platform/graphics/PainterCanvas.h"
#include "platform/kernel/Application.h"

#include <QAbstractItemView>
#include <QPointer>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

// The list's delegate: owner-drawn items are measured and drawn by the
// combo; the others by the delegate the list had before.
class TOwnerDrawDelegate : public QStyledItemDelegate {
public:
    TOwnerDrawDelegate(TESGComboBox* combo, QAbstractItemDelegate* before)
        : QStyledItemDelegate(combo), m_combo(combo), m_before(before)
    { }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (!m_combo->OwnerDrawn()) {
            if (m_before)
                m_before->paint(painter, option, index);
            else
                QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        TOwnerDrawState state;
        if (option.state & QStyle::State_Selected) state += TOwnerDrawStateItem::odSelected;
        if (option.state & QStyle::State_HasFocus) state += TOwnerDrawStateItem::odFocused;
        if (!(option.state & QStyle::State_Enabled)) state += TOwnerDrawStateItem::odDisabled;
        TPainterCanvas canvas(painter);
        const QRect r = option.rect;
        m_combo->DrawItem(canvas, index.row(), TRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1), state);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = m_before ? m_before->sizeHint(option, index) : QStyledItemDelegate::sizeHint(option, index);
        if (m_combo->Style() == csOwnerDrawVariable) size.setHeight(m_combo->MeasureItem(index.row(), size.height()));
        return size;
    }

private:
    TESGComboBox* m_combo;
    QPointer<QAbstractItemDelegate> m_before;
};

} // namespace

TESGComboBox::TESGComboBox(QWidget* parent, const QString& name) : TESGCustomCombo(parent, name)
{
    setItemDelegate(new TOwnerDrawDelegate(this, itemDelegate()));
}

TESGComboBox::~TESGComboBox() = default;

bool TESGComboBox::Sorted() const { return ComboItems().Sorted(); }

void TESGComboBox::SetSorted(bool value) { ComboItems().SetSorted(value); }

void TESGComboBox::DrawItem(TCanvas& canvas, int index, const TRect& rect, TOwnerDrawState state)
{
    canvas.Font() = Font();
    if (state.Contains(TOwnerDrawStateItem::odSelected)) {
        canvas.Brush().SetColor(clHighlight);
        canvas.Font().SetColor(clHighlightText);
    } else {
        canvas.Brush().SetColor(Color());
    }
    if (index >= 0 && index < count()) {
        m_canvas = &canvas;
        struct Done {
            TCanvas*& Canvas;
            ~Done() { Canvas = nullptr; }
        } done{m_canvas};
        if (OnDrawItem) {
            GuardedCall(this, [&] { OnDrawItem(this, index, rect, state); });
        } else {
            canvas.FillRect(rect);
            canvas.TextOut(rect.Left + 2, rect.Top, itemText(index));
        }
    } else {
        canvas.FillRect(rect);
    }
    if (state.Contains(TOwnerDrawStateItem::odFocused)) canvas.DrawFocusRect(rect);
}

int TESGComboBox::MeasureItem(int index, int height)
{
    if (OnMeasureItem) GuardedCall(this, [&] { OnMeasureItem(this, index, height); });
    return std::max(0, height);
}

void TESGComboBox::DrawField(TCanvas& canvas, const TRect& field)
{
    if (!OwnerDrawn()) {
        TESGCustomCombo::DrawField(canvas, field);
        return;
    }
    TOwnerDrawState state{TOwnerDrawStateItem::odComboBoxEdit};
    if (hasFocus() && !DroppedDown()) {
        state += TOwnerDrawStateItem::odSelected;
        state += TOwnerDrawStateItem::odFocused;
    }
    if (!isEnabled()) state += TOwnerDrawStateItem::odDisabled;
    DrawItem(canvas, ItemIndex(), field, state);
}

void TESGComboBox::paintEvent(QPaintEvent* event)
{
    if (Flat() || !OwnerDrawn() || isEditable()) {
        TESGCustomCombo::paintEvent(event);
        return;
    }
    // The style's frame and button without its text; the field is the
    // owner's to draw.
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    TPainterCanvas canvas(&painter);
    DrawField(canvas, TRect(field.left(), field.top(), field.right() + 1, field.bottom() + 1));
}
