// Drag and drop: what a drop target accepts and hands to its hooks, the
// formats a drag of texts or of a column offers, the drop effect of the
// keys, and malformed data from other programs read within its length.
#include "platform/clipboard/DragDrop.h"
#include "platform/clipboard/DragDrop_p.h"
#include "platform/clipboard/ESGDropSource.h"
#include "platform/clipboard/ESGDropTarget.h"
#include "platform/clipboard/EnumFormats.h"
#include "platform/clipboard/SourceDataObject.h"
#include "tests/support/PrintQString.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

// Keeps the rich-text flag as it was.
struct FlagScope {
    explicit FlagScope(bool value) : saved(DropFormatFlag()) { SetDropFormatFlag(value); }
    ~FlagScope() { SetDropFormatFlag(saved); }
    bool saved;
};

// A target that records its hooks.
class Target : public TESGDropTarget {
public:
    QStringList calls;
    bool refuseMove = false;

protected:
    void DropText(TPoint, const QString& text) override { calls << "text:" + text; }
    void DropCol(TPoint, int column) override { calls << QStringLiteral("col:%1").arg(column); }
    void DropRTF(TPoint, const QString& rtf) override { calls << "rtf:" + rtf; }
    void DropFiles(TPoint, const QStringList& files) override { calls << "files:" + files.join(u','); }
    void DragMouseMove(TPoint, bool& allow, TDropKinds) override
    {
        calls << "move";
        if (refuseMove) allow = false;
    }
    void DragMouseEnter() override { calls << "enter"; }
    void DragMouseLeave() override { calls << "leave"; }
};

QMimeData* Mime(std::initializer_list<std::pair<QString, QByteArray>> formats)
{
    auto* m = new QMimeData;
    for (const auto& [type, bytes] : formats) m->setData(type, bytes);
    return m;
}

TEST(DropTarget, TextIsRefusedWhenTheTargetTakesNoText)
{
    Target t;
    t.AcceptText = false;
    std::unique_ptr<QMimeData> m(Mime({{DragFormats::Text(), "hello"}}));
    TDropEffect effect = TDropEffect::Move;
    t.DragEnter(m.get(), false, TPoint(1, 1), effect);
    EXPECT_EQ(effect, TDropEffect::None);
    t.Drop(m.get(), false, TPoint(1, 1), effect);
    EXPECT_EQ(effect, TDropEffect::None);
    EXPECT_EQ(t.calls, QStringList{"enter"});
}

TEST(DropTarget, RichTextDropsAsRichTextOnlyWithTheFlag)
{
    std::unique_ptr<QMimeData> m(Mime({{DragFormats::Text(), "plain"}, {DragFormats::RTF(), "{\\rtf1 x}"}}));
    TDropEffect effect = TDropEffect::None;
    {
        FlagScope flag(false);
        Target t;
        t.DragEnter(m.get(), false, TPoint(), effect);
        t.Drop(m.get(), false, TPoint(), effect);
        EXPECT_EQ(t.calls, (QStringList{"enter", "text:plain"}));
        EXPECT_TRUE(t.Kinds().RTF);
    }
    FlagScope flag(true);
    Target t;
    t.DragEnter(m.get(), false, TPoint(), effect);
    t.Drop(m.get(), false, TPoint(), effect);
    EXPECT_EQ(t.calls, (QStringList{"enter", "rtf:{\\rtf1 x}"}));
}

TEST(DropTarget, FilesWithTextCallBothHooksAndCtrlCopies)
{
    Target t;
    std::unique_ptr<QMimeData> m(
        Mime({{DragFormats::Text(), "t"}, {DragFormats::Files(), "file:///tmp/a.csv\r\nhttp://x/y\r\n# note\r\n"}}));
    TDropEffect effect = TDropEffect::None;
    t.DragEnter(m.get(), true, TPoint(), effect);
    EXPECT_EQ(effect, TDropEffect::Copy);
    t.DragOver(false, TPoint(3, 4), effect);
    EXPECT_EQ(effect, TDropEffect::Move);
    t.refuseMove = true;
    t.DragOver(false, TPoint(3, 4), effect);
    EXPECT_EQ(effect, TDropEffect::None);
    t.Drop(m.get(), true, TPoint(), effect);
    EXPECT_EQ(effect, TDropEffect::Copy);
    EXPECT_EQ(t.calls, (QStringList{"enter", "move", "move", "text:t", "files:/tmp/a.csv"}));
    t.DragLeave();
    EXPECT_EQ(t.calls.last(), "leave");
}

