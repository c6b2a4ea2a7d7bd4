#include "grid/cells/TFilePicture.h"

#include "controls/HTMLPicture.h"
#include "platform/graphics/Canvas.h"

void TFilePicture::SetFilename(const QString& filename)
{
    m_filename = filename;
    THTMLPicture picture;
    picture.LoadFromFile(filename);
    m_width = picture.Empty() ? 0 : picture.Width();
    m_height = picture.Empty() ? 0 : picture.Height();
    Changed();
}

void TFilePicture::Assign(const TFilePicture& source)
{
    m_filename = source.m_filename;
    m_width = source.m_width;
    m_height = source.m_height;
    Changed();
}

void TFilePicture::Assign(const TGraphic* source)
{
    if (const auto* picture = dynamic_cast<const TFilePicture*>(source)) Assign(*picture);
}

void TFilePicture::SaveToStream(QIODevice& stream) const
{
    if (m_filename.isEmpty()) return;
    THTMLPicture picture;
    picture.LoadFromFile(m_filename);
    if (!picture.Empty()) picture.SaveToStream(stream);
}

void TFilePicture::DrawPicture(TCanvas& canvas, const TRect& rect) const
{
    if (m_filename.isEmpty()) return;
    THTMLPicture picture;
    picture.SetStretch(true);
    picture.LoadFromFile(m_filename);
    if (!picture.Empty()) canvas.StretchDraw(rect, picture);
}
