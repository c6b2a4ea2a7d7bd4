#include "protocol/xml/XmlEntities_p.h"

#include "platform/core/Exception.h"
#include "platform/core/Format.h"
#include "protocol/xml/EXMLParserError.h"
#include "protocol/xml/TDocumentType.h"
#include "protocol/xml/TGEntityDecl.h"
#include "protocol/xml/TPEntityDecl.h"
#include "protocol/xml/TStringBuffer.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLParser.h"
#include "protocol/xml/XMLChars.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace xmlentities {

namespace {
thread_local TParseContext* t_current = nullptr;

[[noreturn]] void LimitExceeded() { throw EXMLParserError(QStringLiteral("Entity expansion limit exceeded.")); }
} // namespace

TParseContext* Current() { return t_current; }

TContextScope::TContextScope(qint64 inputSize, TXMLParser* parser)
{
    if (t_current) {
        m_context = t_current;
        return;
    }
    m_owned = new TParseContext;
    m_owned->CharBudget = qMax<qint64>(qint64(1) << 20, inputSize * 10);
    m_owned->CountBudget = qMax<qint64>(100000, inputSize);
    if (parser) {
        m_owned->AllowExternal = parser->AllowExternalFiles;
        m_owned->BaseDir = parser->ExternalBaseDir;
        m_owned->Parser = parser;
    }
    t_current = m_owned;
    m_context = m_owned;
}

TContextScope::~TContextScope()
{
    if (m_owned) {
        t_current = nullptr;
        delete m_owned;
    }
}

void Charge(qint64 chars)
{
    TParseContext* c = t_current;
    if (!c) return;
    c->CharsUsed += chars;
    c->CountUsed += 1;
    if (c->CharsUsed > c->CharBudget || c->CountUsed > c->CountBudget) LimitExceeded();
}

void BeginExpansion(TCustomEntityDecl* decl, const QString& name)
{
    if (!decl) return;
    if (decl->Expanding) throw EXMLParserError(Format(QStringLiteral("Recursive reference to entity \"%s\"."), {name}));
    if (TParseContext* c = t_current) {
        if (c->EntityDepth >= MaxEntityDepth) LimitExceeded();
        ++c->EntityDepth;
    }
    decl->Expanding = true;
}

void EndExpansion(TCustomEntityDecl* decl)
{
    if (!decl || !decl->Expanding) return;
    decl->Expanding = false;
    if (TParseContext* c = t_current; c && c->EntityDepth > 0) --c->EntityDepth;
}

TGEntityDecl* FindGeneralEntity(const TDocumentType* docType, const QString& name)
{
    if (!docType) return nullptr;
    const TNodeList& decls = docType->getDeclarations();
    for (TXMLNode* n = decls.getNamedItem(name, nt::EntityDecl); n; n = decls.nextNamedItem(n))
        if (auto* ge = dynamic_cast<TGEntityDecl*>(n)) return ge;
    return nullptr;
}

TPEntityDecl* FindParameterEntity(const TDocumentType* docType, const QString& name)
{
    if (!docType) return nullptr;
    const TNodeList& decls = docType->getDeclarations();
    for (TXMLNode* n = decls.getNamedItem(name, nt::EntityDecl); n; n = decls.nextNamedItem(n))
        if (auto* pe = dynamic_cast<TPEntityDecl*>(n)) return pe;
    return nullptr;
}

namespace {

// What the references of an entity value are resolved in.
struct TValueContext {
    TXMLDocument* document;
    TDocumentType* docType;
    TEncoding encoding;
    TExpandMode mode;
};

// Whether the value holds anything to fold or resolve.
bool NeedsExpansion(const QString& value, bool percentIsReference, bool fold)
{
    const QChar* v = value.constData();
    for (qsizetype i = 0, n = value.size(); i < n; ++i) {
        const char16_t c = v[i].unicode();
        if (c == u'&' || (c == u'%' && percentIsReference)) return true;
        if (fold && (c == u'\t' || c == u'\r' || c == u'\n' || (c == u' ' && i > 0 && v[i - 1] == u' '))) return true;
    }
    return false;
}

// White space of a value being declared: a space after a space is dropped;
// CR and tab become a space unless a space comes before, LF unless a CR
// does. False for other characters.
bool FoldBlank(char16_t c, char16_t prev, TStringBuffer& out)
{
    switch (c) {
    case u' ':
        if (prev != u' ') out.Append(c);
        return true;
    case u'\r':
    case u'\t':
        if (prev != u' ') out.Append(u' ');
        return true;
    case u'\n':
        if (prev != u'\r') out.Append(u' ');
        return true;
    default: return false;
    }
}

// A character reference is replaced; a general entity is resolved only
// where a general entity's text is used, and a reference to an unparsed one
// is refused; anything else stays as written.
void AppendGeneralReference(const QString& name, QStringView written, const TValueContext& context, TStringBuffer& out)
{
    if (name.startsWith(u'#')) {
        out.Append(CharReferenceValue(name, context.encoding));
        return;
    }
    const TGEntityDecl* ge = FindGeneralEntity(context.docType, name);
    if (ge && ge->IsUnparsed)
        throw EXMLParserError(QStringLiteral("Reference to an unparsed entity is not allowed in the entity value."));
    QString replacement;
    TGEntityDecl* decl = nullptr;
    if (ge && context.mode == evGeneralUse && ResolveGeneralEntity(context.document, name, replacement, decl))
        out.Append(replacement);
    else
        out.Append(written);
}

// The reference that begins at i ("&" or "%") up to its ";", appended as it
// resolves; the index of the ";".
qsizetype AppendReference(const QString& value, qsizetype i, const TValueContext& context, TStringBuffer& out)
{
    if (i + 1 >= value.size())
        throw EXMLParserError(QStringLiteral("Illegal character in the entity value '&&' or '%'."));
    const qsizetype semi = value.indexOf(u';', i + 1);
    if (semi < 0) throw EXMLParserError(QStringLiteral("Illegal character in the the entity value '&&' or '%'."));
    const QString name = value.mid(i + 1, semi - i - 1);
    const QStringView written(value.constData() + i, semi - i + 1);
    if (value[i] == u'&') {
        AppendGeneralReference(name, written, context, out);
        return semi;
    }
    QString replacement;
    TCustomEntityDecl* decl = nullptr;
    if (ResolveParameterEntity(context.document, name, replacement, decl))
        out.Append(replacement);
    else
        out.Append(written);
    return semi;
}

} // namespace

