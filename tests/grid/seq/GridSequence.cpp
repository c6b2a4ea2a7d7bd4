// The sequence runner: a grid A under test (shown, with the focus) and a
// second grid B that takes what A's drags carry away. Each step is user
// input as the platform delivers it (keys to the focus widget, mouse events
// on the grid, drag-and-drop events, the drag loop answered by a stand-in)
// or a program call. Before a step the runner notes what the step may
// change; after it, it compares the grid with the notes.
#include "tests/grid/seq/GridSequence.h"

#include "grid/GridSettings.h"
#include "grid/TExtStringGrid.h"
#include "platform/clipboard/DragDrop.h"
#include "platform/clipboard/DragDrop_p.h"
#include "platform/core/Exception.h"
#include "platform/kernel/Application.h"
#include "platform/grids/InplaceEdit.h"
#include "tests/support/GuiTest.h"

#include <QApplication>
#include <QChildEvent>
#include <QClipboard>
#include <QCoreApplication>
#include <QDrag>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <vector>

namespace GridSequences {
namespace {

enum Bit { bInsertRows, bRemoveRows, bRowSelect, bEditing, bDisjunct, bDropSource, bDropTarget, bFooter };
const char* const kBitNames[kOptionBits] = {"OleInsertRows",     "OleRemoveRows", "goRowSelect",   "goEditing",
                                            "DisjunctRowSelect", "OleDropSource", "OleDropTarget", "FixedFooters=1"};

bool Has(quint64 seed, Bit b) { return (seed >> b) & 1u; }

// Everything of a grid the checks read.
struct TShot {
    int fixedCols = 0, fixedRows = 0, footers = 0, rightCols = 0;
    int col = 0, row = 0;
    std::vector<QStringList> cells; // [row][col]
    // The open editor: the cell under it and its text.
    bool editing = false;
    int editCol = -1, editRow = -1;
    QString editText;

    int Rows() const { return int(cells.size()); }
    int Cols() const { return cells.empty() ? 0 : int(cells[0].size()); }
    QString Cell(int c, int r) const
    {
        return r >= 0 && r < Rows() && c >= 0 && c < Cols() ? cells[size_t(r)][c] : QString();
    }
    // Column 0 of a row below the fixed rows is the row's identity.
    QString Id(int r) const { return r >= fixedRows ? Cell(0, r) : QString(); }
    int RowOfId(const QString& id) const
    {
        if (id.isEmpty()) return -1;
        for (int r = fixedRows; r < Rows(); ++r)
            if (Id(r) == id) return r;
        return -1;
    }
    bool HasText(const QString& text) const
    {
        for (const QStringList& row : cells)
            if (row.contains(text)) return true;
        return false;
    }
};

TShot Shoot(TExtStringGrid& g)
{
    TShot s;
    s.fixedCols = g.FixedCols();
    s.fixedRows = g.FixedRows();
    s.footers = g.FixedFooters();
    s.rightCols = g.FixedRightCols();
    s.col = g.Col();
    s.row = g.Row();
    for (QLineEdit* e : g.findChildren<QLineEdit*>()) {
        if (!e->isVisible()) continue;
        const QPoint mid = e->mapTo(&g, e->rect().center());
        g.MouseToCell(mid.x(), mid.y(), s.editCol, s.editRow);
        s.editing = true;
        s.editText = e->text();
    }
    s.cells.resize(size_t(g.RowCount()));
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.ColCount(); ++c) s.cells[size_t(r)] << g.Cells(c, r);
    return s;
}

QString Visible(const QString& text)
{
    QString out;
    for (const QChar ch : text) {
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7F)
            out += QStringLiteral("\\x%1").arg(int(ch.unicode()), 2, 16, QChar(u'0'));
        else
            out += ch;
    }
    return QStringLiteral("\"") + out + QStringLiteral("\"");
}

bool HasControl(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() < 0x20 || ch.unicode() == 0x7F; });
}

QString Dump(const TShot& s)
{
    QString out = QStringLiteral("    %1x%2 fixed %3/%4 footers %5 right %6, current (%7,%8)\n")
                      .arg(s.Cols())
                      .arg(s.Rows())
                      .arg(s.fixedCols)
                      .arg(s.fixedRows)
                      .arg(s.footers)
                      .arg(s.rightCols)
                      .arg(s.col)
                      .arg(s.row);
    if (s.editing)
        out += QStringLiteral("    editor open over (%1,%2) holding %3\n")
                   .arg(s.editCol)
                   .arg(s.editRow)
                   .arg(Visible(s.editText));
    for (int r = 0; r < s.Rows(); ++r) {
        QStringList texts;
        for (const QString& t : s.cells[size_t(r)]) texts << (t.isEmpty() ? QStringLiteral("-") : Visible(t));
        out += QStringLiteral("    %1: %2\n").arg(r).arg(texts.join(u' '));
    }
    return out;
}

// One opening of the text editor: the cell it opened on (by row identity)
// and the texts it held.
struct TSession {
    int col = -1;
    QString id;
    QString original;
    QString text;
    bool open = true;
    int closedAt = -1;
};

// Watches the editors the grid makes: their showing and hiding.
class TEditorWatch : public QObject {
public:
    explicit TEditorWatch(TExtStringGrid& grid) : m_grid(grid) { grid.installEventFilter(this); }
    void Watch(QObject* o)
    {
        auto* edit = qobject_cast<QLineEdit*>(o);
        if (!edit || m_watched.count(edit)) return;
        m_watched.insert(edit);
        edit->installEventFilter(this);
        if (edit->isVisible()) Opened(edit);
    }
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (o == &m_grid) {
            if (e->type() == QEvent::ChildPolished) Watch(static_cast<QChildEvent*>(e)->child());
            return false;
        }
        auto* edit = qobject_cast<QLineEdit*>(o);
        if (!edit) return false;
        if (e->type() == QEvent::Show)
            Opened(edit);
        else if (e->type() == QEvent::Hide)
            Closed(edit);
        return false;
    }
    QLineEdit* OpenEditor() const
    {
        for (QLineEdit* e : m_watched)
            if (e->isVisible()) return e;
        return nullptr;
    }
    std::vector<TSession> sessions;
    int step = 0;
    std::function<void(const QString&)> seen; // every text an editor held

