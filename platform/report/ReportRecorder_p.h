#pragma once
// Records what the page surface draws into the pages and images of a
// report file (ReportFormat_p.h). Nothing is recorded that the report file
// reader would refuse: a drawing placed beyond the positions a page may
// hold is left out, a picture larger than a page picture is scaled down,
// and past the reader's caps of a whole file pictures are left out and
// pages left empty.

#include "platform/report/PagePainter.h"
#include "platform/report/TReportFileReader.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class TReportRecorder : public TPagePainter {
public:
    TReportRecorder();
    ~TReportRecorder() override;
    TReportRecorder(const TReportRecorder&) = delete;
    TReportRecorder& operator=(const TReportRecorder&) = delete;

    void BeginPage(int index, QSizeF inches) override;
    void EndPage() override;
    void SetFont(const TPageFont& font) override;
    void SetPen(const TPagePen& pen) override;
    void SetBrush(const TPageBrush& brush, const QImage* pattern) override;
    void SetClip(const QRectF* r) override;
    void DrawText(QPointF origin, const QString& text) override;
    void DrawLine(QPointF from, QPointF to) override;
    void DrawRectangle(const QRectF& r) override;
    void DrawEllipse(const QRectF& r) override;
    void DrawPolyline(const QPointF* points, int count) override;
    void DrawPolygon(const QPointF* points, int count, bool winding) override;
    void FillRect(const QRectF& r, TColor color) override;
    void DrawImage(const QRectF& r, const QImage& image, int imageIndex) override;

    // The whole report file.
    QByteArray File(const QString& title) const;

    // Told of what was left out (what and on which page).
    std::function<void(const QString& what)> OnLeftOut;
    // The reader's caps of a whole file (smaller in tests).
    qint64 MaxOperationsTotal = TReportFileReader::MaxOperationsTotal;
    qint64 MaxPictureBytesTotal = TReportFileReader::MaxPictureBytesTotal;

private:
    struct Page {
        QByteArray Stored;
        quint32 OperationsSize;
        QSizeF Size;
    };
    struct Image {
        QByteArray Data;
        quint16 Encoding, Bits;
        quint32 Width, Height;
    };

    // The page's operations packed; one compressor packs every page, as
    // setting one up costs about as much as packing a page. Its fastest
    // level: a fifth of the time of the default for 5 % more bytes.
    QByteArray PackPage(const QByteArray& raw);
    // The image's index in the file, storing it on first sight; -1 when
    // it cannot be stored.
    int ImageIndex(const QImage& image);
    // False, counting it, for a drawing that is left out.
    bool Keep(bool sound);
    void LeftOut(const QString& what) const;
    void Byte(quint8 v) { m_ops.append(char(v)); }
    void U32(quint32 v);
    void F64(double v);
    void Rect(const QRectF& r);
    void String(const QString& s);
    void Points(const QPointF* points, int count);

    struct PageZip;
    std::unique_ptr<PageZip> m_zip;
    QByteArray m_ops;
    QSizeF m_pageSize;
    bool m_pageOpen = false;
    int m_leftOut = 0;
    qint64 m_operationsBytes = 0, m_pictureBytes = 0;
    std::vector<Page> m_pages;
    std::vector<Image> m_images;
    // Images already stored: by Qt's key of the pixels, and by a hash of
    // their content (the same picture made again for every page).
    QHash<qint64, int> m_byKey;
    QMultiHash<size_t, int> m_byContent;
    std::vector<QImage> m_kept;
};
