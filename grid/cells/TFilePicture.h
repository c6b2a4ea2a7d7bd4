#pragma once
// A picture a cell shows from a file (ctFilePicture): only the name and the
// size of the picture last loaded are kept; the file is read again at every
// drawing. It sits in a cell graphic's picture slot like any picture: its
// size is the size last read, and drawing stretches the file's picture into
// the rectangle. Only regular files of a bounded size are read; a file that
// is missing or no picture gives the size 0 x 0 and draws nothing.

#include "platform/graphics/Graphic.h"

#include <QString>

class TFilePicture : public TGraphic {
public:
    const QString& Filename() const { return m_filename; }
    // Stores the name and reads the file once for its size.
    void SetFilename(const QString& filename);

    void Assign(const TFilePicture& source);
    // The picture read from the file now, stretched into rect.
    void DrawPicture(TCanvas& canvas, const TRect& rect) const;

    // TGraphic.
    void Draw(TCanvas& canvas, const TRect& r) const override { DrawPicture(canvas, r); }
    bool Empty() const override { return m_filename.isEmpty(); }
    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    // The file decides the size.
    void SetWidth(int) override { }
    void SetHeight(int) override { }
    // Loading from a file names the file. A stream carries no file name:
    // saving writes the picture the file holds now (the cell stream keeps
    // it so), and loading from a stream reads nothing.
    void LoadFromFile(const QString& fileName) override { SetFilename(fileName); }
    void LoadFromStream(QIODevice&) override { }
    void SaveToStream(QIODevice& stream) const override;
    void Assign(const TGraphic* source) override;

private:
    QString m_filename;
    int m_width = 0;
    int m_height = 0;
};
