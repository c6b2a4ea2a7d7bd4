#pragma once
// A form of the class library: registered in the screen's form list while it
// exists, closed through OnCloseQuery and OnClose, and freed later (never in
// the middle of a handler that may still be on the stack) when its close
// action says so.

#include "platform/kernel/WindowMessage.h"

#include <QList>
#include <QWidget>
#include <functional>

enum class TCloseAction { caNone, caHide, caFree, caMinimize };

class TForm : public QWidget, public TMessageHandler {
    Q_OBJECT
public:
    explicit TForm(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~TForm() override;

    std::function<void(QObject* sender, bool& canClose)> OnCloseQuery;
    std::function<void(QObject* sender, TCloseAction& action)> OnClose;
    std::function<void(QObject* sender)> OnShow;
    std::function<void(QObject* sender)> OnHide;

    // The close of the class library: asks OnCloseQuery, then OnClose with the
    // default action (caHide); caHide hides, caFree hides and releases, caNone
    // keeps the form. The application's main form (TApplication::MainForm)
    // ends the program instead, whatever the action but caNone.
    // Returns true when the form was closed.
    bool Close();
    // Frees the form once control is back in the event loop.
    void Release();
    bool IsReleased() const { return m_released; }

    // Default: the message is not handled.
    void WndProc(TMessage& message) override;

    // Every existing form, in creation order (the screen's form list).
    static QList<TForm*> Forms();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool m_released = false;
    bool m_closing = false;
};

// Sends the message to every form but `except`, last created first. A form
// freed by an earlier handler is passed over. Returns the first non-zero
// answer, 0 when every form answered 0.
LRESULT BroadcastMessage(unsigned msg, WPARAM wParam, LPARAM lParam, TForm* except);
