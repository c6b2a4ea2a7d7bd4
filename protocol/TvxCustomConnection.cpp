#include "protocol/TvxCustomConnection.h"

#include "platform/core/AtomicFile.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/net/HttpErrors.h"
#include "protocol/FieldTexts.h"
#include "protocol/StreamCodecs.h"
#include "protocol/TvxpDocument.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"
#include "protocol/xml/TXMLText.h"
#include "protocol/xml/XMLQuery.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <exception>
#include <new>

namespace {

struct SocketErrorText {
    const char* code;
    const char* text;
};

// Searched in this order; the first code found in the text decides.
constexpr std::array<SocketErrorText, 42> kSocketErrors{{
    {"10004", "Connection failed!  Error: Interrupted function call"},
    {"10013", "Connection failed!  Error: 10013 - Permission denied"},
    {"10014", "Connection failed!  Error: 10014 - Bad address"},
    {"10022", "Connection failed!  Error: 10022 - Invalid argument"},
    {"10024", "Connection failed!  Error: 10024 - Too many open files"},
    {"10035", "Connection failed!  Error: 10035 - Resource temporarily unavailable"},
    {"10036", "Connection failed!  Error: 10036 - Operation now in progress"},
    {"10037", "Connection failed!  Error: 10037 - Operation already in progress"},
    {"10038", "Connection failed!  Error: 10038 - Socket operation on non-socket"},
    {"10039", "Connection failed!  Error: 10039 - Destination address required"},
    {"10040", "Connection failed!  Error: 10040 - Message too long"},
    {"10041", "Connection failed!  Error: 10041 - Protocol wrong type for socket"},
    {"10042", "Connection failed!  Error: 10042 - Bad protocol option"},
    {"10043", "Connection failed!  Error: 10043 - Protocol not supported"},
    {"10044", "Connection failed!  Error: 10044 - Socket type not supported"},
    {"10045", "Connection failed!  Error: 10045 - Operation not supported"},
    {"10046", "Connection failed!  Error: 10046 - Protocol family not supported"},
    {"10047", "Connection failed!  Error: 10047 - Address family not supported by protocol family"},
    {"10048", "Connection failed!  Error: 10048 - Address already in use"},
    {"10049", "Connection failed!  Error: 10049 - Cannot assign requested address"},
    {"10050", "Connection failed!  Error: 10050 - Network is down"},
    {"10051", "Connection failed!  Error: 10051 - Network is unreachable"},
    {"10052", "Connection failed!  Error: 10052 - Network dropped connection on reset"},
    {"10053", "Connection failed!  Error: 10053 - Software caused connection abort"},
    {"10054", "Connection failed!  Error: 10054 - Connection reset by peer"},
    {"10055", "Connection failed!  Error: 10055 - No buffer space available"},
    {"10056", "Connection failed!  Error: 10056 - Socket is already connected"},
    {"10057", "Connection failed!  Error: 10057 - Socket is not connected"},
    {"10058", "Connection failed!  Error: 10058 - Cannot send after socket shutdown"},
    {"10060", "Connection failed!  Error: 10060 - Connection timed out"},
    {"10061", "Connection failed!  Error: 10061 - Connection refused"},
    {"10064", "Connection failed!  Error: 10064 - Host is down"},
    {"10065", "Connection failed!  Error: 10065 - No route to host"},
    {"10067", "Connection failed!  Error: 10067 - Too many processes"},
    {"10091", "Connection failed!  Error: 10091 - Network subsystem is unavailable"},
    {"10092", "Connection failed!  Error: 10092 - WINSOCK.DLL version out of range"},
    {"10093", "Connection failed!  Error: 10093 - Successful WSAStartup not yet performed"},
    {"10094", "Connection failed!  Error: 10094 - Graceful shutdown in progress"},
    {"11001", "Connection failed!  Error: 11001 - Host not found"},
    {"11002", "Connection failed!  Error: 11002 - Non-authoritative host not found"},
    {"11003", "Connection failed!  Error: 11003 - This is a non-recoverable error"},
    {"11004", "Connection failed!  Error: 11004 - Valid name, no data record of requested type"},
}};

const QString kUnexpectedResponse = QStringLiteral("Tamsel recieved an unexpected response from the server.");
const QString kSavedAsErrorResponse = QStringLiteral(" This was saved as error_response.txt.");

void OpenBuffer(QBuffer& buffer) { buffer.open(QIODevice::ReadWrite); }

void OpenForWriting(QIODevice& device)
{
    if (!device.isOpen() && !device.open(QIODevice::ReadWrite))
        throw EStreamError(QStringLiteral("Stream write error"));
}

} // namespace

