#include "protocol/xml/EXMLParserError.h"

EXMLParserError::EXMLParserError(const QString& message, qint32 line, qint32 position, const QString& source)
    : Exception(message), Line(line), Position(position), Source(source)
{ }

EXMLParserError::~EXMLParserError() = default;
