#include "platform/dialogs/Dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>

namespace {
DialogResponder* g_responder = nullptr;

QString captionFor(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning: return QStringLiteral("Warning");
    case TMsgDlgType::mtError: return QStringLiteral("Error");
    case TMsgDlgType::mtInformation: return QStringLiteral("Information");
    case TMsgDlgType::mtConfirmation: return QStringLiteral("Confirm");
    case TMsgDlgType::mtCustom: break;
    }
    return QApplication::applicationName();
}

int defaultAnswer(TMsgDlgButtons buttons)
{
    if (buttons & mbOK) return mrOk;
    if (buttons & mbCancel) return mrCancel;
    if (buttons & mbNo) return mrNo;
    if (buttons & mbAbort) return mrAbort;
    if (buttons & mbIgnore) return mrIgnore;
    return mrCancel;
}

// "Text files|*.txt|All|*.*" to Qt's "Text files (*.txt);;All (*.*)".
QString qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i] + QStringLiteral(" (") + QString(parts[i + 1]).replace(u';', u' ') + u')';
    return out.join(QStringLiteral(";;"));
}

// The responder's answer to a message box.
int answerMessage(DialogRequest::Kind kind, TMsgDlgType type, TMsgDlgButtons buttons, const QString& text)
{
    DialogRequest r;
    r.kind = kind;
    r.type = type;
    r.buttons = buttons;
    r.caption = captionFor(type);
    r.text = text;
    return g_responder->Answer(r);
}

// The responder's answer to a file dialog.
QString answerFile(DialogRequest::Kind kind, const QString& title, const QString& filter, const QString& initialFile)
{
    DialogRequest r;
    r.kind = kind;
    r.caption = title;
    r.text = filter;
    r.fileName = initialFile;
    return g_responder->AnswerFile(r);
}
} // namespace

int DialogResponder::Count(DialogRequest::Kind kind) const
{
    int n = 0;
    for (const DialogRequest& r : m_shown)
        if (r.kind == kind) ++n;
    return n;
}

void DialogResponder::Clear()
{
    m_answers.clear();
    m_files.clear();
    m_menu.clear();
    m_modal.clear();
    m_shown.clear();
}

int DialogResponder::Answer(const DialogRequest& request)
{
    Record(request);
    if (!m_answers.isEmpty()) return m_answers.takeFirst();
    return defaultAnswer(request.buttons);
}

QString DialogResponder::AnswerFile(const DialogRequest& request)
{
    Record(request);
    return m_files.isEmpty() ? QString() : m_files.takeFirst();
}

int DialogResponder::AnswerMenu(const DialogRequest& request)
{
    Record(request);
    return m_menu.isEmpty() ? -1 : m_menu.takeFirst();
}

int DialogResponder::AnswerModal(const DialogRequest& request, QDialog& dialog)
{
    Record(request);
    if (m_modal.isEmpty()) return mrCancel;
    auto fn = m_modal.takeFirst();
    return fn(dialog);
}

DialogResponder* Dialogs::SetResponder(DialogResponder* responder)
{
    DialogResponder* previous = g_responder;
    g_responder = responder;
    return previous;
}

DialogResponder* Dialogs::Responder() { return g_responder; }

int Dialogs::MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons)
{
    if (g_responder) return answerMessage(DialogRequest::Kind::Message, type, buttons, text);
    QMessageBox box;
    box.setWindowTitle(captionFor(type));
    // Message texts carry the server's words: shown as they are, never as
    // markup whose links a click would open.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    switch (type) {
    case TMsgDlgType::mtWarning: box.setIcon(QMessageBox::Warning); break;
    case TMsgDlgType::mtError: box.setIcon(QMessageBox::Critical); break;
    case TMsgDlgType::mtInformation: box.setIcon(QMessageBox::Information); break;
    case TMsgDlgType::mtConfirmation: box.setIcon(QMessageBox::Question); break;
    case TMsgDlgType::mtCustom: break;
    }
    struct Map {
        TMsgDlgBtn flag;
        QMessageBox::StandardButton button;
        int result;
    };
    static const Map map[] = {
        {mbYes, QMessageBox::Yes, mrYes},
        {mbNo, QMessageBox::No, mrNo},
        {mbOK, QMessageBox::Ok, mrOk},
        {mbCancel, QMessageBox::Cancel, mrCancel},
        {mbAbort, QMessageBox::Abort, mrAbort},
        {mbRetry, QMessageBox::Retry, mrRetry},
        {mbIgnore, QMessageBox::Ignore, mrIgnore},
        {mbAll, QMessageBox::YesToAll, mrAll},
        {mbHelp, QMessageBox::Help, mrNone},
    };
    QMessageBox::StandardButtons std;
    for (const Map& m : map)
        if (buttons & m.flag) std |= m.button;
    if (!std) std = QMessageBox::Ok;
    box.setStandardButtons(std);
    const int pressed = box.exec();
    for (const Map& m : map)
        if (pressed == m.button) return m.result;
    return defaultAnswer(buttons);
}

