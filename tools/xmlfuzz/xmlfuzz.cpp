// Fuzz target of the XML parser. The first byte picks the options (strict
// XML, validation, owned parser, default encoding); the rest is the document.
// A document that parses is written back and parsed again; without a DTD the
// written text must parse.

#include "platform/core/Exception.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLParser.h"
#include "protocol/xml/XMLEncoding.h"

#include <QBuffer>
#include <QByteArray>
#include <QObject>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<TXMLDocument> Parse(TXMLParser& parser, QByteArray bytes, QString* error)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TXMLDocument* doc = nullptr;
    try {
        parser.LoadFromStream(&buffer, doc);
    } catch (const Exception& e) {
        delete doc;
        if (error) *error = e.Message();
        return nullptr;
    }
    return std::unique_ptr<TXMLDocument>(doc);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QObject* form = new QObject;
    if (size == 0) return 0;
    const uint8_t options = data[0];
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    TXMLParser parser((options & 4) ? form : nullptr);
    parser.StandardXML = options & 1;
    parser.ValidateDocument = options & 2;
    static const TEncoding encodings[4] = {US_ASCII, UTF_8, i8859_1, i8859_5};
    parser.SetDefaultEncoding(encodings[(options >> 3) & 3]);
    parser.FormatedOutput = !(options & 32);

    std::unique_ptr<TXMLDocument> doc = Parse(parser, bytes, nullptr);
    if (!doc) return 0;
    QByteArray written;
    try {
        written = doc->SaveToBytes();
    } catch (const Exception&) {
        return 0;
    }
    const bool hasDtd = doc->getDocType() != nullptr;
    TXMLParser again((options & 4) ? form : nullptr);
    again.SetDefaultEncoding(doc->getEncoding() == UTF_16 ? US_ASCII : doc->getEncoding());
    if (doc->getEncoding() == UTF_16) written.prepend(doc->BigEndian ? "\xFE\xFF" : "\xFF\xFE");
    QString error;
    std::unique_ptr<TXMLDocument> reread = Parse(again, written, &error);
    if (!reread && !hasDtd) {
        std::fprintf(stderr, "written document does not parse: %s\n%s\n", error.toUtf8().constData(),
                     written.left(2000).constData());
        std::abort();
    }
    return 0;
}
