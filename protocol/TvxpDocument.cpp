#include "protocol/TvxpDocument.h"

#include "platform/Format.h"
#include "platform/SysUtils.h"
#include "protocol/EInvalidGraphic.h"
#include "protocol/StreamCodecs.h"
#include "protocol/StringUtils.h"
#include "protocol/TMetafilePicture.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLText.h"

#include <QBuffer>
#include <QImage>
#include <QStringDecoder>

namespace {

QByteArray DecodeBase64Text(const QString& text)
{
    // Characters outside Latin-1 become "?", which the decoder skips like
    // every other character outside its alphabet.
    return MimeDecode(text.toLatin1());
}

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool StartsWithNoCase(const QString& text, qsizetype at, QLatin1String word)
{
    return QStringView(text).mid(at, word.size()).compare(word, Qt::CaseInsensitive) == 0 &&
           text.size() - at >= word.size();
}

// The prolog of the text, as far as it decides: everything before the first
// markup that is neither a processing instruction nor a comment. Throws the
// parser's error when that markup is a document type declaration.
void RefuseDoctype(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (n > 0 && text[0] == QChar(0xFEFF)) ++i;
    for (;;) {
        while (i < n && IsBlank(text[i].unicode())) ++i;
        if (i >= n) return;
        if (StartsWithNoCase(text, i, QLatin1String("<?"))) {
            const qsizetype end = text.indexOf(QLatin1String("?>"), i + 2);
            if (end < 0) return;
            i = end + 2;
        } else if (StartsWithNoCase(text, i, QLatin1String("<!--"))) {
            const qsizetype end = text.indexOf(QLatin1String("-->"), i + 4);
            if (end < 0) return;
            i = end + 3;
        } else if (StartsWithNoCase(text, i, QLatin1String("<!DOCTYPE"))) {
            const qint32 line = qint32(QStringView(text).left(i).count(u'\n')) + 1;
            throw EXMLParserError(QStringLiteral("Illegal occurence of \"<!DOCTYPE\""), line);
        } else {
            return;
        }
    }
}

// The start of the input as text, enough to hold its prolog: UTF-16 when it
// starts like UTF-16, else each byte as one character (every
// encoding the parser reads agrees with ASCII on the markup of a prolog).
QString PrologText(const QByteArray& bytes)
{
    if (bytes.size() >= 2) {
        const uchar b0 = uchar(bytes[0]);
        const uchar b1 = uchar(bytes[1]);
        if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF)) {
            QStringDecoder decoder(b0 == 0xFF ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
            return decoder.decode(bytes.mid(2));
        }
        // UTF-16 without a mark: the "<" of the first markup gives it away.
        if (b0 == '<' && b1 == 0) return QStringDecoder(QStringConverter::Utf16LE).decode(bytes);
        if (b0 == 0 && b1 == '<') return QStringDecoder(QStringConverter::Utf16BE).decode(bytes);
    }
    return QString::fromLatin1(bytes);
}

} // namespace

TvxpDocument::TvxpDocument(QObject* owner) : TXMLParser(owner)
{
    StandardXML = false;
    ValidateDocument = false;
    FormatedOutput = true;
    SetDefaultEncoding(US_ASCII);
}

TvxpDocument::~TvxpDocument() = default;

TXMLDocument& TvxpDocument::EnsureDocument()
{
    m_root = nullptr;
    m_request = nullptr;
    ++m_generation;
    if (!m_document) m_document = std::make_unique<TXMLDocument>();
    else m_document->Clear();
    return *m_document;
}

void TvxpDocument::ClearDocument()
{
    m_root = nullptr;
    m_request = nullptr;
    ++m_generation;
    if (m_document) m_document->Clear();
}

void TvxpDocument::SetRequestAttribute(const QString& name, const QString& value)
{
    if (m_request) m_request->setAttribute(name, value);
}

void TvxpDocument::SetCounty(qint32 value)
{
    m_county = value;
    SetRequestAttribute(QStringLiteral("County"), QString::number(value));
}

void TvxpDocument::SetUserId(qint32 value)
{
    m_userId = value;
    SetRequestAttribute(QStringLiteral("UserId"), QString::number(value));
}

void TvxpDocument::SetLogEvent(bool value)
{
    m_logEvent = value;
    SetRequestAttribute(QStringLiteral("LogEvent"), ::BoolToYN(value));
}

