#pragma once
// A Windows metafile as it came from the service (the street map of the
// report): the bytes are kept as they are, checked only for the metafile
// header, for the report to draw. The placeable form (key 0x9AC6CDD7) gives a
// bounding box and its units per inch; a plain metafile has neither.

#include <QByteArray>
#include <QRect>

class QIODevice;

class TMetafilePicture {
public:
    bool Empty() const { return m_data.isEmpty(); }
    void Clear();
    const QByteArray& Data() const { return m_data; }

    // Reads the stream from its position to its end. Data without a valid
    // metafile header raises EInvalidGraphic "Metafile is not valid" and
    // leaves the picture as it was.
    void LoadFromStream(QIODevice& stream);
    void LoadFromData(const QByteArray& data);
    void SaveToStream(QIODevice& stream) const;

    bool Placeable() const { return m_placeable; }
    // The bounding box of a placeable metafile in its own units, and those
    // units per inch; an empty box and 0 for a plain one.
    QRect Bounds() const { return m_bounds; }
    int Inch() const { return m_inch; }

private:
    QByteArray m_data;
    bool m_placeable = false;
    QRect m_bounds;
    int m_inch = 0;
};
