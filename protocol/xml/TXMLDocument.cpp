#include "protocol/xml/TXMLDocument.h"

#include "platform/core/AtomicFile.h"
#include "protocol/xml/EDOMException.h"
#include "protocol/xml/EXMLParserError.h"
#include "protocol/xml/TDocumentType.h"
#include "protocol/xml/TNodeArena_p.h"
#include "protocol/xml/TXMLAttr.h"
#include "protocol/xml/TXMLDocumentOwner.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLOutput.h"
#include "protocol/xml/TXMLPI.h"
#include "protocol/xml/XMLChars.h"
#include "protocol/xml/XMLWideStrings.h"

#include "platform/core/Exception.h"
#include "platform/core/Format.h"

#include <QIODevice>
#include <utility>

namespace {
const QString& versionName()
{
    static const QString name = QStringLiteral("version");
    return name;
}
const QString& encodingName()
{
    static const QString name = QStringLiteral("encoding");
    return name;
}

// Empties the list of unconvertible characters when a save ends, however
// it ends.
struct ClearListOnExit {
    ~ClearListOnExit() { ClearUnconvertedList(); }
};

void writeAll(QIODevice* stream, const QByteArray& bytes)
{
    if (!stream || stream->write(bytes) != bytes.size()) throw EStreamError(QStringLiteral("Stream write error"));
}
} // namespace

TXMLDocument::TXMLDocument() : TContainer(QString(), this, 13, TNameCheck::Unchecked)
{
    m_list.setNamedItem(new TXMLAttr(versionName(), this, QStringLiteral("1.0")));
}

TXMLDocument::~TXMLDocument()
{
    // The ID list may hold copies of attributes.
    m_idList.reset();
    // Released first: the blocks of the tree then go without being listed
    // for reuse.
    ReleaseArena();
    m_list.Clear();
}

TNodeArena* TXMLDocument::NewArena()
{
    m_arena = new TNodeArena;
    return m_arena;
}

void TXMLDocument::ReleaseArena()
{
    if (m_arena) std::exchange(m_arena, nullptr)->Release();
}

void TXMLDocument::Clear()
{
    FreeIdList();
    // The tree's memory goes now, not with the next document read into it
    // (released first, see the destructor).
    ReleaseArena();
    m_list.Clear();
    m_list.setNamedItem(new TXMLAttr(versionName(), this, QStringLiteral("1.0")));
    m_encoding = US_ASCII;
}

void TXMLDocument::setDocumentElement(TXMLElement* element)
{
    if (getDocumentElement())
        throw EDOMException(EDOMException::INVALID_CHARACTER_ERR,
                            QStringLiteral("TXMLDocument.setDocumentElement: DocumentElement alredy exists"));
    m_list.setNamedItem(element);
}

TXMLElement* TXMLDocument::getDocumentElement() const { return static_cast<TXMLElement*>(m_list.getFirstOfType(1)); }

TXMLNode* TXMLDocument::insertBeforeDocumentElement(TXMLNode* node)
{
    return m_list.insertBefore(node, getDocumentElement());
}

TDocumentType* TXMLDocument::getDocType() const { return static_cast<TDocumentType*>(m_list.getFirstOfType(12)); }

QString TXMLDocument::getVersion() const
{
    const TXMLAttr* a = getAttributeNode(versionName());
    return a ? a->getNodeValue() : QString();
}

void TXMLDocument::setEncoding(const QString& name)
{
    const TEncoding e = EncodingFromName(name);
    if (e == n_sup)
        throw EXMLParserError(
            Format(QStringLiteral("Encoding '%s' is not supported in this version of XMLParser."), {name}));
    if (TXMLAttr* a = getAttributeNode(encodingName())) {
        a->setNodeValue(name);
    } else {
        TXMLAttr* attr = new TXMLAttr(encodingName(), this, name);
        try {
            if (TXMLAttr* version = getAttributeNode(versionName()))
                m_list.insertAfter(attr, version);
            else
                m_list.insertBefore(attr, m_list.first());
        } catch (...) {
            delete attr;
            throw;
        }
    }
    m_encoding = e;
}

void TXMLDocument::setStandalone(bool standalone)
{
    const QString value = standalone ? QStringLiteral("yes") : QStringLiteral("no");
    static const QString name = QStringLiteral("standalone");
    if (TXMLAttr* a = getAttributeNode(name))
        a->setNodeValue(value);
    else
        m_list.setNamedItem(new TXMLAttr(name, this, value));
}

bool TXMLDocument::getStandalone() const
{
    const TXMLAttr* a = getAttributeNode(QStringLiteral("standalone"));
    return a && WideCompareText(a->getNodeValue(), u"yes") == 0;
}

TXMLPI* TXMLDocument::createProcessingInstruction(const QString& target, const QString& data)
{
    if (!IsValidName(target))
        throw EDOMException(EDOMException::INVALID_CHARACTER_ERR,
                            QStringLiteral("TXMLDocument.createProcessingInstruction: invalid character for name"));
    return new TXMLPI(target, data, this);
}