void TvxpDocument::SetEvent(const QString& value)
{
    m_event = value;
    SetRequestAttribute(QStringLiteral("Event"), value);
}

void TvxpDocument::NewDocument()
{
    TXMLDocument& doc = EnsureDocument();
    doc.setStandalone(true);
    doc.SetParser(this);

    auto root = std::make_unique<TXMLElement>(QStringLiteral("vxp"), &doc);
    doc.setDocumentElement(root.get());
    m_root = root.release();

    auto request = std::make_unique<TXMLElement>(VxpTypeName, &doc);
    request->setAttribute(QStringLiteral("version"), VxpTypeVersion);
    request->setAttribute(QStringLiteral("UserID"), QString::number(m_userId));
    request->setAttribute(QStringLiteral("County"), QString::number(m_county));
    request->setAttribute(QStringLiteral("LogEvent"), ::BoolToYN(m_logEvent));
    m_root->appendChild(request.get());
    m_request = request.release();
}

bool TvxpDocument::LoadDocument(QIODevice* stream)
{
    TXMLDocument* doc = &EnsureDocument();
    LoadFromStream(stream, doc);

    m_root = doc->getDocumentElement();
    if (!m_root) return false;
    if (m_root->getTagName() != QLatin1String("vxp")) {
        m_root = nullptr;
        return false;
    }
    TXMLElement* request = m_root->getFirstChildElement();
    if (!request) return false;
    m_request = request;

    VxpTypeName = request->getTagName();
    VxpTypeVersion = request->getAttribute(QStringLiteral("version"));
    m_userId = StrToIntDef(request->getAttribute(QStringLiteral("UserId")), 0);
    m_county = StrToIntDef(request->getAttribute(QStringLiteral("County")), 0);
    m_event = request->getAttribute(QStringLiteral("event"));
    m_logEvent = request->getAttribute(QStringLiteral("LogEvent")) == QLatin1String("Y");
    return true;
}

bool TvxpDocument::LoadServiceAnswer(QIODevice* stream)
{
    if (!stream->isOpen() && !stream->open(QIODevice::ReadOnly))
        throw EStreamError(QStringLiteral("Stream read error"));
    QBuffer copy;
    QIODevice* source = stream;
    if (stream->isSequential()) {
        copy.setData(stream->readAll());
        copy.open(QIODevice::ReadOnly);
        source = &copy;
    }
    const qint64 start = source->pos();
    // A prolog is short; a megabyte of comments before the root is not an
    // answer anyone sends, and the parser reads on from there anyway.
    const QByteArray head = source->peek(1 << 20);
    try {
        RefuseDoctype(PrologText(head));
    } catch (...) {
        ClearDocument();
        throw;
    }
    source->seek(start);
    const bool loaded = LoadDocument(source);
    if (m_document && m_document->getDocType()) {
        ClearDocument();
        throw EXMLParserError(QStringLiteral("Illegal occurence of \"<!DOCTYPE\""), 1);
    }
    return loaded;
}

void TvxpDocument::EncodeGraphic(const QImage& graphic, QString& text)
{
    QBuffer picture;
    picture.open(QIODevice::ReadWrite);
    if (!graphic.isNull() && !graphic.save(&picture, "BMP"))
        throw EInvalidGraphic(QStringLiteral("Bitmap image is not valid"));
    picture.seek(0);
    QBuffer encoded;
    encoded.open(QIODevice::ReadWrite);
    MimeEncodeStream(picture, encoded);
    text = QString::fromLatin1(encoded.data());
}

void TvxpDocument::DecodeBitmap(const QString& text, QImage& graphic)
{
    QImage image;
    if (!image.loadFromData(DecodeBase64Text(text), "BMP"))
        throw EInvalidGraphic(QStringLiteral("Bitmap image is not valid"));
    graphic = image;
}

void TvxpDocument::DecodeJpeg(const QString& text, QImage& graphic)
{
    QImage image;
    if (!image.loadFromData(DecodeBase64Text(text), "JPEG"))
        throw EInvalidGraphic(QStringLiteral("JPEG image is not valid"));
    graphic = image;
}

void TvxpDocument::DecodeMetafile(const QString& text, TMetafilePicture& graphic)
{
    graphic.LoadFromData(DecodeBase64Text(text));
}

QString TvxpDocument::XmlEscape(const QString& text)
{
    return ::XmlEscape(text);
}

QString TvxpDocument::BoolToYN(bool value)
{
    return ::BoolToYN(value);
}
