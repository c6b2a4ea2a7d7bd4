// The writer's exact bytes: the service envelope, myinfo.xml-shaped files,
// every node kind, escaping, the save forms, files and streams.

#include "protocol/xml/TDocumentType.h"
#include "protocol/xml/TXMLAttr.h"
#include "protocol/xml/TXMLCData.h"
#include "protocol/xml/TXMLComment.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLDocumentOwner.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLOutput.h"
#include "protocol/xml/TXMLPI.h"
#include "protocol/xml/TXMLParser.h"
#include "protocol/xml/TXMLText.h"

#include "platform/dialogs/Dialogs.h"
#include "platform/core/Exception.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>

namespace {

class FakeParser : public TXMLDocumentOwner {
public:
    explicit FakeParser(bool formated) : m_formated(formated) { }
    bool DocumentFormatedOutput() const override { return m_formated; }

private:
    bool m_formated;
};

TXMLElement* addElement(TXMLDocument& doc, TXMLElement* parent, const char* name, const char* text = nullptr)
{
    auto* e = new TXMLElement(QString::fromLatin1(name), &doc);
    parent->appendChild(e);
    if (text) e->appendText(new TXMLText(QString::fromUtf8(text), &doc));
    return e;
}

// The envelope as the service document builds it: Clear, standalone, vxp,
// the request element with its four attributes, then the request's children.
TXMLElement* buildEnvelope(TXMLDocument& doc, const char* requestName)
{
    doc.Clear();
    doc.setStandalone(true);
    auto* vxp = new TXMLElement(QStringLiteral("vxp"), &doc);
    doc.setDocumentElement(vxp);
    auto* req = new TXMLElement(QString::fromLatin1(requestName), &doc);
    req->setAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    req->setAttribute(QStringLiteral("UserID"), QStringLiteral("7"));
    req->setAttribute(QStringLiteral("County"), QStringLiteral("12"));
    req->setAttribute(QStringLiteral("LogEvent"), QStringLiteral("N"));
    vxp->appendChild(req);
    return req;
}

QByteArray saveToBytes(const TXMLDocument& doc, TXMLSaveForm form = TXMLSaveForm::Document)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    doc.SaveToStream(&buffer, form);
    return buffer.data();
}

QByteArray readFile(const QString& name)
{
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray("<cannot open>");
    return f.readAll();
}

// A node whose writer fails, to break a save half way.
class FailingNode : public TXMLNode {
public:
    explicit FailingNode(TXMLDocument* doc) : TXMLNode(QStringLiteral("fail"), doc, 5) { }
    void WriteTo(TXMLOutput&, int) const override { throw Exception(QStringLiteral("writer failed")); }
};

// A device that accepts nothing.
class FullDevice : public QIODevice {
protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override { return -1; }
};

} // namespace

TEST(DomWriter, ServiceEnvelopeBytes)
{
    TXMLDocument doc;
    TXMLElement* req = buildEnvelope(doc, "prop.search");
    addElement(doc, req, "county", "12");
    addElement(doc, req, "userid", "7");
    addElement(doc, req, "use_mls", "T");
    auto* search = addElement(doc, req, "search");
    search->setAttribute(QStringLiteral("apn"), QString());
    // Values come escaped, as the service classes pass them.
    search->setAttribute(QStringLiteral("last"), QStringLiteral("O&apos;Neil &amp; Sons"));
    search->setAttribute(QStringLiteral("stname"), QStringLiteral("MAIN"));

    const QByteArray expected = "<?xml version = \"1.0\" standalone = \"yes\"?>\r\n"
                                "\r\n"
                                "<vxp>\r\n"
                                "   <prop.search version = \"1.0\" UserID = \"7\" County = \"12\" LogEvent = \"N\">\r\n"
                                "      <county>12</county>\r\n"
                                "      <userid>7</userid>\r\n"
                                "      <use_mls>T</use_mls>\r\n"
                                "      <search apn = \"\" last = \"O'Neil &amp; Sons\" stname = \"MAIN\"/>\r\n"
                                "   </prop.search>\r\n"
                                "</vxp>";
    EXPECT_EQ(saveToBytes(doc), expected);
    // An ASCII request is the same in the request form.
    EXPECT_EQ(saveToBytes(doc, TXMLSaveForm::Request), expected);
}

