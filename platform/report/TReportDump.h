#pragma once
// A report file as text: one line per drawing operation with its
// coordinates in inches, the precise way to look at (and test) a page
// layout. tools/rptdump prints it.

#include "platform/report/PagePainter.h"

#include <QString>
#include <QStringList>

class TReportFileReader;

class TReportDump : public TPagePainter {
public:
    // Every page of the file: a header line, then "page N" and its lines.
    static QString Text(const TReportFileReader& reader);
    // The lines of one page (0-based) without the page line.
    static QStringList PageLines(const TReportFileReader& reader, int page);
    // A coordinate as the dump writes it: up to four decimals.
    static QString Number(double inches);

    const QStringList& Lines() const { return m_lines; }

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

private:
    QStringList m_lines;
};
