#pragma once
// Window messages between forms. A posted message is a queued event carrying
// its number and two parameters, delivered later in the user-interface thread
// to the target's WndProc; a sent message is dispatched at once.

#include <QEvent>
#include <QObject>
#include <QtGlobal>

using WPARAM = quintptr;
using LPARAM = qintptr;
using LRESULT = qintptr;

namespace Win {
constexpr unsigned WM_USER = 1024;
} // namespace Win

struct TMessage {
    unsigned Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// Implemented by every object that takes window messages. Unknown numbers are
// left alone.
class TMessageHandler {
public:
    virtual ~TMessageHandler();
    virtual void WndProc(TMessage& message) = 0;
};

class TMessageEvent : public QEvent {
public:
    explicit TMessageEvent(const TMessage& message);
    static QEvent::Type EventType();
    TMessage& Message() { return m_message; }

private:
    TMessage m_message;
};

// Queues the message for target; returns false when target is null. The
// message is dropped when target is destroyed before delivery.
bool PostMessage(QObject* target, unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);

// Dispatches at once. An exception from the handler goes to the application's
// exception event, as for any message; the result is the handler's Result.
LRESULT SendMessage(QObject* target, unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);

// Dispatches at once and lets exceptions reach the caller.
LRESULT Perform(QObject* target, unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
