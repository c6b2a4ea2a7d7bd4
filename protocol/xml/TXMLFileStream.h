#pragma once
// A file opened for the XML layer; failing to open raises EFCreateError
// "Error creating file stream for " + file name.

#include <QFile>
#include <QString>

class TXMLFileStream : public QFile {
public:
    TXMLFileStream(const QString& fileName, QIODevice::OpenMode mode);
    ~TXMLFileStream() override;
};
