#include "protocol/TvxAssessorMap.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Directories.h"
#include "platform/net/HttpErrors.h"

#include <QBuffer>
#include <QUrl>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <exception>

namespace {

QString Encoded(const QString& value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value, QByteArrayLiteral(",")));
}

QString SafeName(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        const bool keep = (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') ||
            u == u'.' || u == u'_' || u == u'-';
        if (!keep) c = u'_';
    }
    return out;
}

} // namespace

TvxAssessorMap::TvxAssessorMap(QObject* owner) : TvxCustomConnection(owner) { SetPort(9000); }

TvxAssessorMap::~TvxAssessorMap() = default;

qint32 TvxAssessorMap::StructSheetCount() const { return qFromLittleEndian<qint32>(m_mapStruct.data() + 32); }

QString TvxAssessorMap::SheetFileName(const QString& County, const QString& Parcel, int n)
{
    const QString name = SafeName(County + u'-' + Parcel + u'-' + QString::number(n) + QStringLiteral(".tif"));
    if (name.isEmpty() || name.startsWith(u'.')) return QString();
    return name;
}

QString TvxAssessorMap::OutputPath(const QString& fileName) const
{
    QString dir = OutputDir.isEmpty() ? Directories::TempDir() : OutputDir;
    if (!dir.endsWith(u'/')) dir += u'/';
    return dir + fileName;
}

QString TvxAssessorMap::Command(const QString& type, const QString& params, bool withScheme) const
{
    // Every command goes to the tax-map server at Host and Port; the texts
    // are held in short strings.
    const QString url = (withScheme ? QStringLiteral("http://") : QString()) + Host() +
        QStringLiteral("/taxmap.dll?type=") + type + QStringLiteral("&params=") + Encoded(params) +
        QStringLiteral("&sid=") + Encoded(m_sessionId);
    return url.left(255);
}

bool TvxAssessorMap::GetStatus200(const QString& url, QIODevice& body)
{
    try {
        Get(url, body);
    } catch (const EHttpProtocolError&) {
        return false;
    }
    return ResponseCode() == 200;
}

bool TvxAssessorMap::Login()
{
    m_sessionId.clear();
    const QString url = Command(QStringLiteral("login"), QStringLiteral("plomvek7"), false);
    bool ok = false;
    QBuffer body;
    body.open(QIODevice::ReadWrite);
    try {
        ok = GetStatus200(url, body);
    } catch (const EHttpClientDestroyed&) {
        throw;
    } catch (const Exception&) {
        ok = false;
    }
    m_sessionId = ResponseHeader(QStringLiteral("Message-Id")).left(255);
    m_sessionStarted = ok && !m_sessionId.isEmpty();
    return m_sessionStarted;
}

bool TvxAssessorMap::OpenCounty(const QString& County)
{
    if (!m_sessionStarted) throw Exception(QStringLiteral("ERROR--Not Logged In to Map Server"));
    QBuffer body;
    body.open(QIODevice::ReadWrite);
    try {
        return GetStatus200(Command(QStringLiteral("command"), QStringLiteral("open,") + County, false), body);
    } catch (const EHttpClientDestroyed&) {
        throw;
    } catch (const Exception&) {
        return false;
    }
}

bool TvxAssessorMap::FetchSheet(const QString& url, const QString& fileName)
{
    QBuffer body;
    body.open(QIODevice::ReadWrite);
    if (!GetStatus200(url, body) || body.size() == 0) return false;
    AtomicFile::WriteAll(fileName, body.data());
    m_sheetFiles.append(fileName);
    return true;
}

bool TvxAssessorMap::GetFirstSheet(const QString& Parcel, const QString& FileName)
{
    m_imageNumber = 0;
    if (!FetchSheet(Command(QStringLiteral("fiex"), Parcel, true), FileName)) return false;
    m_imageNumber = 1;
    ReadStruct();
    return true;
}

