#pragma once
// The class library's label: a caption drawn in the control's font on its
// parent's colour (or transparent), sized to its caption while AutoSize is
// on, greyed and embossed while disabled. A label may name the control that
// takes the focus in its place (FocusControl). A font given to the widget
// (setFont) becomes the control's font: face, size and style.

#include "platform/widgets/WinControl.h"

class TLabel : public TWinControlOf<QWidget> {
public:
    explicit TLabel(QWidget* parent, const QString& name = QString());

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value);
    // "&" marks the next character as the accelerator (drawn underlined).
    bool ShowAccelChar() const { return m_showAccelChar; }
    void SetShowAccelChar(bool value);

    // The caption's width in the label's font, as the label's canvas
    // measures it.
    int CanvasTextWidth(const QString& text) const { return TextWidthOf(Font(), text); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void FontChanged() override;
    void ApplyColor() override;

private:
    unsigned DrawFlags() const;
    // Whether the label fills its own background. A label taking its
    // parent's colour on a container that is none of the class library's
    // controls and fills no background itself (a tab page the style paints,
    // a form under a picture) shows what is painted there instead.
    bool FillsBackground() const;
    void AdjustBounds();

    QString m_caption;
    bool m_autoSize = true;
    bool m_transparent = false;
    bool m_showAccelChar = true;
};
