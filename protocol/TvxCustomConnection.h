#pragma once
// The HTTP client connection every service request goes through. It is bound
// to one service document: Post compresses the serialised request, posts it to
// "http://" + HostServer + CgiPath, inflates the answer, loads it into the
// same document and classifies it (an answer, an "exception" the server
// raised, a "message" for the user). The request classes derive from it.
//
// Limits: an answer body above 64 MiB, or one inflating past 256 MiB, is an
// unexpected response, as is an answer that is not HTTP. The body of an
// unexpected response (its first MiB) is saved as "error_response.txt" in
// the working directory, and the message says so only when it was: an
// answer refused before its body was read leaves an older file as it was.
//
// The anti-freeze: a post keeps every event flowing while it waits. When the
// connection is destroyed meanwhile (by a handler of one of those events, of
// its own events or of the message box), the post ends with
// EHttpClientDestroyed and nothing of the connection is touched afterwards;
// callers catching that error must not touch it either. When its document is
// destroyed meanwhile, the connection forgets it and the post fails with
// "Document component has not been assigned".

#include "platform/net/HttpClient.h"
#include "protocol/TvxpDocument.h"

#include <QPointer>
#include <QString>
#include <functional>

class QIODevice;
class TXMLElement;

class TvxCustomConnection : public THttpClient {
public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;
    using TBeforeSearchEvent = std::function<void(QObject* Sender, bool& DoSearch)>;
    using TServerErrorEvent = std::function<void(QObject* Sender, bool& Handled, const QString& msg)>;
    using TVxpMessageEvent = std::function<void(QObject* Sender, const QString& Msg)>;

    static constexpr qint64 kMaxRawAnswer = qint64(64) * 1024 * 1024;
    static constexpr qint64 kMaxInflatedAnswer = qint64(256) * 1024 * 1024;
    // A call ends when the server sends nothing for this long (socket error
    // 10060); one that keeps sending may take as long as it takes.
    static constexpr int kAnswerSilenceMs = 300 * 1000;
    // The most of an answer the file "error_response.txt" keeps.
    static constexpr qint64 kMaxErrorResponse = qint64(1) * 1024 * 1024;
    // The most of a message answer's text shown in its box (the handlers get
    // it whole).
    static constexpr qsizetype kMaxMessageBoxChars = 64 * 1024;

    explicit TvxCustomConnection(QObject* owner = nullptr);
    ~TvxCustomConnection() override;

    // The document that is posted and receives the answer.
    TvxpDocument* vxpDocument() const { return m_document.data(); }
    void SetVxpDocument(TvxpDocument* document) { m_document = document; }

    // The server host placed after "http://" (it may carry a port).
    QString HostServer() const { return GetHostServer(); }
    virtual QString GetHostServer() const;
    // Stores the host when it differs from the current one.
    virtual void SetHostServer(const QString& value);

    // Path of the server program, appended to the host.
    QString CgiPath;
    // Stored settings without behaviour.
    bool StatusShow = false;
    QString StatusTitle;
    bool AllowCancel = false;

    TBeforeSearchEvent OnBeforeSearch;
    TNotifyEvent OnAfterSearch;
    TServerErrorEvent OnServerError;
    TVxpMessageEvent OnVxpMessage;
    TNotifyEvent OnRecievedDoc;

    using THttpClient::Post;
    // Posts the request (a serialised document, from its start) and loads
    // the inflated answer (also written to response) into the document.
    // True for an answer, false for a "message" answer (shown in an
    // information box); an "exception" answer not handled by OnServerError
    // and every failure raise.
    virtual bool Post(QIODevice& request, QIODevice& response);

    // The readable text of a transfer error: the first Windows socket error
    // code found in the text gives its message; a text without one comes
    // back unchanged.
    static QString TranslateSocketError(const QString& text);

    static QString XmlEscape(const QString& text);
    static QString BoolToYN(bool value);

protected:
    virtual void DoBeforeSearch(bool& doSearch);
    virtual void DoAfterSearch();
    virtual void DoServerError(bool& handled, const QString& msg);
    virtual void DoVxpMessage(const QString& msg);
    virtual void DoRecievedDoc();

    // The bound document; none raises "Document component has not been
    // assigned".
    TvxpDocument& Document() const;
    // Version "1.0", the type name, NewDocument; returns the request element.
    TXMLElement* BeginRequest(const QString& typeName);
    // The common tail of every request: the document written as a request
    // into a stream, posted with a second stream for the answer, and the
    // connection disconnected afterwards (also after a failure). Returns
    // what Post returned.
    bool PostDocument();
    // Disconnects when still connected.
    void DisconnectIfConnected();

    // Appends to parent a child element holding value as text: the value is
    // escaped and its references resolved again when the text is added, so
    // the writer escapes each special character once; blank values leave
    // the element empty. Returns the new element.
    static TXMLElement* AppendTextElement(TXMLElement* parent, const QString& name, const QString& value);

    // Throws EHttpClientDestroyed when the guarded connection is gone (an
    // event handler or a dialog freed it while it ran).
    static void CheckAlive(const QPointer<TvxCustomConnection>& self);
    // One request to the owner: OnBeforeSearch, the work when it lets it,
    // then OnAfterSearch, also after the work failed, whose failure then
    // goes on. A connection freed by an event ends it at once.
    void Searching(const std::function<void()>& work);

private:
    // The translated text of a transfer error; a time-out names the host.
    QString TransferErrorText(const QString& message) const;
    [[noreturn]] void UnexpectedResponse(const QByteArray& raw);

    QPointer<TvxpDocument> m_document;
    QString m_hostServer;
};