TEST(DropTarget, ColumnsNeedAcceptColsAndGoBeforeText)
{
    TSourceDataObject column(QString(), QString(), 7);
    Target t;
    TDropEffect effect = TDropEffect::None;
    t.DragEnter(&column, false, TPoint(), effect);
    EXPECT_EQ(effect, TDropEffect::None);
    t.AcceptCols = true;
    t.DragEnter(&column, false, TPoint(), effect);
    EXPECT_EQ(effect, TDropEffect::Move);
    t.Drop(&column, false, TPoint(), effect);
    EXPECT_EQ(t.calls.last(), "col:7");
}

TEST(DropTarget, RegisteredWidgetsDeliverQtDrops)
{
    QWidget w;
    w.setAcceptDrops(true);
    Target t;
    t.Register(&w);
    EXPECT_EQ(t.Registered(), &w);
    std::unique_ptr<QMimeData> m(Mime({{DragFormats::Text(), "dropped"}}));
    QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction | Qt::MoveAction, m.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::MoveAction);
    QDropEvent drop(QPointF(2, 2), Qt::CopyAction | Qt::MoveAction, m.get(), Qt::LeftButton, Qt::ControlModifier);
    QApplication::sendEvent(&w, &drop);
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    EXPECT_EQ(t.calls.last(), "text:dropped");
    t.Revoke();
    const int calls = t.calls.size();
    QApplication::sendEvent(&w, &drop);
    EXPECT_EQ(t.calls.size(), calls);
}

TEST(SourceData, ATextDragOffersTextAndRichTextOnlyWithTheFlag)
{
    FlagScope flag(false);
    TSourceDataObject data(QStringLiteral("a\tb"), QString(), -1);
    EXPECT_EQ(data.formats(), (QStringList{DragFormats::Text(), DragFormats::RTF()}));
    EXPECT_TRUE(data.hasFormat(DragFormats::Text()));
    EXPECT_FALSE(data.hasFormat(DragFormats::RTF()));
    EXPECT_FALSE(data.hasFormat(DragFormats::Column()));
    EXPECT_EQ(data.data(DragFormats::Text()), "a\tb");
    SetDropFormatFlag(true);
    // An empty rich text is one terminating zero.
    EXPECT_EQ(data.GetData(DragFormats::RTF()), QByteArray(1, '\0'));
}

TEST(SourceData, AColumnDragOffersFourFormatsAndGivesOnlyTheColumn)
{
    FlagScope flag(false);
    TSourceDataObject data(QString(), QString(), 3);
    EXPECT_EQ(data.formats().size(), 3);
    EXPECT_FALSE(data.hasFormat(DragFormats::Text()));
    EXPECT_TRUE(data.hasFormat(DragFormats::Column()));
    EXPECT_EQ(TEnumFormats(&data).GetCol(), 3);
}

TEST(ForeignData, MalformedBlocksReadAsNothing)
{
    // A column block of the wrong size, text without its terminating zero,
    // text with bytes after the zero.
    std::unique_ptr<QMimeData> m(Mime({{DragFormats::Column(), QByteArray("\x01\x02\x03", 3)},
                                       {DragFormats::Text(), QByteArray("abc\0secret", 10)},
                                       {DragFormats::RTF(), QByteArray("{\\rtf", 5)}}));
    const TEnumFormats f(m.get());
    EXPECT_EQ(f.GetCol(), -1);
    EXPECT_EQ(f.GetText(), "abc");
    EXPECT_EQ(f.GetRTF(), "{\\rtf");
    m->setData(DragFormats::Column(), QByteArray("\x01\x00\x00\x00\x05", 5));
    EXPECT_EQ(f.GetCol(), -1);

    // File lists: local files only, a block past the cap gives nothing.
    QStringList files;
    EXPECT_TRUE(TEnumFormats::ParseUriList("file:///a\nfile://host/b\nftp://c/d\nnot a url\nfile:///e%20f", files));
    EXPECT_EQ(files, (QStringList{"/a", "/e f"}));
    QStringList none;
    EXPECT_FALSE(TEnumFormats::ParseUriList(QByteArray(TEnumFormats::MaxListBytes + 1, 'a'), none));
    EXPECT_TRUE(none.isEmpty());
    QByteArray many;
    for (int i = 0; i < TEnumFormats::MaxFiles + 10; ++i) many += "file:///f\n";
    EXPECT_TRUE(TEnumFormats::ParseUriList(many, none));
    EXPECT_EQ(none.size(), TEnumFormats::MaxFiles);
    EXPECT_FALSE(TEnumFormats(nullptr).GetFiles(files = {}));
}