void TvxAssessorMap::ReadStruct()
{
    if (!m_sessionStarted) throw Exception(QStringLiteral("ERROR--Not Logged In"));
    QBuffer body;
    body.open(QIODevice::ReadWrite);
    if (!GetStatus200(Command(QStringLiteral("struct"), QStringLiteral("curr"), true), body)) return;
    const QByteArray& data = body.data();
    // A short answer holds no count.
    m_mapStruct.fill(0);
    if (data.size() >= qsizetype(m_mapStruct.size()))
        std::memcpy(m_mapStruct.data(), data.constData(), m_mapStruct.size());
}

bool TvxAssessorMap::GetNextSheet(const QString& FileName)
{
    if (!FetchSheet(Command(QStringLiteral("fiex"), QStringLiteral("nsht"), true), FileName)) return false;
    ++m_imageNumber;
    return true;
}

void TvxAssessorMap::CloseCounty(const QString& County)
{
    if (!m_sessionStarted) throw Exception(QStringLiteral("ERROR--Not Logged In"));
    if (County.isEmpty()) throw Exception(QStringLiteral("ERROR--Invalid County"));
    QBuffer body;
    body.open(QIODevice::ReadWrite);
    Get(Command(QStringLiteral("command"), QStringLiteral("close,") + County, false), body);
}

void TvxAssessorMap::Logout()
{
    if (!m_sessionStarted) throw Exception(QStringLiteral("ERROR--Not Logged In to Map Server"));
    QBuffer body;
    body.open(QIODevice::ReadWrite);
    try {
        Get(Command(QStringLiteral("logout"), QStringLiteral("close"), false), body);
    } catch (const EHttpClientDestroyed&) {
        throw;
    } catch (const Exception&) { }
    m_sessionId.clear();
    m_sessionStarted = false;
}

void TvxAssessorMap::SetMaxSheets(int value) { m_maxSheets = std::clamp(value, 1, kMaxSheets); }

int TvxAssessorMap::GetSheets(const QString& County, const QString& Parcel)
{
    m_sheetFiles.clear();
    m_mapStruct.fill(0);
    m_imageNumber = 0;
    m_sessionGranted = false;
    // Nothing to ask for, or no safe file name for the sheets.
    if (County.isEmpty() || SheetFileName(County, Parcel, 1).isEmpty()) return 0;

    // The whole fetch is one request to the owner: OnBeforeSearch before the
    // login, OnAfterSearch once the session ended, also after a failure.
    int result = 0;
    Searching([&] { result = FetchSheets(County, Parcel); });
    return result;
}

int TvxAssessorMap::FetchSheets(const QString& County, const QString& Parcel)
{
    if (!Login()) return 0;
    m_sessionGranted = true;

    const QPointer<TvxCustomConnection> self(this);
    // The session ends on every path; errors of ending it are not the
    // caller's concern.
    auto finish = [this](bool close, const QString& county) {
        if (close) {
            try {
                CloseCounty(county);
            } catch (const EHttpClientDestroyed&) {
                throw;
            } catch (const Exception&) { }
        }
        try {
            if (m_sessionStarted) Logout();
        } catch (const EHttpClientDestroyed&) {
            throw;
        } catch (const Exception&) { }
        DisconnectIfConnected();
    };

    int result = 0;
    try {
        if (!OpenCounty(County)) {
            finish(false, County);
            return 0;
        }
        if (GetFirstSheet(Parcel, OutputPath(SheetFileName(County, Parcel, 1)))) {
            result = std::clamp(StructSheetCount(), 1, m_maxSheets);
            for (int n = 2; n <= result; ++n) GetNextSheet(OutputPath(SheetFileName(County, Parcel, n)));
        }
    } catch (const EHttpClientDestroyed&) {
        throw;
    } catch (...) {
        if (self) finish(true, County);
        throw;
    }
    finish(true, County);
    return result;
}