void Dialogs::ShowMessage(const QString& text) { MessageDlg(text, TMsgDlgType::mtInformation, mbOK); }

bool Dialogs::Confirm(const QString& text) { return MessageDlg(text, TMsgDlgType::mtConfirmation, mbYesNo) == mrYes; }

void Dialogs::ShowError(const QString& text)
{
    if (g_responder) {
        answerMessage(DialogRequest::Kind::Error, TMsgDlgType::mtError, mbOK, text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, captionFor(TMsgDlgType::mtError), QString(), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.exec();
}

QString Dialogs::OpenFileName(const QString& title, const QString& filter, const QString& initialFile, QWidget* parent)
{
    if (g_responder) return answerFile(DialogRequest::Kind::OpenFile, title, filter, initialFile);
    return QFileDialog::getOpenFileName(parent, title, initialFile, qtFilter(filter));
}

QString Dialogs::SaveFileName(const QString& title, const QString& filter, const QString& initialFile, QWidget* parent,
                              const QString& defaultExt, bool overwritePrompt)
{
    if (g_responder) return answerFile(DialogRequest::Kind::SaveFile, title, filter, initialFile);
    QFileDialog dlg(parent, title, QString(), qtFilter(filter));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    if (!defaultExt.isEmpty()) dlg.setDefaultSuffix(QString(defaultExt).remove(0, defaultExt.startsWith(u'.') ? 1 : 0));
    if (!overwritePrompt) dlg.setOption(QFileDialog::DontConfirmOverwrite);
    if (!initialFile.isEmpty() && !initialFile.contains(u'*')) dlg.selectFile(initialFile);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return QString();
    return dlg.selectedFiles().first();
}

int Dialogs::PopupMenu(const QStringList& items, const QPoint& screenPos, QWidget* parent)
{
    if (g_responder) {
        DialogRequest r;
        r.kind = DialogRequest::Kind::PopupMenu;
        r.items = items;
        r.text = items.join(u'\n');
        r.position = screenPos;
        return g_responder->AnswerMenu(r);
    }
    QMenu menu(parent);
    QList<QAction*> actions;
    for (const QString& item : items)
        actions.append(item == QLatin1String("-") ? menu.addSeparator() : menu.addAction(item));
    QAction* chosen = menu.exec(screenPos);
    return chosen && !chosen->isSeparator() ? int(actions.indexOf(chosen)) : -1;
}

int Dialogs::ExecModal(QDialog& dialog)
{
    if (g_responder) {
        DialogRequest r;
        r.kind = DialogRequest::Kind::Modal;
        r.caption = dialog.windowTitle();
        r.dialog = &dialog;
        return g_responder->AnswerModal(r, dialog);
    }
    const int result = dialog.exec();
    return result == QDialog::Rejected ? int(mrCancel) : result;
}

bool Dialogs::OpenLink(const QString& url, bool allowMailto)
{
    const QUrl link(url.trimmed(), QUrl::StrictMode);
    const QString scheme = link.scheme().toLower();
    const bool web = (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !link.host().isEmpty();
    const bool mail = allowMailto && scheme == QLatin1String("mailto") && !link.path().isEmpty();
    if (!link.isValid() || !(web || mail)) return false;
    if (g_responder) {
        DialogRequest r;
        r.kind = DialogRequest::Kind::OpenLink;
        r.text = link.toString();
        g_responder->Record(r);
        return true;
    }
    return QDesktopServices::openUrl(link);
}

void Dialogs::Beep()
{
    if (g_responder) {
        DialogRequest r;
        r.kind = DialogRequest::Kind::Beep;
        g_responder->Record(r);
        return;
    }
    QApplication::beep();
}