private:
    void Opened(QLineEdit* edit)
    {
        for (auto& s : sessions)
            if (s.open) return; // already counted
        TSession s;
        s.col = m_grid.Col();
        s.id = m_grid.Row() >= m_grid.FixedRows() ? m_grid.Cells(0, m_grid.Row()) : QString();
        s.original = m_grid.Cells(s.col, m_grid.Row());
        s.text = edit->text();
        if (seen) seen(s.text);
        sessions.push_back(s);
    }
    void Closed(QLineEdit* edit)
    {
        for (auto& s : sessions) {
            if (!s.open) continue;
            s.open = false;
            s.closedAt = step;
            s.text = edit->text();
            if (seen) seen(s.text);
        }
    }
    TExtStringGrid& m_grid;
    std::set<QLineEdit*> m_watched;
};

// What a step may do to the rows that were there before it, by identity.
struct TRowRule {
    enum Kind { Same, Free, Removed, MayRemove, Cleared } kind = Same;
    int left = 0, right = -1; // Cleared: these columns empty, the rest the same
};

enum class TPending { Commit, CommitOrRevert, Revert };

struct TExpect {
    bool anything = false;     // only provenance and the current cell
    bool newRowsEmpty = false; // rows the step added hold nothing
    bool idsMayRepeat = false; // a block written over the fixed column
    std::map<QString, TRowRule> rows;
    std::set<std::pair<QString, int>> freeCells; // (row id, column)
    TPending pending = TPending::Commit;
    // A move of rows within the grid: the multiset of the texts of these
    // columns over the rows below the fixed rows stays the same.
    bool keepRows = false;
    int keepLeft = 0, keepRight = -1;
    // The moved rows either all went away or all stayed.
    std::set<QString> movedIds;
    void Rule(const QString& id, TRowRule::Kind kind, int left = 0, int right = -1)
    {
        if (id.isEmpty()) return;
        // A wider allowance wins: removal over free cells over cleared ones.
        const auto rank = [](TRowRule::Kind k) {
            return k == TRowRule::Same ? 0 : k == TRowRule::Cleared ? 1 : k == TRowRule::Free ? 2 : 3;
        };
        const auto it = rows.find(id);
        if (it != rows.end() && rank(kind) < rank(it->second.kind)) return;
        auto& r = rows[id];
        r.kind = kind;
        r.left = left;
        r.right = right;
    }
    void FreeRow(const QString& id) { Rule(id, TRowRule::Free); }
};

// The rows a block of text dropped at (col, row) may land in. A block that
// starts in the fixed column may write over the row's identity there.
void TargetRows(TExpect& e, const TShot& s, TExtStringGrid& g, int col, int row, int lines)
{
    const bool rowSelect = g.Options().Contains(TGridOption::goRowSelect);
    const bool fixedCol = rowSelect ? g.DragDropSettings().OleEntireRows : col < s.fixedCols;
    for (int r = std::max(row, s.fixedRows); r < row + lines && r < s.Rows(); ++r)
        e.Rule(s.Id(r), fixedCol ? TRowRule::MayRemove : TRowRule::Free);
    // Inserted rows too may get a copy of a row's identity.
    if (fixedCol) e.idsMayRepeat = true;
}

using testsupport::DropOn;

class TRunner {
public:
    TRunner(quint64 seed, TTamper tamper, TTrace trace)
        : m_seed(seed),
          m_tamper(std::move(tamper)),
          m_trace(std::move(trace)),
          m_rng(seed * 0x9E3779B97F4A7C15ull + 0x51),
          a(nullptr, QStringLiteral("SeqA")),
          b(nullptr, QStringLiteral("SeqB")),
          m_watch(a)
    {
        m_watch.seen = [this](const QString& t) { Typed(t); };
        // An error the application catches in an event handler is a
        // failure of the step that caused it.
        m_previousHandler = TApplication::Instance()->OnException;
        TApplication::Instance()->OnException = [this](QObject*, Exception& x) {
            if (m_failure.isEmpty()) m_failure = QStringLiteral("the step raised %1").arg(Visible(x.Message()));
        };
    }
    ~TRunner()
    {
        DragDropTesting::SetDragRunner(nullptr);
        TApplication::Instance()->OnException = m_previousHandler;
    }

    TRunResult Run(int steps);

private:
    // ----- random choices
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    bool Chance(int percent) { return Pick(0, 99) < percent; }

