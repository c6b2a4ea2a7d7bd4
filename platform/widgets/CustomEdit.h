#pragma once
// The class library's single-line edit over a Qt line edit, with the
// platform edit's rules for what changes its text:
// - typing goes through the character messages (KeyDown, KeyPress,
//   OnKeyPress) before it reaches the text; Backspace is a character;
// - Delete, the arrows, Home and End are the only keys the edit itself acts
//   on; Ctrl+C, Ctrl+V, Ctrl+X, Ctrl+Z, Ctrl+A, Shift+Insert, Ctrl+Insert
//   and Shift+Delete copy, paste, cut, undo and select as the platform's
//   edit does; Qt's own editing shortcuts that it lacks (delete word,
//   delete to the end of the line, delete the line, redo) do nothing;
// - pasting and cutting pass PasteAllowed / CutAllowed on every route: keys,
//   the context menu, text dropped on the edit and the middle-button paste
//   of the selection; no text can be dragged out of the edit;
// - with a letter case (CharCase) every text put in, typed, pasted, dropped
//   or set by code, is turned to it.
// The formatting rectangle (EditRect) is where the text lies, in client
// coordinates; the context menu is the edit's standard one, shown through
// the dialog layer, unless a popup menu is assigned.

#include "platform/widgets/WinControl.h"

#include <QLineEdit>

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public TWinControlOf<QLineEdit> {
public:
    explicit TCustomEdit(QWidget* parent, const QString& name = QString());
    ~TCustomEdit() override;

    QString Text() const { return text(); }
    void SetText(const QString& value);

    // The selection as the platform counts it: start (the caret when
    // nothing is selected) and length.
    int SelStart() const;
    void SetSelStart(int value);
    int SelLength() const;
    void SetSelLength(int value);
    QString SelText() const { return selectedText(); }
    void SelectAll() { selectAll(); }

    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool value);
    // 0: no limit.
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int value);
    // The class library's edit mask, "mask;literals;blank" (0 digit,
    // 9 optional digit, # digit or sign, L/l letter, A/a letter or digit,
    // C/c any character, > upper case, < lower case, <> as typed, \ the next
    // character literally, : and / the time and date separators). The text
    // takes the mask's form as it is typed; empty: no mask.
    QString EditMask() const { return m_editMask; }
    void SetEditMask(const QString& value);
    // The Qt input mask standing in for an edit mask.
    static QString InputMaskOf(const QString& editMask);
    // The whole text is selected when the edit is entered.
    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool value) { m_autoSelect = value; }
    bool Modified() const { return isModified(); }
    void SetModified(bool value) { setModified(value); }
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment value);
    // Every character shows as this one; the null character shows the
    // text itself.
    QChar PasswordChar() const { return m_passwordChar; }
    void SetPasswordChar(QChar value);
    // The letter case of the text; setting one turns the current text too.
    TEditCharCase CharCase() const { return m_charCase; }
    void SetCharCase(TEditCharCase value);

    // The formatting rectangle, in client coordinates (the whole client
    // area until one is set).
    TRect EditRect() const;
    void SetEditRect(const TRect& r);

    // Clipboard operations, as the edit's messages: paste and cut (and
    // clearing the selection, and undo) only when allowed. Every route to a
    // copy or a cut (keys, characters, the context menu) comes here, so an
    // edit that asks first overrides these.
    void PasteFromClipboard();
    virtual void CutToClipboard();
    virtual void CopyToClipboard();
    void ClearSelection();
    void Undo();

    // Every change of the text, typed or made by code.
    std::function<void(QObject* sender)> OnChange;

protected:
    // The text changed; fires OnChange.
    virtual void Change();
    virtual bool PasteAllowed() const { return !ReadOnly(); }
    virtual bool CutAllowed() const { return !ReadOnly(); }
    // An edit made multi-line by its control wants Enter for itself.
    void SetWantReturns(bool value) { m_wantReturns = value; }

    void DoEnter() override;
    void Resize() override;
    void ApplyColor() override;
    bool WantKey(int vk, TShiftState shift) const override;
    void DefaultKeyDown(QKeyEvent* event) override;
    void DefaultChar(TKeyChar ch, QKeyEvent* source) override;
    bool AllowDefaultMouse(QMouseEvent* event) override;
    void DefaultContextMenu(QEvent* event) override;

    void focusInEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // Inserts text at the caret in place of the selection (no checks).
    void InsertText(const QString& text);
    // A paste of allowed clipboard text (keys, menu); edits that filter
    // what is pasted override it.
    virtual void PasteText(const QString& text) { InsertText(text); }

private:
    void ApplyEditRect();
    void SendKey(int qtKey, QKeyEvent* source);
    // The text in the edit's letter case.
    QString Cased(const QString& value) const;
    // Turns a text that reached the edit past InsertText and SetText (a
    // drop, an undo) to the letter case; true when it had to.
    bool ApplyCharCase();

    int m_maxLength = 0;
    QString m_editMask;
    bool m_autoSelect = true;
    TAlignment m_alignment = taLeftJustify;
    QChar m_passwordChar;
    TEditCharCase m_charCase = TEditCharCase::ecNormal;
    bool m_hasEditRect = false;
    TRect m_editRect;
    bool m_wantReturns = false;
};
