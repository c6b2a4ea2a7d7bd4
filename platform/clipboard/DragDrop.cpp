#include "platform/clipboard/DragDrop.h"
#include "platform/clipboard/DragDrop_p.h"

#include "platform/clipboard/ESGDropSource.h"
#include "platform/clipboard/SourceDataObject.h"

#include <QDrag>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

namespace {
bool g_richTextFlag = false;

Qt::DropActions ToQt(TDropEffect allowed)
{
    switch (allowed) {
    case TDropEffect::Copy: return Qt::CopyAction;
    case TDropEffect::Move: return Qt::MoveAction;
    default: return Qt::CopyAction | Qt::MoveAction;
    }
}

TDropEffect FromQt(Qt::DropAction action)
{
    switch (action) {
    case Qt::CopyAction: return TDropEffect::Copy;
    case Qt::MoveAction: return TDropEffect::Move;
    default: return TDropEffect::None;
    }
}

DragDropTesting::DragRunner& Runner()
{
    static DragDropTesting::DragRunner runner;
    return runner;
}

// Asks the source at each mouse and key event of a drag whether the drag
// goes on, so the source's QueryDrag hook runs each time; the drag loop
// itself ends the drag as the source answers, cancelled on Escape and
// dropped on the button's release.
class ContinueWatch : public QObject {
public:
    explicit ContinueWatch(TESGDropSource& source) : m_source(source) { qApp->installEventFilter(this); }
    ~ContinueWatch() override { qApp->removeEventFilter(this); }
    ContinueWatch(const ContinueWatch&) = delete;
    ContinueWatch& operator=(const ContinueWatch&) = delete;

    // The loop filters the events it takes before this one sees them unless
    // this one stands in front of it.
    void ToFront()
    {
        qApp->removeEventFilter(this);
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Each event once, at the window it reaches first.
        if (!watched->isWindowType()) return false;
        bool escape = false;
        Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
        switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease: buttons = static_cast<QMouseEvent*>(event)->buttons(); break;
        case QEvent::KeyPress: escape = static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape; break;
        case QEvent::KeyRelease: break;
        default: return false;
        }
        m_source.QueryContinueDrag(escape, buttons.testFlag(Qt::LeftButton));
        return false;
    }

private:
    TESGDropSource& m_source;
};

TDragResult RunDrag(TESGDropSource& source, QObject* dragSource, TSourceDataObject* data, TDropEffect allowed,
                    TDropEffect& effect)
{
    auto* drag = new QDrag(dragSource);
    drag->setMimeData(data);
    if (!source.Indicator().isNull()) {
        drag->setPixmap(source.Indicator());
        drag->setHotSpot(source.IndicatorHotSpot());
    }
    QObject::connect(drag, &QDrag::actionChanged, drag,
                     [&source](Qt::DropAction action) { source.GiveFeedback(FromQt(action)); });
    ContinueWatch watch(source);
    QTimer::singleShot(0, &watch, &ContinueWatch::ToFront);
    const Qt::DropAction result = Runner() ? Runner()(*drag, source) : drag->exec(ToQt(allowed));
    drag->deleteLater();
    effect = FromQt(result);
    if (source.NoDrop() || result == Qt::IgnoreAction) return TDragResult::Cancel;
    return TDragResult::Drop;
}
} // namespace

void DragDropTesting::SetDragRunner(DragRunner runner) { Runner() = std::move(runner); }

namespace DragFormats {
QString Text() { return QStringLiteral("text/plain"); }
QString RTF() { return QStringLiteral("text/rtf"); }
QString Column() { return QStringLiteral("application/x-tamsel-grid-column"); }
QString Files() { return QStringLiteral("text/uri-list"); }
} // namespace DragFormats

TDropEffect DropEffectFromKeys(bool ctrlDown) { return ctrlDown ? TDropEffect::Copy : TDropEffect::Move; }

bool DropFormatFlag() { return g_richTextFlag; }
void SetDropFormatFlag(bool value) { g_richTextFlag = value; }

TDragResult StartTextDragDrop(TESGDropSource& source, QObject* dragSource, const QString& text, const QString& rtf,
                              TDropEffect allowed, TDropEffect& effect)
{
    return RunDrag(source, dragSource, new TSourceDataObject(text, rtf, -1), allowed, effect);
}

TDragResult StartColumnDragDrop(TESGDropSource& source, QObject* dragSource, int column, TDropEffect allowed,
                                TDropEffect& effect)
{
    return RunDrag(source, dragSource, new TSourceDataObject(QString(), QString(), column), allowed, effect);
}