    QString Token(QChar kind) { return QString(kind) + QString::number(++m_tokens) + QChar(u'z'); }
    void Known(const QString& t)
    {
        if (t.isEmpty()) return;
        m_known.insert(t);
        // Dragged or copied as text, a cell of several lines comes apart
        // into its lines.
        if (t.contains(u'\n') || t.contains(u'\r'))
            for (const QString& line : t.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")))) Known(line);
    }
    // A text an editor held: known, and it must hold no control character,
    // as none was typed.
    void Typed(const QString& t)
    {
        const bool control = std::any_of(t.begin(), t.end(), [](QChar ch) {
            return ch.unicode() == 0x7F || (ch.unicode() < 0x20 && ch != u'\n' && ch != u'\r' && ch != u'\t');
        });
        if ((control || (HasControl(t) && !m_known.count(t))) && m_failure.isEmpty())
            m_failure = QStringLiteral("the editor holds a control character: %1").arg(Visible(t));
        Known(t);
    }

    void Setup();
    void NameNewRows(TExtStringGrid& g, QChar kind);
    QWidget* Focus();
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);
    QPoint Center(TExtStringGrid& g, int col, int row) const
    {
        const TRect r = g.CellRect(col, row);
        if (r.Right <= r.Left || r.Bottom <= r.Top) return QPoint(-1, -1);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    QString Block(QChar kind, int lines, int fields, QStringList* texts = nullptr);
    void ObserveEditor();

    // ----- steps: each says what it did and fills the expectation
    QString StepType(TExpect& e);
    QString StepKey(TExpect& e);
    QString StepClick(TExpect& e);
    QString StepDrag(TExpect& e);
    QString StepDropText(TExpect& e);
    QString StepDropFile(TExpect& e);
    QString StepPaste(TExpect& e);
    QString StepProgram(TExpect& e);

    QString Check(const TShot& before, const TShot& after, const TExpect& e, const TShot& bBefore);
    QString CheckProvenance(const TShot& s, const char* grid);

    quint64 m_seed;
    TTamper m_tamper;
    TTrace m_trace;
    QString m_doing;     // the program call under way
    QRect m_editorPlace; // where the open editor was at the end of the last step
    decltype(TApplication::OnException) m_previousHandler;
    std::mt19937_64 m_rng;
    TExtStringGrid a;
    TExtStringGrid b;
    TEditorWatch m_watch;
    std::set<QString> m_known;
    int m_tokens = 0;
    QString m_failure;
    QTemporaryDir m_dir;
    int m_files = 0;
    int m_step = 0;
};

void TRunner::Setup()
{
    const quint64 s = m_seed;
    const int cols = Pick(4, 6);
    const int dataRows = Pick(4, 6);
    const bool footer = Has(s, bFooter);
    const bool right = Chance(20);
    for (TExtStringGrid* g : {&a, &b}) {
        g->SetBorderStyle(TBorderStyle::bsNone);
        g->resize(560, 420);
        g->SetDefaultColWidth(70);
        g->SetDefaultRowHeight(18);
    }
    a.SetColCount(cols);
    a.SetRowCount(1 + dataRows + (footer ? 1 : 0));
    if (footer) a.SetFixedFooters(1);
    if (right) a.SetFixedRightCols(1);
    TGridOptions o = a.Options();
    if (Has(s, bRowSelect)) o = o + TGridOption::goRowSelect;
    if (Has(s, bEditing)) o = o + TGridOption::goEditing;
    if (Chance(60)) o = o + TGridOption::goRangeSelect;
    if (Chance(50)) o = o + TGridOption::goTabs;
    a.SetOptions(o);
    a.MouseActions().DisjunctRowSelect = Has(s, bDisjunct);
    TDragDropSettings& dd = a.DragDropSettings();
    dd.OleInsertRows = Has(s, bInsertRows);
    dd.OleRemoveRows = Has(s, bRemoveRows);
    dd.OleDropSource = Has(s, bDropSource);
    dd.OleEntireRows = Chance(25);
    dd.OleCopyAlways = Chance(15);
    a.SetOleDropTarget(Has(s, bDropTarget));
    TNavigation& nav = a.Navigation();
    nav.AllowClipboardAlways = Chance(50);
    nav.AllowClipboardShortCuts = Chance(80);
    nav.AllowInsertRow = Chance(50);
    nav.AllowDeleteRow = Chance(50);
    nav.AlwaysEdit = Chance(20);
    nav.AdvanceOnEnter = Chance(30);
    a.SetDelimiter(u',');

    b.SetColCount(6);
    b.SetRowCount(7);
    b.SetOptions(b.Options() + TGridOption::goEditing);
    b.SetOleDropTarget(true);

    for (TExtStringGrid* g : {&a, &b}) {
        const QChar kind = g == &a ? u'c' : u'b';
        for (int c = 1; c < g->ColCount(); ++c) {
            const QString h = Token(u'h');
            Known(h);
            g->SetCells(c, 0, h);
        }
        for (int r = 1; r < g->RowCount(); ++r)
            for (int c = 1; c < g->ColCount(); ++c) {
                if (Chance(20)) continue;
                const QString t = Token(kind);
                Known(t);
                g->SetCells(c, r, t);
            }
        NameNewRows(*g, u'R');
    }
    a.show();
    QApplication::setActiveWindow(&a);
    a.setFocus();
    (void)QTest::qWaitForWindowActive(&a);
    a.FocusCell(a.FixedCols(), a.FixedRows());
    if (a.InplaceEditor()) m_watch.Watch(a.InplaceEditor());
}

// Rows without an identity, or with a copy of an earlier row's, get one.
void TRunner::NameNewRows(TExtStringGrid& g, QChar kind)
{
    std::set<QString> seen;
    for (int r = g.FixedRows(); r < g.RowCount(); ++r) {
        if (!g.Cells(0, r).isEmpty() && seen.insert(g.Cells(0, r)).second) continue;
        const QString id = Token(kind);
        Known(id);
        g.SetCells(0, r, id);
    }
}

QWidget* TRunner::Focus()
{
    QWidget* f = QApplication::focusWidget();
    if (!f || (f != &a && !a.isAncestorOf(f))) {
        a.setFocus();
        f = &a;
    }
    return f;
}

void TRunner::Key(Qt::Key key, Qt::KeyboardModifiers mods)
{
    QTest::keyPress(Focus(), key, mods);
    QTest::keyRelease(Focus(), key, mods);
}

QString TRunner::Block(QChar kind, int lines, int fields, QStringList* texts)
{
    QStringList rows;
    for (int l = 0; l < lines; ++l) {
        QStringList f;
        for (int i = 0; i < fields; ++i) {
            const QString t = Token(kind);
            Known(t);
            f << t;
            if (texts) *texts << t;
        }
        rows << f.join(u'\t');
    }
    return rows.join(QStringLiteral("\r\n"));
}

void TRunner::ObserveEditor()
{
    if (a.InplaceEditor()) m_watch.Watch(a.InplaceEditor());
    if (QLineEdit* e = m_watch.OpenEditor()) {
        Typed(e->text());
        for (auto& s : m_watch.sessions)
            if (s.open) s.text = e->text();
    }
}

// ----- steps

QString TRunner::StepType(TExpect&)
{
    const QString token = Token(u't');
    for (const QChar ch : token) {
        QWidget* f = Focus();
        QTest::keyClick(f, ch.toLatin1());
        ObserveEditor();
    }
    return QStringLiteral("type %1").arg(token);
}

QString TRunner::StepKey(TExpect& e)
{
    struct K {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        const char* name;
    };
    static const K keys[] = {
        {Qt::Key_Return, Qt::NoModifier, "Enter"},
        {Qt::Key_Escape, Qt::NoModifier, "Esc"},
        {Qt::Key_Tab, Qt::NoModifier, "Tab"},
        {Qt::Key_Backtab, Qt::ShiftModifier, "Shift+Tab"},
        {Qt::Key_Left, Qt::NoModifier, "Left"},
        {Qt::Key_Right, Qt::NoModifier, "Right"},
        {Qt::Key_Up, Qt::NoModifier, "Up"},
        {Qt::Key_Down, Qt::NoModifier, "Down"},
        {Qt::Key_Down, Qt::ShiftModifier, "Shift+Down"},
        {Qt::Key_Up, Qt::ShiftModifier, "Shift+Up"},
        {Qt::Key_Home, Qt::NoModifier, "Home"},
        {Qt::Key_End, Qt::NoModifier, "End"},
        {Qt::Key_Home, Qt::ControlModifier, "Ctrl+Home"},
        {Qt::Key_End, Qt::ControlModifier, "Ctrl+End"},
        {Qt::Key_PageUp, Qt::NoModifier, "PgUp"},
        {Qt::Key_PageDown, Qt::NoModifier, "PgDn"},
        {Qt::Key_Backspace, Qt::NoModifier, "Backspace"},
        {Qt::Key_Backspace, Qt::ControlModifier, "Ctrl+Backspace"},
        {Qt::Key_Delete, Qt::NoModifier, "Delete"},
        {Qt::Key_Delete, Qt::ControlModifier, "Ctrl+Delete"},
        {Qt::Key_Delete, Qt::ShiftModifier, "Shift+Delete"},
        {Qt::Key_Insert, Qt::NoModifier, "Insert"},
        {Qt::Key_F2, Qt::NoModifier, "F2"},
        {Qt::Key_Space, Qt::NoModifier, "Space"},
        {Qt::Key_Space, Qt::ControlModifier, "Ctrl+Space"},
        {Qt::Key_A, Qt::ControlModifier, "Ctrl+A"},
        {Qt::Key_C, Qt::ControlModifier, "Ctrl+C"},
        {Qt::Key_X, Qt::ControlModifier, "Ctrl+X"},
    };
    const K& k = keys[Pick(0, int(std::size(keys)) - 1)];
    const TShot s = Shoot(a);
    const QString name = QString::fromLatin1(k.name);
    if (k.key == Qt::Key_Escape) e.pending = TPending::Revert;
    if (k.key == Qt::Key_Delete) {
        // A row key: the current row may go, or be emptied.
        e.Rule(s.Id(s.row), TRowRule::MayRemove);
        if (s.row >= 0 && s.row < s.Rows()) e.freeCells.insert({s.Id(s.row), -1});
    }
    if (k.key == Qt::Key_Insert) e.newRowsEmpty = true;
    const bool cuts = (k.key == Qt::Key_X && (k.mods & Qt::ControlModifier)) ||
        (k.key == Qt::Key_Delete && (k.mods & Qt::ShiftModifier));
    // A cut clears the selection (the editor may hand the key back); under
    // DisjunctRowSelect it clears the marked rows whole, their identities
    // in the fixed column too.
    if (cuts)
        for (int r = s.fixedRows; r < s.Rows(); ++r)
            e.Rule(s.Id(r), a.MouseActions().DisjunctRowSelect ? TRowRule::MayRemove : TRowRule::Free);
    // A row key while editing: the edit may be kept or dropped.
    if (k.key == Qt::Key_Insert || k.key == Qt::Key_Delete) e.pending = TPending::CommitOrRevert;
    const bool editorBefore = m_watch.OpenEditor() != nullptr;
    Key(k.key, k.mods);
    ObserveEditor();
    // The arrows and page keys mark rows under DisjunctRowSelect: the
    // current row alone, or with Shift the rows of the selection.
    const bool marking = k.key == Qt::Key_Left || k.key == Qt::Key_Right || k.key == Qt::Key_Up ||
        k.key == Qt::Key_Down || k.key == Qt::Key_PageUp || k.key == Qt::Key_PageDown;
    if (marking && a.MouseActions().DisjunctRowSelect && !editorBefore && !m_watch.OpenEditor() &&
        m_failure.isEmpty()) {
        const TGridRect sel = a.Selection();
        for (int r = a.FixedRows(); r < a.RowCount() - a.FixedFooters(); ++r) {
            const bool want = (k.mods & Qt::ShiftModifier) ? r >= sel.Top && r <= sel.Bottom : r == a.Row();
            if (a.RowSelect(r) != want) {
                m_failure = QStringLiteral("after %1 row %2 is %3 (current row %4, selection rows %5-%6)")
                                .arg(name)
                                .arg(r)
                                .arg(want ? QStringLiteral("not marked") : QStringLiteral("marked"))
                                .arg(a.Row())
                                .arg(sel.Top)
                                .arg(sel.Bottom);
                break;
            }
        }
    }
    return QStringLiteral("key %1").arg(name);
}

QString TRunner::StepClick(TExpect&)
{
    const int col = Pick(0, a.ColCount() - 1);
    const int row = Pick(0, a.RowCount() - 1);
    const QPoint p = Center(a, col, row);
    if (p.x() < 0) return QStringLiteral("click (%1,%2) out of view: nothing").arg(col).arg(row);
    Qt::KeyboardModifiers mods = Qt::NoModifier;
    const int m = Pick(0, 9);
    if (m == 0) mods = Qt::ControlModifier;
    if (m == 1) mods = Qt::ShiftModifier;
    // A click on the open editor goes to the editor, as the user's would.
    QLineEdit* editor = m_watch.OpenEditor();
    const QPoint onEditor = editor ? editor->mapFromGlobal(a.mapToGlobal(p)) : QPoint();
    if (editor && editor->rect().contains(onEditor))
        QTest::mouseClick(editor, Qt::LeftButton, mods, onEditor);
    else
        QTest::mouseClick(&a, Qt::LeftButton, mods, p);
    ObserveEditor();
    return QStringLiteral("click (%1,%2)%3")
        .arg(col)
        .arg(row)
        .arg(mods == Qt::ControlModifier     ? QStringLiteral(" Ctrl")
                 : mods == Qt::ShiftModifier ? QStringLiteral(" Shift")
                                             : QString());
}

QString TRunner::StepDrag(TExpect& e)
{
    // A press on a cell of the selection (mostly), a move past the drag
    // distance, and the drag answered by a drop on A or B.
    const TGridRect sel = a.Selection();
    int col, row;
    if (Chance(75) && sel.Left >= 0 && sel.Top >= 0 && sel.Right < a.ColCount() && sel.Bottom < a.RowCount()) {
        col = Pick(sel.Left, sel.Right);
        row = Pick(sel.Top, sel.Bottom);
    } else {
        col = Pick(0, a.ColCount() - 1);
        row = Pick(0, a.RowCount() - 1);
    }
    const QPoint p = Center(a, col, row);
    if (p.x() < 0) return QStringLiteral("drag from (%1,%2) out of view: nothing").arg(col).arg(row);
    const bool toB = Chance(30);
    const bool copy = Chance(25);
    const int dropCol = Pick(0, (toB ? b.ColCount() : a.ColCount()) - 1);
    const int dropRow = Pick(0, (toB ? b.RowCount() : a.RowCount()) - 1);
    const int endCol = Pick(0, a.ColCount() - 1);
    const int endRow = Pick(0, a.RowCount() - 1);

    QString what;
    bool started = false;
    DragDropTesting::SetDragRunner([&](QDrag& drag, TESGDropSource&) {
        started = true;
        const TShot s = Shoot(a);
        const TGridRect dsel = a.Selection();
        const bool disjunct = a.MouseActions().DisjunctRowSelect;
        const bool rowSelect = a.Options().Contains(TGridOption::goRowSelect);
        const TDragDropSettings dd = a.DragDropSettings();
        std::vector<int> marked;
        for (int r = s.fixedRows; r < s.Rows(); ++r)
            if (a.RowSelect(r)) marked.push_back(r);
        std::vector<int> textRows, selRows;
        for (int r = dsel.Top; r <= dsel.Bottom && r < s.Rows(); ++r) selRows.push_back(r);
        textRows = disjunct ? marked : selRows;
        const std::vector<int>& removeRows = disjunct ? marked : selRows;
        const int left = rowSelect && dd.OleEntireRows ? 0 : dsel.Left;
        const int rightCol = rowSelect && dd.OleEntireRows ? s.Cols() - 1 : dsel.Right;

        TExtStringGrid& target = toB ? b : a;
        const QPoint at = Center(target, dropCol, dropRow);
        const Qt::KeyboardModifiers keys = copy ? Qt::ControlModifier : Qt::NoModifier;
        const Qt::DropAction answer = at.x() < 0
            ? Qt::IgnoreAction
            : DropOn(target, at, *drag.mimeData(), dd.OleCopyAlways ? Qt::CopyAction : Qt::CopyAction | Qt::MoveAction,
                     keys);
        what = QStringLiteral("drag sel (%1,%2)-(%3,%4) marks %5 to %6(%7,%8)%9 -> %10")
                   .arg(dsel.Left)
                   .arg(dsel.Top)
                   .arg(dsel.Right)
                   .arg(dsel.Bottom)
                   .arg(int(marked.size()))
                   .arg(QChar(toB ? u'B' : u'A'))
                   .arg(dropCol)
                   .arg(dropRow)
                   .arg(copy ? QStringLiteral(" Ctrl") : QString())
                   .arg(answer == Qt::MoveAction       ? QStringLiteral("move")
                            : answer == Qt::CopyAction ? QStringLiteral("copy")
                                                       : QStringLiteral("refused"));
        if (answer == Qt::IgnoreAction) return answer;
        const int lines = int(textRows.size());
        // Where the text went in A.
        if (!toB) {
            if (!dd.OleInsertRows) TargetRows(e, s, a, dropCol, dropRow, std::max(lines, 1));
            if (rowSelect && dd.OleEntireRows) e.idsMayRepeat = true;
        }
        if (answer != Qt::MoveAction || dd.OleCopyAlways) return answer;
        // What a move takes from the source.
        int lo = s.Rows(), hi = -1;
        for (const std::vector<int>* rows :
             std::initializer_list<const std::vector<int>*>{&selRows, &removeRows, &textRows})
            for (int r : *rows) {
                lo = std::min(lo, r);
                hi = std::max(hi, r);
            }
        const bool overlap = !toB && !dd.OleInsertRows && dropRow <= hi && dropRow + std::max(lines, 1) - 1 >= lo;
        if (rowSelect && dd.OleRemoveRows) {
            const bool ontoItself =
                !toB && !dd.OleInsertRows && lines == 1 && removeRows.size() == 1 && dropRow == removeRows.front();
            if (ontoItself) {
                // A row dropped onto itself stays as it was.
                e.rows.erase(s.Id(dropRow));
                e.Rule(s.Id(dropRow), TRowRule::Same);
            } else if (overlap || (!toB && dd.OleInsertRows) || int(removeRows.size()) >= s.Rows()) {
                // A move of every row leaves one: the grid keeps a row.
                for (int r : removeRows) e.Rule(s.Id(r), TRowRule::MayRemove);
            } else {
                for (int r : removeRows) e.Rule(s.Id(r), TRowRule::Removed);
            }
            if (!toB && dd.OleInsertRows) {
                e.keepRows = true;
                e.keepLeft = std::max(left, s.fixedCols);
                // A drop writes data cells only: the right columns of the
                // rows moved stay behind with their source row.
                e.keepRight = std::min(rightCol, s.Cols() - 1 - s.rightCols);
                for (int r : removeRows) e.movedIds.insert(s.Id(r));
            }
        } else {
            for (int r : selRows) {
                if (overlap)
                    e.FreeRow(s.Id(r));
                else
                    e.Rule(s.Id(r), TRowRule::Cleared, dsel.Left, dsel.Right);
            }
        }
        return answer;
    });
    QTest::mousePress(&a, Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseMove(&a, p + QPoint(0, 6), -1);
    const QPoint end = Center(a, endCol, endRow);
    if (end.x() >= 0) QTest::mouseMove(&a, end, -1);
    QTest::mouseRelease(&a, Qt::LeftButton, Qt::NoModifier, end.x() >= 0 ? end : p + QPoint(0, 6));
    DragDropTesting::SetDragRunner(nullptr);
    ObserveEditor();
    if (!started)
        return QStringLiteral("press (%1,%2), move to (%3,%4), release").arg(col).arg(row).arg(endCol).arg(endRow);
    return QStringLiteral("press (%1,%2): %3").arg(col).arg(row).arg(what);
}

QString TRunner::StepDropText(TExpect& e)
{
    const int lines = Pick(1, 3);
    const int fields = Pick(1, 3);
    const QString text = Block(u'd', lines, fields);
    const int col = Pick(0, a.ColCount() - 1);
    const int row = Pick(0, a.RowCount() - 1);
    const QPoint p = Center(a, col, row);
    if (p.x() < 0) return QStringLiteral("drop text at (%1,%2) out of view: nothing").arg(col).arg(row);
    const bool copy = Chance(30);
    const TShot s = Shoot(a);
    // The rows the block may land in (a paste over them), unless it goes
    // into new rows.
    if (!a.DragDropSettings().OleInsertRows) TargetRows(e, s, a, col, row, lines);
    if (row < s.fixedRows) TargetRows(e, s, a, col, s.fixedRows, lines);
    QMimeData data;
    data.setData(DragFormats::Text(), text.toUtf8());
    const Qt::DropAction answer =
        DropOn(a, p, data, Qt::CopyAction | Qt::MoveAction, copy ? Qt::ControlModifier : Qt::NoModifier);
    ObserveEditor();
    return QStringLiteral("drop text %1 at (%2,%3)%4 -> %5")
        .arg(Visible(text))
        .arg(col)
        .arg(row)
        .arg(copy ? QStringLiteral(" Ctrl") : QString())
        .arg(answer == Qt::IgnoreAction ? QStringLiteral("refused") : QStringLiteral("taken"));
}

QString TRunner::StepDropFile(TExpect& e)
{
    // A delimited file: plain fields, quoted fields holding the delimiter,
    // a doubled quote or a bare line feed.
    const int lines = Pick(1, 5);
    const int fields = Pick(1, 6);
    const bool crlf = Chance(50);
    QString content;
    for (int l = 0; l < lines; ++l) {
        QStringList f;
        for (int i = 0; i < fields; ++i) {
            const int kind = Pick(0, 9);
            if (kind == 0) {
                // The import keeps the line feed as a line break, CR LF.
                const QString t = Token(u'f') + QChar(u'\n') + Token(u'f');
                Known(t);
                Known(QString(t).replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
                f << QStringLiteral("\"") + t + QStringLiteral("\"");
            } else if (kind == 1) {
                const QString t = Token(u'f') + QChar(u',') + Token(u'f');
                Known(t);
                f << QStringLiteral("\"") + t + QStringLiteral("\"");
            } else if (kind == 2) {
                const QString t = Token(u'f') + QChar(u'"') + Token(u'f');
                Known(t);
                f << QStringLiteral("\"") + QString(t).replace(u'"', QStringLiteral("\"\"")) + QStringLiteral("\"");
            } else {
                const QString t = Token(u'f');
                Known(t);
                f << t;
            }
        }
        content += f.join(u',') + (crlf ? QStringLiteral("\r\n") : QStringLiteral("\n"));
    }
    const QString name = m_dir.filePath(QStringLiteral("drop%1.csv").arg(++m_files));
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly)) return QStringLiteral("drop file: cannot write %1").arg(name);
    file.write(content.toUtf8());
    file.close();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(name)});
    e.anything = true;
    const int col = Pick(0, a.ColCount() - 1);
    const int row = Pick(0, a.RowCount() - 1);
    const QPoint p = Center(a, col, row);
    if (p.x() < 0) return QStringLiteral("drop file at (%1,%2) out of view: nothing").arg(col).arg(row);
    const Qt::DropAction answer = DropOn(a, p, data, Qt::CopyAction | Qt::MoveAction, Qt::NoModifier);
    ObserveEditor();
    return QStringLiteral("drop file %1 at (%2,%3) -> %4")
        .arg(Visible(content))
        .arg(col)
        .arg(row)
        .arg(answer == Qt::IgnoreAction ? QStringLiteral("refused") : QStringLiteral("taken"));
}