TvxCustomConnection::TvxCustomConnection(QObject* owner) : THttpClient(owner)
{
    SetContentType(QStringLiteral("text/html"));
    SetAccept(QStringLiteral("text/html, */*"));
    SetUserAgent(QStringLiteral("Mozilla/3.0 (compatible; Indy Library)"));
    // Service calls may take long, but not in silence.
    SetReadTimeout(kAnswerSilenceMs);
    SetMaxResponseSize(kMaxRawAnswer);
}

TvxCustomConnection::~TvxCustomConnection() = default;

QString TvxCustomConnection::GetHostServer() const { return m_hostServer; }

void TvxCustomConnection::SetHostServer(const QString& value)
{
    if (value != m_hostServer) m_hostServer = value;
}

void TvxCustomConnection::DoBeforeSearch(bool& doSearch)
{
    if (OnBeforeSearch) OnBeforeSearch(this, doSearch);
}

void TvxCustomConnection::DoAfterSearch()
{
    if (OnAfterSearch) OnAfterSearch(this);
}

void TvxCustomConnection::DoServerError(bool& handled, const QString& msg)
{
    if (OnServerError) OnServerError(this, handled, msg);
}

void TvxCustomConnection::DoVxpMessage(const QString& msg)
{
    if (OnVxpMessage) OnVxpMessage(this, msg);
}

void TvxCustomConnection::DoRecievedDoc()
{
    if (OnRecievedDoc) OnRecievedDoc(this);
}

void TvxCustomConnection::CheckAlive(const QPointer<TvxCustomConnection>& self)
{
    if (!self) throw EHttpClientDestroyed();
}

TvxpDocument& TvxCustomConnection::Document() const
{
    if (!m_document) throw Exception(QStringLiteral("Document component has not been assigned"));
    return *m_document;
}

QString TvxCustomConnection::TranslateSocketError(const QString& text)
{
    for (const SocketErrorText& e : kSocketErrors)
        if (text.contains(QLatin1String(e.code))) return QString::fromLatin1(e.text);
    return text;
}

QString TvxCustomConnection::XmlEscape(const QString& text) { return ::XmlEscape(text); }

QString TvxCustomConnection::BoolToYN(bool value) { return ::BoolToYN(value); }

QString TvxCustomConnection::TransferErrorText(const QString& message) const
{
    const QString text = TranslateSocketError(message);
    if (text.contains(QLatin1String("Connection timed out")))
        return QStringLiteral("Can not connect to ") + HostServer();
    return text;
}

void TvxCustomConnection::DisconnectIfConnected()
{
    if (Connected()) Disconnect();
}

void TvxCustomConnection::UnexpectedResponse(const QByteArray& raw)
{
    // The answer is kept for whoever looks into the failure; not being able
    // to keep it must not hide the failure itself. An answer refused before
    // its body was read leaves nothing to keep: an older file then stays,
    // and the message does not claim a file.
    bool saved = false;
    if (!raw.isEmpty()) {
        try {
            const QString path = QDir::current().filePath(QStringLiteral("error_response.txt"));
            // The name is replaced, never followed: a link there goes,
            // whatever it pointed to stays as it was.
            if (QFileInfo(path).isSymLink()) QFile::remove(path);
            AtomicFile::WriteAll(path, raw.left(kMaxErrorResponse));
            saved = true;
        } catch (...) { }
    }
    throw Exception(saved ? kUnexpectedResponse + kSavedAsErrorResponse : kUnexpectedResponse);
}

void TvxCustomConnection::Searching(const std::function<void()>& work)
{
    const QPointer<TvxCustomConnection> self(this);
    bool doSearch = true;
    DoBeforeSearch(doSearch);
    CheckAlive(self);
    std::exception_ptr failure;
    try {
        if (doSearch) work();
    } catch (const EHttpClientDestroyed&) {
        throw;
    } catch (...) {
        failure = std::current_exception();
    }
    DoAfterSearch();
    CheckAlive(self);
    if (failure) std::rethrow_exception(failure);
}

