#pragma once
// The street map of the report data, a Windows metafile, as a picture the
// page surface draws as page operations: it stays vector in the report file,
// the preview, the printer and the PDF. Data that is no sound metafile draws
// nothing.

#include "platform/graphics/Graphic.h"
#include "platform/report/TPageDrawable.h"

#include <QByteArray>

class TStreetMapPicture : public TGraphic, public TPageDrawable {
public:
    TStreetMapPicture() = default;
    explicit TStreetMapPicture(const QByteArray& data) : m_data(data) {}

    const QByteArray& Data() const { return m_data; }

    void DrawPage(TPagePainter& painter, const QRectF& r) const override;

    void Draw(TCanvas& canvas, const TRect& r) const override;
    bool Empty() const override { return m_data.isEmpty(); }
    int Width() const override { return 0; }
    int Height() const override { return 0; }
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    void LoadFromStream(QIODevice& stream) override;
    void SaveToStream(QIODevice& stream) const override;

private:
    QByteArray m_data;
};
