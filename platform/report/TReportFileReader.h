#pragma once
// Reads a report file and replays its pages onto a page painter. Report
// files are untrusted: every length, count and offset is checked before it
// is used, sizes are capped before anything is allocated from them, and a
// damaged or hostile file is refused with EReportFileError naming what is
// wrong. Loading checks every page completely, so replaying a loaded page
// cannot fail; a picture whose data does not decode is a null image (its
// area stays empty).

#include "platform/core/Exception.h"
#include "platform/graphics/PictureLimits.h"
#include "platform/report/PagePainter.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <memory>

class QIODevice;

class EReportFileError : public Exception {
    using Exception::Exception;
};

class TReportFileReader {
public:
    // The caps a file must stay within.
    static constexpr qint64 MaxFileSize = qint64(1) << 30;
    static constexpr int MaxPages = 100000;
    static constexpr int MaxImages = 100000;
    static constexpr qint64 MaxPageOperationsSize = qint64(64) << 20;
    static constexpr int MaxImageSide = PictureLimits::MaxPageSide;
    // Of the whole file, however its entries share their data: the pages'
    // unpacked operations, and the pictures as decoded (4 bytes a pixel
    // for a JPEG, the stored rows for the others), all of which are kept.
    static constexpr qint64 MaxOperationsTotal = qint64(256) << 20;
    static constexpr qint64 MaxPictureBytesTotal = qint64(512) << 20;

    TReportFileReader();
    ~TReportFileReader();
    TReportFileReader(const TReportFileReader&) = delete;
    TReportFileReader& operator=(const TReportFileReader&) = delete;

    // EFOpenError when the file cannot be read, EReportFileError when it is
    // no sound report file. A failed load leaves the reader empty.
    void LoadFromFile(const QString& fileName);
    void LoadFromStream(QIODevice& stream);
    void LoadFromBytes(const QByteArray& data);
    void Clear();

    int Version() const;
    const QString& Title() const;
    int PageCount() const;
    QSizeF PageSize(int page) const;
    int ImageCount() const;
    // The picture, decoded on first use and kept; null when undecodable.
    QImage Image(int index) const;

    // A picture as the file stores it: a JPEG file, or the zlib-compressed
    // pixel rows (palette first for 1 and 8 bits). Data views the loaded
    // file and lives as long as the load.
    struct StoredPicture {
        enum Kind { Jpeg, Pixels } Encoding = Pixels;
        int Bits = 0; // per pixel, of pixel rows
        QSize Size;
        QByteArrayView Data;
    };
    StoredPicture Stored(int index) const;

    // Replays page (0-based) between BeginPage and EndPage.
    void PlayPage(int page, TPagePainter& painter) const;

private:
    struct Data;
    std::unique_ptr<Data> d;
};
