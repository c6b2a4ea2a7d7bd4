#pragma once
// The pictures of one PDF, each written once however many pages draw it:
// a stored JPEG photo made at the document's quality whose data decodes
// whole goes in as it is, any other is decoded and made again at that
// quality; 1-bit sheets keep their rows and two colours without loss;
// 8-bit pictures keep their palette; 32-bit pictures go in as RGB with
// their transparency as a soft mask. A picture that does not decode is
// left out (OnLeftOut). A picture as a brush is a tiling pattern of it at
// 96 pixels an inch, laid from the page's top-left corner.

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QImage>
#include <QString>
#include <functional>

class PdfDocument;
class TReportFileReader;

class PdfPictures {
public:
    PdfPictures(PdfDocument& document, const TReportFileReader& reader, int jpegQuality);

    // The page being written (0-based), named in the notes.
    int Page = 0;
    // Told of every picture left out because it does not decode.
    std::function<void(const QString& what)> OnLeftOut;

    // The resource name of picture index; empty when it cannot be drawn.
    QByteArray Picture(int index);
    // The resource name of the pattern that tiles picture index (image is
    // the picture, decoded) on a page pageHeight points high.
    QByteArray Pattern(int index, double pageHeight);

    // Reads a JPEG file's size and components (8-bit samples, one or
    // three components, a coding a PDF reader decodes); false when it is
    // none such. standard tells whether its quantisation tables are the
    // standard ones scaled for quality, as made at that quality.
    static bool ReadJpeg(QByteArrayView jpeg, int quality, QSize& size, int& components, bool& standard);

private:
    int Write(int index);
    // Writes the decoded picture; 0, with a note, when there is none.
    int WriteDecoded(int index, bool recode);
    int WriteJpeg(QByteArrayView jpeg, QSize size, int components);
    int WriteRecoded(const QImage& image);
    int WritePixels(const QImage& image);

    PdfDocument& m_document;
    const TReportFileReader& m_reader;
    int m_quality;
    QHash<int, QByteArray> m_pictures;
    QHash<int, int> m_objects;
    QHash<QPair<int, qint64>, QByteArray> m_patterns;
};
