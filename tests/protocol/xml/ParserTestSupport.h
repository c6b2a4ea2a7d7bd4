#pragma once
// Helpers of the parser tests: parse bytes, catch the parse error, write a
// document back.

#include "tests/support/PrintQString.h"

#include "protocol/xml/EDOMException.h"
#include "protocol/xml/EXMLParserError.h"
#include "protocol/xml/TDocumentType.h"
#include "protocol/xml/TXMLAttr.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLText.h"
#include "protocol/xml/TXMLParser.h"
#include "platform/dialogs/Dialogs.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <memory>

namespace parsertest {

// The program's answer to unconverted characters: an information box.
inline void ShowUnconvertedInABox(TXMLParser& parser)
{
    parser.OnUnconverted = [](TXMLParser*, const QString& message) {
        Dialogs::MessageDlg(message, TMsgDlgType::mtInformation, mbOK);
    };
}

struct Doc {
    std::unique_ptr<TXMLDocument> doc;
    bool result = false;
};

inline Doc Parse(TXMLParser& parser, const QByteArray& bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    TXMLDocument* doc = nullptr;
    Doc out;
    try {
        out.result = parser.LoadFromStream(&buffer, doc);
    } catch (...) {
        delete doc;
        throw;
    }
    out.doc.reset(doc);
    return out;
}

inline Doc Parse(const QByteArray& bytes)
{
    TXMLParser parser;
    return Parse(parser, bytes);
}

struct Failure {
    QString message;
    qint32 line = -1;
    QString source;
    bool dom = false;
    int domCode = 0;
    bool raised = false;
};

inline Failure ParseFailure(TXMLParser& parser, const QByteArray& bytes)
{
    Failure f;
    try {
        Parse(parser, bytes);
    } catch (const EXMLParserError& e) {
        f.raised = true;
        f.message = e.Message();
        f.line = e.Line;
        f.source = e.Source;
    } catch (const EDOMException& e) {
        f.raised = true;
        f.dom = true;
        f.domCode = e.Code();
        f.message = e.Message();
    }
    return f;
}

inline Failure ParseFailure(const QByteArray& bytes)
{
    TXMLParser parser;
    return ParseFailure(parser, bytes);
}

// The document as 16-bit text (the writer's layout).
inline QString Text(const TXMLDocument& doc) { return doc.WriteToString(); }

} // namespace parsertest
