#include "protocol/TvxpPersonalInfo.h"

#include "platform/graphics/BitmapWriter.h"
#include "platform/graphics/EInvalidGraphic.h"
#include "platform/graphics/PictureReader.h"
#include "protocol/FieldTexts.h"
#include "protocol/StreamCodecs.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLText.h"
#include "protocol/xml/XMLQuery.h"

#include <QFile>
#include <QFileInfo>
#include <memory>

const std::array<const char*, TvxpPersonalInfo::kFieldCount> TvxpPersonalInfo::kAttributes = {
    "first",    "last",  "full",    "addr1", "addr2",   "comp",  "city",    "state", "zip",     "MlsId",
    "MemberId", "type1", "number1", "type2", "number2", "type3", "number3", "type4", "number4",
};

void TvxpPersonalInfo::DecodePicture(const QString& text, QImage& picture, StoredPicture& stored)
{
    if (text.isEmpty()) return;
    // As DecodeBitmap, keeping the file's bytes. A picture that is broken or
    // too large is dropped; the page's texts still load.
    const QByteArray bytes = MimeDecode(text.toLatin1());
    const QImage image = PictureReader::ReadBitmap(bytes);
    if (image.isNull()) return;
    picture = image;
    stored = {bytes, image};
}

void TvxpPersonalInfo::AppendPicture(TXMLElement* request, const QString& name, const QImage& picture,
                                     StoredPicture& stored)
{
    TXMLDocument* doc = request->getOwnerDocument();
    auto element = std::make_unique<TXMLElement>(name, doc);
    if (!picture.isNull()) {
        // A picture as it was read (or last written) keeps its bytes; a new
        // one is written in a compact form and kept for the next save.
        const bool same =
            !stored.bytes.isEmpty() && (picture.cacheKey() == stored.image.cacheKey() || picture == stored.image);
        if (!same) {
            const QByteArray bytes = BitmapWriter::Write(picture);
            if (bytes.isEmpty()) throw EInvalidGraphic(QStringLiteral("Bitmap image is not valid"));
            stored = {bytes, picture};
        }
        element->appendText(new TXMLText(QString::fromLatin1(MimeEncode(stored.bytes)), doc));
    }
    request->appendChild(element.get());
    element.release();
}

TvxpPersonalInfo::TvxpPersonalInfo(QObject* owner) : TvxpDocument(owner) { }

TvxpPersonalInfo::~TvxpPersonalInfo() = default;

void TvxpPersonalInfo::SetFileName(const QString& value)
{
    m_fileName = value;
    Dirty = true;
}

void TvxpPersonalInfo::SetValue(Field f, const QString& value)
{
    m_values[f] = value;
    Dirty = true;
}

void TvxpPersonalInfo::AddProvider(const QString& id, const QString& name) { m_providers.Add(id, name); }

void TvxpPersonalInfo::ClearProviders() { m_providers.Clear(); }

QString TvxpPersonalInfo::ProviderName() const
{
    QString name;
    for (int i = 0; i < m_providers.Count(); ++i)
        if (m_providers.Item(i).Id == MlsId()) name = m_providers.Item(i).Name;
    return name;
}

void TvxpPersonalInfo::Load()
{
    if (Loaded || m_fileName.isEmpty() || !QFileInfo(m_fileName).isFile()) return;
    QFile file(m_fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(m_fileName, file.errorString()));
    const bool loaded = LoadDocument(&file);
    file.close();

    if (loaded) {
        for (TXMLElement* e = RequestElement()->getFirstChildElement(); e; e = e->getNextSiblingElement()) {
            const QString& tag = e->getTagName();
            if (tag == QLatin1String("name_info")) {
                for (int f = 0; f < kFieldCount; ++f) m_values[f] = e->getAttribute(QLatin1String(kAttributes[f]));
                ShowMls = e->getAttribute(QStringLiteral("showmls")) == QLatin1String("Y");
            } else if (tag == QLatin1String("providers")) {
                // Providers that came from the login answer stay.
                if (!m_providers.IsEmpty()) continue;
                ClearProviders();
                for (TXMLElement* p = e->getFirstChildElement(); p; p = p->getNextSiblingElement())
                    AddProvider(p->getAttribute(QStringLiteral("mlsid")).left(255),
                                p->getAttribute(QStringLiteral("name")).left(255));
            } else if (tag == QLatin1String("photo")) {
                DecodePicture(ElementText(e), Photo, m_storedPhoto);
            } else if (tag == QLatin1String("logo")) {
                DecodePicture(ElementText(e), Logo, m_storedLogo);
            }
        }
    }
    Loaded = true;
    Dirty = false;
}

void TvxpPersonalInfo::Save()
{
    if (!Dirty) return;
    VxpTypeName = QStringLiteral("personel.info");
    VxpTypeVersion = QStringLiteral("1.0");
    NewDocument();
    TXMLElement* request = RequestElement();
    TXMLDocument* doc = XMLDocument();

    // Escaped values: the new attribute resolves the references again, so a
    // "<" or a lone "&" cannot make it fail and the writer escapes once.
    auto nameInfo = std::make_unique<TXMLElement>(QStringLiteral("name_info"), doc);
    for (int f = 0; f < kFieldCount; ++f) nameInfo->setAttribute(QLatin1String(kAttributes[f]), XmlEscape(m_values[f]));
    nameInfo->setAttribute(QStringLiteral("showmls"), BoolToYN(ShowMls));
    request->appendChild(nameInfo.get());
    nameInfo.release();

    auto providers = std::make_unique<TXMLElement>(QStringLiteral("providers"), doc);
    for (int i = 0; i < m_providers.Count(); ++i) {
        auto provider = std::make_unique<TXMLElement>(QStringLiteral("provider"), doc);
        provider->setAttribute(QStringLiteral("mlsid"), XmlEscape(m_providers.Item(i).Id));
        provider->setAttribute(QStringLiteral("name"), XmlEscape(m_providers.Item(i).Name));
        providers->appendChild(provider.get());
        provider.release();
    }
    request->appendChild(providers.get());
    providers.release();

    AppendPicture(request, QStringLiteral("photo"), Photo, m_storedPhoto);
    AppendPicture(request, QStringLiteral("logo"), Logo, m_storedLogo);

    doc->SaveToFile(m_fileName, TXMLSaveForm::LocalFile);
}
