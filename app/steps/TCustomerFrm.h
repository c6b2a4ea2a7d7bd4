#pragma once
// The Customer step: the customer the report is made for and whether a tour
// map is wanted, kept in the application state.

#include "forms/TBaseFrm.h"
#include "forms/TStepHost.h"

#include <QPointer>

class QCheckBox;
class TCustomEdit;
class TSpeedButton;

class TCustomerFrm : public TBaseFrm {
    Q_OBJECT
public:
    explicit TCustomerFrm(QObject* owner, TStepHost* host = nullptr);
    ~TCustomerFrm() override;

    TCustomEdit* edCustName = nullptr;
    TCustomEdit* edCustAddr1 = nullptr;
    TCustomEdit* edCustAddr2 = nullptr;
    TCustomEdit* edCustCity = nullptr;
    QCheckBox* ckTourMap = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;

    // "Clear customer information": empties the four edits.
    void SpeedButton1Click();

private:
    void FormShow();
    void FormClose(TCloseAction& action);
};

extern QPointer<TCustomerFrm> CustomerFrm;