void TXMLDocument::SetParser(TXMLDocumentOwner* parser) { m_parser = parser ? parser->OwnerLink() : nullptr; }

TXMLDocumentOwner* TXMLDocument::Parser() const { return m_parser ? *m_parser : nullptr; }

bool TXMLDocument::FormatedOutput() const
{
    const TXMLDocumentOwner* p = Parser();
    return p ? p->DocumentFormatedOutput() : true;
}

TNodeList* TXMLDocument::IdList()
{
    if (!m_idList) m_idList = std::make_unique<TNodeList>(this, nullptr);
    return m_idList.get();
}

void TXMLDocument::FreeIdList()
{
    m_idList.reset();
    m_idValues.clear();
    m_idValuesOf = -1;
}

int TXMLDocument::IdValueCount(const QString& value)
{
    const TNodeList* ids = IdList();
    if (m_idValuesOf != ids->count()) {
        m_idValues.clear();
        for (const TXMLNode* n = ids->first(); n; n = n->nextSibling()) ++m_idValues[n->getNodeValue()];
        m_idValuesOf = ids->count();
    }
    return m_idValues.value(value);
}

TEncoding TXMLDocument::OutputEncoding(TXMLSaveForm form) const
{
    return form == TXMLSaveForm::Document ? m_encoding : UTF_8;
}

void TXMLDocument::WriteDeclaration(TXMLOutput& out, TXMLSaveForm form) const
{
    out.Append("<?xml");
    const bool local = form == TXMLSaveForm::LocalFile;
    const TXMLNode* first = getFirstAttribute();
    if (local && !getAttributeNode(versionName())) out.Append(" encoding = \"UTF-8\"");
    for (const TXMLNode* a = first; a; a = a->nextSameTypeSibling()) {
        const bool isEncoding = WideCompareText(a->getNodeName(), encodingName()) == 0;
        if (isEncoding && form != TXMLSaveForm::Document) continue;
        a->WriteTo(out, 0);
        if (local && a->getNodeName() == versionName()) out.Append(" encoding = \"UTF-8\"");
    }
    out.Append("?>\r\n");
    out.LastWasText = false;
}

void TXMLDocument::WriteTo(TXMLOutput& out, int /*indent*/) const
{
    WriteDeclaration(out, TXMLSaveForm::Document);
    for (const TXMLNode* n = m_list.first(); n; n = n->nextSibling())
        if (n->getNodeType() != 2) n->WriteTo(out, 0);
}

QString TXMLDocument::WriteToString(TXMLSaveForm form) const
{
    TXMLOutput out(FormatedOutput());
    WriteDeclaration(out, form);
    for (const TXMLNode* n = m_list.first(); n; n = n->nextSibling())
        if (n->getNodeType() != 2) n->WriteTo(out, 0);
    return out.Take();
}

QByteArray TXMLDocument::SaveToBytes(TXMLSaveForm form) const
{
    QByteArray bytes;
    TXMLOutput out(FormatedOutput(), OutputEncoding(form), BigEndian, &bytes);
    WriteDeclaration(out, form);
    for (const TXMLNode* n = m_list.first(); n; n = n->nextSibling()) {
        if (n->getNodeType() != 2) n->WriteTo(out, 0);
        out.MaybeFlush();
    }
    out.Flush();
    return bytes;
}

void TXMLDocument::SaveToStream(QIODevice* stream, TXMLSaveForm form) const
{
    ClearListOnExit clearAtEnd;
    ClearUnconvertedList();
    writeAll(stream, SaveToBytes(form));
    if (TXMLDocumentOwner* owner = Parser(); owner && !UnconvertedListIsEmpty())
        owner->DocumentUnconverted(UnconvertedMessage(OutputEncoding(form)));
}

void TXMLDocument::SaveToFile(const QString& fileName, TXMLSaveForm form) const
{
    // A temporary file beside the target, renamed over it only when all went
    // well: a failed save leaves the old file as it was.
    // The program's own files hold a person's data: open to the owner alone
    // after every save.
    const bool personal = form == TXMLSaveForm::LocalFile;
    try {
        AtomicFile file(fileName);
        if (personal && !AtomicFile::RestrictToOwner(file.Stream()))
            throw EFCreateError(QStringLiteral("Cannot restrict the file to its owner"));
        if (OutputEncoding(form) == UTF_16) {
            const char bom[2] = {char(BigEndian ? 0xFE : 0xFF), char(BigEndian ? 0xFF : 0xFE)};
            writeAll(&file.Stream(), QByteArray(bom, 2));
        }
        SaveToStream(&file.Stream(), form);
        file.Commit();
    } catch (const EFCreateError&) {
        throw EFCreateError(QStringLiteral("Error creating file stream for ") + fileName);
    }
}

TXMLNode* TXMLDocument::CloneNode() const
{
    TXMLDocument* d = new TXMLDocument();
    d->m_list.Clear();
    d->m_encoding = m_encoding;
    d->BigEndian = BigEndian;
    d->m_parser = m_parser;
    d->setNodeValue(getNodeValue());
    return d;
}
