#pragma once
// The up/down button pair at the right edge of a spin edit: two repeating
// halves (up above down, or down left of up), its own OnUpClick and
// OnDownClick for every click or repeat of a half, a focus mark on one half
// for keyboard use (Up, Down, Space), and the focus handed to its
// FocusControl (the edit) when a half is pressed.

#include "controls/ButtonHolder.h"
#include "controls/ExtTimerSpeedButton.h"

enum TSpinDirection { spVertical, spHorizontal };

class TExtSpinButton : public TButtonHolder {
public:
    explicit TExtSpinButton(QWidget* parent, const QString& name = QString());
    ~TExtSpinButton() override;

    TSpinDirection Direction() const { return m_direction; }
    void SetDirection(TSpinDirection value);

    const TBitmap& UpGlyph() const { return m_up->Glyph(); }
    // nullptr loads the default glyph with a glyph count of 1.
    void SetUpGlyph(const TBitmap* glyph) { SetHalfGlyph(true, glyph); }
    const TBitmap& DownGlyph() const { return m_down->Glyph(); }
    void SetDownGlyph(const TBitmap* glyph) { SetHalfGlyph(false, glyph); }
    int UpNumGlyphs() const { return m_up->NumGlyphs(); }
    void SetUpNumGlyphs(int value) { m_up->SetNumGlyphs(value); }
    int DownNumGlyphs() const { return m_down->NumGlyphs(); }
    void SetDownNumGlyphs(int value) { m_down->SetNumGlyphs(value); }

    TExtTimerSpeedButton* UpButton() const { return m_up; }
    TExtTimerSpeedButton* DownButton() const { return m_down; }
    TExtTimerSpeedButton* FocusedButton() const { return m_focusedButton; }

    std::function<void(QObject* sender)> OnUpClick;
    std::function<void(QObject* sender)> OnDownClick;

protected:
    // Names of the default glyph resources.
    virtual QString DefaultGlyphName(bool up) const;
    // Loads the defaults again (for classes with other default glyphs).
    void LoadDefaultGlyphs();

    void KeyDown(int& key, TShiftState shift) override;
    void DoEnter() override;
    void DoExit() override;

private:
    TExtTimerSpeedButton* CreateButton(const QString& name);
    void SetHalfGlyph(bool up, const TBitmap* glyph);
    void AdjustSize(int& width, int& height) override;
    void BtnClick(TExtTimerSpeedButton* half);
    void BtnMouseDown(TExtTimerSpeedButton* half, TMouseButton button);
    void SetFocusBtn(TExtTimerSpeedButton* half);

    TExtTimerSpeedButton* m_up = nullptr;
    TExtTimerSpeedButton* m_down = nullptr;
    TExtTimerSpeedButton* m_focusedButton = nullptr;
    TSpinDirection m_direction = spVertical;
};
