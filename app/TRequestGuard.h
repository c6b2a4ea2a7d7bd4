#pragma once
// Which request of the step driver runs, what it was asked for, and whether
// its answer may still land. Every request pumps events while it waits, so
// the user acts meanwhile: logs out, searches another property, starts
// another comps search, changes the comps marked for use, leaves the
// program. A request takes a run when it starts: the login session, the
// property and the comps its answer belongs to (and, for the street map,
// the comps marked for use). When it returns, an answer whose subject has
// been replaced is dropped and the status bar says so; an error of such a
// request is dropped with it. An action that would replace what a running
// request still needs, or the same request again, is refused instead, with
// the reason in the status bar. A line told while requests run is told
// again once the last of them is over: the connections' own last status
// ("Disconnected.") comes before it, so the reason is what stays.

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

// The requests the step driver runs; a report covers its map sheets and its
// report data. CompInfo is the View Comps step's fetch of one comp.
enum class TRequestKind { Login, PropSearch, PropData, CompsSearch, Map, Report, CompInfo, Count };

class TRequestGuard : public QObject {
    Q_OBJECT
public:
    // What an answer belongs to; starting some requests replaces them.
    enum TSubject { sjSession, sjProperty, sjComps, sjCount };

    explicit TRequestGuard(QObject* parent = nullptr);
    ~TRequestGuard() override;

    // The line for the status bar: a refusal or a dropped answer.
    std::function<void(const QString& text)> OnTell;
    // Whether a session is open (requests but the login need one).
    std::function<bool()> LoggedIn;
    // The comps marked for use, as a key that changes with any mark.
    std::function<QString()> MarksKey;

    // A running request; it ends when this goes (also by an exception).
    class TRun {
    public:
        TRun() = default;
        TRun(TRun&& other) noexcept;
        TRun& operator=(TRun&&) = delete;
        TRun(const TRun&) = delete;
        ~TRun();
        explicit operator bool() const { return m_guard != nullptr; }
        // Runs send (the request); an error it raises is dropped when the
        // answer would be. False when the answer is not to be taken over.
        bool Send(const std::function<void()>& send);
        // Ends the request once its answer has been taken over, before what
        // it opens runs (which may start the next request).
        void Finish();

    private:
        friend class TRequestGuard;
        TRun(TRequestGuard* guard, TRequestKind kind) : m_guard(guard), m_kind(kind) { }
        QPointer<TRequestGuard> m_guard;
        TRequestKind m_kind = TRequestKind::Count;
    };

    // Whether a request of kind may start now; when not, the status bar is
    // told why.
    bool MayStart(TRequestKind kind);
    // Starts a request of kind: replaces what it replaces and notes what
    // its answer belongs to. An empty run (told) when it may not start.
    [[nodiscard]] TRun Start(TRequestKind kind);
    // Whether the answer of the running request of kind may be taken over;
    // when not, the status bar is told once the request is over.
    bool Lands(TRequestKind kind);
    bool Running(TRequestKind kind) const;

    // The user logged out: no answer of the session lands.
    void Replace(TSubject subject);
    // The window closes: no answer lands and nothing starts.
    void Close();
    bool Closed() const { return m_closed; }

    // The name of a request kind as the status bar says it.
    static QString KindName(TRequestKind kind);

private:
    struct TTicket {
        bool running = false;
        bool told = false;
        QString dropped; // why the answer is dropped; empty while it lands
        quint64 generation[sjCount] = {};
        QString marks;
    };
    void Tell(const QString& text);
    void TellDropped(TRequestKind kind);
    bool AnyRunning() const;
    void End(TRequestKind kind);
    TTicket& Ticket(TRequestKind kind) { return m_tickets[int(kind)]; }
    const TTicket& Ticket(TRequestKind kind) const { return m_tickets[int(kind)]; }

    quint64 m_generation[sjCount] = {};
    TTicket m_tickets[int(TRequestKind::Count)];
    // The last line told while a request ran, told again when none runs.
    QString m_standing;
    bool m_closed = false;
};
