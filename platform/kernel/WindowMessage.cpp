#include "platform/kernel/WindowMessage.h"

#include "platform/kernel/Application.h"

#include <QCoreApplication>

TMessageHandler::~TMessageHandler() = default;

TMessageEvent::TMessageEvent(const TMessage& message) : QEvent(EventType()), m_message(message) { }

QEvent::Type TMessageEvent::EventType()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

bool PostMessage(QObject* target, unsigned msg, WPARAM wParam, LPARAM lParam)
{
    if (!target) return false;
    TMessage m;
    m.Msg = msg;
    m.WParam = wParam;
    m.LParam = lParam;
    QCoreApplication::postEvent(target, new TMessageEvent(m));
    return true;
}

LRESULT Perform(QObject* target, unsigned msg, WPARAM wParam, LPARAM lParam)
{
    auto* handler = dynamic_cast<TMessageHandler*>(target);
    if (!handler) return 0;
    TMessage m;
    m.Msg = msg;
    m.WParam = wParam;
    m.LParam = lParam;
    handler->WndProc(m);
    return m.Result;
}

LRESULT SendMessage(QObject* target, unsigned msg, WPARAM wParam, LPARAM lParam)
{
    try {
        return Perform(target, msg, wParam, lParam);
    } catch (...) {
        if (auto* app = TApplication::Instance()) app->HandleException(target);
        return 0;
    }
}
