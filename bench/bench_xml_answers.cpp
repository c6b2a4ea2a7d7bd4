// Service answers that cost far more than their size, measured end to end:
// a property search posted through the service connection to a server in
// this process on 127.0.0.1, which answers with the chosen answer (or not at
// all), and the local-file cases parsed straight from memory. Prints the
// wall and CPU time of the call and how it ended; run it under
// /usr/bin/time -v for the peak memory.
//
//   bench_xml_answers attributes N        message answer whose element has N attributes
//   bench_xml_answers big MiB [amp]       message answer of MiB of text (amp: "&amp;" on every line)
//   bench_xml_answers silent [MS] [CAP]   server that accepts and never answers; MS: the
//                                         silence the connection waits out (default: its own);
//                                         CAP: seconds after which this program gives up
//                                         and disconnects (default 60)
//   bench_xml_answers declarations N      local file with N entity declarations
//   bench_xml_answers ids N               local file with N ID attributes, validated

#include "platform/dialogs/Dialogs.h"
#include "protocol/TSubjectProperty.h"
#include "protocol/TvxpDocument.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLParser.h"

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <sys/resource.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

namespace {

double CpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// zlib stream of the pieces a producer hands out one after another, so that
// a large answer is never held uncompressed here.
QByteArray Deflate(const std::function<bool(QByteArray&)>& next)
{
    z_stream s{};
    deflateInit(&s, 6);
    QByteArray out;
    QByteArray piece;
    char buffer[1 << 16];
    bool more = true;
    while (more) {
        piece.clear();
        more = next(piece);
        s.next_in = reinterpret_cast<Bytef*>(piece.data());
        s.avail_in = uInt(piece.size());
        do {
            s.next_out = reinterpret_cast<Bytef*>(buffer);
            s.avail_out = sizeof buffer;
            deflate(&s, more ? Z_NO_FLUSH : Z_FINISH);
            out.append(buffer, qsizetype(sizeof buffer - s.avail_out));
        } while (s.avail_out == 0);
    }
    deflateEnd(&s);
    return out;
}

QByteArray AttributesAnswer(int n)
{
    QByteArray xml = "<?xml version=\"1.0\"?>\n<vxp><message version=\"1.0\"";
    for (int i = 0; i < n; ++i)
        xml += " attr" + QByteArray::number(i) + "=\"value " + QByteArray::number(i * 7919) + "\"";
    xml += ">No properties were found that match your search.</message></vxp>\n";
    bool given = false;
    return Deflate([&](QByteArray& piece) {
        if (!given) piece = xml;
        given = true;
        return false;
    });
}

QByteArray BigAnswer(qint64 mib, bool amp)
{
    const QByteArray line = amp ? "Scheduled maintenance tonight &amp; tomorrow from 10 PM to midnight, line 0000000.\n"
                                : "Scheduled maintenance tonight and tomorrow from 10 PM to midnight, line 0000000.\n";
    const qint64 total = mib * 1024 * 1024;
    qint64 written = 0;
    qint64 number = 0;
    int stage = 0;
    return Deflate([&](QByteArray& piece) {
        if (stage == 0) {
            piece = "<?xml version=\"1.0\"?>\n<vxp><message version=\"1.0\">";
            stage = 1;
            return true;
        }
        if (stage == 1) {
            piece.reserve(1 << 20);
            while (piece.size() < (1 << 20) && written < total) {
                QByteArray l = line;
                const QByteArray num = QByteArray::number(number++).rightJustified(7, '0');
                std::memcpy(l.data() + l.size() - 9, num.constData(), 7);
                piece += l;
                written += l.size();
            }
            if (written >= total) stage = 2;
            return true;
        }
        piece = "</message></vxp>\n";
        return false;
    });
}

// Answers each request on 127.0.0.1 with the body given (as an HTTP 200
// answer), or holds the connection open without a byte when silent.
class AnswerServer : public QObject {
public:
    AnswerServer(QByteArray body, bool silent) : m_body(std::move(body)), m_silent(silent)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                auto received = std::make_shared<QByteArray>();
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
                    *received += socket->readAll();
                    const qsizetype end = received->indexOf("\r\n\r\n");
                    if (end < 0 || m_silent) return;
                    const qsizetype at = received->toLower().indexOf("content-length:");
                    const qsizetype length = at < 0
                        ? 0
                        : received->mid(at + 15, received->indexOf('\r', at) - at - 15).trimmed().toLongLong();
                    if (received->size() < end + 4 + length) return;
                    received->clear();
                    socket->write(
                        "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: " +
                        QByteArray::number(m_body.size()) + "\r\n\r\n");
                    socket->write(m_body);
                    socket->disconnectFromHost();
                });
            }
        });
    }
    QString Host() const { return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort()); }

