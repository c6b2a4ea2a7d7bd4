#include "platform/core/AtomicFile.h"

#include "platform/core/Format.h"

#include <sys/stat.h>

AtomicFile::AtomicFile(const QString& fileName) : m_fileName(fileName), m_file(fileName)
{
    // Never fall back to writing the target in place.
    m_file.setDirectWriteFallback(false);
    if (!m_file.open(QIODevice::WriteOnly)) Fail(m_file.errorString());
}

AtomicFile::~AtomicFile()
{
    if (!m_committed) m_file.cancelWriting();
}

void AtomicFile::Fail(const QString& reason)
{
    m_file.cancelWriting();
    m_committed = true; // nothing left to do
    throw EFCreateError(Format(QStringLiteral("Cannot create file \"%s\". %s"), {m_fileName, reason}));
}

void AtomicFile::Write(const QByteArray& data)
{
    if (m_committed) Fail(QStringLiteral("The file is already closed"));
    if (m_file.write(data) != data.size()) Fail(m_file.errorString());
}

void AtomicFile::Commit()
{
    if (m_committed) Fail(QStringLiteral("The file is already closed"));
    if (!m_file.commit()) {
        const QString reason = m_file.errorString();
        m_committed = true;
        throw EFCreateError(Format(QStringLiteral("Cannot create file \"%s\". %s"), {m_fileName, reason}));
    }
    m_committed = true;
}

void AtomicFile::WriteAll(const QString& fileName, const QByteArray& data)
{
    AtomicFile file(fileName);
    file.Write(data);
    file.Commit();
}

bool AtomicFile::RestrictToOwner(QFileDevice& file)
{
    const int fd = file.handle();
    return fd >= 0 && ::fchmod(fd, S_IRUSR | S_IWUSR) == 0;
}
