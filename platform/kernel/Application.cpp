#include "platform/kernel/Application.h"

#include "platform/dialogs/Dialogs.h"
#include "platform/kernel/WindowMessage.h"

#include <QThread>

namespace {
TApplication* g_instance = nullptr;
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    g_instance = this;
    SetUnhandledExceptionHandler(
        [this](QObject* sender, std::exception_ptr error) { HandleException(sender, std::move(error)); });
    setApplicationName(QStringLiteral("Tamsel"));
    setOrganizationName(QStringLiteral("Ostrel"));
}

TApplication::~TApplication()
{
    SetUnhandledExceptionHandler(nullptr);
    g_instance = nullptr;
}

TApplication* TApplication::Instance() { return g_instance; }

void TApplication::ProcessMessages()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::Terminate()
{
    m_terminated = true;
    // exit() ends every running loop of the thread, a modal one included
    // (quit() would first ask each window again whether it may close). Out
    // of any loop there is nothing to end: Run then returns at once.
    if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}

int TApplication::Run()
{
    if (m_terminated) return 0;
    return exec();
}

void TApplication::HandleException(QObject* sender) { HandleException(sender, std::current_exception()); }

void TApplication::HandleException(QObject* sender, std::exception_ptr error)
{
    if (!error) return;
    try {
        try {
            std::rethrow_exception(error);
        } catch (Exception& e) {
            if (OnException)
                OnException(sender, e);
            else
                Dialogs::ShowError(e.Message());
        } catch (const std::exception& e) {
            Exception wrapped(QString::fromLocal8Bit(e.what()));
            if (OnException)
                OnException(sender, wrapped);
            else
                Dialogs::ShowError(wrapped.Message());
        }
    } catch (...) {
        // The exception event itself failed (its log could not be written,
        // say): that failure gets the default handling, a message box.
        ShowHandlerFailure(std::current_exception());
    }
}

void TApplication::ShowHandlerFailure(std::exception_ptr error)
{
    try {
        try {
            std::rethrow_exception(error);
        } catch (const Exception& e) {
            Dialogs::ShowError(e.Message());
        } catch (const std::exception& e) {
            Dialogs::ShowError(QString::fromLocal8Bit(e.what()));
        }
    } catch (...) {
        // Not even the box could be shown: nothing more can be reported.
        qWarning("Exception raised while handling an exception");
    }
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        if (event->type() == TMessageEvent::EventType()) {
            auto* handler = dynamic_cast<TMessageHandler*>(receiver);
            if (handler) {
                TMessage& msg = static_cast<TMessageEvent*>(event)->Message();
                handler->WndProc(msg);
            }
            return true;
        }
        return QApplication::notify(receiver, event);
    } catch (...) {
        HandleException(receiver);
        return true;
    }
}

void GuardedCall(QObject* sender, const std::function<void()>& fn)
{
    try {
        fn();
    } catch (...) {
        if (auto* app = TApplication::Instance()) app->HandleException(sender);
    }
}
