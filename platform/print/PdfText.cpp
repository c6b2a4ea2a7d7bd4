#include "platform/print/PdfText_p.h"

#include "platform/print/PdfFont_p.h"

#include <QGlyphRun>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace {

bool SameGlyph(const PdfTextLayout::Glyph& a, const PdfTextLayout::Glyph& b)
{
    return a.Face == b.Face && a.Id == b.Id && std::fabs(a.X - b.X) < 1e-3 && std::fabs(a.Y - b.Y) < 1e-3;
}

QString Reversed(QStringView s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = s.size(); i > 0;) {
        --i;
        if (s[i].isLowSurrogate() && i > 0 && s[i - 1].isHighSurrogate()) {
            out += s[i - 1];
            out += s[i];
            --i;
        } else {
            out += s[i];
        }
    }
    return out;
}

} // namespace

double PdfTextLayout::Lay(const PdfFonts::TextFont& font, const QString& text)
{
    double advance = 0;
    if (Plain(font, text, advance)) return advance;
    return Shape(font, text);
}

bool PdfTextLayout::Plain(const PdfFonts::TextFont& font, const QString& text, double& advance)
{
    // Latin letters, digits and punctuation (no controls, no soft hyphen),
    // each with a glyph of the face: shaping only kerns them.
    PdfFont* face = font.Face;
    const qsizetype n = text.size();
    if (!face || !face->LatinIsGlyphForCharacter() || n == 0 || n > 0x7FFF) return false;
    const QChar* chars = text.constData();
    int letters = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = chars[i].unicode();
        if (u < 0x20 || u >= 0x300 || (u >= 0x7F && u < 0xA0) || u == 0xAD) return false;
        letters += u < 0x80 ? unsigned((u | 0x20) - 'a') < 26u : QChar::direction(char32_t(u)) == QChar::DirL;
    }
    if (m_ids.size() < size_t(n)) {
        m_ids.resize(size_t(n));
        m_advances.resize(size_t(n));
    }
    int count = int(n);
    if (!font.Raw.glyphIndexesForChars(chars, int(n), m_ids.data(), &count) || count != int(n)) return false;
    for (int i = 0; i < count; ++i)
        if (m_ids[size_t(i)] == 0 || m_ids[size_t(i)] > 0xFFFF) return false;
    if (!font.Raw.advancesForGlyphIndexes(m_ids.data(), m_advances.data(), count, QRawFont::KernedAdvances))
        return false;
    m_glyphs.clear();
    m_clusters.clear();
    m_rightToLeft = false;
    m_leaning = letters;
    double x = 0;
    for (int i = 0; i < count; ++i) {
        const quint16 id = quint16(m_ids[size_t(i)]);
        m_glyphs.push_back(Glyph{face, id, -1, x, 0});
        m_clusters.push_back(Cluster{i, 1, i, 1, !face->Use(id, QStringView(chars + i, 1))});
        x += m_advances[size_t(i)].x();
    }
    advance = x;
    return true;
}

QString PdfTextLayout::Characters(const Cluster& cluster, const QString& text)
{
    return text.mid(cluster.From, cluster.Length);
}

namespace {

// 1 for a left-to-right letter, -1 for a right-to-left one, else 0.
int Strong(char32_t c)
{
    const QChar::Direction d = QChar::direction(c);
    return d == QChar::DirL ? 1 : d == QChar::DirR || d == QChar::DirAL ? -1 : 0;
}

enum class Reading { LeftToRight, RightToLeft, Neutral };

// The direction of each character of text as readers rebuilding a line's
// order take it: numbers and their separators go with left-to-right text,
// a mark goes with its base.
std::vector<Reading> ReadingsOf(const QList<uint>& chars)
{
    std::vector<Reading> readings(size_t(chars.size()), Reading::Neutral);
    for (qsizetype i = 0; i < chars.size(); ++i) {
        Reading& r = readings[size_t(i)];
        switch (QChar::direction(chars[i])) {
        case QChar::DirL:
        case QChar::DirEN:
        case QChar::DirES:
        case QChar::DirET:
        case QChar::DirCS:
        case QChar::DirAN: r = Reading::LeftToRight; break;
        case QChar::DirR:
        case QChar::DirAL: r = Reading::RightToLeft; break;
        case QChar::DirNSM:
            if (i > 0) r = readings[size_t(i - 1)];
            break;
        default: break;
        }
    }
    return readings;
}

} // namespace

