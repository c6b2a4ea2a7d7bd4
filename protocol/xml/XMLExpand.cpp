#include "protocol/xml/XMLExpand_p.h"

#include "protocol/xml/EXMLParserError.h"
#include "protocol/xml/TDocumentType.h"
#include "protocol/xml/TXMLDTDHooks.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/XMLChars.h"
#include "protocol/xml/XMLWideStrings.h"

#include "platform/core/Format.h"

namespace xmlexpand {
namespace {

enum class Ctx { Text, Attribute, Declaration };

// Nesting of expansions through entity content parsed as markup; the DTD
// side guards against recursion itself, this is the last line.
thread_local int t_depth = 0;
constexpr int kMaxDepth = 64;

struct DepthGuard {
    explicit DepthGuard(const QString& name)
    {
        if (t_depth >= kMaxDepth)
            throw EXMLParserError(Format(QStringLiteral("Recursive reference to entity \"%s\"."), {name}));
        ++t_depth;
    }
    ~DepthGuard() { --t_depth; }
};

[[noreturn]] void raiseNoSemicolon(Ctx ctx)
{
    throw EXMLParserError(ctx == Ctx::Attribute ? QStringLiteral("Illegal character in the attribute value '&&'.")
                                                : QStringLiteral("Illegal character in the text value '&&'."));
}

[[noreturn]] void raiseUnparsed(Ctx ctx)
{
    throw EXMLParserError(
        ctx == Ctx::Attribute
            ? QStringLiteral("Reference to an unparsed entity is not allowed in the attribute value.")
            : QStringLiteral("Reference to an unparsed entity is not allowed in the character data."));
}

// The character of a predefined entity name (any case), or 0.
char16_t predefined(QStringView name)
{
    switch (name.size()) {
    case 2:
        if (WideCompareText(name, u"lt") == 0) return u'<';
        if (WideCompareText(name, u"gt") == 0) return u'>';
        break;
    case 3:
        if (WideCompareText(name, u"amp") == 0) return u'&';
        break;
    case 4:
        if (WideCompareText(name, u"apos") == 0) return u'\'';
        if (WideCompareText(name, u"quot") == 0) return u'"';
        break;
    default: break;
    }
    return 0;
}

TDocumentType* docTypeOf(TXMLDocument* document) { return document ? document->getDocType() : nullptr; }

TEncoding encodingOf(TXMLDocument* document) { return document ? document->getEncoding() : UTF_16; }

// Parses a markup entity's text through the DTD side. The list of
// unconvertible characters of the surrounding parse or save is kept; what
// the nested parse lists is added to it.
TXMLDocument* parseContent(TXMLDTDHooks* hooks, TXMLDocument* document, const QString& name, const QString& value)
{
    DepthGuard depth(name);
    TUnconvertedListState outer = SaveUnconvertedList();
    ClearUnconvertedList();
    TXMLDocument* content = nullptr;
    try {
        content = hooks->ParseEntityContent(document, value);
    } catch (...) {
        RestoreUnconvertedList(std::move(outer));
        throw;
    }
    TUnconvertedListState inner = SaveUnconvertedList();
    RestoreUnconvertedList(std::move(outer));
    for (uint32_t c : inner) ListUnconverted(c);
    return content;
}

// The common scanner. pieces is given only for text that may hold markup.
// normalize: attribute values turn tab, CR and LF into spaces (as the
// parser reads them; a value the program sets keeps them). kept, when given,
// receives where in the result each reference to an undeclared entity that
// stayed as written begins (those of a piece go with the piece).
class TExpander {
public:
    TExpander(const QString& value, TXMLDocument* document, Ctx ctx, std::vector<TTextPiece>* pieces, bool normalize,
              std::vector<qsizetype>* kept)
        : m_s(reinterpret_cast<const char16_t*>(value.utf16())),
          m_n(value.size()),
          m_document(document),
          m_ctx(ctx),
          m_pieces(pieces),
          m_normalize(normalize),
          m_kept(kept),
          m_hooks(TXMLDTDHooks::Current()),
          m_docType(m_hooks ? docTypeOf(document) : nullptr)
    {
        m_out.reserve(m_n);
    }