private:
    QTcpServer m_server;
    QByteArray m_body;
    bool m_silent;
};

int Search(const QByteArray& body, bool silent, int silenceMs, int capSeconds)
{
    ScopedDialogResponder dialogs;
    AnswerServer server(body, silent);
    TvxpDocument document;
    TSubjectProperty search;
    search.SetVxpDocument(&document);
    search.SetHostServer(server.Host());
    search.CgiPath = QStringLiteral("/cgi-bin/PropSearch.exe");
    search.Values.apn = QStringLiteral("512-034-019");
    if (silenceMs >= 0) search.SetReadTimeout(silenceMs);
    qint64 messageChars = -1;
    search.OnVxpMessage = [&](QObject*, const QString& msg) { messageChars = msg.size(); };
    bool gaveUp = false;
    QTimer cap;
    cap.setSingleShot(true);
    QObject::connect(&cap, &QTimer::timeout, [&] {
        gaveUp = true;
        search.Disconnect();
    });
    cap.start(capSeconds * 1000);
    std::printf("answer body: %lld bytes compressed\n", static_cast<long long>(body.size()));
    QElapsedTimer wall;
    wall.start();
    const double cpu = CpuSeconds();
    QString outcome;
    try {
        outcome = QStringLiteral("answer: ") + search.Search(59, 4127);
    } catch (const std::exception& e) {
        outcome = QStringLiteral("error: ") + QString::fromUtf8(e.what()).left(200);
    }
    std::printf("call ended after %.3f s wall, %.3f s CPU%s\n", double(wall.nsecsElapsed()) / 1e9, CpuSeconds() - cpu,
                gaveUp ? " (given up by this program: the call did not end by itself)" : "");
    std::printf("%s\n", qPrintable(outcome));
    if (messageChars >= 0) std::printf("message handler got %lld characters\n", static_cast<long long>(messageChars));
    if (!dialogs.Shown().isEmpty())
        std::printf("message box: %lld characters\n", static_cast<long long>(dialogs.LastText().size()));
    return 0;
}

int ParseLocal(const QByteArray& bytes, bool validate)
{
    QObject form;
    TXMLParser parser(&form);
    parser.ValidateDocument = validate;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    TXMLDocument* doc = nullptr;
    QElapsedTimer wall;
    wall.start();
    const double cpu = CpuSeconds();
    QString outcome = QStringLiteral("parsed");
    try {
        const bool valid = parser.LoadFromStream(&buffer, doc);
        if (validate) outcome += valid ? QStringLiteral(", valid") : QStringLiteral(", not valid");
    } catch (const std::exception& e) {
        outcome = QStringLiteral("error: ") + QString::fromUtf8(e.what()).left(200);
    }
    std::printf("parse ended after %.3f s wall, %.3f s CPU\n%s\n", double(wall.nsecsElapsed()) / 1e9,
                CpuSeconds() - cpu, qPrintable(outcome));
    delete doc;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QByteArray what = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    const long arg = argc > 2 ? std::strtol(argv[2], nullptr, 10) : -1;
    if (what == "attributes" && arg > 0) return Search(AttributesAnswer(int(arg)), false, -1, 600);
    if (what == "big" && arg > 0)
        return Search(BigAnswer(arg, argc > 3 && QByteArray(argv[3]) == "amp"), false, -1, 600);
    if (what == "silent") return Search(QByteArray(), true, int(arg), argc > 3 ? std::atoi(argv[3]) : 60);
    if (what == "declarations" && arg > 0) {
        QByteArray b = "<?xml version=\"1.0\"?><!DOCTYPE r [\n";
        for (long i = 0; i < arg; ++i) b += "<!ENTITY e" + QByteArray::number(qint64(i)) + " \"v\">\n";
        return ParseLocal(b + "]><r>&e0;</r>", false);
    }
    if (what == "ids" && arg > 0) {
        QByteArray b = "<?xml version=\"1.0\"?><!DOCTYPE r [\n<!ELEMENT r (e*)>\n<!ELEMENT e EMPTY>\n"
                       "<!ATTLIST e id ID #REQUIRED>\n]><r>";
        for (long i = 0; i < arg; ++i) b += "<e id=\"i" + QByteArray::number(qint64(i)) + "\"/>";
        return ParseLocal(b + "</r>", true);
    }
    std::fprintf(stderr, "usage: %s attributes N | big MiB [amp] | silent [MS] [CAP] | declarations N | ids N\n",
                 argv[0]);
    return 2;
}
