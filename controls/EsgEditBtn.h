#pragma once
// An edit with a button at its right edge (the grid's ellipsis, numeric and
// float button cells build on it). Pressing the button or F4 fires
// OnClickBtn. With EditorEnabled off nothing can be typed, pasted, cut or
// deleted, and the button still works.

#include "controls/EsgEditButton.h"
#include "platform/widgets/CustomEdit.h"

class TEsgEditBtn : public TCustomEdit {
public:
    explicit TEsgEditBtn(QWidget* parent, const QString& name = QString());
    ~TEsgEditBtn() override;

    TEsgEditButton* ButtonHolder() const { return m_holder; }
    int ButtonWidth() const { return m_holder->Width(); }
    void SetButtonWidth(int value);
    bool EditorEnabled() const { return m_editorEnabled; }
    void SetEditorEnabled(bool value) { m_editorEnabled = value; }
    const TBitmap& Glyph() const { return m_holder->Glyph(); }
    void SetGlyph(const TBitmap* glyph) { m_holder->SetGlyph(glyph); }
    QString ButtonCaption() const { return m_holder->ButtonCaption(); }
    void SetButtonCaption(const QString& value) { m_holder->SetButtonCaption(value); }
    bool IsWinXP() const { return m_holder->Button()->IsWinXP(); }
    void SetIsWinXP(bool value) { m_holder->Button()->SetIsWinXP(value); }
    bool RightAlign() const { return m_rightAlign; }
    void SetRightAlign(bool value);

    // The smallest height the edit keeps.
    int MinHeight() const;

    std::function<void(QObject* sender)> OnClickBtn;

    // Fires OnClickBtn (the button and F4).
    virtual void DoClickBtn(QObject* sender);

protected:
    // Pixels kept free for a unit right of the text (none here).
    int UnitSpaceValue() const { return m_unitSpace; }
    void SetUnitSpaceValue(int value);

    void KeyDown(int& key, TShiftState shift) override;
    void CharMessage(TKeyChar& key) override;
    void DoEnter() override;
    void Resize() override;
    bool PasteAllowed() const override { return m_editorEnabled && !ReadOnly(); }
    bool CutAllowed() const override { return m_editorEnabled && !ReadOnly(); }
    void SetButtonEditRect();

private:
    TEsgEditButton* m_holder = nullptr;
    bool m_editorEnabled = true;
    bool m_rightAlign = false;
    int m_unitSpace = 0;
};