QString PdfTextLayout::ReaderText(const QString& text, bool rightToLeftPage)
{
    const QList<uint> chars = text.toUcs4();
    const std::vector<Reading> readings = ReadingsOf(chars);
    const qsizetype n = chars.size();
    const auto at = [&](qsizetype i) { return readings[size_t(i)]; };
    const auto add = [&](QString& out, qsizetype from, qsizetype to, bool back) {
        const QString piece = QString::fromUcs4(reinterpret_cast<const char32_t*>(chars.constData()) + from, to - from);
        out += back ? Reversed(piece) : piece;
    };
    // A run of one direction: from i to the last character of it before
    // the next character of the other direction.
    const auto runEnd = [&](qsizetype i, Reading kind, Reading other) {
        qsizetype last = i;
        for (qsizetype k = i; k < n && at(k) != other; ++k)
            if (at(k) == kind) last = k;
        return last + 1;
    };
    QString out;
    out.reserve(text.size() + 8);
    if (!rightToLeftPage) {
        for (qsizetype i = 0; i < n;) {
            if (at(i) != Reading::RightToLeft) {
                add(out, i, i + 1, false);
                ++i;
                continue;
            }
            const qsizetype end = runEnd(i, Reading::RightToLeft, Reading::LeftToRight);
            // A reader turns a run round from its first right-to-left
            // letter: marks ending the run, first once it is turned, go
            // with it behind a right-to-left mark.
            if (Strong(chars[end - 1]) >= 0) out += QChar(0x200F);
            add(out, i, end, true);
            if (end >= n || at(end) != Reading::LeftToRight) out += QChar(0x200E);
            i = end;
        }
        return out;
    }
    // Pieces in order, then written last first.
    std::vector<QString> pieces;
    for (qsizetype i = 0; i < n;) {
        QString piece;
        if (at(i) != Reading::LeftToRight) {
            add(piece, i, i + 1, false);
            ++i;
        } else {
            const qsizetype end = runEnd(i, Reading::LeftToRight, Reading::RightToLeft);
            if (end >= n || at(end) != Reading::RightToLeft) piece += QChar(0x200F);
            add(piece, i, end, false);
            i = end;
        }
        pieces.push_back(std::move(piece));
    }
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) out += *it;
    return out;
}

double PdfTextLayout::Shape(const PdfFonts::TextFont& font, const QString& text)
{
    m_glyphs.clear();
    m_clusters.clear();
    m_rightToLeft = false;
    m_leaning = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const QChar::Direction direction = QChar::direction(c);
        m_leaning += direction == QChar::DirL ? 1 : direction == QChar::DirR || direction == QChar::DirAL ? -1 : 0;
    }
    // Pieces in the order of their characters, each laid out from 0: the
    // first piece of a right-to-left text stands at its right.
    struct Piece {
        size_t Glyphs;
        double Advance;
    };
    std::vector<Piece> pieces;
    double advance = 0;
    for (qsizetype from = 0; from < text.size();) {
        qsizetype length = text.size() - from;
        if (length > MaxPiece) {
            // At a space in the piece's second half, else where no
            // character holds on to the one before.
            length = MaxPiece;
            const qsizetype space = text.lastIndexOf(QLatin1Char(' '), from + MaxPiece - 1);
            if (space > from + MaxPiece / 2)
                length = space + 1 - from;
            else
                while (length > 1 && (text[from + length].isLowSurrogate() || text[from + length].isMark())) --length;
        }
        const size_t glyphs = m_glyphs.size();
        const double pieceAdvance = ShapePiece(font, text, from, length);
        pieces.push_back(Piece{glyphs, pieceAdvance});
        advance += pieceAdvance;
        from += length;
    }
    if (pieces.size() > 1) {
        const bool rightToLeft = text.isRightToLeft();
        double x = rightToLeft ? advance : 0;
        for (size_t k = 0; k < pieces.size(); ++k) {
            const size_t end = k + 1 < pieces.size() ? pieces[k + 1].Glyphs : m_glyphs.size();
            const double left = rightToLeft ? x - pieces[k].Advance : x;
            for (size_t i = pieces[k].Glyphs; i < end; ++i) m_glyphs[i].X += left;
            x = rightToLeft ? left : x + pieces[k].Advance;
        }
    }
    if (m_rightToLeft) KeepOnOneLine(font);
    return advance;
}

