#pragma once
// The service document: a parser component that owns one document and knows
// the service's envelope, a root "vxp" holding one request element whose tag
// name is the document type and whose attributes carry the envelope values.
// Requests are built in it (NewDocument, then the caller's children under
// RequestElement) and answers are loaded back into it (LoadDocument), so after
// a post it holds the answer. The configuration document, the named
// parameter and report-page sets and the personal page use it too.
//
// Attribute names are case-sensitive and both forms belong to the wire
// format: NewDocument writes "UserID", SetUserId writes "UserId", loading
// reads "UserId"; the Event setter writes "Event", loading reads "event".
//
// Service answers and the configuration document are loaded with
// LoadServiceAnswer, which refuses a document type declaration before the
// parser sees it (no DTD processing of what a server sends); local files are
// loaded with LoadDocument.

#include "protocol/xml/TXMLParser.h"

#include <QString>
#include <memory>

class QImage;
class QIODevice;
class TMetafilePicture;
class TXMLDocument;
class TXMLElement;

class TvxpDocument : public TXMLParser {
public:
    explicit TvxpDocument(QObject* owner = nullptr);
    ~TvxpDocument() override;

    // Name and version of the request element: set before NewDocument,
    // replaced by a successful LoadDocument.
    QString VxpTypeName;
    QString VxpTypeVersion;

    qint32 County() const { return m_county; }
    // Stores the id; with a request element, sets its attribute "County".
    void SetCounty(qint32 value);
    qint32 UserId() const { return m_userId; }
    // Stores the id; with a request element, sets its attribute "UserId".
    void SetUserId(qint32 value);
    bool LogEvent() const { return m_logEvent; }
    // Stores the flag; with a request element, sets "LogEvent" to "Y"/"N".
    void SetLogEvent(bool value);
    QString Event() const { return m_event; }
    // Stores the text; with a request element, sets its attribute "Event".
    void SetEvent(const QString& value);

    // The tree (none before the first NewDocument or LoadDocument), its "vxp"
    // root and the request element; both elements are none when the tree
    // has no such node.
    TXMLDocument* XMLDocument() const { return m_document.get(); }
    TXMLElement* RootElement() const { return m_root; }
    TXMLElement* RequestElement() const { return m_request; }
    // Counts every change of the tree as a whole (new, loaded, cleared), so
    // that holders of its nodes can tell when they are gone.
    quint64 TreeGeneration() const { return m_generation; }

    // Starts a request: an empty tree with standalone "yes", the root "vxp"
    // and the request element VxpTypeName with version, UserID, County and
    // LogEvent, in that order.
    void NewDocument();
    // Parses the stream into a new tree. False when there is no "vxp" root
    // or it has no child element; the envelope values then keep their
    // previous values. Parse errors propagate (the tree is then empty).
    virtual bool LoadDocument(QIODevice* stream);
    // LoadDocument for what a server sent: a document type declaration is a
    // parse error, "Illegal occurence of "<!DOCTYPE"".
    bool LoadServiceAnswer(QIODevice* stream);
    // Drops the tree's nodes (the request element and the root with them).
    void ClearDocument();

    // The picture saved as a bitmap file (in the smallest of the forms every
    // bitmap reader takes, see BitmapWriter) as Base64 text, lines of 76
    // characters separated by CR LF.
    static void EncodeGraphic(const QImage& graphic, QString& text);
    // Base64 text into a picture; characters outside the alphabet are
    // skipped. Text that does not hold a picture of the kind raises
    // EInvalidGraphic and leaves the picture as it was. The pictures go
    // through PictureReader: a bitmap past its size cap is refused like a
    // broken one, a JPEG larger than the cap comes back scaled down.
    static void DecodeBitmap(const QString& text, QImage& graphic);
    static void DecodeJpeg(const QString& text, QImage& graphic);
    static void DecodeMetafile(const QString& text, TMetafilePicture& graphic);

    static QString XmlEscape(const QString& text);
    static QString BoolToYN(bool value);

private:
    TXMLDocument& EnsureDocument();
    void SetRequestAttribute(const QString& name, const QString& value);

    std::unique_ptr<TXMLDocument> m_document;
    TXMLElement* m_root = nullptr;
    TXMLElement* m_request = nullptr;
    qint32 m_county = 0;
    qint32 m_userId = 0;
    bool m_logEvent = false;
    QString m_event;
    quint64 m_generation = 0;
};
