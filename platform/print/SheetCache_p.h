#pragma once
// Pictures of a report file scaled down to the size the preview shows them
// at, kept so that paging back and zooming again cost nothing. A map sheet
// of 5,000 x 3,500 1-bit pixels is averaged into grey (so thin lines stay
// visible) once per zoom instead of on every paint.

#include <QHash>
#include <QImage>
#include <QRect>
#include <QSize>

class TSheetCache {
public:
    // Scaled pictures beyond this many bytes are dropped, oldest first.
    static constexpr qint64 MaxBytes = qint64(96) << 20;

    // The picture index of the report file at size pixels.
    QImage Scaled(int index, const QImage& image, QSize size);
    // The part source of it at size pixels, no larger than the part (a
    // null image otherwise). What is made is no larger than size, whatever
    // the picture's size: a palette picture much larger is sampled down
    // before it is averaged.
    QImage Scaled(int index, const QImage& image, const QRect& source, QSize size);
    void Clear();
    int Count() const { return int(m_images.size()); }
    qint64 Bytes() const { return m_bytes; }

    // Averages every box of a 1-bit picture (or of its part source) into
    // one grey pixel (size no larger than the part; a null image otherwise).
    static QImage ScaleMono(const QImage& image, QSize size);
    static QImage ScaleMono(const QImage& image, const QRect& source, QSize size);

private:
    struct Key {
        int Index;
        int X, Y, SourceWidth, SourceHeight;
        int Width, Height;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& k, size_t seed)
    {
        return qHashMulti(seed, k.Index, k.X, k.Y, k.SourceWidth, k.SourceHeight, k.Width, k.Height);
    }
    struct Entry {
        QImage Image;
        quint64 Used;
    };
    QImage Keep(const Key& key, const QImage& scaled);
    QHash<Key, Entry> m_images;
    qint64 m_bytes = 0;
    quint64 m_clock = 0;
};