TEST(DomWriter, OneChildWithTextExample)
{
    TXMLDocument doc;
    FakeParser parser(true);
    doc.SetParser(&parser);
    auto* vxp = new TXMLElement(QStringLiteral("vxp"), &doc);
    doc.setDocumentElement(vxp);
    auto* req = addElement(doc, vxp, "req");
    req->setAttribute(QStringLiteral("a"), QStringLiteral("1"));
    req->setAttribute(QStringLiteral("b"), QStringLiteral("2"));
    addElement(doc, req, "c", "x");
    EXPECT_EQ(
        doc.WriteToString(),
        QStringLiteral("<?xml version = \"1.0\"?>\r\n\r\n<vxp>\r\n   <req a = \"1\" b = \"2\">\r\n      <c>x</c>\r\n"
                       "   </req>\r\n</vxp>"));
    // Without FormatedOutput every element still starts a line, unindented.
    FakeParser flat(false);
    doc.SetParser(&flat);
    EXPECT_EQ(
        doc.WriteToString(),
        QStringLiteral(
            "<?xml version = \"1.0\"?>\r\n\r\n<vxp>\r\n<req a = \"1\" b = \"2\">\r\n<c>x</c>\r\n</req>\r\n</vxp>"));
}

TEST(DomWriter, ParserLinkIsWeak)
{
    TXMLDocument doc;
    doc.setDocumentElement(new TXMLElement(QStringLiteral("r"), &doc));
    addElement(doc, doc.getDocumentElement(), "c");
    {
        FakeParser flat(false);
        doc.SetParser(&flat);
        EXPECT_EQ(doc.Parser(), &flat);
        EXPECT_FALSE(doc.FormatedOutput());
    }
    EXPECT_EQ(doc.Parser(), nullptr);
    EXPECT_TRUE(doc.FormatedOutput());
    EXPECT_TRUE(doc.WriteToString().endsWith(QStringLiteral("<r>\r\n   <c/>\r\n</r>")));
}

TEST(DomWriter, MyInfoShapedLocalFile)
{
    TXMLDocument doc;
    TXMLParser parser;
    parser.OnUnconverted = [](TXMLParser*, const QString& message) {
        Dialogs::MessageDlg(message, TMsgDlgType::mtInformation, mbOK);
    };
    doc.SetParser(&parser);
    TXMLElement* req = buildEnvelope(doc, "personel.info");
    auto* info = addElement(doc, req, "name_info");
    info->setAttribute(QStringLiteral("first"), QString::fromUtf8("Jos\u00e9"));
    info->setAttribute(QStringLiteral("last"), QStringLiteral("Smith &amp; Co")); // as XmlEscape leaves it
    info->setAttribute(QStringLiteral("comp"), QStringLiteral("A &quot;B&quot; &lt;C&gt;"));
    info->setAttribute(QStringLiteral("showmls"), QStringLiteral("Y"));
    auto* providers = addElement(doc, req, "providers");
    auto* p = addElement(doc, providers, "provider");
    p->setAttribute(QStringLiteral("mlsid"), QStringLiteral("12"));
    p->setAttribute(QStringLiteral("name"), QStringLiteral("North"));
    addElement(doc, req, "photo", "QUJD\r\nREVG");
    addElement(doc, req, "logo");

    const QByteArray body = "\r\n"
                            "<vxp>\r\n"
                            "   <personel.info version = \"1.0\" UserID = \"7\" County = \"12\" LogEvent = \"N\">\r\n"
                            "      <name_info first = \"Jos\xc3\xa9\" last = \"Smith &amp; Co\" comp = \"A "
                            "&quot;B&quot; &lt;C>\" showmls = \"Y\"/>\r\n"
                            "      <providers>\r\n"
                            "         <provider mlsid = \"12\" name = \"North\"/>\r\n"
                            "      </providers>\r\n"
                            "      <photo>QUJD\r\nREVG</photo>\r\n"
                            "      <logo/>\r\n"
                            "   </personel.info>\r\n"
                            "</vxp>";
    ScopedDialogResponder responder;
    EXPECT_EQ(saveToBytes(doc, TXMLSaveForm::LocalFile),
              "<?xml version = \"1.0\" encoding = \"UTF-8\" standalone = \"yes\"?>\r\n" + body);
    EXPECT_EQ(saveToBytes(doc, TXMLSaveForm::Request), "<?xml version = \"1.0\" standalone = \"yes\"?>\r\n" + body);
    EXPECT_EQ(responder.Shown().size(), 0);
    // The document form after Clear is US-ASCII: the accented letter is lost
    // and reported.
    QByteArray ascii = saveToBytes(doc);
    EXPECT_TRUE(ascii.contains("first = \"Jos_\""));
    ASSERT_EQ(responder.Shown().size(), 1);
    EXPECT_EQ(responder.Shown()[0].type, TMsgDlgType::mtInformation);
    EXPECT_EQ(responder.Shown()[0].buttons, TMsgDlgButtons(mbOK));
    EXPECT_EQ(responder.Shown()[0].text,
              QStringLiteral("The file contains the following characters that are illegal in the US-ASCII encoding "
                             "scheme: \r\n\r\n[(0x00E9)]\r\n\r\nThey have been replaced with the default underscore "
                             "placeholder char '_' (0x005F)!"));
    // Nothing of it stays listed after the save.
    EXPECT_TRUE(UnconvertedListIsEmpty());
}

