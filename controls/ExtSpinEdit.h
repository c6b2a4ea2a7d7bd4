#pragma once
// The form's spin edit: one value of five kinds (integer, float, date, time,
// hexadecimal) in an edit with an up/down button pair at its right edge and
// an optional label beside it.
//
// Beside what the core does (SpinEditCore.h): page steps (PageUp, PageDown),
// smart steps (the digit left of the caret), hour and minute steps for
// times, a hexadecimal kind whose "0x" prefix cannot be typed away, "-"
// toggling a leading minus when Signed, Enter handed to OnKeyPress only,
// the flat look (no border, a line at the bottom), a transparent
// background, AutoFocus, and the label with its ten positions. OnChange
// fires for every change of the text, also for those made by code.

#include "controls/SpinEditCore.h"

class TLabel;

enum TLabelPosition {
    lpLeftTop,
    lpLeftCenter,
    lpLeftBottom,
    lpTopLeft,
    lpBottomLeft,
    lpLeftTopLeft,
    lpLeftCenterLeft,
    lpLeftBottomLeft,
    lpTopCenter,
    lpBottomCenter,
};

class TExtSpinEdit : public TSpinEditCore {
public:
    explicit TExtSpinEdit(QWidget* parent, const QString& name = QString());
    ~TExtSpinEdit() override;

    // "0x" and upper-case digits without leading zeros; below 0 the 32-bit
    // two's complement ("0xFFFFFFFF" is -1), which reads back as written.
    int HexValue() const { return HexValueOfText(); }
    void SetHexValue(int value) { WriteHexValue(value); }

    bool AutoFocus() const { return m_autoFocus; }
    void SetAutoFocus(bool value) { m_autoFocus = value; }
    bool Signed() const { return m_signed; }
    void SetSigned(bool value) { m_signed = value; }
    bool ShowSeconds() const { return m_showSeconds; }
    void SetShowSeconds(bool value);

    int IncrementPage() const { return m_incrementPage; }
    void SetIncrementPage(int value) { m_incrementPage = value; }
    double IncrementFloatPage() const { return m_incrementFloatPage; }
    void SetIncrementFloatPage(double value) { m_incrementFloatPage = value; }
    bool IncrementSmart() const { return m_incrementSmart; }
    void SetIncrementSmart(bool value) { m_incrementSmart = value; }
    int IncrementMinutes() const { return m_incrementMinutes; }
    void SetIncrementMinutes(int value) { m_incrementMinutes = value; }
    int IncrementHours() const { return m_incrementHours; }
    void SetIncrementHours(int value) { m_incrementHours = value; }
    void SmartStepUp() { SmartStep(+1); }
    void SmartStepDown() { SmartStep(-1); }

    // ----- Look
    bool Flat() const { return m_flat; }
    void SetFlat(bool value);
    TColor FlatLineColor() const { return m_flatLineColor; }
    void SetFlatLineColor(TColor value);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value);

    // ----- Label
    TLabel* Label() const { return AttachedLabel(); }
    // The first assignment makes the label (beside the edit, in its parent).
    QString LabelCaption() const;
    void SetLabelCaption(const QString& value);
    TLabelPosition LabelPosition() const { return m_labelPosition; }
    void SetLabelPosition(TLabelPosition value);
    int LabelMargin() const { return m_labelMargin; }
    void SetLabelMargin(int value);
    bool LabelTransparent() const { return m_labelTransparent; }
    void SetLabelTransparent(bool value);
    // The label's font; every change places the label again.
    TFont& LabelFont() { return m_labelFont; }
    // The label stays enabled while the edit is disabled.
    bool LabelAlwaysEnabled() const { return m_labelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool value);

    void SetBounds(int left, int top, int width, int height) override;

protected:
    void KeyDown(int& key, TShiftState shift) override;
    void CharMessage(TKeyChar& key) override;
    void MouseEnter() override;
    void FontChanged() override;
    void Resize() override;
    bool LabelFollowsEnabled() const override { return !m_labelAlwaysEnabled; }
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void ApplyColor() override;

private:
    void UpdateLabel();
    void SetFlatRect(bool flat);
    void PageStep(int direction);

    bool m_autoFocus = false;
    bool m_signed = false;
    bool m_flat = false;
    TColor m_flatLineColor = clBlack;
    TColor m_savedColor = clWindow;
    bool m_transparent = false;
    TLabelPosition m_labelPosition = lpLeftTop;
    int m_labelMargin = 4;
    bool m_labelTransparent = false;
    TFont m_labelFont;
    bool m_labelAlwaysEnabled = false;
};
