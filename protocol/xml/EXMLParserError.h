#pragma once
// The error of every parse: the message, the line the lexer had reached, a
// position carried along when the error is passed on, and the source (empty
// for the main document, the file name inside an external DTD file).

#include "platform/core/Exception.h"

#include <QString>

class EXMLParserError : public Exception {
public:
    explicit EXMLParserError(const QString& message, qint32 line = 0, qint32 position = 0,
                             const QString& source = QString());
    ~EXMLParserError() override;

    qint32 Line = 0;
    qint32 Position = 0;
    QString Source;
};
