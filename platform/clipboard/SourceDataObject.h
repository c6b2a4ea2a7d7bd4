#pragma once
// What a drag from the grid offers: its text (as plain text), its rich
// text (only while the rich-text flag is on) or a column index (a column
// drag, whose texts are empty). The formats are listed in that order:
// plain text, rich text, and in column mode the grid column format.

#include <QMimeData>

class TSourceDataObject : public QMimeData {
public:
    TSourceDataObject(const QString& text, const QString& rtf, int column);
    ~TSourceDataObject() override;

    QString Text() const { return m_text; }
    QString RTF() const { return m_rtf; }
    // -1 unless this is a column drag.
    int Column() const { return m_column; }

    // Whether the format can be given now.
    bool QueryGetData(const QString& mimeType) const;
    // The format's bytes: the text in UTF-8 (as text travels on this
    // platform), the zero-terminated rich text, the column as four bytes
    // (little-endian); empty when QueryGetData refuses.
    QByteArray GetData(const QString& mimeType) const;

    bool hasFormat(const QString& mimeType) const override;
    QStringList formats() const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    QString m_text;
    QString m_rtf;
    int m_column;
};
