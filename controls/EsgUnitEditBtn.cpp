#include "controls/EsgUnitEditBtn.h"

#include "platform/graphics/PainterCanvas.h"
#include "platform/widgets/PopupMenu.h"

#include <QFontMetrics>
#include <QPainter>

TEsgUnitEditBtn::TEsgUnitEditBtn(QWidget* parent, const QString& name) : TEsgEditBtn(parent, name)
{
    SetUnitSpace(20);
    SetRightAlign(true);
}

TEsgUnitEditBtn::~TEsgUnitEditBtn() = default;

void TEsgUnitEditBtn::SetUnitID(const QString& value)
{
    m_unitID = value;
    Invalidate();
}

QPoint TEsgUnitEditBtn::MenuPosition() const
{
    // The bottom right of the client area, less 15 pixels, on the screen.
    const QPoint inParent = pos() + QPoint(ClientWidth() - 15, ClientHeight());
    return parentWidget() ? parentWidget()->mapToGlobal(inParent) : inParent;
}

void TEsgUnitEditBtn::DoClickBtn(QObject*)
{
    TPopupMenu menu(m_units);
    QPointer<QWidget> alive(this);
    const int chosen = menu.Popup(MenuPosition(), this);
    if (alive && chosen >= 0 && chosen < m_units.size()) SetUnitID(m_units[chosen]);
}

TRect TEsgUnitEditBtn::UnitRect() const
{
    const int right = ClientWidth() - ButtonWidth() - 3;
    return TRect(right - UnitSpace(), 2, right, ClientHeight());
}

void TEsgUnitEditBtn::paintEvent(QPaintEvent* event)
{
    TEsgEditBtn::paintEvent(event);
    if (m_unitID.isEmpty()) return;
    QPainter painter(this);
    TPainterCanvas canvas(&painter);
    canvas.Font() = Font();
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    TRect r = UnitRect().Offsetted(ClientOrigin().x(), ClientOrigin().y());
    // The unit sits on the value's base line, wherever the edit puts it.
    const int baseLine = cursorRect().top() + QFontMetrics(font()).ascent();
    r.Top = baseLine - canvas.TextMetrics().tmAscent;
    canvas.DrawText(m_unitID, r, Win::DT_EDITCONTROL);
}
