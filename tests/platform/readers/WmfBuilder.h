#pragma once
// Metafiles made in the tests, record by record.

#include <QByteArray>
#include <initializer_list>

// Writes a placeable metafile record by record.
class Wmf {
public:
    Wmf& Rec(quint16 function, std::initializer_list<int> words, const QByteArray& tail = {})
    {
        QByteArray r;
        const quint32 size = quint32(3 + words.size() + (tail.size() + 1) / 2);
        Put32(r, size);
        Put16(r, function);
        for (int w : words) Put16(r, quint16(w));
        r += tail;
        if (tail.size() % 2) r.append('\0');
        m_records += r;
        return *this;
    }
    Wmf& Raw(const QByteArray& bytes)
    {
        m_records += bytes;
        return *this;
    }
    QByteArray Bytes(int objects = 8, bool placeable = true) const
    {
        QByteArray b;
        if (placeable) {
            QByteArray p;
            Put32(p, 0x9AC6CDD7u);
            for (int w : {0, 0, 0, 1000, 500, 1440}) Put16(p, quint16(w));
            Put32(p, 0);
            quint16 sum = 0;
            for (int i = 0; i < 20; i += 2) sum ^= quint16(uchar(p[i]) | (uchar(p[i + 1]) << 8));
            Put16(p, sum);
            b += p;
        }
        for (int w : {1, 9, 0x0300}) Put16(b, quint16(w));
        Put32(b, quint32(9 + m_records.size() / 2 + 3));
        Put16(b, quint16(objects));
        Put32(b, 0);
        Put16(b, 0);
        b += m_records;
        Put32(b, 3);
        Put16(b, 0);
        return b;
    }
    static void Put16(QByteArray& b, quint16 v) { b.append(char(v & 0xFF)).append(char(v >> 8)); }
    static void Put32(QByteArray& b, quint32 v)
    {
        Put16(b, quint16(v & 0xFFFF));
        Put16(b, quint16(v >> 16));
    }

private:
    QByteArray m_records;
};
