#pragma once
// The document (node type 13, empty name). The values of the XML declaration
// are attributes of the document node: version, then encoding when set, then
// standalone when set. The document owns every node linked into it.
//
// Saving (the layout is the same in every form):
//  - SaveToStream(stream) / SaveToFile(name): in the document's encoding,
//    with the declaration as it stands (UTF-16 files start with a byte-order
//    mark).
//  - TXMLSaveForm::Request: UTF-8, and the declaration written without any
//    encoding attribute. This is the form of every service request: an ASCII
//    request is byte for byte what the document form gives, and no character
//    is ever lost.
//  - TXMLSaveForm::LocalFile: UTF-8 with encoding = "UTF-8" declared (right
//    after version, in place of any other encoding), so the program's own
//    files (myinfo.xml, ss.xml, rs.xml) read back unchanged. They hold a
//    person's data: SaveToFile writes them open to their owner alone (0600,
//    also when replacing a file open to others).
// The document itself is not changed by saving in either form.
// SaveToFile writes a temporary file beside the target and renames it over
// the target only when every write succeeded; failures raise (EFCreateError,
// EStreamError) and leave an existing file as it was.

#include "protocol/xml/TContainer.h"
#include "protocol/xml/XMLEncoding.h"

#include <QHash>
#include <QString>
#include <memory>

class QIODevice;
class TDocumentType;
class TNodeArena;
class TXMLDocumentOwner;
class TXMLElement;
class TXMLPI;

enum class TXMLSaveForm { Document, Request, LocalFile };

class TXMLDocument : public TContainer {
public:
    // An empty document with version = "1.0" and the encoding UTF-8.
    TXMLDocument();
    ~TXMLDocument() override;

    // Deletes every child and attribute, starts again with version = "1.0"
    // only, and sets the encoding to US-ASCII; the other settings stay.
    void Clear();

    // Appends the root. An element child already there: EDOMException 5
    // "TXMLDocument.setDocumentElement: DocumentElement alredy exists".
    void setDocumentElement(TXMLElement* element);
    TXMLElement* getDocumentElement() const;
    // Links the node before the document element (at the end without one).
    TXMLNode* insertBeforeDocumentElement(TXMLNode* node);
    // The first node of type 12, or none.
    TDocumentType* getDocType() const;

    QString getVersion() const;
    TEncoding getEncoding() const { return m_encoding; }
    // The encoding of that name (EncodingFromName). Unknown: EXMLParserError
    // "Encoding '%s' is not supported in this version of XMLParser.".
    // Otherwise sets the encoding and the encoding attribute (updated, or
    // created right after version) to name.
    void setEncoding(const QString& name);
    // Sets the encoding alone (no attribute): the reader's default.
    void setEncodingValue(TEncoding encoding) { m_encoding = encoding; }
    // standalone := "yes" / "no"; true when it equals "yes" in any case.
    void setStandalone(bool standalone);
    bool getStandalone() const;

    // Byte order of UTF-16 output: true (the default) big-endian.
    bool BigEndian = true;

    // A processing instruction; a target that is not a valid name: code 5
    // "TXMLDocument.createProcessingInstruction: invalid character for name".
    TXMLPI* createProcessingInstruction(const QString& target, const QString& data);

    // The parser component that loaded or built the document (its
    // FormatedOutput governs indentation; without one output is indented).
    void SetParser(TXMLDocumentOwner* parser);
    TXMLDocumentOwner* Parser() const;
    bool FormatedOutput() const;

    // A list the validator may use while it runs (the ID attributes of the
    // document); created on first use, deleted by FreeIdList.
    TNodeList* IdList();
    void FreeIdList();
    // How many nodes of the ID list have that value (hashed).
    int IdValueCount(const QString& value);

    // The whole document as 16-bit text (the layout), without encoding.
    QString WriteToString(TXMLSaveForm form = TXMLSaveForm::Document) const;
    // The bytes SaveToStream writes.
    QByteArray SaveToBytes(TXMLSaveForm form = TXMLSaveForm::Document) const;
    // Writes at the stream's position; a failed write raises EStreamError
    // "Stream write error". Characters the encoding cannot hold become "_"
    // and are shown in an information box.
    void SaveToStream(QIODevice* stream, TXMLSaveForm form = TXMLSaveForm::Document) const;
    void SaveToFile(const QString& fileName, TXMLSaveForm form = TXMLSaveForm::Document) const;

    void WriteTo(TXMLOutput& out, int indent) const override;
    TXMLNode* CloneNode() const override;

    // Where nodes made with new (document) come from (created on first use).
    TNodeArena* NodeArena() { return m_arena ? m_arena : NewArena(); }

private:
    TNodeArena* NewArena();
    void ReleaseArena();

    void WriteDeclaration(TXMLOutput& out, TXMLSaveForm form) const;
    TEncoding OutputEncoding(TXMLSaveForm form) const;

    TEncoding m_encoding = UTF_8;
    std::shared_ptr<TXMLDocumentOwner* const> m_parser;
    std::unique_ptr<TNodeList> m_idList;
    QHash<QString, int> m_idValues; // of the ID list as it held m_idValuesOf nodes
    int m_idValuesOf = -1;
    TNodeArena* m_arena = nullptr;
};
