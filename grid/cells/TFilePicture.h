#pragma once
// A picture a cell shows from a file: only the name and the size of the
// picture last loaded are kept; the file is read again at every drawing.
// Only regular files of a bounded size are read; a file that is missing or
// no picture gives the size 0 x 0 and draws nothing.

#include "platform/graphics/Geometry.h"

#include <QString>

class TCanvas;

class TFilePicture {
public:
    const QString& Filename() const { return m_filename; }
    void SetFilename(const QString& filename);
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    void Assign(const TFilePicture& source);
    // The picture stretched into rect.
    void DrawPicture(TCanvas& canvas, const TRect& rect) const;

private:
    QString m_filename;
    int m_width = 0;
    int m_height = 0;
};
