// xmltool: reads an XML file with the parser as the program configures it
// (owned parser, US-ASCII by default, not validating, lenient XML) and writes
// the document back out with the writer.
//
//   xmltool [options] FILE
//     --validate            validate against the DTD and list the problems
//     --standard            strict XML declaration and end tags
//     --encoding NAME       default encoding of input without a mark
//     --allow-external      read DTD and entity files named by the document,
//                           below the file's folder (or --base DIR)
//     --base DIR            folder external files must lie in
//     -o FILE               write to FILE instead of standard output
//
// Exit status: 0 success; 1 parse or file error (the message with its line
// and position on standard error); 2 usage; 3 the document is not valid.

#include "platform/dialogs/Dialogs.h"
#include "protocol/xml/EDOMException.h"
#include "protocol/xml/EXMLParserError.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLParser.h"
#include "protocol/xml/XMLEncoding.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QStringList>

#include <cstdio>
#include <memory>

namespace {

void Err(const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
}

int Usage()
{
    Err(QStringLiteral("usage: xmltool [--validate] [--standard] [--encoding NAME] [--allow-external] "
                       "[--base DIR] [-o FILE] FILE"));
    return 2;
}

// The information boxes the parser and the writer show, as notes.
void FlushDialogs(DialogResponder& responder)
{
    for (const DialogRequest& r : responder.Shown()) Err(QStringLiteral("note: ") + r.text);
    responder.Clear();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ScopedDialogResponder responder;

    QObject form; // the parser's owner, as on the program's forms
    TXMLParser parser(&form);
    parser.OnUnconverted = [](TXMLParser*, const QString& message) {
        Dialogs::MessageDlg(message, TMsgDlgType::mtInformation, mbOK);
    };
    QString input;
    QString output;
    QString base;
    QStringList args = app.arguments();
    args.removeFirst();
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == u"--validate") {
            parser.ValidateDocument = true;
        } else if (a == u"--standard") {
            parser.StandardXML = true;
        } else if (a == u"--encoding" && i + 1 < args.size()) {
            const TEncoding e = EncodingFromName(args[++i]);
            if (e == n_sup) {
                Err(QStringLiteral("unknown encoding: ") + args[i]);
                return 2;
            }
            parser.SetDefaultEncoding(e);
        } else if (a == u"--allow-external") {
            parser.AllowExternalFiles = true;
        } else if (a == u"--base" && i + 1 < args.size()) {
            base = args[++i];
        } else if (a == u"-o" && i + 1 < args.size()) {
            output = args[++i];
        } else if (a.startsWith(u'-') || !input.isEmpty()) {
            return Usage();
        } else {
            input = a;
        }
    }
    if (input.isEmpty()) return Usage();
    if (parser.AllowExternalFiles) parser.ExternalBaseDir = base.isEmpty() ? QFileInfo(input).absolutePath() : base;
    parser.OnFileNotFound = [](TXMLNode*, const QString& name) {
        Err(QStringLiteral("note: external file not found or not allowed: ") + name);
    };

    QFile file(input);
    if (!file.open(QIODevice::ReadOnly)) {
        Err(QStringLiteral("Cannot open file \"%1\".").arg(input));
        return 1;
    }
    std::unique_ptr<TXMLDocument> holder;
    TXMLDocument* doc = nullptr;
    bool valid = true;
    try {
        valid = parser.LoadFromStream(&file, doc);
        holder.reset(doc);
    } catch (const EXMLParserError& e) {
        delete doc;
        FlushDialogs(responder);
        QString where = QStringLiteral("line %1, position %2").arg(e.Line).arg(e.Position);
        if (!e.Source.isEmpty()) where += QStringLiteral(", in \"%1\"").arg(e.Source);
        Err(QStringLiteral("%1: error: %2 (%3)").arg(input, e.Message(), where));
        return 1;
    } catch (const Exception& e) {
        delete doc;
        FlushDialogs(responder);
        Err(QStringLiteral("%1: error: %2").arg(input, e.Message()));
        return 1;
    }
    FlushDialogs(responder);

    try {
        if (output.isEmpty()) {
            QFile out;
            out.open(stdout, QIODevice::WriteOnly);
            doc->SaveToStream(&out);
        } else {
            doc->SaveToFile(output);
        }
    } catch (const Exception& e) {
        FlushDialogs(responder);
        Err(QStringLiteral("error: ") + e.Message());
        return 1;
    }
    FlushDialogs(responder);

    if (parser.ValidateDocument) {
        for (const TError& error : parser.Errors()) Err(error.Message);
        if (!valid) return 3;
    }
    return 0;
}
