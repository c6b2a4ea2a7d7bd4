#pragma once
// Character data: the node value is the data. Offsets are 0-based.

#include "protocol/xml/TXMLNode.h"

class TCharacterData : public TXMLNode {
public:
    TCharacterData(const QString& name, TXMLDocument* document, uint8_t nodeType, const QString& data);
    ~TCharacterData() override;

    const QString& getData() const { return getNodeValue(); }
    void setData(const QString& data) { setNodeValue(data); }
    int getLength() const { return int(getNodeValue().size()); }
    // count characters from offset. offset < 0, offset >= length or count < 0:
    // EDOMException 1 "TCharacterData.substring: invalid offset/count values".
    QString substringData(int offset, int count) const;
    void appendData(const QString& text);
    // Inserts before the character at offset. offset < 0 or > length:
    // code 1 "TCharacterData.insertData: invalid offset value".
    void insertData(int offset, const QString& text);
    // offset < 0, offset >= length or count < 0: code 1
    // "TCharacterData.deleteData: invalid offset/count values".
    void deleteData(int offset, int count);
    // deleteData then insertData.
    void replaceData(int offset, int count, const QString& text);

protected:
    // Under a name that outlives the node (see TXMLNode).
    TCharacterData(const QString* sharedName, TXMLDocument* document, uint8_t nodeType, QString data);
    TCharacterData(const QString* sharedName, TXMLDocument* document, uint8_t nodeType, const char* raw,
                   qsizetype rawLength);
};
