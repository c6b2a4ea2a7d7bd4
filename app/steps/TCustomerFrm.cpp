#include "app/steps/TCustomerFrm.h"

#include "state/TAppState.h"
#include "platform/widgets/CustomEdit.h"
#include "platform/widgets/Label.h"
#include "platform/widgets/SpeedButton.h"

#include <QCheckBox>

QPointer<TCustomerFrm> CustomerFrm;

TCustomerFrm::TCustomerFrm(QObject* owner, TStepHost* host) : TBaseFrm(owner, host)
{
    setObjectName(QStringLiteral("CustomerFrm"));
    CustomerFrm = this;

    auto* heading = new TLabel(this, QStringLiteral("Label1"));
    heading->SetCaption(QStringLiteral("Customer Information"));
    QFont big = heading->font();
    big.setPointSize(12);
    big.setBold(true);
    heading->setFont(big);
    heading->setGeometry(40, 24, 300, 24);

    struct Row {
        TCustomEdit** edit;
        const char* name;
        const char* label;
    };
    const Row rows[] = {
        {&edCustName, "edCustName", "Name"},
        {&edCustAddr1, "edCustAddr1", "Address 1"},
        {&edCustAddr2, "edCustAddr2", "Address 2"},
        {&edCustCity, "edCustCity", "City, State Zip"},
    };
    int y = 64;
    int n = 2;
    for (const Row& r : rows) {
        auto* label = new TLabel(this, QStringLiteral("Label%1").arg(n++));
        label->SetCaption(QString::fromLatin1(r.label));
        label->setGeometry(40, y + 3, 110, 16);
        *r.edit = new TCustomEdit(this, QString::fromLatin1(r.name));
        (*r.edit)->setGeometry(150, y, 300, 21);
        y += 30;
    }
    ckTourMap = new QCheckBox(QStringLiteral("Tour Map"), this);
    ckTourMap->setObjectName(QStringLiteral("ckTourMap"));
    ckTourMap->setGeometry(150, y, 200, 20);

    SpeedButton1 = new TSpeedButton(this, QStringLiteral("SpeedButton1"));
    SpeedButton1->setToolTip(QStringLiteral("Clear customer information"));
    SpeedButton1->SetCaption(QStringLiteral("Clear"));
    SpeedButton1->setGeometry(460, 64, 60, 23);
    SpeedButton1->OnClick = [this](QObject*) { SpeedButton1Click(); };

    OnShow = [this](QObject*) { FormShow(); };
    OnClose = [this](QObject*, TCloseAction& action) { FormClose(action); };
    Loaded();
}

TCustomerFrm::~TCustomerFrm()
{
    if (CustomerFrm == this) CustomerFrm = nullptr;
}

void TCustomerFrm::FormShow()
{
    TBaseFrm::FormShow(this);
    const TAppState& state = AppState();
    edCustName->SetText(state.CustName);
    edCustAddr1->SetText(state.CustAddr1);
    edCustAddr2->SetText(state.CustAddr2);
    edCustCity->SetText(state.CustCity);
    ckTourMap->setChecked(state.TourMap);
}

void TCustomerFrm::FormClose(TCloseAction& action)
{
    TBaseFrm::FormClose(this, action);
    TAppState& state = AppState();
    state.CustName = edCustName->Text().left(255);
    state.CustAddr1 = edCustAddr1->Text().left(255);
    state.CustAddr2 = edCustAddr2->Text().left(255);
    state.CustCity = edCustCity->Text().left(255);
    state.TourMap = ckTourMap->isChecked();
}

void TCustomerFrm::SpeedButton1Click()
{
    for (TCustomEdit* e : {edCustName, edCustAddr1, edCustAddr2, edCustCity}) e->SetText(QString());
}