TEST(DomWriter, LocalFileReplacesADeclaredEncoding)
{
    TXMLDocument doc;
    doc.setEncoding(QStringLiteral("ISO-8859-1"));
    doc.setDocumentElement(new TXMLElement(QStringLiteral("r"), &doc));
    EXPECT_TRUE(saveToBytes(doc).startsWith("<?xml version = \"1.0\" encoding = \"ISO-8859-1\"?>\r\n"));
    EXPECT_TRUE(
        saveToBytes(doc, TXMLSaveForm::LocalFile).startsWith("<?xml version = \"1.0\" encoding = \"UTF-8\"?>\r\n"));
    EXPECT_TRUE(saveToBytes(doc, TXMLSaveForm::Request).startsWith("<?xml version = \"1.0\"?>\r\n"));
    // Saving changed nothing in the document.
    EXPECT_EQ(doc.getEncoding(), i8859_1);
    EXPECT_EQ(doc.getAttributeNode(QStringLiteral("encoding"))->getNodeValue(), QStringLiteral("ISO-8859-1"));
}

TEST(DomWriter, EveryNodeKind)
{
    TXMLDocument doc;
    doc.appendChild(
        doc.createProcessingInstruction(QStringLiteral("xml-stylesheet"), QStringLiteral("href=\"a.css\"")));
    doc.appendChild(new TXMLComment(QStringLiteral(" top "), &doc));
    auto* root = new TXMLElement(QStringLiteral("root"), &doc);
    doc.setDocumentElement(root);
    auto* onlyComment = addElement(doc, root, "c");
    onlyComment->appendChild(new TXMLComment(QStringLiteral("note"), &doc));
    auto* mixed = addElement(doc, root, "m");
    mixed->appendText(new TXMLText(QStringLiteral("a > b"), &doc));
    mixed->appendChild(new TXMLElement(QStringLiteral("i"), &doc));
    mixed->appendText(new TXMLText(QStringLiteral("tail"), &doc));
    root->appendChild(new TXMLCData(QStringLiteral("<raw & data>"), &doc));
    root->appendChild(doc.createProcessingInstruction(QStringLiteral("pi"), QStringLiteral("data")));
    EXPECT_EQ(doc.WriteToString(),
              QStringLiteral("<?xml version = \"1.0\"?>\r\n"
                             "\r\n<?xml-stylesheet href=\"a.css\"?>"
                             "\r\n<!-- top -->"
                             "\r\n<root>"
                             "\r\n   <c>\r\n      <!--note-->\r\n   </c>"
                             "\r\n   <m>a > b<i/>tail</m>"
                             "\r\n   <![CDATA[<raw & data>]]>"
                             "\r\n   <?pi data?>"
                             "\r\n</root>"));
}

