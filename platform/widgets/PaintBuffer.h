#pragma once
// Double-buffered painting of a widget: inside paintEvent the control draws
// through the canvas of an image of its own size, which is copied onto the
// widget when the buffer goes out of scope. Drawing into an image lets the
// canvas read pixels back (Pixel, FloodFill, CopyRect from itself), which a
// widget's own painter cannot.

#include "platform/graphics/PainterCanvas.h"

#include <QImage>
#include <memory>

class QWidget;

class TPaintBuffer {
public:
    // The image starts in the button-face colour; the resolution is the
    // widget's.
    explicit TPaintBuffer(QWidget* widget);
    ~TPaintBuffer();
    TPaintBuffer(const TPaintBuffer&) = delete;
    TPaintBuffer& operator=(const TPaintBuffer&) = delete;

    TCanvas& Canvas() { return *m_canvas; }
    const QImage& Image();

private:
    QWidget* m_widget;
    QImage m_image;
    std::unique_ptr<TPainterCanvas> m_canvas;
};
