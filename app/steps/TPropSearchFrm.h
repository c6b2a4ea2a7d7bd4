#pragma once
// The Prop Search step: what is known of the subject property, typed into
// edits bound to the main window's subject-property connection, and the
// county to search in. Search has the main window run the request.

#include "forms/TBaseFrm.h"
#include "forms/TStepHost.h"

#include <QPointer>

class TCustomComboBox;
class TCustomEdit;
class TSpeedButton;

class TPropSearchFrm : public TBaseFrm {
    Q_OBJECT
public:
    explicit TPropSearchFrm(QObject* owner, TStepHost* host = nullptr);
    ~TPropSearchFrm() override;

    TCustomComboBox* cbCounty = nullptr;
    TCustomEdit* sParcel = nullptr;
    TCustomEdit* sMLS = nullptr;
    TCustomEdit* sFirst = nullptr;
    TCustomEdit* sLast = nullptr;
    TCustomEdit* sStreetNum = nullptr;
    TCustomComboBox* sStreetDir = nullptr;
    TCustomEdit* sStreetName = nullptr;
    TCustomEdit* sStreetSuffix = nullptr;
    TCustomEdit* sStreetUnit = nullptr;
    TCustomEdit* sCity = nullptr;
    TCustomEdit* sState = nullptr;
    TCustomEdit* sZip = nullptr;
    TSpeedButton* btnPrior = nullptr;
    TSpeedButton* btnNext = nullptr;
    TSpeedButton* btnClear = nullptr;
    TSpeedButton* btnSearch = nullptr;

    // sender is the combo box for a change by the user, which clears the
    // search; the form itself for the choice made at creation.
    void cbCountyChange(QObject* sender);
    void btnSearchClick();
    void ClearSearch();

private:
    void FormShow();
    void FormClose(TCloseAction& action);
    void BindFields();
};

extern QPointer<TPropSearchFrm> PropSearchFrm;