TEST(DomWriter, Escaping)
{
    TXMLDocument doc;
    auto* root = new TXMLElement(QStringLiteral("r"), &doc);
    doc.setDocumentElement(root);
    root->setAttribute(QStringLiteral("q"), QStringLiteral("say &quot;hi&quot;")); // resolves to say "hi"
    TXMLAttr* injected = root->setAttribute(QStringLiteral("v"), QStringLiteral("x"));
    injected->setNodeValue(QStringLiteral("x\" evil=\"1;"));
    TXMLAttr* lt = root->setAttribute(QStringLiteral("lt"), QStringLiteral("x"));
    lt->setNodeValue(QStringLiteral("a<b;c"));
    root->setAttribute(QStringLiteral("apos"), QStringLiteral("it's"));
    auto* t = new TXMLText(QStringLiteral("x"), &doc);
    root->appendText(t);
    t->setNodeValue(QStringLiteral("1 < 2; 3 > 2 & &amp; &#38; &#x26; &name; &#x; & b; \"q\""));
    const QString out = doc.WriteToString();
    EXPECT_TRUE(out.contains(QStringLiteral(" q = \"say &quot;hi&quot;\""))) << qPrintable(out);
    EXPECT_TRUE(out.contains(QStringLiteral(" v = \"x&quot; evil=&quot;1;\""))) << qPrintable(out);
    EXPECT_TRUE(out.contains(QStringLiteral(" lt = \"a&lt;b;c\""))) << qPrintable(out);
    EXPECT_TRUE(out.contains(QStringLiteral(" apos = \"it's\""))) << qPrintable(out);
    EXPECT_TRUE(
        out.contains(QStringLiteral(">1 &lt; 2; 3 > 2 &amp; &amp; &#38; &#x26; &name; &amp;#x; &amp; b; \"q\"</r>")))
        << qPrintable(out);
}

TEST(DomWriter, DocumentTypeIsEndedProperly)
{
    TXMLDocument doc;
    auto* dt = new TDocumentType(QStringLiteral("root"), &doc);
    doc.appendChild(dt);
    doc.setDocumentElement(new TXMLElement(QStringLiteral("root"), &doc));
    EXPECT_EQ(doc.WriteToString(), QStringLiteral("<?xml version = \"1.0\"?>\r\n<!DOCTYPE root []>\r\n\r\n<root/>"));
    dt->SystemId = QStringLiteral("root.dtd");
    EXPECT_EQ(doc.WriteToString(),
              QStringLiteral("<?xml version = \"1.0\"?>\r\n<!DOCTYPE root SYSTEM \"root.dtd\">\r\n\r\n<root/>"));
    dt->PublicId = QStringLiteral("-//X//Y");
    dt->SystemId.clear();
    EXPECT_EQ(
        doc.WriteToString(),
        QStringLiteral("<?xml version = \"1.0\"?>\r\n<!DOCTYPE root PUBLIC \"-//X//Y\" \"root.dtd\">\r\n\r\n<root/>"));
    dt->PublicId.clear();
    dt->SystemId = QStringLiteral("say\"so\".dtd");
    dt->getDeclarations().setNamedItem(new TXMLComment(QStringLiteral("decl"), &doc));
    EXPECT_EQ(doc.WriteToString(),
              QStringLiteral(
                  "<?xml version = \"1.0\"?>\r\n<!DOCTYPE root SYSTEM 'say\"so\".dtd' [\r\n\r\n   <!--decl-->]>\r\n"
                  "\r\n<root/>"));
}

TEST(DomWriter, SaveToStreamWritesAtThePositionAndChecksWrites)
{
    TXMLDocument doc;
    doc.setDocumentElement(new TXMLElement(QStringLiteral("r"), &doc));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    buffer.write("PREFIX");
    doc.SaveToStream(&buffer);
    EXPECT_EQ(buffer.data(), QByteArray("PREFIX<?xml version = \"1.0\"?>\r\n\r\n<r/>"));

    FullDevice full;
    full.open(QIODevice::WriteOnly);
    try {
        doc.SaveToStream(&full);
        ADD_FAILURE() << "no error";
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Stream write error"));
    }
    QBuffer closed; // not open: every write fails
    EXPECT_THROW(doc.SaveToStream(&closed), EStreamError);
}

TEST(DomWriter, Utf16Output)
{
    TXMLDocument doc;
    doc.setEncoding(QStringLiteral("UTF-16"));
    doc.setDocumentElement(new TXMLElement(QStringLiteral("r"), &doc));
    const QByteArray be = doc.SaveToBytes();
    ASSERT_GE(be.size(), 4);
    EXPECT_EQ(be.left(4), QByteArray("\0<\0?", 4));
    doc.BigEndian = false;
    EXPECT_EQ(doc.SaveToBytes().left(4), QByteArray("<\0?\0", 4));
}