double PdfTextLayout::ShapePiece(const PdfFonts::TextFont& font, const QString& whole, qsizetype from,
                                 qsizetype pieceLength)
{
    const QString text = whole.mid(from, pieceLength);
    const size_t firstCluster = m_clusters.size();
    // One line, in the direction the screen's painter takes: that of the
    // whole text's first letter with a direction.
    QTextLayout layout(text, font.Font);
    QTextOption option;
    option.setTextDirection(whole.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return 0;
    }
    line.setNumColumns(int(text.size()));
    layout.endLayout();
    const double baseline = line.y() + line.ascent();

    // The glyphs of each character. Asked for one character, the layout
    // gives the glyphs of its cluster from the first up to its own last:
    // for all but the cluster's last character the first glyph, for the
    // last all of them. A character whose glyphs hold one of the cluster
    // before belongs to it, and the longer list of the two holds the other.
    const int end = line.textStart() + line.textLength();
    for (int i = line.textStart(); i < end;) {
        const int length = text[i].isHighSurrogate() && i + 1 < end && text[i + 1].isLowSurrogate() ? 2 : 1;
        const int first = int(m_glyphs.size());
        bool rightToLeft = false;
        for (const QGlyphRun& run : line.glyphRuns(i, length)) {
            const QRawFont raw = run.rawFont();
            PdfFont* face = m_fonts.Face(raw);
            if (face && !m_raws.contains(face)) m_raws.insert(face, raw);
            rightToLeft |= run.flags().testFlag(QGlyphRun::RightToLeft);
            const QList<quint32> ids = run.glyphIndexes();
            const QList<QPointF> places = run.positions();
            for (qsizetype k = 0; k < ids.size() && k < places.size(); ++k)
                m_glyphs.push_back(Glyph{face, quint16(ids[k]), -1, places[k].x(), places[k].y() - baseline});
        }
        m_rightToLeft |= rightToLeft;
        const int count = int(m_glyphs.size()) - first;
        if (m_clusters.size() > firstCluster) {
            Cluster& last = m_clusters.back();
            // The cluster's first glyph stands at the start or the end of
            // its list (the runs of several faces may come either way).
            const auto inLast = [&](const Glyph& g) {
                const int ends = std::min(last.Count, 4);
                for (int k = 0; k < ends; ++k)
                    if (SameGlyph(g, m_glyphs[size_t(last.First + k)]) ||
                        SameGlyph(g, m_glyphs[size_t(last.First + last.Count - 1 - k)]))
                        return true;
                return false;
            };
            bool joins = count == 0 || last.Count == 0;
            for (int k = first; k < first + count && !joins; ++k) joins = inLast(m_glyphs[size_t(k)]);
            if (joins) {
                // The last cluster's glyphs end the list.
                if (count > last.Count) {
                    std::copy(m_glyphs.begin() + first, m_glyphs.end(), m_glyphs.begin() + last.First);
                    last.Count = count;
                }
                m_glyphs.resize(size_t(last.First + last.Count));
                last.Length += length;
                last.RightToLeft |= rightToLeft;
                i += length;
                continue;
            }
        }
        m_clusters.push_back(Cluster{from + i, length, first, count, false, rightToLeft});
        i += length;
    }

    // What each glyph stands for; a face that cannot be embedded draws the
    // missing glyph of the font's own, and the text tells its characters.
    for (auto it = m_clusters.begin() + qsizetype(firstCluster); it != m_clusters.end(); ++it) {
        Cluster& c = *it;
        const QString chars = Characters(c, whole);
        bool missing = false;
        for (int k = c.First; k < c.First + c.Count; ++k) {
            Glyph& g = m_glyphs[size_t(k)];
            if (!g.Face) {
                g.Face = font.Face;
                g.Id = 0;
            }
            missing |= g.Id == 0;
        }
        if (c.Count == 1 && m_glyphs[size_t(c.First)].Face) {
            const Glyph& g = m_glyphs[size_t(c.First)];
            c.TellsCharacters = !g.Face->Use(g.Id, chars);
            continue;
        }
        c.TellsCharacters = c.Count > 0;
        if (!missing)
            ShareCharacters(c, chars);
        else
            for (int k = c.First; k < c.First + c.Count; ++k)
                if (const Glyph& g = m_glyphs[size_t(k)]; g.Face) g.Face->UseInCluster(g.Id, {});
    }

    // In the order of their characters; characters without a glyph draw
    // nothing.
    const auto piece = m_clusters.begin() + qsizetype(firstCluster);
    m_clusters.erase(std::remove_if(piece, m_clusters.end(), [](const Cluster& c) { return c.Count == 0; }),
                     m_clusters.end());
    return line.horizontalAdvance();
}

