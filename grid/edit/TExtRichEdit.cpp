#include "grid/edit/TExtRichEdit.h"

#include "grid/TExtStringGrid.h"
#include "platform/kernel/Application.h"
#include "platform/kernel/VirtualKeys.h"
#include "platform/text/RtfReader.h"
#include "platform/text/RtfWriter.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

Qt::Alignment ToQt(TRtfAlignment alignment)
{
    switch (alignment) {
    case TRtfAlignment::Right: return Qt::AlignRight;
    case TRtfAlignment::Center: return Qt::AlignHCenter;
    case TRtfAlignment::Justify: return Qt::AlignJustify;
    case TRtfAlignment::Left: break;
    }
    return Qt::AlignLeft;
}

TRtfAlignment FromQt(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignJustify) return TRtfAlignment::Justify;
    if (alignment & Qt::AlignHCenter) return TRtfAlignment::Center;
    if (alignment & (Qt::AlignRight | Qt::AlignTrailing)) return TRtfAlignment::Right;
    return TRtfAlignment::Left;
}

} // namespace

TExtRichEdit::TExtRichEdit(TExtStringGrid* grid) : QTextEdit(grid), m_grid(grid)
{
    setObjectName(QStringLiteral("ExtRichEdit"));
    setFrameShape(QFrame::NoFrame);
    setAcceptRichText(false); // pasted text is plain: formats come from the cell only
    setTabChangesFocus(false);
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            [this](const QSizeF&) { GuardedCall(this, [this] { RequestResize(); }); });
    // A moved caret is a new (empty) selection too.
    connect(this, &QTextEdit::cursorPositionChanged, this, [this] { GuardedCall(this, [this] { SelectionMoved(); }); });
    connect(this, &QTextEdit::selectionChanged, this, [this] { GuardedCall(this, [this] { SelectionMoved(); }); });
}

void TExtRichEdit::SelectionMoved()
{
    const QTextCursor c = textCursor();
    const std::pair<int, int> now{c.anchor(), c.position()};
    if (now == m_selection) return;
    m_selection = now;
    // Not while the grid loads a cell into the editor.
    if (!SizingLock && m_grid->OnRichEditSelectionChange) m_grid->OnRichEditSelectionChange(m_grid);
}

TExtRichEdit::~TExtRichEdit() = default;

void TExtRichEdit::LoadRichText(const QString& rtf)
{
    if (rtf.isEmpty()) {
        clear();
        return;
    }
    try {
        SetDocument(TRtfReader::Read(rtf.toLatin1()));
    } catch (const ERtfError&) {
        setPlainText(rtf);
    }
}

QString TExtRichEdit::SaveRichText() const
{
    if (document()->isEmpty()) return QString();
    return QString::fromLatin1(TRtfWriter::Write(Document(), m_grid->Font().Name()));
}

TRtfDocument TExtRichEdit::Document() const
{
    TRtfDocument doc;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        TRtfParagraph p;
        p.Alignment = FromQt(block.blockFormat().alignment());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.isValid()) continue;
            const QTextCharFormat cf = f.charFormat();
            TRtfRun run;
            run.Text = f.text();
            run.Text.replace(QChar::LineSeparator, u'\n');
            run.Bold = cf.fontWeight() >= QFont::Bold;
            run.Italic = cf.fontItalic();
            run.Underline = cf.fontUnderline();
            const double points = cf.fontPointSize();
            run.HalfPoints = points > 0 ? int(points * 2 + 0.5) : 24;
            if (cf.hasProperty(QTextFormat::ForegroundBrush)) run.Color = int(cf.foreground().color().rgb() & 0xFFFFFF);
            p.Runs.append(run);
        }
        doc.Paragraphs.append(p);
    }
    return doc;
}

void TExtRichEdit::SetDocument(const TRtfDocument& doc)
{
    clear();
    QTextCursor cursor(document());
    for (qsizetype i = 0; i < doc.Paragraphs.size(); ++i) {
        QTextBlockFormat bf;
        bf.setAlignment(ToQt(doc.Paragraphs[i].Alignment));
        if (i > 0)
            cursor.insertBlock(bf);
        else
            cursor.setBlockFormat(bf);
        for (const TRtfRun& run : doc.Paragraphs[i].Runs) {
            QTextCharFormat cf;
            cf.setFontWeight(run.Bold ? QFont::Bold : QFont::Normal);
            cf.setFontItalic(run.Italic);
            cf.setFontUnderline(run.Underline);
            cf.setFontPointSize(run.HalfPoints / 2.0);
            if (run.Color >= 0) cf.setForeground(QColor::fromRgb(QRgb(0xFF000000u | unsigned(run.Color))));
            cursor.insertText(run.Text, cf);
        }
    }
}

bool TExtRichEdit::HandsBack(int key, TShiftState shift) const
{
    if (key == Win::VK_TAB || key == Win::VK_ESCAPE) return true;
    // Up and Down stay in the text while the cells hold several lines.
    const bool lines = m_grid->WordWrap() || m_grid->Multilinecells();
    const bool plain = !shift.Contains(TShiftStateItem::ssCtrl) && !shift.Contains(TShiftStateItem::ssAlt);
    return (key == Win::VK_UP || key == Win::VK_DOWN) && !lines && plain;
}

void TExtRichEdit::keyPressEvent(QKeyEvent* event)
{
    int key = VirtualKeyFromQt(event->key(), event->modifiers());
    if (TEditorKeyProtocol::KeyDown(*m_grid, *this, key, ShiftStateFromQt(event->modifiers()))) {
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void TExtRichEdit::focusOutEvent(QFocusEvent* event)
{
    QTextEdit::focusOutEvent(event);
    // A menu of the editor's own or another window keeps the edit open.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason) return;
    if (isVisible() && m_grid->EditInProgress() && m_grid->CurrentEditorType() == edRichEdit)
        m_grid->CloseEditorControl();
}

void TExtRichEdit::RequestResize()
{
    const QSizeF size = document()->size();
    ReqWidth = int(size.width() + 0.5);
    ReqHeight = int(size.height() + 0.5);
    if (SizingLock || !isVisible() || !m_grid->SizeWhileTyping().Height) return;
    const int row = m_grid->Row();
    if (ReqHeight <= m_grid->RowHeights(row)) return;
    const TRect cell = m_grid->CellRect(m_grid->Col(), row);
    if (cell.Top + ReqHeight >= m_grid->ClientHeight()) return;
    resize(width(), ReqHeight + 4);
    m_grid->SetRowHeights(row, ReqHeight + 5);
    if (m_grid->OnEndRowSize) m_grid->OnEndRowSize(m_grid, row);
}