TEST(DomFile, SaveToFileMarksAndReplaces)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("out.xml"));
    TXMLDocument doc;
    doc.setDocumentElement(new TXMLElement(QStringLiteral("r"), &doc));
    doc.SaveToFile(name);
    EXPECT_EQ(readFile(name), QByteArray("<?xml version = \"1.0\"?>\r\n\r\n<r/>"));

    doc.setEncoding(QStringLiteral("UTF-16"));
    doc.SaveToFile(name);
    QByteArray bytes = readFile(name);
    EXPECT_EQ(bytes.left(4), QByteArray("\xFE\xFF\0<", 4));
    doc.BigEndian = false;
    doc.SaveToFile(name);
    bytes = readFile(name);
    EXPECT_EQ(bytes.left(4), QByteArray("\xFF\xFE<\0", 4));
    EXPECT_EQ(bytes.size(), 2 + 2 * qsizetype(strlen("<?xml version = \"1.0\" encoding = \"UTF-16\"?>\r\n\r\n<r/>")));

    // The local-file form is UTF-8 without a mark, whatever the document's
    // encoding.
    doc.SaveToFile(name, TXMLSaveForm::LocalFile);
    EXPECT_EQ(readFile(name), QByteArray("<?xml version = \"1.0\" encoding = \"UTF-8\"?>\r\n\r\n<r/>"));
}

TEST(DomFile, LocalFilesAreOpenToTheirOwnerAloneOnEverySave)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto mode = [](const QString& path) {
        struct stat st;
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
    };
    const mode_t umask = ::umask(022);
    TXMLDocument doc;
    doc.setDocumentElement(new TXMLElement(QStringLiteral("r"), &doc));
    const QString local = dir.filePath(QStringLiteral("myinfo.xml"));
    doc.SaveToFile(local, TXMLSaveForm::LocalFile);
    EXPECT_EQ(mode(local), 0600u);
    // An older file open to others is replaced by one that is not.
    ASSERT_EQ(::chmod(QFile::encodeName(local).constData(), 0644), 0);
    doc.SaveToFile(local, TXMLSaveForm::LocalFile);
    EXPECT_EQ(mode(local), 0600u);
    EXPECT_EQ(readFile(local), QByteArray("<?xml version = \"1.0\" encoding = \"UTF-8\"?>\r\n\r\n<r/>"));
    // Other documents follow the umask, and keep the mode of what they replace.
    const QString other = dir.filePath(QStringLiteral("other.xml"));
    doc.SaveToFile(other);
    EXPECT_EQ(mode(other), 0644u);
    ASSERT_EQ(::chmod(QFile::encodeName(other).constData(), 0640), 0);
    doc.SaveToFile(other);
    EXPECT_EQ(mode(other), 0640u);
    ::umask(umask);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("myinfo.xml"), QStringLiteral("other.xml")}));
}

TEST(DomFile, FailedSaveKeepsTheOldFileAndRaises)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("keep.xml"));
    {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old contents");
    }
    TXMLDocument doc;
    auto* root = new TXMLElement(QStringLiteral("r"), &doc);
    doc.setDocumentElement(root);
    root->appendChild(new FailingNode(&doc));
    EXPECT_THROW(doc.SaveToFile(name), Exception);
    EXPECT_EQ(readFile(name), QByteArray("old contents"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("keep.xml")});

    // A target that cannot be created raises the file-creation error.
    const QString bad = dir.filePath(QStringLiteral("keep.xml/sub.xml"));
    delete root->removeChild(root->getChildNodes().first());
    try {
        doc.SaveToFile(bad);
        ADD_FAILURE() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Error creating file stream for ") + bad);
    }
}

TEST(DomFile, WritingNeverCreatesFilesNamedByTheDocument)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TXMLDocument doc;
    auto* dt = new TDocumentType(QStringLiteral("root"), &doc);
    dt->SystemId = dir.filePath(QStringLiteral("evil.dtd"));
    dt->PublicId = dir.filePath(QStringLiteral("public.dtd"));
    dt->getDeclarations().setNamedItem(new TXMLComment(QStringLiteral("decl"), &doc));
    doc.appendChild(dt);
    doc.setDocumentElement(new TXMLElement(QStringLiteral("root"), &doc));
    const QString name = dir.filePath(QStringLiteral("doc.xml"));
    doc.SaveToFile(name);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("doc.xml")});
    EXPECT_TRUE(readFile(name).contains("<!--decl-->]>"));
}