    QString Run();

private:
    // Copies the characters from the last one copied up to upTo.
    void Flush(qsizetype upTo)
    {
        if (upTo > m_run) m_out.append(QStringView(m_s + m_run, upTo - m_run));
    }
    // The reference that begins at i ("&"), resolved into the result; the
    // index of its ";".
    qsizetype Reference(qsizetype i);
    // A reference to a general entity other than the predefined ones, from
    // start to its ";" at semi.
    void GeneralEntity(QStringView name, qsizetype start, qsizetype semi);
    // The replacement text of an entity: parsed into a piece of its own when
    // it holds markup and the text may, else copied.
    void EntityText(QStringView name, const QString& text);
    // Attribute values: "<" is refused; tab, CR, LF and CR LF become one
    // space when normalizing. The index of the last character taken.
    qsizetype AttributeChar(qsizetype i);
    // Declaration values: tab and CR become a space, LF too unless it
    // follows a CR.
    void DeclarationChar(qsizetype i);

    const char16_t* const m_s;
    const qsizetype m_n;
    TXMLDocument* const m_document;
    const Ctx m_ctx;
    std::vector<TTextPiece>* const m_pieces;
    const bool m_normalize;
    std::vector<qsizetype>* const m_kept;
    TXMLDTDHooks* const m_hooks;
    TDocumentType* const m_docType;
    QString m_out;
    qsizetype m_run = 0; // first character not yet copied
};

QString TExpander::Run()
{
    try {
        for (qsizetype i = 0; i < m_n; ++i) {
            if (m_s[i] == u'&')
                i = Reference(i);
            else if (m_ctx == Ctx::Attribute)
                i = AttributeChar(i);
            else if (m_ctx == Ctx::Declaration)
                DeclarationChar(i);
        }
        Flush(m_n);
    } catch (...) {
        if (m_pieces) {
            for (TTextPiece& p : *m_pieces) delete p.content;
            m_pieces->clear();
        }
        throw;
    }
    return m_out;
}

qsizetype TExpander::Reference(qsizetype i)
{
    Flush(i);
    qsizetype semi = i + 1;
    while (semi < m_n && m_s[semi] != u';') ++semi;
    if (semi >= m_n) raiseNoSemicolon(m_ctx);
    const QStringView name(m_s + i + 1, semi - i - 1);
    m_run = semi + 1;
    if (!name.isEmpty() && name[0] == u'#')
        m_out.append(QChar(CharReferenceValue(name, encodingOf(m_document))));
    else if (const char16_t p = predefined(name))
        m_out.append(QChar(p));
    else
        GeneralEntity(name, i, semi);
    return semi;
}

void TExpander::GeneralEntity(QStringView name, qsizetype start, qsizetype semi)
{
    QString text;
    const TXMLDTDHooks::TGeneralEntityKind kind =
        m_docType ? m_hooks->ResolveGeneralEntity(m_docType, name.toString(), text) : TXMLDTDHooks::gekNotDeclared;
    switch (kind) {
    case TXMLDTDHooks::gekNotDeclared:
        if (m_kept) m_kept->push_back(m_out.size());
        m_out.append(QStringView(m_s + start, semi + 1 - start));
        break;
    case TXMLDTDHooks::gekUnparsed: raiseUnparsed(m_ctx);
    case TXMLDTDHooks::gekExternal:
        if (m_ctx == Ctx::Attribute)
            throw EXMLParserError(
                QStringLiteral("Reference to an external entity is not allowed in the attribute value."));
        [[fallthrough]];
    case TXMLDTDHooks::gekInternal: EntityText(name, text); break;
    }
}

void TExpander::EntityText(QStringView name, const QString& text)
{
    if (!m_pieces || !text.contains(u'<') || !text.contains(u'>')) {
        m_out.append(text);
        return;
    }
    TXMLDocument* content = parseContent(m_hooks, m_document, name.toString(), text);
    m_pieces->push_back({m_out, nullptr, m_kept ? std::move(*m_kept) : std::vector<qsizetype>()});
    m_out.clear();
    if (m_kept) m_kept->clear();
    m_pieces->push_back({QString(), content, {}});
}

qsizetype TExpander::AttributeChar(qsizetype i)
{
    const char16_t c = m_s[i];
    if (c == u'<') throw EXMLParserError(QStringLiteral("Illegal character in the attribute value '<'."));
    if (!m_normalize || (c != u'\t' && c != u'\n' && c != u'\r')) return i;
    Flush(i);
    m_out.append(u' ');
    if (c == u'\r' && i + 1 < m_n && m_s[i + 1] == u'\n') ++i;
    m_run = i + 1;
    return i;
}

void TExpander::DeclarationChar(qsizetype i)
{
    const char16_t c = m_s[i];
    if (c == u'\t' || c == u'\r') {
        Flush(i);
        m_out.append(u' ');
        m_run = i + 1;
    } else if (c == u'\n') {
        Flush(i);
        if (i == 0 || m_s[i - 1] != u'\r') m_out.append(u' ');
        m_run = i + 1;
    }
}

QString expand(const QString& value, TXMLDocument* document, Ctx ctx, std::vector<TTextPiece>* pieces,
               bool normalize = true, std::vector<qsizetype>* kept = nullptr)
{
    return TExpander(value, document, ctx, pieces, normalize, kept).Run();
}

// Trims the value and collapses runs of spaces; the positions in kept move
// with the characters they point at.
QString collapseSpaces(const QString& value, std::vector<qsizetype>* kept)
{
    QString out;
    out.reserve(value.size());
    bool space = false;
    size_t k = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u' ') {
            space = true;
            continue;
        }
        if (space && !out.isEmpty()) out.append(u' ');
        space = false;
        if (kept && k < kept->size() && (*kept)[k] == i) (*kept)[k++] = out.size();
        out.append(c);
    }
    return out;
}

} // namespace

