#pragma once
// The tax-map server client: fetches the assessor map sheets of one parcel
// as TIFF files, with a fixed sequence of GET commands on "/taxmap.dll"
// (login, open the county, first sheet, struct, next sheets, close, logout)
// carrying the session id the server hands out in the "Message-Id" header of
// the login answer. It uses no service document. Host and Port name the
// tax-map server.
//
// Server texts never choose a path: the sheet files are named county +
// "-" + parcel + "-" + n + ".tif" in OutputDir with every character outside
// [A-Za-z0-9._-] replaced by "_"; a county giving a name that starts with
// "." fetches nothing. The query values are percent-encoded (a "," stays).
// A sheet counts only with status 200 and a body; the sheet count is taken
// as 1 to MaxSheets (200); bodies are capped at 64 MiB like every answer.

#include "protocol/TvxCustomConnection.h"

#include <QStringList>
#include <array>

class TvxAssessorMap : public TvxCustomConnection {
public:
    static constexpr int kMaxSheets = 200;

    explicit TvxAssessorMap(QObject* owner = nullptr);
    ~TvxAssessorMap() override;

    // The most sheets one fetch takes (kMaxSheets unless lowered; kept
    // within 1..kMaxSheets).
    int MaxSheets() const { return m_maxSheets; }
    void SetMaxSheets(int value);

    // Stored setting without behaviour.
    QString pmCounty;
    // Directory of the sheet files; the temporary directory when empty.
    QString OutputDir;

    QString SessionId() const { return m_sessionId; }
    bool SessionStarted() const { return m_sessionStarted; }
    // Whether the login of the last GetSheets was granted a session; false
    // when the server refused the login or did not answer it.
    bool SessionGranted() const { return m_sessionGranted; }
    // Sheets saved by the current fetch.
    qint16 ImageNumber() const { return m_imageNumber; }
    // The body of the last struct answer; bytes 32 to 35 hold the number of
    // sheets (32-bit little-endian).
    const std::array<char, 36>& MapStruct() const { return m_mapStruct; }
    qint32 StructSheetCount() const;
    // Full names of the files saved by the last fetch.
    const QStringList& SheetFiles() const { return m_sheetFiles; }

    // Logs in, opens the county, saves the parcel's sheets, closes and logs
    // out. The number of sheets, 0 when none could be fetched (also for an
    // empty county, which sends nothing). Errors of the transfer while the
    // sheets are fetched propagate, after the county was closed and the
    // session ended. OnBeforeSearch fires before the login (clearing
    // DoSearch sends nothing) and OnAfterSearch after the session ended,
    // whatever happened, as for a post.
    int GetSheets(const QString& County, const QString& Parcel);

    // The commands, in the order GetSheets runs them.
    bool Login();
    bool OpenCounty(const QString& County);
    bool GetFirstSheet(const QString& Parcel, const QString& FileName);
    void ReadStruct();
    bool GetNextSheet(const QString& FileName);
    void CloseCounty(const QString& County);
    void Logout();

    // The file name of sheet n (county and parcel made safe), or empty when
    // the name would start with ".".
    static QString SheetFileName(const QString& County, const QString& Parcel, int n);

private:
    QString Command(const QString& type, const QString& params, bool withScheme) const;
    // GET of url; false for a status other than 200 (also one the transfer
    // raises as a protocol error). Transport errors propagate.
    bool GetStatus200(const QString& url, QIODevice& body);
    // The commands of GetSheets from the login to the logout.
    int FetchSheets(const QString& County, const QString& Parcel);
    bool FetchSheet(const QString& url, const QString& fileName);
    QString OutputPath(const QString& fileName) const;

    QString m_sessionId;
    bool m_sessionStarted = false;
    bool m_sessionGranted = false;
    qint16 m_imageNumber = 0;
    std::array<char, 36> m_mapStruct{};
    QStringList m_sheetFiles;
    int m_maxSheets = kMaxSheets;
};
