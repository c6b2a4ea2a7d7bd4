#pragma once
// Map sheets as the tax-map server sends them: the first image of TIFF data,
// 1 or 8 bits per pixel, in strips or tiles, uncompressed, PackBits, CCITT
// Group 3 or 4, LZW or Deflate. The data is hostile: a declared size past
// MaxSide, or more pixels than the data could possibly encode, is refused
// before anything is allocated. libtiff's warnings and errors come to
// OnMessage (and the first error into the exception), never to the terminal.

#include "platform/core/Exception.h"
#include "platform/graphics/PictureLimits.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>

class ETiffError : public Exception {
public:
    using Exception::Exception;
};

class TTiffReader {
public:
    static constexpr int MaxSide = PictureLimits::MaxPageSide;
    // Larger files are not read at all.
    static constexpr qint64 MaxFileSize = 512ll * 1024 * 1024;

    // 1-bit sheets become QImage::Format_Mono with black and white in the
    // colour table as the sheet's photometric says; 8-bit sheets
    // Format_Grayscale8 (white-is-zero sheets inverted) or, with a colour
    // map, Format_Indexed8. Raises ETiffError.
    QImage Read(const QByteArray& data);
    QImage ReadFile(const QString& fileName);

    // Every message of libtiff during the last read, warnings included.
    const QStringList& Messages() const { return m_messages; }

    // Fired for each message of libtiff as it comes.
    std::function<void(TTiffReader* sender, bool error, const QString& text)> OnMessage;

    // Used by the libtiff handlers.
    void Message(bool error, const QString& text);

private:
    QStringList m_messages;
    QString m_firstError;
};
