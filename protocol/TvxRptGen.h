#pragma once
// The report-data connection: asks the server for the data of the report
// pages the user selected ("rptgen.request": census, schools, community
// services, house photos, street and hazard maps). The report reads the
// answer from the document. IncludeAssessorMap is not sent: the report reads
// it to decide whether to fetch the assessor map sheets.

#include "protocol/TvxCustomConnection.h"

#include <QStringList>

class TvxRptGen : public TvxCustomConnection {
public:
    explicit TvxRptGen(QObject* owner = nullptr);
    ~TvxRptGen() override;

    bool IncludeCensus = false;
    QString CensusTract;
    bool IncludeServices = false;
    QString ServicesAndOr;
    QString ServicesCity;
    QString ServicesZip;
    qint32 County = 0;
    bool HazardMap = false;
    double Longitude = 0;
    double Latitude = 0;
    bool IncludeSchool = false;
    QString SchoolAndOr;
    QString SchoolCity;
    QString SchoolZip;
    bool StreetMap = false;
    qint32 MapId = 0;
    qint32 UserId = 0;
    double ServicesArea = 0;
    bool IncludePhotos = false;
    // One "apn" element each, in order.
    QStringList PhotoApns;
    bool IncludeAssessorMap = false;

    // Builds and posts the request (also with no part asked for); the
    // answer's type, empty after a "message" answer.
    QString Execute();
};
