#pragma once
// Every message box, modal dialog, file dialog, popup menu and beep of the
// program goes through here. By default Qt's dialogs are shown; a test
// installs a DialogResponder that answers from a script and records what was
// asked, so no test ever waits for a person.

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QDialog;
class QPrinter;
class QWidget;

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// Buttons of a message box, combined as flags.
enum TMsgDlgBtn : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
    mbAll = 1u << 7,
    mbHelp = 1u << 8,
};
using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons mbYesNo = mbYes | mbNo;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;

// Modal results of the class library.
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
};

// What a dialog asked, as a test sees it.
struct DialogRequest {
    enum class Kind { Message, Error, OpenFile, SaveFile, PrinterSetup, PopupMenu, Modal, Beep, OpenLink };
    Kind kind = Kind::Message;
    TMsgDlgType type = TMsgDlgType::mtInformation;
    TMsgDlgButtons buttons = 0;
    QString caption;
    QString text;      // message text; file dialog filter; menu items joined by '\n'
    QString fileName;  // initial file name of a file dialog
    QStringList items; // popup menu items
    QPoint position;   // popup menu position, screen coordinates
    QDialog* dialog = nullptr;
};

// The test hook. Answers are taken in order; without a scripted answer a
// sensible default is used (OK for a box with OK, Cancel or No otherwise, no
// file, no menu choice, mrCancel for a modal dialog), and the request is
// recorded either way.
class DialogResponder {
public:
    void NextAnswer(int modalResult) { m_answers.append(modalResult); }
    void NextFileName(const QString& name) { m_files.append(name); }
    void NextMenuChoice(int index) { m_menu.append(index); }
    // Called with a modal dialog instead of running it: fill its controls and
    // return the modal result.
    void NextModal(std::function<int(QDialog&)> fn) { m_modal.append(std::move(fn)); }

    const QList<DialogRequest>& Shown() const { return m_shown; }
    int Count(DialogRequest::Kind kind) const;
    int Beeps() const { return Count(DialogRequest::Kind::Beep); }
    QString LastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }
    void Clear();

    // Used by Dialogs.
    int Answer(const DialogRequest& request);
    QString AnswerFile(const DialogRequest& request);
    int AnswerMenu(const DialogRequest& request);
    int AnswerModal(const DialogRequest& request, QDialog& dialog);
    void Record(const DialogRequest& request) { m_shown.append(request); }

private:
    QList<int> m_answers;
    QStringList m_files;
    QList<int> m_menu;
    QList<std::function<int(QDialog&)>> m_modal;
    QList<DialogRequest> m_shown;
};

class Dialogs {
public:
    // The message box of the class library: returns the modal result of the
    // pressed button.
    static int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons);
    // Information box with one OK button.
    static void ShowMessage(const QString& text);
    // Confirmation with Yes and No; true on Yes.
    static bool Confirm(const QString& text);
    // The error dialog of unhandled errors.
    static void ShowError(const QString& text);

    // File dialogs; an empty result means cancelled. filter uses the class
    // library's "Name|*.ext|Other|*.x" form.
    static QString OpenFileName(const QString& title, const QString& filter, const QString& initialFile = QString(),
                                QWidget* parent = nullptr);
    static QString SaveFileName(const QString& title, const QString& filter, const QString& initialFile = QString(),
                                QWidget* parent = nullptr, const QString& defaultExt = QString(),
                                bool overwritePrompt = true);
    // The printer set-up dialog on printer (a printer of its own when null);
    // true when accepted. Defined in platform/print, the one room that links
    // Qt PrintSupport, so the rooms below it do not pull the printing in.
    static bool PrinterSetup(QWidget* parent = nullptr, QPrinter* printer = nullptr);

    // Shows the items as a popup menu at a screen position; the chosen index,
    // or -1. Items equal to "-" are separators.
    static int PopupMenu(const QStringList& items, const QPoint& screenPos, QWidget* parent = nullptr);

    // Runs a dialog modally and returns its modal result.
    static int ExecModal(QDialog& dialog);

    // The platform's default beep.
    static void Beep();

    // Opens a web link with the desktop's browser, as the shell's "open"
    // verb. Only http and https links open (a text from the server never
    // starts a program or opens a local file); with mailto allowed, mail
    // links too. Returns whether the link was handed over. A responder
    // records the link (text) instead.
    static bool OpenLink(const QString& url, bool allowMailto = false);

    // Installs (or with nullptr removes) the test hook; the previous one is
    // returned. The responder is not owned.
    static DialogResponder* SetResponder(DialogResponder* responder);
    static DialogResponder* Responder();
};

// Installs a fresh responder for the lifetime of the object.
class ScopedDialogResponder : public DialogResponder {
public:
    ScopedDialogResponder() { m_previous = Dialogs::SetResponder(this); }
    ~ScopedDialogResponder() { Dialogs::SetResponder(m_previous); }
    ScopedDialogResponder(const ScopedDialogResponder&) = delete;
    ScopedDialogResponder& operator=(const ScopedDialogResponder&) = delete;

private:
    DialogResponder* m_previous = nullptr;
};
