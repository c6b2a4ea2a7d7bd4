#pragma once
// The street map as a picture the report surface can StretchDraw: the
// Windows metafile the service sent (or a JPEG, PNG, BMP or GIF map) kept
// as bytes and played when drawn. On a report page it draws itself as page
// operations, so the map stays vector in the preview, on paper and in the
// PDF. Data that is no sound picture draws nothing (its area stays empty).

#include "platform/graphics/Graphic.h"
#include "platform/report/TPageDrawable.h"

#include <QByteArray>

class TMetafileGraphic : public TGraphic, public TPageDrawable {
public:
    TMetafileGraphic() = default;
    explicit TMetafileGraphic(const QByteArray& data);

    const QByteArray& Data() const { return m_data; }
    void SetData(const QByteArray& data);

    void Draw(TCanvas& canvas, const TRect& r) const override;
    bool Empty() const override { return m_data.isEmpty(); }
    // The size in pixels at 96 per inch of a placeable metafile's box (or an
    // image's own size); 0 when the data does not say.
    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    void SetWidth(int) override { }
    void SetHeight(int) override { }
    void LoadFromStream(QIODevice& stream) override;
    void SaveToStream(QIODevice& stream) const override;
    void Assign(const TGraphic* source) override;

    void DrawPage(TPagePainter& painter, const QRectF& r) const override;

private:
    QByteArray m_data;
    int m_width = 0, m_height = 0;
};