bool ExpandText(const QString& value, TXMLDocument* document, bool allowMarkup, QString* plain,
                std::vector<TTextPiece>* pieces, std::vector<qsizetype>* keptAt)
{
    if (!value.contains(u'&')) return false;
    std::vector<TTextPiece> found;
    std::vector<qsizetype> kept;
    QString rest = expand(value, document, Ctx::Text, allowMarkup ? &found : nullptr, true, &kept);
    if (found.empty()) {
        *plain = std::move(rest);
        if (keptAt) *keptAt = std::move(kept);
        return true;
    }
    found.push_back({std::move(rest), nullptr, std::move(kept)});
    *pieces = std::move(found);
    return true;
}

bool ExpandAttribute(const QString& value, TXMLDocument* document, bool tokenized, QString* out,
                     bool normalizeWhiteSpace, std::vector<qsizetype>* keptAt)
{
    bool plain = true;
    const char16_t* s = reinterpret_cast<const char16_t*>(value.constData());
    for (qsizetype i = 0, n = value.size(); i < n; ++i) {
        const char16_t u = s[i];
        if (u <= u'<' && (u == u'&' || u == u'<' || u == u'\t' || u == u'\n' || u == u'\r')) {
            plain = false;
            break;
        }
    }
    if (plain && !tokenized) return false;
    // Tokens are separated by any white space, whoever set the value.
    *out = plain ? value : expand(value, document, Ctx::Attribute, nullptr, normalizeWhiteSpace || tokenized, keptAt);
    if (tokenized) *out = collapseSpaces(*out, keptAt);
    return true;
}

QString ExpandDeclarationValue(const QString& value, TXMLDocument* document)
{
    return expand(value, document, Ctx::Declaration, nullptr);
}

} // namespace xmlexpand
