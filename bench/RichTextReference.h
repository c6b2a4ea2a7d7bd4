#pragma once
// The reference the report benchmarks measure against: a report file's texts
// and pictures played into rich text (a paragraph of texts per page, each
// picture at its drawn size, a page break after each page) and printed to
// PDF by QTextDocument.

#include "platform/report/PagePainter.h"
#include "platform/report/TReportFileReader.h"

#include <QFont>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>
#include <QVariant>
#include <vector>

class RichTextPages : public TPagePainter {
public:
    QString Html;
    std::vector<QImage> Images;
    int Texts = 0;

    explicit RichTextPages(TReportFileReader& reader)
    {
        for (int p = 0; p < reader.PageCount(); ++p) reader.PlayPage(p, *this);
    }

    void PrintPdf(const QString& pdf) const
    {
        QTextDocument document;
        document.setDefaultFont(QFont(QStringLiteral("Liberation Sans"), 8));
        for (size_t i = 0; i < Images.size(); ++i)
            document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("img%1").arg(i)),
                                 QVariant(Images[i]));
        document.setHtml(Html);
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QPageSize::Letter));
        document.print(&writer);
    }

    void BeginPage(int, QSizeF) override { }
    void EndPage() override { Html += QStringLiteral("<p style=\"page-break-after: always\"></p>"); }
    void SetFont(const TPageFont&) override { }
    void SetPen(const TPagePen&) override { }
    void SetBrush(const TPageBrush&, const QImage*) override { }
    void SetClip(const QRectF*) override { }
    void DrawText(QPointF, const QString& text) override
    {
        Html += text.toHtmlEscaped() + QLatin1Char(' ');
        ++Texts;
    }
    void DrawLine(QPointF, QPointF) override { }
    void DrawRectangle(const QRectF&) override { }
    void DrawEllipse(const QRectF&) override { }
    void DrawPolyline(const QPointF*, int) override { }
    void DrawPolygon(const QPointF*, int, bool) override { }
    void FillRect(const QRectF&, TColor) override { }
    void DrawImage(const QRectF& r, const QImage& image, int) override
    {
        if (image.isNull()) return;
        Html += QStringLiteral("<img src=\"img%1\" width=\"%2\" height=\"%3\"> ")
                    .arg(Images.size())
                    .arg(int(r.width() * 96))
                    .arg(int(r.height() * 96));
        Images.push_back(image);
    }
};