QString ExpandEntityValue(const QString& value, TXMLDocument* document, TExpandMode mode)
{
    const bool percentIsReference = mode != evGeneralUse;
    const bool fold = mode == evDeclaration;
    // Nothing to fold or resolve: the value stays as it is.
    if (!NeedsExpansion(value, percentIsReference, fold)) return value;

    const TValueContext context{document, document ? document->getDocType() : nullptr,
                                document ? document->getEncoding() : UTF_8, mode};
    const qsizetype n = value.size();
    const QChar* v = value.constData();
    TStringBuffer out(n + 16);
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = v[i].unicode();
        if (fold && FoldBlank(c, i > 0 ? v[i - 1].unicode() : 0, out)) continue;
        if (c == u'&' || (c == u'%' && percentIsReference))
            i = AppendReference(value, i, context, out);
        else
            out.Append(c);
    }
    return out.Take();
}

bool ResolveParameterEntity(TXMLDocument* document, const QString& name, QString& value, TCustomEntityDecl*& decl)
{
    TPEntityDecl* pe = FindParameterEntity(document ? document->getDocType() : nullptr, name);
    if (!pe) return false;
    {
        TExpansionGuard guard(pe, name);
        if (!pe->IsInternal && !pe->Loaded()) pe->LoadExternal();
        value = ExpandEntityValue(pe->getNodeValue(), document, evParameterUse);
    }
    Charge(value.size());
    decl = pe;
    return true;
}

bool ResolveGeneralEntity(TXMLDocument* document, const QString& name, QString& value, TGEntityDecl*& decl)
{
    TGEntityDecl* ge = FindGeneralEntity(document ? document->getDocType() : nullptr, name);
    if (!ge) return false;
    {
        TExpansionGuard guard(ge, name);
        if (!ge->IsInternal && !ge->IsUnparsed && !ge->Loaded()) ge->LoadExternal();
        value = ge->IsUnparsed ? QString() : ExpandEntityValue(ge->getNodeValue(), document, evGeneralUse);
    }
    Charge(value.size());
    decl = ge;
    return true;
}

QByteArray Utf16Bytes(const QString& text)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    char* o = bytes.data();
    for (QChar c : text) {
        *o++ = char(c.unicode() & 0xFF);
        *o++ = char(c.unicode() >> 8);
    }
    return bytes;
}

namespace {

// A relative name without "..", drive, scheme or control characters, of a
// regular file that really lies under base, within the size cap.
QString CheckedPath(const QString& base, const QString& id)
{
    if (id.isEmpty() || id.size() > 1024) return {};
    for (QChar c : id)
        if (c.unicode() < 0x20 || c == u':' || c.unicode() == 0x7F) return {};
    QString name = id;
    name.replace(u'\\', u'/');
    if (name.startsWith(u'/')) return {};
    const QStringList parts = name.split(u'/');
    for (const QString& p : parts)
        if (p == u"..") return {};
    const QFileInfo baseInfo(base);
    if (!baseInfo.isDir()) return {};
    const QString baseCanon = baseInfo.canonicalFilePath();
    const QFileInfo info(QDir(baseCanon).filePath(name));
    if (!info.exists()) return {};
    const QString canon = info.canonicalFilePath();
    if (canon.isEmpty() || !canon.startsWith(baseCanon + u'/')) return {};
    const QFileInfo target(canon);
    if (!target.isFile() || target.isSymLink()) return {};
    if (target.size() > MaxExternalFileSize) return {};
    return canon;
}

} // namespace

QString ExternalFile(const QString& publicId, const QString& systemId)
{
    const TParseContext* c = t_current;
    if (!c || !c->AllowExternal || c->BaseDir.isEmpty()) return {};
    if (QString p = CheckedPath(c->BaseDir, publicId); !p.isEmpty()) return p;
    return CheckedPath(c->BaseDir, systemId);
}

QByteArray ReadExternalFile(const QString& path, const QString& name)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw EFOpenError(Format(QStringLiteral("Cannot open file \"%s\"."), {name}));
    const QByteArray bytes = file.read(MaxExternalFileSize);
    Charge(bytes.size());
    return bytes;
}

void FileNotFound(TXMLNode* sender, const QString& fileName)
{
    TXMLParser* parser = t_current ? t_current->Parser : nullptr;
    if (!parser && sender && sender->getOwnerDocument())
        parser = dynamic_cast<TXMLParser*>(sender->getOwnerDocument()->Parser());
    if (parser && parser->OnFileNotFound) parser->OnFileNotFound(sender, fileName);
}

} // namespace xmlentities
