#include "platform/clipboard/ESGDropTarget.h"

#include "platform/clipboard/EnumFormats.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>

namespace {

Qt::DropAction ToQt(TDropEffect effect)
{
    switch (effect) {
    case TDropEffect::Copy: return Qt::CopyAction;
    case TDropEffect::Move: return Qt::MoveAction;
    default: return Qt::IgnoreAction;
    }
}

TPoint PointOf(const QDropEvent* e)
{
    const QPoint p = e->position().toPoint();
    return TPoint(p.x(), p.y());
}

bool CtrlOf(const QDropEvent* e) { return e->modifiers().testFlag(Qt::ControlModifier); }

} // namespace

TESGDropTarget::TESGDropTarget() = default;

TESGDropTarget::~TESGDropTarget() { Revoke(); }

void TESGDropTarget::Register(QObject* widget)
{
    Revoke();
    m_widget = widget;
    if (widget) widget->installEventFilter(this);
}

void TESGDropTarget::Revoke()
{
    if (m_widget) m_widget->removeEventFilter(this);
    m_widget = nullptr;
}

void TESGDropTarget::DragEnter(const QMimeData* data, bool ctrlDown, TPoint, TDropEffect& effect)
{
    const TEnumFormats formats(data);
    m_kinds = TDropKinds{formats.HasText(), formats.HasFiles(), formats.HasCol(), formats.HasRTF()};
    m_accept = (m_kinds.Text && AcceptText) || (m_kinds.Files && AcceptFiles) ||
        (m_kinds.RTF && DropFormatFlag() && AcceptText) || (m_kinds.Column && AcceptCols);
    effect = m_accept ? DropEffectFromKeys(ctrlDown) : TDropEffect::None;
    DragMouseEnter();
}

void TESGDropTarget::DragOver(bool ctrlDown, TPoint point, TDropEffect& effect)
{
    effect = m_accept ? DropEffectFromKeys(ctrlDown) : TDropEffect::None;
    bool allow = effect != TDropEffect::None;
    DragMouseMove(point, allow, m_kinds);
    if (!allow) effect = TDropEffect::None;
}

void TESGDropTarget::DragLeave() { DragMouseLeave(); }

void TESGDropTarget::Drop(const QMimeData* data, bool ctrlDown, TPoint point, TDropEffect& effect)
{
    if (!m_accept) {
        effect = TDropEffect::None;
        return;
    }
    const TEnumFormats formats(data);
    m_refused = 0;
    int hooks = 1;
    if (formats.HasCol())
        DropCol(point, formats.GetCol());
    else if (formats.HasRTF() && DropFormatFlag())
        DropRTF(point, formats.GetRTF());
    else if (formats.HasText())
        DropText(point, formats.GetText());
    else
        hooks = 0;
    if (formats.HasFiles()) {
        ++hooks;
        QStringList files;
        formats.GetFiles(files);
        DropFiles(point, files);
    }
    effect = hooks > 0 && m_refused >= hooks ? TDropEffect::None : DropEffectFromKeys(ctrlDown);
}

void TESGDropTarget::DropText(TPoint, const QString&) { }
void TESGDropTarget::DropCol(TPoint, int) { }
void TESGDropTarget::DropRTF(TPoint, const QString&) { }
void TESGDropTarget::DropFiles(TPoint, const QStringList&) { }
void TESGDropTarget::DragMouseMove(TPoint, bool&, TDropKinds) { }
void TESGDropTarget::DragMouseEnter() { }
void TESGDropTarget::DragMouseLeave() { }

bool TESGDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_widget) return QObject::eventFilter(watched, event);
    TDropEffect effect = TDropEffect::None;
    switch (event->type()) {
    case QEvent::DragEnter: {
        auto* e = static_cast<QDragEnterEvent*>(event);
        DragEnter(e->mimeData(), CtrlOf(e), PointOf(e), effect);
        break;
    }
    case QEvent::DragMove: {
        auto* e = static_cast<QDragMoveEvent*>(event);
        DragOver(CtrlOf(e), PointOf(e), effect);
        break;
    }
    case QEvent::DragLeave: DragLeave(); return true;
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        Drop(e->mimeData(), CtrlOf(e), PointOf(e), effect);
        break;
    }
    default: return QObject::eventFilter(watched, event);
    }
    auto* e = static_cast<QDropEvent*>(event);
    if (effect == TDropEffect::None) {
        e->ignore();
    } else {
        e->setDropAction(ToQt(effect));
        e->accept();
    }
    return true;
}
