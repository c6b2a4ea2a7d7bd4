#include "platform/core/Format.h"

#include "platform/core/FloatFormat.h"

#include <vector>

QString Format(const QString& pattern, std::initializer_list<QVariant> args)
{
    std::vector<QVariant> values(args);
    size_t next = 0;
    QString out;
    out.reserve(pattern.size() + 16);
    const int n = int(pattern.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = pattern[i];
        if (c != u'%') {
            out += c;
            continue;
        }
        if (i + 1 < n && pattern[i + 1] == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        // %[-][width][.precision]type
        int j = i + 1;
        bool left = false;
        if (j < n && pattern[j] == u'-') {
            left = true;
            ++j;
        }
        int width = 0;
        while (j < n && pattern[j].isDigit()) width = width * 10 + pattern[j++].digitValue();
        int precision = -1;
        if (j < n && pattern[j] == u'.') {
            ++j;
            precision = 0;
            while (j < n && pattern[j].isDigit()) precision = precision * 10 + pattern[j++].digitValue();
        }
        if (j >= n || next >= values.size()) {
            out += c;
            continue;
        }
        const QChar type = pattern[j];
        QString piece;
        const QVariant& v = values[next];
        switch (type.unicode()) {
        case u's':
        case u'S':
            piece = v.toString();
            if (precision >= 0) piece.truncate(precision);
            break;
        case u'd':
        case u'D': {
            const qlonglong x = v.toLongLong();
            piece = QString::number(x < 0 ? -x : x);
            if (precision > piece.size()) piece = QString(precision - piece.size(), u'0') + piece;
            if (x < 0) piece.prepend(u'-');
            break;
        }
        case u'u':
        case u'U': piece = QString::number(v.toULongLong()); break;
        case u'x':
        case u'X':
            piece = QString::number(v.toULongLong(), 16).toUpper();
            if (precision > piece.size()) piece = QString(precision - piece.size(), u'0') + piece;
            break;
        case u'f':
        case u'F': piece = FloatToStrF(v.toDouble(), ffFixed, 15, precision < 0 ? 2 : precision); break;
        case u'n':
        case u'N': piece = FloatToStrF(v.toDouble(), ffNumber, 15, precision < 0 ? 2 : precision); break;
        case u'e':
        case u'E': piece = FloatToStrF(v.toDouble(), ffExponent, precision < 0 ? 15 : precision, 3); break;
        case u'g':
        case u'G': piece = FloatToStrF(v.toDouble(), ffGeneral, precision < 0 ? 15 : precision, 3); break;
        default: out += c; continue;
        }
        ++next;
        if (piece.size() < width) {
            const QString pad(width - piece.size(), u' ');
            piece = left ? piece + pad : pad + piece;
        }
        out += piece;
        i = j;
    }
    return out;
}