void PdfTextLayout::ShareCharacters(Cluster& cluster, const QString& chars)
{
    // The cluster's characters, a code point each.
    struct Point {
        qsizetype At, Length;
        int Glyph = -1;
    };
    std::vector<Point> points;
    for (qsizetype i = 0; i < chars.size();) {
        const qsizetype length =
            chars[i].isHighSurrogate() && i + 1 < chars.size() && chars[i + 1].isLowSurrogate() ? 2 : 1;
        points.push_back(Point{i, length});
        i += length;
    }
    const int count = cluster.Count;
    std::vector<int> firstPoint(size_t(count), -1);
    // A glyph the face maps a character to stands for that character: the
    // characters' glyphs in each face of the cluster, found once.
    std::vector<quint32> mapped(size_t(chars.size()));
    const PdfFont* mappedFace = nullptr;
    for (int k = 0; k < count; ++k) {
        const Glyph& g = m_glyphs[size_t(cluster.First + k)];
        if (g.Face != mappedFace) {
            const auto raw = m_raws.constFind(g.Face);
            int n = int(mapped.size());
            if (raw == m_raws.constEnd() ||
                !raw->glyphIndexesForChars(chars.constData(), int(chars.size()), mapped.data(), &n) ||
                n != int(points.size()))
                std::fill(mapped.begin(), mapped.end(), 0);
            mappedFace = g.Face;
        }
        for (size_t p = 0; p < points.size(); ++p) {
            if (points[p].Glyph < 0 && mapped[p] != 0 && mapped[p] == g.Id) {
                points[p].Glyph = k;
                firstPoint[size_t(k)] = int(p);
                break;
            }
        }
    }
    // The other characters go in their order to the other glyphs, one each,
    // the last such glyph taking those left.
    int last = -1;
    for (int k = 0, p = 0; k < count; ++k) {
        if (firstPoint[size_t(k)] >= 0) continue;
        while (p < int(points.size()) && points[size_t(p)].Glyph >= 0) ++p;
        if (p == int(points.size())) break;
        points[size_t(p)].Glyph = k;
        firstPoint[size_t(k)] = p;
        last = k;
    }
    if (last >= 0)
        for (Point& point : points)
            if (point.Glyph < 0) point.Glyph = last;
    // Each glyph stands for its characters (when it stood for none before).
    // Right to left, the glyphs go in the order of their characters: a
    // reader taking them as they come reads the characters in order (left
    // to right they stay as they stand: a reader placing the characters of
    // a span from its first glyph to the end of its last reads them so).
    std::vector<QString> own(static_cast<size_t>(count));
    for (const Point& point : points)
        if (point.Glyph >= 0) own[size_t(point.Glyph)] += QStringView(chars).mid(point.At, point.Length);
    for (int k = 0; k < count; ++k) {
        const Glyph& g = m_glyphs[size_t(cluster.First + k)];
        if (g.Face) g.Face->UseInCluster(g.Id, own[size_t(k)]);
    }
    if (!cluster.RightToLeft) {
        int previous = -1;
        bool inOrder = true;
        for (int k = 0; k < count; ++k) {
            if (firstPoint[size_t(k)] < 0) continue;
            inOrder &= firstPoint[size_t(k)] > previous;
            previous = firstPoint[size_t(k)];
        }
        if (!inOrder) ReadInOrder(cluster, chars);
        return;
    }
    std::vector<std::pair<int, Glyph>> order;
    order.reserve(size_t(count));
    int key = -1;
    for (int k = 0; k < count; ++k) {
        if (firstPoint[size_t(k)] >= 0) key = firstPoint[size_t(k)];
        order.emplace_back(key, m_glyphs[size_t(cluster.First + k)]);
    }
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (int k = 0; k < count; ++k) m_glyphs[size_t(cluster.First + k)] = order[size_t(k)].second;
}

