#include "protocol/xml/TXMLFileStream.h"

#include "platform/core/Exception.h"

TXMLFileStream::TXMLFileStream(const QString& fileName, QIODevice::OpenMode mode) : QFile(fileName)
{
    if (!open(mode)) throw EFCreateError(QStringLiteral("Error creating file stream for ") + fileName);
}

TXMLFileStream::~TXMLFileStream() = default;