bool TvxCustomConnection::Post(QIODevice& request, QIODevice& response)
{
    if (HostServer().isEmpty()) throw Exception(QStringLiteral("Property HostServer is not defined"));
    Document();
    const QPointer<TvxCustomConnection> self(this);

    DisconnectIfConnected();
    QBuffer compressed;
    QBuffer raw;
    OpenBuffer(compressed);
    OpenBuffer(raw);
    CompressStream(request, compressed);

    // The URL is held in a short string.
    const QString url = (QStringLiteral("http://") + HostServer() + CgiPath).left(255);

    bool unexpected = false;
    Searching([&] {
        try {
            THttpClient::Post(url, compressed, raw);
        } catch (const EHttpClientDestroyed&) {
            throw;
        } catch (const ESocketError& e) {
            throw Exception(TransferErrorText(e.Message()));
        } catch (const EConnClosedGracefully& e) {
            throw Exception(TransferErrorText(e.Message()));
        } catch (const EHttpProtocolError& e) {
            throw Exception(TransferErrorText(e.Message()));
        } catch (const EHttpError&) {
            // Past the size limit, or not HTTP at all.
            unexpected = true;
        } catch (const Exception& e) {
            throw Exception(TransferErrorText(e.Message()));
        }
    });
    if (!unexpected && raw.size() == 0) throw Exception(QStringLiteral("Zero size response"));
    if (unexpected) UnexpectedResponse(raw.data());

    OpenForWriting(response);
    try {
        raw.seek(0);
        DecompressStream(raw, response, kMaxInflatedAnswer);
        if (!response.isSequential()) response.seek(0);
    } catch (...) {
        UnexpectedResponse(raw.data());
    }
    // The compressed bytes are done with.
    raw.close();
    raw.setData(QByteArray());

    TvxpDocument& document = Document();
    document.ClearDocument();
    document.LoadServiceAnswer(&response);
    TXMLElement* root = document.RootElement();
    TXMLElement* answer = document.RequestElement();
    // A root without an answer element is no answer either.
    if (!root || root->getTagName() != QLatin1String("vxp") || !answer)
        throw Exception(QStringLiteral("Invalid document!"));

    const QString type = document.VxpTypeName;
    if (type == QLatin1String("exception") || type == QLatin1String("message")) {
        const QString text = ElementText(answer);
        if (type == QLatin1String("exception")) {
            bool handled = false;
            DoServerError(handled, text);
            CheckAlive(self);
            if (!handled) throw Exception(text);
            return false;
        }
        DoVxpMessage(text);
        CheckAlive(self);
        Dialogs::ShowMessage(text.size() > kMaxMessageBoxChars ? text.left(kMaxMessageBoxChars) + QStringLiteral("...")
                                                               : text);
        CheckAlive(self);
        return false;
    }
    return true;
}

TXMLElement* TvxCustomConnection::BeginRequest(const QString& typeName)
{
    TvxpDocument& document = Document();
    document.VxpTypeVersion = QStringLiteral("1.0");
    document.VxpTypeName = typeName;
    document.NewDocument();
    return document.RequestElement();
}

bool TvxCustomConnection::PostDocument()
{
    const QPointer<TvxCustomConnection> self(this);
    QBuffer request;
    QBuffer response;
    OpenBuffer(request);
    OpenBuffer(response);
    bool result = false;
    try {
        Document().XMLDocument()->SaveToStream(&request, TXMLSaveForm::Request);
        request.seek(0);
        result = Post(request, response);
    } catch (const EHttpClientDestroyed&) {
        throw;
    } catch (...) {
        if (self) DisconnectIfConnected();
        throw;
    }
    CheckAlive(self);
    DisconnectIfConnected();
    return result;
}

TXMLElement* TvxCustomConnection::AppendTextElement(TXMLElement* parent, const QString& name, const QString& value)
{
    TXMLDocument* doc = parent->getOwnerDocument();
    auto element = std::make_unique<TXMLElement>(name, doc);
    if (!value.isEmpty()) element->appendText(new TXMLText(::XmlEscape(value), doc));
    parent->appendChild(element.get());
    return element.release();
}