QString TRunner::StepPaste(TExpect& e)
{
    const bool editing = m_watch.OpenEditor() != nullptr;
    // An editor takes the clipboard into its own text: one field only.
    const QString text = editing ? Block(u'p', 1, 1) : Block(u'p', Pick(1, 3), Pick(1, 3));
    QGuiApplication::clipboard()->setText(text);
    // Pasted blocks may land anywhere from the current cell on; a pasted
    // cell stream lands at its own top-left.
    const TShot s = Shoot(a);
    for (int r = s.fixedRows; r < s.Rows(); ++r) e.FreeRow(s.Id(r));
    const bool shiftInsert = Chance(30);
    if (shiftInsert)
        Key(Qt::Key_Insert, Qt::ShiftModifier);
    else
        Key(Qt::Key_V, Qt::ControlModifier);
    ObserveEditor();
    return QStringLiteral("paste %1 with %2")
        .arg(Visible(text), shiftInsert ? QStringLiteral("Shift+Insert") : QStringLiteral("Ctrl+V"));
}

QString TRunner::StepProgram(TExpect& e)
{
    e.pending = TPending::CommitOrRevert;
    const TShot s = Shoot(a);
    const int first = s.fixedRows;
    const int last = s.Rows() - s.footers - 1; // last data row
    const int dataRows = last - first + 1;
    switch (Pick(0, 4)) {
    case 0: {
        if (dataRows < 2) return QStringLiteral("RemoveRows: too few rows, nothing");
        const int at = Pick(first, last);
        const int n = Pick(1, std::min(2, last - at + 1));
        if (n >= dataRows) return QStringLiteral("RemoveRows: would empty the grid, nothing");
        for (int r = at; r < at + n; ++r) e.Rule(s.Id(r), TRowRule::Removed);
        m_doing = QStringLiteral("RemoveRows(%1, %2)").arg(at).arg(n);
        a.RemoveRows(at, n);
        ObserveEditor();
        return QStringLiteral("RemoveRows(%1, %2)").arg(at).arg(n);
    }
    case 1: {
        if (s.Rows() > 11) return QStringLiteral("InsertRows: grid full, nothing");
        const int at = Pick(first, last + 1);
        const int n = Pick(1, 2);
        e.newRowsEmpty = true;
        m_doing = QStringLiteral("InsertRows(%1, %2)").arg(at).arg(n);
        a.InsertRows(at, n);
        ObserveEditor();
        return QStringLiteral("InsertRows(%1, %2)").arg(at).arg(n);
    }
    case 2: {
        const int count = Pick(first + s.footers + 1, std::min(12, s.Rows() + 2));
        // Rows cut off at the end; the footer rows stay the footer rows
        // of the grid, whichever rows they are then.
        for (int r = count; r < s.Rows(); ++r) e.Rule(s.Id(r), TRowRule::Removed);
        for (int r = std::max(first, count - s.footers - 2); r < s.Rows(); ++r) e.FreeRow(s.Id(r));
        e.newRowsEmpty = s.footers == 0;
        m_doing = QStringLiteral("SetRowCount(%1)").arg(count);
        a.SetRowCount(count);
        ObserveEditor();
        return QStringLiteral("SetRowCount(%1)").arg(count);
    }
    case 3: {
        // A block of data cells.
        const int lastCol = std::max(s.fixedCols, s.Cols() - s.rightCols - 1);
        const int l = Pick(s.fixedCols, lastCol), r = Pick(l, lastCol);
        const int t = Pick(first, std::max(first, last)), bt = Pick(t, std::max(t, last));
        m_doing = QStringLiteral("SetSelection(%1,%2,%3,%4)").arg(l).arg(t).arg(r).arg(bt);
        a.SetSelection(TGridRect{l, t, r, bt});
        ObserveEditor();
        return QStringLiteral("SetSelection(%1,%2,%3,%4)").arg(l).arg(t).arg(r).arg(bt);
    }
    default: {
        const int f = a.FixedFooters() ? 0 : 1;
        if (f && s.Rows() - s.fixedRows < 2) return QStringLiteral("SetFixedFooters: too few rows, nothing");
        m_doing = QStringLiteral("SetFixedFooters(%1)").arg(f);
        a.SetFixedFooters(f);
        ObserveEditor();
        return QStringLiteral("SetFixedFooters(%1)").arg(f);
    }
    }
}

