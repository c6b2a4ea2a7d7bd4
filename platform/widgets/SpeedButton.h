#pragma once
// The class library's speed button: a button without the focus that is
// pressed while the left mouse button holds it (and the mouse is over it),
// clicks when released over it, and shows a glyph (a bitmap holding one to
// four images side by side: up, disabled, down, exclusive) and a caption. A
// flat button shows its edge only while the mouse is over it or it is down.

#include "platform/graphics/Bitmap.h"
#include "platform/widgets/WinControl.h"

enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

class TSpeedButton : public TWinControlOf<QWidget> {
public:
    explicit TSpeedButton(QWidget* parent, const QString& name = QString());
    ~TSpeedButton() override;

    // bsDown while held with the mouse over it; bsDisabled while disabled.
    TButtonState State() const;
    bool IsDown() const { return State() == TButtonState::bsDown || State() == TButtonState::bsExclusive; }
    // Between a left press and its release.
    bool MouseCaptured() const { return m_dragging; }

    const TBitmap& Glyph() const { return m_glyph; }
    // A copy of the bitmap; nullptr empties the glyph.
    void SetGlyph(const TBitmap* glyph);
    int NumGlyphs() const { return m_numGlyphs; }
    // 1 to 4; other values are ignored.
    void SetNumGlyphs(int value);
    bool Flat() const { return m_flat; }
    void SetFlat(bool value);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value);
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& value);
    // The mouse is over the button.
    bool MouseInControl() const { return m_mouseInControl; }

    // Fires OnClick.
    void Click() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Paints the whole button; the class's own look by default.
    virtual void Paint(TCanvas& canvas);
    // The glyph (the image for the state) centred in r, moved by offset,
    // and the caption.
    void PaintGlyphAndCaption(TCanvas& canvas, const TRect& r, int offset);
    void DrawGlyph(TCanvas& canvas, int x, int y) const;

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void EnabledChanged() override { Invalidate(); }
    // Whether releasing the pressed button over it clicks (the class
    // library's way); buttons that click otherwise turn it off.
    virtual bool ClickOnRelease() const { return true; }

private:
    void SetPressed(bool value);

    TBitmap m_glyph;
    int m_numGlyphs = 1;
    bool m_flat = false;
    bool m_transparent = false;
    QString m_caption;
    bool m_pressed = false;
    bool m_dragging = false;
    bool m_mouseInControl = false;
};
