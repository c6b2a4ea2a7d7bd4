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
QString expand(const QString& value, TXMLDocument* document, Ctx ctx, std::vector<TTextPiece>* pieces,
               bool normalize = true, std::vector<qsizetype>* kept = nullptr)
{
    const qsizetype n = value.size();
    const char16_t* s = reinterpret_cast<const char16_t*>(value.utf16());
    QString out;
    out.reserve(n);
    TXMLDTDHooks* hooks = TXMLDTDHooks::Current();
    TDocumentType* docType = hooks ? docTypeOf(document) : nullptr;
    qsizetype run = 0; // first character not yet copied
    auto flush = [&](qsizetype upTo) {
        if (upTo > run) out.append(QStringView(s + run, upTo - run));
    };
    try {
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = s[i];
            if (c == u'&') {
                flush(i);
                qsizetype semi = i + 1;
                while (semi < n && s[semi] != u';') ++semi;
                if (semi >= n) raiseNoSemicolon(ctx);
                const QStringView name(s + i + 1, semi - i - 1);
                run = semi + 1;
                const qsizetype refStart = i;
                i = semi;
                if (!name.isEmpty() && name[0] == u'#') {
                    out.append(QChar(CharReferenceValue(name, encodingOf(document))));
                    continue;
                }
                if (const char16_t p = predefined(name)) {
                    out.append(QChar(p));
                    continue;
                }
                QString text;
                const TXMLDTDHooks::TGeneralEntityKind kind = docType
                    ? hooks->ResolveGeneralEntity(docType, name.toString(), text)
                    : TXMLDTDHooks::gekNotDeclared;
                switch (kind) {
                case TXMLDTDHooks::gekNotDeclared:
                    if (kept) kept->push_back(out.size());
                    out.append(QStringView(s + refStart, semi + 1 - refStart));
                    break;
                case TXMLDTDHooks::gekUnparsed: raiseUnparsed(ctx);
                case TXMLDTDHooks::gekExternal:
                    if (ctx == Ctx::Attribute)
                        throw EXMLParserError(
                            QStringLiteral("Reference to an external entity is not allowed in the attribute value."));
                    [[fallthrough]];
                case TXMLDTDHooks::gekInternal:
                    if (pieces && text.contains(u'<') && text.contains(u'>')) {
                        TXMLDocument* content = parseContent(hooks, document, name.toString(), text);
                        pieces->push_back({out, nullptr, kept ? std::move(*kept) : std::vector<qsizetype>()});
                        out.clear();
                        if (kept) kept->clear();
                        pieces->push_back({QString(), content, {}});
                    } else {
                        out.append(text);
                    }
                    break;
                }
                continue;
            }
            if (ctx == Ctx::Attribute) {
                if (c == u'<') throw EXMLParserError(QStringLiteral("Illegal character in the attribute value '<'."));
                if (normalize && (c == u'\t' || c == u'\n' || c == u'\r')) {
                    flush(i);
                    out.append(u' ');
                    if (c == u'\r' && i + 1 < n && s[i + 1] == u'\n') ++i;
                    run = i + 1;
                }
            } else if (ctx == Ctx::Declaration) {
                if (c == u'\t' || c == u'\r') {
                    flush(i);
                    out.append(u' ');
                    run = i + 1;
                } else if (c == u'\n') {
                    flush(i);
                    if (i == 0 || s[i - 1] != u'\r') out.append(u' ');
                    run = i + 1;
                }
            }
        }
        flush(n);
    } catch (...) {
        if (pieces) {
            for (TTextPiece& p : *pieces) delete p.content;
            pieces->clear();
        }
        throw;
    }
    return out;
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
