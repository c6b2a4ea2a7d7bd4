#include "protocol/xml/TErrorsList.h"

QStringList TErrorsList::Messages() const
{
    QStringList out;
    for (const TError& e : m_items) out << e.Message;
    return out;
}
