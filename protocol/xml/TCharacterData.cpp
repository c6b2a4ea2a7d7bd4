#include "protocol/xml/TCharacterData.h"

#include "protocol/xml/EDOMException.h"

TCharacterData::TCharacterData(const QString& name, TXMLDocument* document, uint8_t nodeType, const QString& data)
    : TXMLNode(name, data, document, nodeType, TNameCheck::Unchecked)
{ }

TCharacterData::TCharacterData(const QString* sharedName, TXMLDocument* document, uint8_t nodeType, QString data)
    : TXMLNode(sharedName, document, nodeType, std::move(data))
{ }

TCharacterData::TCharacterData(const QString* sharedName, TXMLDocument* document, uint8_t nodeType, const char* raw,
                               qsizetype rawLength)
    : TXMLNode(sharedName, document, nodeType, raw, rawLength)
{ }

TCharacterData::~TCharacterData() = default;

QString TCharacterData::substringData(int offset, int count) const
{
    if (offset < 0 || offset >= getLength() || count < 0)
        throw EDOMException(EDOMException::INDEX_SIZE_ERR,
                            QStringLiteral("TCharacterData.substring: invalid offset/count values"));
    return getNodeValue().mid(offset, count);
}

void TCharacterData::appendData(const QString& text) { setNodeValue(getNodeValue() + text); }

void TCharacterData::insertData(int offset, const QString& text)
{
    if (offset < 0 || offset > getLength())
        throw EDOMException(EDOMException::INDEX_SIZE_ERR,
                            QStringLiteral("TCharacterData.insertData: invalid offset value"));
    QString v = getNodeValue();
    v.insert(offset, text);
    setNodeValue(v);
}

void TCharacterData::deleteData(int offset, int count)
{
    if (offset < 0 || offset >= getLength() || count < 0)
        throw EDOMException(EDOMException::INDEX_SIZE_ERR,
                            QStringLiteral("TCharacterData.deleteData: invalid offset/count values"));
    QString v = getNodeValue();
    v.remove(offset, count);
    setNodeValue(v);
}

void TCharacterData::replaceData(int offset, int count, const QString& text)
{
    deleteData(offset, count);
    insertData(offset, text);
}
