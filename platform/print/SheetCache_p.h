#pragma once
// Pictures of a report file scaled down to the size the preview shows them
// at, kept so that paging back and zooming again cost nothing. A map sheet
// of 5,000 x 3,500 1-bit pixels is averaged into grey (so thin lines stay
// visible) once per zoom instead of on every paint.

#include <QHash>
#include <QImage>
#include <QSize>

class TSheetCache {
public:
    // Scaled pictures beyond this many bytes are dropped, oldest first.
    static constexpr qint64 MaxBytes = qint64(96) << 20;

    // The picture index of the report file at size pixels.
    QImage Scaled(int index, const QImage& image, QSize size);
    void Clear();
    int Count() const { return int(m_images.size()); }

    // Averages every box of a 1-bit picture into one grey pixel (size no
    // larger than the picture; a null image otherwise).
    static QImage ScaleMono(const QImage& image, QSize size);

private:
    struct Key {
        int Index;
        int Width, Height;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& k, size_t seed) { return qHashMulti(seed, k.Index, k.Width, k.Height); }
    struct Entry {
        QImage Image;
        quint64 Used;
    };
    QHash<Key, Entry> m_images;
    qint64 m_bytes = 0;
    quint64 m_clock = 0;
};
