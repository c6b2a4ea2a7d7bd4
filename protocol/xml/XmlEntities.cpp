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

QString ExpandEntityValue(const QString& value, TXMLDocument* document, TExpandMode mode)
{
    const bool percentIsReference = mode != evGeneralUse;
    const bool fold = mode == evDeclaration;
    const qsizetype n = value.size();
    const QChar* v = value.constData();
    // Nothing to fold or resolve: the value stays as it is.
    bool plain = true;
    for (qsizetype i = 0; i < n && plain; ++i) {
        const char16_t c = v[i].unicode();
        plain = !(c == u'&' || (c == u'%' && percentIsReference) ||
                  (fold && (c == u'\t' || c == u'\r' || c == u'\n' || (c == u' ' && i > 0 && v[i - 1] == u' '))));
    }
    if (plain) return value;

    const TEncoding encoding = document ? document->getEncoding() : UTF_8;
    TDocumentType* docType = document ? document->getDocType() : nullptr;
    TStringBuffer out(n + 16);
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = v[i].unicode();
        const char16_t prev = i > 0 ? v[i - 1].unicode() : 0;
        switch (fold ? c : char16_t(0)) {
        case u' ':
            if (prev != u' ') out.Append(c);
            continue;
        case u'\r':
        case u'\t':
            if (prev != u' ') out.Append(u' ');
            continue;
        case u'\n':
            if (prev != u'\r') out.Append(u' ');
            continue;
        default: break;
        }
        if (c != u'&' && !(c == u'%' && percentIsReference)) {
            out.Append(c);
            continue;
        }
        if (i + 1 >= n) throw EXMLParserError(QStringLiteral("Illegal character in the entity value '&&' or '%'."));
        const qsizetype semi = value.indexOf(u';', i + 1);
        if (semi < 0) throw EXMLParserError(QStringLiteral("Illegal character in the the entity value '&&' or '%'."));
        const QString name = value.mid(i + 1, semi - i - 1);
        const QStringView written(v + i, semi - i + 1);
        i = semi;
        if (c == u'&') {
            if (name.startsWith(u'#')) {
                out.Append(CharReferenceValue(name, encoding));
                continue;
            }
            const TGEntityDecl* ge = FindGeneralEntity(docType, name);
            if (ge && ge->IsUnparsed)
                throw EXMLParserError(
                    QStringLiteral("Reference to an unparsed entity is not allowed in the entity value."));
            QString replacement;
            TGEntityDecl* decl = nullptr;
            if (ge && mode == evGeneralUse && ResolveGeneralEntity(document, name, replacement, decl))
                out.Append(replacement);
            else
                out.Append(written);
            continue;
        }
        QString replacement;
        TCustomEntityDecl* decl = nullptr;
        if (ResolveParameterEntity(document, name, replacement, decl))
            out.Append(replacement);
        else
            out.Append(written);
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
