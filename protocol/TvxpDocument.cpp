#include "protocol/TvxpDocument.h"

#include "platform/core/Format.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/core/SysUtils.h"
#include "platform/graphics/BitmapWriter.h"
#include "platform/graphics/EInvalidGraphic.h"
#include "platform/graphics/PictureReader.h"
#include "protocol/FieldTexts.h"
#include "protocol/StreamCodecs.h"
#include "protocol/TMetafilePicture.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLText.h"

#include <QImage>

namespace {

QByteArray DecodeBase64Text(const QString& text)
{
    // Characters outside Latin-1 become "?", which the decoder skips like
    // every other character outside its alphabet.
    return MimeDecode(text.toLatin1());
}

} // namespace

TvxpDocument::TvxpDocument(QObject* owner) : TXMLParser(owner)
{
    StandardXML = false;
    ValidateDocument = false;
    FormatedOutput = true;
    SetDefaultEncoding(US_ASCII);
    OnUnconverted = [](TXMLParser*, const QString& message) {
        Dialogs::MessageDlg(message, TMsgDlgType::mtInformation, mbOK);
    };
}

TvxpDocument::~TvxpDocument() = default;

TXMLDocument& TvxpDocument::EnsureDocument()
{
    m_root = nullptr;
    m_request = nullptr;
    ++m_generation;
    if (!m_document)
        m_document = std::make_unique<TXMLDocument>();
    else
        m_document->Clear();
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
    const bool refused = RefuseDocType;
    RefuseDocType = true;
    struct Restore {
        TvxpDocument* d;
        bool value;
        ~Restore() { d->RefuseDocType = value; }
    } restore{this, refused};
    return LoadDocument(stream);
}

void TvxpDocument::EncodeGraphic(const QImage& graphic, QString& text)
{
    const QByteArray picture = BitmapWriter::Write(graphic);
    if (!graphic.isNull() && picture.isEmpty()) throw EInvalidGraphic(QStringLiteral("Bitmap image is not valid"));
    text = QString::fromLatin1(MimeEncode(picture));
}

void TvxpDocument::DecodeBitmap(const QString& text, QImage& graphic)
{
    // Refused like a broken one: a bitmap short of its pixels or past the
    // reader's size cap.
    const QImage image = PictureReader::ReadBitmap(DecodeBase64Text(text));
    if (image.isNull()) throw EInvalidGraphic(QStringLiteral("Bitmap image is not valid"));
    graphic = image;
}

void TvxpDocument::DecodeJpeg(const QString& text, QImage& graphic)
{
    // Scaled down by a power of two when larger than the reader's cap.
    const QImage image = PictureReader::ReadJpeg(DecodeBase64Text(text));
    if (image.isNull()) throw EInvalidGraphic(QStringLiteral("JPEG image is not valid"));
    graphic = image;
}

void TvxpDocument::DecodeMetafile(const QString& text, TMetafilePicture& graphic)
{
    graphic.LoadFromData(DecodeBase64Text(text));
}

QString TvxpDocument::XmlEscape(const QString& text) { return ::XmlEscape(text); }

QString TvxpDocument::BoolToYN(bool value) { return ::BoolToYN(value); }