void PdfTextLayout::ReadInOrder(const Cluster& cluster, const QString& chars)
{
    // A character a glyph, the last glyph taking those left; a vowel sign
    // drawn in two parts goes as its two parts (its canonical
    // decomposition), a part a glyph.
    QList<uint> points = chars.toUcs4();
    if (points.size() < cluster.Count) {
        const QList<uint> parts = chars.normalized(QString::NormalizationForm_D).toUcs4();
        if (parts.size() > points.size()) points = parts;
    }
    const int count = int(std::min<qsizetype>(cluster.Count, points.size()));
    for (int k = 0; k < count; ++k) {
        Glyph& g = m_glyphs[size_t(cluster.First + k)];
        if (!g.Face) continue;
        const qsizetype n = k + 1 == cluster.Count ? points.size() - k : 1;
        g.Code = g.Face->Alias(g.Id, QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData()) + k, n));
    }
}

void PdfTextLayout::KeepOnOneLine(const PdfFonts::TextFont& font)
{
    // A reader taking the glyphs as they come (mupdf) takes each glyph in
    // the direction of the last letter with a direction it read, left to
    // right at first (a glyph first reads its first character); one read
    // as left to right stays on the line while it stands at most 0.8 of the
    // font size from where the glyph before ended (its advance as the
    // font's widths give it), before or after. Measured in layout units,
    // with some room.
    const double reach = 0.75 * font.Size / font.PointsPerUnit;
    const double perWidth = font.Size / 1000 / font.PointsPerUnit;
    bool leftToRight = true, first = true;
    double pen = 0;
    for (Glyph& g : m_glyphs) {
        if (!g.Face) continue;
        const QList<uint> chars = g.Face->Characters(g.Id, g.Code).toUcs4();
        if (!chars.isEmpty() && Strong(chars.front())) leftToRight = Strong(chars.front()) > 0;
        if (!first && leftToRight && std::fabs(g.X - pen) > reach) {
            QString marked(QChar(0x200F));
            marked += QString::fromUcs4(reinterpret_cast<const char32_t*>(chars.constData()), chars.size());
            if (const int code = g.Face->Alias(g.Id, marked); code >= 0) {
                g.Code = code;
                leftToRight = false;
            }
        }
        for (const uint c : chars)
            if (Strong(c)) leftToRight = Strong(c) > 0;
        first = false;
        pen = g.X + g.Face->GlyphWidth(g.Id) * perWidth;
    }
}
