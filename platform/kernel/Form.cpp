#include "platform/kernel/Form.h"

#include "platform/kernel/Application.h"

#include <QCloseEvent>
#include <QPointer>

namespace {
QList<TForm*>& formList()
{
    static QList<TForm*> forms;
    return forms;
}
} // namespace

TForm::TForm(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) { formList().append(this); }

TForm::~TForm() { formList().removeAll(this); }

QList<TForm*> TForm::Forms() { return formList(); }

bool TForm::Close()
{
    if (m_closing || m_released) return false;
    m_closing = true;
    struct Reset {
        QPointer<TForm> f;
        ~Reset()
        {
            if (f) f->m_closing = false;
        }
    } reset{this};

    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    if (!canClose) return false;
    TCloseAction action = TCloseAction::caHide;
    if (OnClose) OnClose(this, action);
    if (action == TCloseAction::caNone) return false;
    // The main form closed: the program ends, whatever the action says.
    if (TApplication* app = TApplication::Instance(); app && app->MainForm() == this) {
        hide();
        app->Terminate();
        return true;
    }
    switch (action) {
    case TCloseAction::caNone: return false;
    case TCloseAction::caHide:
    case TCloseAction::caMinimize: hide(); return true;
    case TCloseAction::caFree:
        hide();
        Release();
        return true;
    }
    return false;
}

void TForm::Release()
{
    if (m_released) return;
    m_released = true;
    deleteLater();
}

void TForm::WndProc(TMessage&) { }

void TForm::closeEvent(QCloseEvent* event)
{
    // The window system asks to close: run the class library's close instead.
    event->ignore();
    if (m_closing) return;
    bool closed = false;
    try {
        closed = Close();
    } catch (...) {
        if (auto* app = TApplication::Instance()) app->HandleException(this);
    }
    if (closed) event->accept();
}

void TForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (OnShow) OnShow(this);
}

void TForm::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (OnHide) OnHide(this);
}

LRESULT BroadcastMessage(unsigned msg, WPARAM wParam, LPARAM lParam, TForm* except)
{
    QList<QPointer<TForm>> targets;
    const QList<TForm*> forms = TForm::Forms();
    for (auto it = forms.crbegin(); it != forms.crend(); ++it)
        if (*it != except) targets.append(*it);
    LRESULT answer = 0;
    for (const QPointer<TForm>& f : targets) {
        if (!f || f->IsReleased()) continue;
        const LRESULT r = SendMessage(f, msg, wParam, lParam);
        if (answer == 0) answer = r;
    }
    return answer;
}
