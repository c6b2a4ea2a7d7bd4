#pragma once
// The application object: one instance, reachable from anywhere. Every event
// goes through notify(), which delivers window messages to their handlers and
// catches whatever a handler throws, so no exception crosses a Qt frame.

#include "platform/core/Exception.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <exception>
#include <functional>

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    // The one instance, or nullptr before it exists or after it is gone.
    static TApplication* Instance();

    // The application's exception event. Unassigned, the error is shown in the
    // error dialog of the dialog layer.
    std::function<void(QObject* sender, Exception& e)> OnException;

    // Hands the exception in flight (call from a catch block) or the given one
    // to OnException; a failure of the event itself is shown in the error
    // dialog of the dialog layer. Never throws.
    void HandleException(QObject* sender);
    void HandleException(QObject* sender, std::exception_ptr error);

    // Delivers every pending event, as the class library's ProcessMessages.
    static void ProcessMessages();

    // The main form, as the program's start makes it. Closing it ends the
    // program, whatever its close action.
    QWidget* MainForm() const { return m_mainForm.data(); }
    void SetMainForm(QWidget* form) { m_mainForm = form; }
    // Ends the message loop (every nested one too) and keeps Run from
    // entering a new one; the program ends once control is back in main.
    void Terminate();
    bool Terminated() const { return m_terminated; }
    // The message loop: runs until Terminate; returns its exit code (0 at
    // once when the program was told to end before).
    int Run();

    bool notify(QObject* receiver, QEvent* event) override;

    // Title used by message boxes ("Tamsel").
    QString Title() const { return m_title; }
    void SetTitle(const QString& title) { m_title = title; }

private:
    static void ShowHandlerFailure(std::exception_ptr error);

    QString m_title = QStringLiteral("Tamsel");
    QPointer<QWidget> m_mainForm;
    bool m_terminated = false;
};

// Runs fn; an exception escaping it goes to the application's exception event
// (or, without an application, is swallowed). For callbacks from code that
// cannot take exceptions, such as Qt slots connected directly.
void GuardedCall(QObject* sender, const std::function<void()>& fn);