// ----- checks

QString TRunner::CheckProvenance(const TShot& s, const char* grid)
{
    for (int r = 0; r < s.Rows(); ++r)
        for (int c = 0; c < s.Cols(); ++c) {
            const QString& t = s.cells[size_t(r)][c];
            if (t.isEmpty() || m_known.count(t)) continue;
            return QStringLiteral("%1 cell (%2,%3) holds %4, a text nothing put there")
                .arg(QString::fromLatin1(grid))
                .arg(c)
                .arg(r)
                .arg(Visible(t));
        }
    return QString();
}

QString TRunner::Check(const TShot& before, const TShot& after, const TExpect& e, const TShot& bBefore)
{
    if (!m_failure.isEmpty()) return m_failure;
    QString fail = CheckProvenance(after, "A");
    if (fail.isEmpty()) fail = CheckProvenance(Shoot(b), "B");
    (void)bBefore;
    if (!fail.isEmpty()) return fail;

    // The current cell among the data cells.
    const int lastRow = after.Rows() - after.footers - 1;
    const int lastCol = after.Cols() - after.rightCols - 1;
    if (lastRow >= after.fixedRows && lastCol >= after.fixedCols &&
        (after.row < after.fixedRows || after.row > lastRow || after.col < after.fixedCols || after.col > lastCol))
        return QStringLiteral("the current cell (%1,%2) is outside the data cells (%3,%4)-(%5,%6)")
            .arg(after.col)
            .arg(after.row)
            .arg(after.fixedCols)
            .arg(after.fixedRows)
            .arg(lastCol)
            .arg(lastRow);

    // No row doubled: every identity once.
    std::set<QString> ids;
    for (int r = after.fixedRows; r < after.Rows(); ++r) {
        const QString id = after.Id(r);
        if (id.isEmpty()) continue;
        if (!ids.insert(id).second && !e.idsMayRepeat)
            return QStringLiteral("row %1 (%2) appears twice").arg(r).arg(id);
    }
    if (e.anything) return QString();

    // The editor sessions that ended in this step, and where their text
    // went.
    std::set<std::pair<QString, int>> editedCells;
    for (const TSession& s : m_watch.sessions) {
        if (s.open || s.closedAt != m_step || s.text == s.original || s.id.isEmpty()) continue;
        editedCells.insert({s.id, s.col});
        const int r = after.RowOfId(s.id);
        const bool covered = e.freeCells.count({s.id, s.col}) || e.freeCells.count({s.id, -1}) ||
            (e.rows.count(s.id) && e.rows.at(s.id).kind != TRowRule::Same);
        if (r >= 0 && !covered) {
            const QString v = after.Cell(s.col, r);
            const bool ok = e.pending == TPending::Commit ? v == s.text
                : e.pending == TPending::Revert           ? v == s.original
                                                          : (v == s.text || v == s.original);
            if (!ok)
                return QStringLiteral("the edit of cell %1 of row %2 (%3 -> %4) ended, but the cell holds %5")
                    .arg(s.col)
                    .arg(s.id)
                    .arg(Visible(s.original), Visible(s.text), Visible(v));
        }
        // The typed text appears nowhere else.
        if (!s.text.isEmpty() && !before.HasText(s.text))
            for (int rr = 0; rr < after.Rows(); ++rr)
                for (int c = 0; c < after.Cols(); ++c)
                    if (after.Cell(c, rr) == s.text && !(rr == r && c == s.col))
                        return QStringLiteral("the edit of cell %1 of row %2 (%3) landed in cell (%4,%5) of row %6")
                            .arg(s.col)
                            .arg(s.id)
                            .arg(Visible(s.text))
                            .arg(c)
                            .arg(rr)
                            .arg(after.Id(rr));
    }

    // The rows that were there: gone only where allowed, in their order,
    // their cells as the step may have left them.
    int lastAt = -1;
    for (int r = before.fixedRows; r < before.Rows(); ++r) {
        const QString id = before.Id(r);
        if (id.isEmpty()) continue;
        const auto it = e.rows.find(id);
        const TRowRule rule = it == e.rows.end() ? TRowRule{} : it->second;
        const int at = after.RowOfId(id);
        if (at < 0) {
            if (rule.kind == TRowRule::Removed || rule.kind == TRowRule::MayRemove) continue;
            if (e.movedIds.count(id)) continue;
            return QStringLiteral("row %1 (%2) is gone").arg(r).arg(id);
        }
        // Whole rows dropped write their fixed column too (the grid copies
        // whole rows with OleEntireRows): a moved row's identity shows again
        // where the drop wrote it, after its own row went.
        if (rule.kind == TRowRule::Removed && e.idsMayRepeat && after.Rows() < before.Rows()) continue;
        if (rule.kind == TRowRule::Removed && !e.movedIds.count(id))
            return QStringLiteral("row %1 (%2) should have been removed; it is row %3").arg(r).arg(id).arg(at);
        // A moved row whose fixed column went along keeps its identity in
        // its new place.
        if (e.movedIds.count(id)) continue;
        if (at < lastAt)
            return QStringLiteral("row %1 (%2) moved before another row (now row %3)").arg(r).arg(id).arg(at);
        lastAt = at;
        if (rule.kind == TRowRule::Free || rule.kind == TRowRule::MayRemove || e.freeCells.count({id, -1})) continue;
        for (int c = 1; c < std::max(before.Cols(), after.Cols()); ++c) {
            if (editedCells.count({id, c}) || e.freeCells.count({id, c})) continue;
            const QString was = before.Cell(c, r);
            const QString now = after.Cell(c, at);
            if (rule.kind == TRowRule::Cleared && c >= rule.left && c <= rule.right) {
                if (!now.isEmpty())
                    return QStringLiteral("cell %1 of dragged-out row %2 (%3) should be empty, holds %4")
                        .arg(c)
                        .arg(r)
                        .arg(id, Visible(now));
                continue;
            }
            if (was != now)
                return QStringLiteral("cell %1 of row %2 (%3, now row %4) changed from %5 to %6")
                    .arg(c)
                    .arg(r)
                    .arg(id)
                    .arg(at)
                    .arg(Visible(was), Visible(now));
        }
    }

    // Rows the step added.
    std::set<QString> oldIds;
    for (int r = before.fixedRows; r < before.Rows(); ++r) oldIds.insert(before.Id(r));
    if (e.newRowsEmpty)
        for (int r = after.fixedRows; r < after.Rows(); ++r) {
            if (oldIds.count(after.Id(r))) continue;
            for (int c = 1; c < after.Cols(); ++c)
                if (!after.Cell(c, r).isEmpty())
                    return QStringLiteral("new row %1 holds %2 in column %3")
                        .arg(r)
                        .arg(Visible(after.Cell(c, r)))
                        .arg(c);
        }

    // A move of rows keeps every row once.
    if (e.keepRows) {
        const auto tuples = [&](const TShot& s) {
            std::multiset<QStringList> out;
            for (int r = s.fixedRows; r < s.Rows(); ++r) {
                QStringList t;
                for (int c = e.keepLeft; c <= e.keepRight; ++c) t << s.Cell(c, r);
                out.insert(t);
            }
            return out;
        };
        const auto was = tuples(before);
        const auto now = tuples(after);
        if (was != now) {
            QStringList lost, gained;
            for (const auto& t : was)
                if (was.count(t) > now.count(t)) lost << t.join(u' ');
            for (const auto& t : now)
                if (now.count(t) > was.count(t)) gained << t.join(u' ');
            return QStringLiteral("the row move lost or doubled rows: lost [%1], gained [%2]")
                .arg(lost.join(QStringLiteral("; ")), gained.join(QStringLiteral("; ")));
        }
        int gone = 0;
        for (const QString& id : e.movedIds)
            if (after.RowOfId(id) < 0) ++gone;
        if (gone != 0 && gone != int(e.movedIds.size()))
            return QStringLiteral("of %1 moved rows %2 went away").arg(int(e.movedIds.size())).arg(gone);
    }
    return QString();
}

