#pragma once
// The holder of the button inside an edit-with-button editor: a windowed
// control filled by one TExtSpeedButton. Its OnClick fires when the left
// mouse button is released after pressing the button, wherever the mouse
// then is; the focus then goes to its FocusControl (the edit).

#include "controls/ButtonHolder.h"
#include "controls/ExtSpeedButton.h"

class TEsgEditButton : public TButtonHolder {
public:
    explicit TEsgEditButton(QWidget* parent, const QString& name = QString());
    ~TEsgEditButton() override;

    TExtSpeedButton* Button() const { return m_button; }
    const TBitmap& Glyph() const { return m_button->Glyph(); }
    void SetGlyph(const TBitmap* glyph) { m_button->SetGlyph(glyph); }
    QString ButtonCaption() const { return m_button->Caption(); }
    void SetButtonCaption(const QString& value) { m_button->SetCaption(value); }
    int NumGlyphs() const { return m_button->NumGlyphs(); }
    void SetNumGlyphs(int value) { m_button->SetNumGlyphs(value); }
    bool Flat() const { return m_flat; }
    void SetFlat(bool value);

private:
    void AdjustSize(int& width, int& height) override;
    void ButtonMouseUp(TMouseButton button);

    TExtSpeedButton* m_button = nullptr;
    bool m_flat = false;
};
