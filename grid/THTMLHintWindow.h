#pragma once
// The grid's hint window: a borderless tool-tip window that measures and
// draws its text with the HTML renderer, so hints may hold bold, colours,
// line breaks and links. It never takes the focus and stays inside the
// screen.

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

#include <QWidget>

class THTMLHintWindow : public QWidget {
public:
    explicit THTMLHintWindow(QWidget* parent = nullptr);
    ~THTMLHintWindow() override;

    TFont& Font() { return m_font; }
    TColor Color() const { return m_color; }
    void SetColor(TColor value) { m_color = value; }
    // The measured size of the text as a rectangle from (0, 0).
    TRect CalcHintRect(int maxWidth, const QString& hint);
    // Shows the hint at the rectangle's top-left: the text's width + 16 by
    // its height + 4, moved left or up to stay 2 pixels inside the screen.
    void ActivateHint(const TRect& rect, const QString& hint);
    const QString& Hint() const { return m_hint; }
    // The text's size measured by the last ActivateHint.
    int TextWidth() const { return m_textWidth; }
    int TextHeight() const { return m_textHeight; }
    // Paints the window's content on a canvas of its size.
    void PaintTo(TCanvas& canvas);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TPoint Measure(const QString& hint, int width);
    TFont m_font;
    TColor m_color = clInfoBk;
    QString m_hint;
    int m_textWidth = 0;
    int m_textHeight = 0;
};