TRunResult TRunner::Run(int steps)
{
    TRunResult result;
    Setup();
    QStringList log;
    log << QStringLiteral("seed %1: %2, %3x%4 grid")
               .arg(m_seed)
               .arg(DescribeOptions(m_seed))
               .arg(a.ColCount())
               .arg(a.RowCount());
    const TDragDropSettings& dd = a.DragDropSettings();
    const TNavigation& nav = a.Navigation();
    log << QStringLiteral(
               "  also: OleEntireRows=%1 OleCopyAlways=%2 goRangeSelect=%3 goTabs=%4 AllowClipboardAlways=%5 "
               "AllowClipboardShortCuts=%6 AllowInsertRow=%7 AllowDeleteRow=%8 AlwaysEdit=%9 AdvanceOnEnter=%10 "
               "FixedRightCols=%11")
               .arg(int(dd.OleEntireRows))
               .arg(int(dd.OleCopyAlways))
               .arg(int(a.Options().Contains(TGridOption::goRangeSelect)))
               .arg(int(a.Options().Contains(TGridOption::goTabs)))
               .arg(int(nav.AllowClipboardAlways))
               .arg(int(nav.AllowClipboardShortCuts))
               .arg(int(nav.AllowInsertRow))
               .arg(int(nav.AllowDeleteRow))
               .arg(int(nav.AlwaysEdit))
               .arg(int(nav.AdvanceOnEnter))
               .arg(a.FixedRightCols());
    TShot start = Shoot(a);
    log << Dump(start);
    for (m_step = 1; m_step <= steps; ++m_step) {
        m_watch.step = m_step;
        const TShot before = Shoot(a);
        const TShot bBefore = Shoot(b);
        TExpect e;
        QString did;
        m_doing.clear();
        const int w = Pick(0, 99);
        // A grid error out of a step is a failure of its own; the grid
        // stays usable for the checks.
        try {
            if (w < 22)
                did = StepType(e);
            else if (w < 50)
                did = StepKey(e);
            else if (w < 60)
                did = StepClick(e);
            else if (w < 74)
                did = StepDrag(e);
            else if (w < 84)
                did = StepDropText(e);
            else if (w < 86)
                did = StepDropFile(e);
            else if (w < 91)
                did = StepPaste(e);
            else
                did = StepProgram(e);
        } catch (const Exception& x) {
            if (m_failure.isEmpty()) m_failure = QStringLiteral("the step raised %1").arg(Visible(x.Message()));
            if (did.isEmpty()) did = m_doing + QStringLiteral(" (raised)");
        }
        if (m_trace) m_trace(QStringLiteral("%1. %2\n%3").arg(m_step).arg(did, Dump(Shoot(a))));
        if (m_tamper) m_tamper(a, m_step);
        const TShot after = Shoot(a);
        log << QStringLiteral("  %1. %2").arg(m_step).arg(did);
        const QString fail = Check(before, after, e, bBefore);
        result.steps = m_step;
        if (!fail.isEmpty()) {
            result.ok = false;
            log << QStringLiteral("  FAILED after step %1: %2").arg(m_step).arg(fail);
            log << QStringLiteral("  before:") << Dump(before) << QStringLiteral("  after:") << Dump(after);
            result.report = log.join(u'\n');
            break;
        }
        // Rows the step added get their identities; an editor that opened
        // on such a row now knows its row.
        NameNewRows(a, u'R');
        NameNewRows(b, u'S');
        for (TSession& s : m_watch.sessions)
            if (s.open && s.id.isEmpty() && a.Row() >= a.FixedRows()) s.id = a.Cells(0, a.Row());
        // An editor the grid moved to another cell edits that cell now, as
        // the user sees it. One that stayed where it was edits its row
        // still, whichever row the grid now shows under it.
        if (QLineEdit* editor = m_watch.OpenEditor()) {
            const QPoint mid = editor->mapTo(&a, editor->rect().center());
            int col = -1, row = -1;
            a.MouseToCell(mid.x(), mid.y(), col, row);
            const bool moved = editor->geometry() != m_editorPlace;
            m_editorPlace = editor->geometry();
            for (TSession& s : m_watch.sessions) {
                if (!s.open || !moved || col < 0 || row < a.FixedRows()) continue;
                s.col = col;
                s.id = a.Cells(0, row);
                s.original = a.Cells(col, row);
            }
        } else {
            m_editorPlace = QRect();
        }
        // Only the open session matters for the steps to come.
        std::erase_if(m_watch.sessions, [](const TSession& s) { return !s.open; });
    }
    if (result.ok) result.report = log.join(u'\n');
    if (a.InplaceEditor()) a.HideEditor();
    return result;
}

} // namespace

QString DescribeOptions(quint64 seed)
{
    QStringList on;
    for (int i = 0; i < kOptionBits; ++i)
        if ((seed >> i) & 1u) on << QString::fromLatin1(kBitNames[i]);
    return on.isEmpty() ? QStringLiteral("(no options)") : on.join(u' ');
}

TRunResult Run(quint64 seed, int steps, const TTamper& tamper, const TTrace& trace)
{
    TRunner runner(seed, tamper, trace);
    return runner.Run(steps);
}

} // namespace GridSequences