TEST(DropSource, EscapeCancelsAReleasedButtonDropsAndNoDropIsRemembered)
{
    class Source : public TESGDropSource {
    public:
        QList<TDropEffect> effects;
        int queries = 0;

    protected:
        void CurrentEffect(TDropEffect e) override { effects << e; }
        void QueryDrag() override { ++queries; }
    } s;
    EXPECT_EQ(s.QueryContinueDrag(true, true), TESGDropSource::TContinue::Cancel);
    EXPECT_EQ(s.QueryContinueDrag(false, false), TESGDropSource::TContinue::Drop);
    EXPECT_EQ(s.QueryContinueDrag(false, true), TESGDropSource::TContinue::Continue);
    EXPECT_EQ(s.queries, 3);
    s.GiveFeedback(TDropEffect::None);
    EXPECT_TRUE(s.NoDrop());
    s.GiveFeedback(TDropEffect::Copy);
    EXPECT_FALSE(s.NoDrop());
    EXPECT_EQ(s.effects, (QList<TDropEffect>{TDropEffect::None, TDropEffect::Copy}));
}

TEST(DropSource, TheSourceIsAskedAtEachMouseAndKeyEventOfADrag)
{
    class Source : public TESGDropSource {
    public:
        int queries = 0;

    protected:
        void QueryDrag() override { ++queries; }
    } source;
    QWidget w;
    w.resize(40, 40);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QWindow* window = w.windowHandle();
    const auto send = [&](QEvent& e) { QApplication::sendEvent(window, &e); };
    const auto move = [&](Qt::MouseButtons buttons) {
        QMouseEvent e(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), QPointF(5, 5), Qt::NoButton, buttons,
                      Qt::NoModifier);
        send(e);
    };
    int during = 0;
    DragDropTesting::SetDragRunner([&](QDrag&, TESGDropSource&) {
        move(Qt::LeftButton);
        QKeyEvent ctrl(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
        send(ctrl);
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        send(escape);
        during = source.queries;
        return Qt::IgnoreAction;
    });
    TDropEffect effect = TDropEffect::None;
    EXPECT_EQ(StartTextDragDrop(source, &w, QStringLiteral("x"), QString(), TDropEffect::None, effect),
              TDragResult::Cancel);
    DragDropTesting::SetDragRunner(nullptr);
    EXPECT_EQ(during, 3);
    // Once the drag is over nothing asks any more.
    move(Qt::LeftButton);
    EXPECT_EQ(source.queries, 3);
}

TEST(DropTarget, ADropEveryHookRefusedHasNoEffect)
{
    class Refusing : public TESGDropTarget {
    public:
        bool refuseText = true;
        bool refuseFiles = true;

    protected:
        void DropText(TPoint, const QString&) override
        {
            if (refuseText) RefuseDrop();
        }
        void DropFiles(TPoint, const QStringList&) override
        {
            if (refuseFiles) RefuseDrop();
        }
    } t;
    std::unique_ptr<QMimeData> m(Mime({{DragFormats::Text(), "a"}, {DragFormats::Files(), "file:///tmp/x.csv\n"}}));
    TDropEffect effect = TDropEffect::None;
    t.DragEnter(m.get(), false, TPoint(), effect);
    t.Drop(m.get(), false, TPoint(), effect);
    EXPECT_EQ(effect, TDropEffect::None);
    t.refuseFiles = false; // one hook took its part: the drop took effect
    t.DragEnter(m.get(), false, TPoint(), effect);
    t.Drop(m.get(), false, TPoint(), effect);
    EXPECT_EQ(effect, TDropEffect::Move);
}

TEST(DragStart, ADragShowsItsIndicatorAndReportsTheDrop)
{
    QWidget w;
    TESGDropSource source;
    QPixmap indicator(20, 10);
    indicator.fill(Qt::red);
    source.SetIndicator(indicator, QPoint(0, 10));
    QSize shown;
    QPoint hotSpot;
    QByteArray text;
    Qt::DropAction answer = Qt::MoveAction;
    DragDropTesting::SetDragRunner([&](QDrag& drag, TESGDropSource& s) {
        shown = drag.pixmap().size();
        hotSpot = drag.hotSpot();
        text = drag.mimeData()->data(DragFormats::Text());
        s.GiveFeedback(answer == Qt::IgnoreAction ? TDropEffect::None : TDropEffect::Move);
        return answer;
    });
    TDropEffect effect = TDropEffect::None;
    EXPECT_EQ(StartTextDragDrop(source, &w, QStringLiteral("cells"), QString(), TDropEffect::None, effect),
              TDragResult::Drop);
    EXPECT_EQ(effect, TDropEffect::Move);
    EXPECT_EQ(shown, QSize(20, 10));
    EXPECT_EQ(hotSpot, QPoint(0, 10));
    EXPECT_EQ(text, QByteArray("cells"));
    answer = Qt::IgnoreAction;
    EXPECT_EQ(StartColumnDragDrop(source, &w, 2, TDropEffect::None, effect), TDragResult::Cancel);
    DragDropTesting::SetDragRunner(nullptr);
}

} // namespace
