#pragma once
// The GIF frame scan of the HTML picture (the pictures themselves are
// decoded by PictureReader). Every read is bounds-checked: the bytes may
// come from anywhere.

#include <QByteArray>
#include <QVector>

namespace picturedecoder {

// True for at least 5 bytes beginning with "GIF8".
bool IsGif(const QByteArray& data);

// Offsets of the frame starts: a graphic control extension (0x21 0xF9 0x04)
// whose image separator (0x2C) follows at +8 and whose image descriptor is
// complete (10 bytes from the separator).
QVector<int> FrameStarts(const QByteArray& data);

struct GifFrame {
    QByteArray bytes; // header and global data, then the wanted frame and all later frames
    int left = 0;     // the frame's rectangle in the logical screen
    int top = 0;
    int width = 0;
    int height = 0;
    int screenWidth = 0; // logical screen size (0 when the header is short)
    int screenHeight = 0;
};

// Extracts frame number frame (1-based). Bytes before the first frame start
// are always copied; a frame number outside 1..count copies no frame.
GifFrame ExtractGifFrame(const QByteArray& data, int frame);

} // namespace picturedecoder
