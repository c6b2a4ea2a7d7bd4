#pragma once
// The Report step: which report pages go into the profile report and in
// which order, named page sets in "rs.xml" of the data directory, and Do
// Report, which fills the report-data connection with what the chosen pages
// need and has the main window make the report.

#include "forms/TBaseFrm.h"
#include "forms/TStepHost.h"

#include <QPointer>

class TCustomComboBox;
class TExtColumnGrid;
class TLabel;
class TSpeedButton;
class TXMLElement;
class TvxpDocument;

class TReportFrm : public TBaseFrm {
    Q_OBJECT
public:
    explicit TReportFrm(QObject* owner, TStepHost* host = nullptr);
    ~TReportFrm() override;

    TExtColumnGrid* ReportGrid = nullptr;
    TCustomComboBox* cbReport = nullptr;
    TvxpDocument* rsParser = nullptr;
    TLabel* lbCounty = nullptr;
    TLabel* lbPhotos = nullptr;
    TLabel* lbHazards = nullptr;
    TSpeedButton* btnUp = nullptr;
    TSpeedButton* btnDown = nullptr;
    TSpeedButton* btnAll = nullptr;
    TSpeedButton* btnNone = nullptr;
    TSpeedButton* btnReverse = nullptr;
    TSpeedButton* BitBtn2 = nullptr; // Do Report
    TSpeedButton* btnSave = nullptr;
    TSpeedButton* btnDelete = nullptr;

    void FillGrid();
    // Every page named in a row takes the row's mark and number.
    void StoreGrid();
    void LoadSetNames();
    void ApplySet(const QString& name);
    void MovePage(int delta);
    // 1 all, 0 none, -1 reverse; the set choice is cleared.
    void SelectPages(int how);
    void ReportGridKeyDown(int& key);
    void ReportGridCheckBoxClick(int row);
    void SaveSettings();
    void DeleteSettings();
    void BitBtn2Click();

private:
    void FormShow();
    void FormClose(TCloseAction& action);
    TXMLElement* FindSet(const QString& name) const;
    void WriteSets();
};

extern QPointer<TReportFrm> ReportFrm;
