#pragma once
// A PDF file built in memory: numbered objects written as they are done,
// streams deflated with one reused compressor, the pages with their content
// streams, one resource dictionary all pages share (fonts, pictures,
// patterns, each named once for the whole document), then the page tree,
// the document information, the cross-reference table and the trailer.
// A document without pages gets one blank Letter page: readers refuse an
// empty page tree.

#include "platform/print/PdfOutput_p.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QSizeF>
#include <QString>
#include <memory>
#include <vector>

class PdfDocument {
public:
    enum ResourceKind { FontResource, XObjectResource, PatternResource };

    PdfDocument();
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    // A new object number, its object written later (or never: a number
    // no object took is a free entry).
    int Reserve();
    // Starts the object n; its body is written to the returned output up to
    // EndObject.
    PdfOutput& BeginObject(int n);
    void EndObject();
    // The object n as a stream: entries are the dictionary's own (Length
    // and Filter are added), data deflated when deflate.
    void Stream(int n, QByteArrayView entries, QByteArrayView data, bool deflate = true);

    // A page of size (points) drawn by content.
    void AddPage(QSizeF points, QByteArrayView content);
    // Names object in the shared resources: "F1", "Im2", "P3"...
    QByteArray AddResource(ResourceKind kind, int object);

    // The whole file, the pages in the order added, created at the time
    // given. The document is spent.
    QByteArray Finish(const QString& title, const QDateTime& created);

private:
    struct Data;
    std::unique_ptr<Data> d;
};
