#include "app/steps/TPropSearchFrm.h"

#include "forms/StepMessages.h"
#include "forms/TControlField.h"
#include "state/TAppState.h"
#include "platform/core/Directories.h"
#include "platform/core/IniFile.h"
#include "platform/kernel/VirtualKeys.h"
#include "platform/widgets/CustomComboBox.h"
#include "platform/widgets/CustomEdit.h"
#include "platform/widgets/Label.h"
#include "platform/widgets/SpeedButton.h"
#include "protocol/TSubjectProperty.h"

#include <QTimer>

QPointer<TPropSearchFrm> PropSearchFrm;

namespace {

TSubjectProperty* SubProp(const TStepHost* host) { return host ? host->Services().SubProp : nullptr; }

} // namespace

TPropSearchFrm::TPropSearchFrm(QObject* owner, TStepHost* host) : TBaseFrm(owner, host)
{
    setObjectName(QStringLiteral("PropSearchFrm"));
    PropSearchFrm = this;

    int labelNo = 1;
    auto label = [&](const QString& caption, int x, int y) {
        auto* l = new TLabel(this, QStringLiteral("Label%1").arg(labelNo++));
        l->SetCaption(caption);
        l->setGeometry(x, y, 140, 16);
        return l;
    };
    auto edit = [&](const char* name, int limit, int x, int y, int w) {
        auto* e = new TCustomEdit(this, QString::fromLatin1(name));
        e->SetMaxLength(limit);
        e->setGeometry(x, y, w, 21);
        return e;
    };
    auto upper = [](TCustomEdit* e) { e->SetCharCase(TEditCharCase::ecUpperCase); };

    label(QStringLiteral("County"), 24, 20);
    cbCounty = new TCustomComboBox(this, QStringLiteral("cbCounty"));
    cbCounty->SetStyle(csDropDownList);
    cbCounty->setGeometry(24, 38, 260, 21);
    label(QStringLiteral("Parcel#"), 24, 72);
    sParcel = edit("sParcel", 30, 24, 90, 200);
    upper(sParcel);
    label(QStringLiteral("MLS Listing number"), 240, 72)->setVisible(false);
    sMLS = edit("sMLS", 15, 240, 90, 140);
    upper(sMLS);
    sMLS->setVisible(false);
    label(QStringLiteral("Owner name"), 24, 124);
    sFirst = edit("sFirst", 53, 24, 142, 300);
    label(QStringLiteral("Last name"), 340, 124)->setVisible(false);
    sLast = edit("sLast", 30, 340, 142, 200);
    sLast->setVisible(false);

    label(QStringLiteral("Street number"), 24, 176);
    sStreetNum = edit("sStreetNum", 15, 24, 194, 90);
    sStreetNum->OnKeyPress = [](QObject*, TKeyChar& key) {
        const bool accepted = (key >= U'0' && key <= U'9') || key == U'-' || key == U'\b';
        if (!accepted) key = 0;
    };
    label(QStringLiteral("Direction"), 124, 176);
    sStreetDir = new TCustomComboBox(this, QStringLiteral("sStreetDir"));
    sStreetDir->SetStyle(csDropDownList);
    sStreetDir->addItems({QString(), QStringLiteral("N"), QStringLiteral("S"), QStringLiteral("E"), QStringLiteral("W"),
                          QStringLiteral("NE"), QStringLiteral("NW"), QStringLiteral("SE"), QStringLiteral("SW")});
    sStreetDir->setGeometry(124, 194, 60, 21);
    label(QStringLiteral("Name"), 194, 176);
    sStreetName = edit("sStreetName", 30, 194, 194, 200);
    label(QStringLiteral("Suffix"), 404, 176);
    sStreetSuffix = edit("sStreetSuffix", 4, 404, 194, 60);
    label(QStringLiteral("Unit"), 474, 176);
    sStreetUnit = edit("sStreetUnit", 4, 474, 194, 60);
    label(QStringLiteral("City"), 24, 228);
    sCity = edit("sCity", 30, 24, 246, 200);
    label(QStringLiteral("State"), 234, 228);
    sState = edit("sState", 2, 234, 246, 40);
    label(QStringLiteral("Zip code"), 284, 228);
    sZip = edit("sZip", 5, 284, 246, 70);

    auto button = [this](const char* name, const QString& caption, const QString& hint, int x) {
        auto* b = new TSpeedButton(this, QString::fromLatin1(name));
        b->SetCaption(caption);
        b->setToolTip(hint);
        b->setGeometry(x, 290, 90, 25);
        return b;
    };
    btnPrior = button("btnPrior", QStringLiteral("Prior"), QStringLiteral("Prior search"), 24);
    btnNext = button("btnNext", QStringLiteral("Next"), QStringLiteral("Next search"), 118);
    btnClear = button("btnClear", QStringLiteral("Clear"), QStringLiteral("Clear search"), 212);
    btnSearch = button("btnSearch", QStringLiteral("Search"), QString(), 444);
    btnPrior->OnClick = [this](QObject*) {
        if (TSubjectProperty* p = SubProp(Host())) p->HistoryBack();
    };
    btnNext->OnClick = [this](QObject*) {
        if (TSubjectProperty* p = SubProp(Host())) p->HistoryForward();
    };
    btnClear->OnClick = [this](QObject*) { ClearSearch(); };
    btnSearch->OnClick = [this](QObject*) { btnSearchClick(); };

    // Enter in any edit or list searches.
    for (TWinControl* c :
         std::initializer_list<TWinControl*>{cbCounty, sParcel, sMLS, sFirst, sLast, sStreetNum, sStreetDir,
                                             sStreetName, sStreetSuffix, sStreetUnit, sCity, sState, sZip})
        c->OnKeyDown = [this](QObject*, int& key, TShiftState) {
            if (key == Win::VK_RETURN) {
                key = 0;
                btnSearchClick();
            }
        };

    // The county: the one chosen last time, else the first.
    const TIniFile ini(Directories::IniFileName());
    const int stored = ini.ReadInteger(QStringLiteral("SEARCH"), QStringLiteral("County"), 0);
    const TAppState& state = AppState();
    int chosen = state.Counties.Count() > 0 ? 0 : -1;
    for (int i = 0; i < state.Counties.Count(); ++i) {
        cbCounty->addItem(state.Counties.Strings(i));
        if (stored != 0 && chosen == 0 && state.Counties.Objects(i)->Id == stored) chosen = i;
    }
    cbCounty->SetItemIndex(chosen);
    cbCounty->OnChange = [this](QObject* sender) { cbCountyChange(sender); };
    if (chosen >= 0) cbCountyChange(this);

    OnShow = [this](QObject*) { FormShow(); };
    OnClose = [this](QObject*, TCloseAction& action) { FormClose(action); };
    Loaded();
}

TPropSearchFrm::~TPropSearchFrm()
{
    if (PropSearchFrm == this) PropSearchFrm = nullptr;
}

void TPropSearchFrm::BindFields()
{
    TSubjectProperty* p = SubProp(Host());
    if (!p) return;
    p->FieldCounty = new TComboField(cbCounty);
    p->FieldApn = new TEditField(sParcel);
    p->FieldMls = new TEditField(sMLS);
    p->FieldFirstName = new TEditField(sFirst);
    p->FieldLastName = new TEditField(sLast);
    p->FieldStreetNumber = new TEditField(sStreetNum);
    p->FieldStreetDir = new TComboField(sStreetDir);
    p->FieldStreetName = new TEditField(sStreetName);
    p->FieldStreetSuffix = new TEditField(sStreetSuffix);
    p->FieldStreetUnit = new TEditField(sStreetUnit);
    p->FieldCity = new TEditField(sCity);
    p->FieldState = new TEditField(sState);
    p->FieldZip = new TEditField(sZip);
}

void TPropSearchFrm::FormShow()
{
    TBaseFrm::FormShow(this);
    BindFields();
    if (TSubjectProperty* p = SubProp(Host())) p->WriteFields();
}

void TPropSearchFrm::FormClose(TCloseAction& action)
{
    TBaseFrm::FormClose(this, action);
    if (TSubjectProperty* p = SubProp(Host())) p->ReadFields();
}

void TPropSearchFrm::cbCountyChange(QObject* sender)
{
    TAppState& state = AppState();
    const int index = cbCounty->ItemIndex();
    state.County = state.Counties.Objects(index);
    if (!state.County) return;
    if (sender == cbCounty) ClearSearch();
    if (Host()) Host()->SetCaption(state.TitleCoName + QStringLiteral(" - ") + state.County->Name);
    TIniFile(Directories::IniFileName())
        .WriteInteger(QStringLiteral("SEARCH"), QStringLiteral("County"), state.County->Id);
}

void TPropSearchFrm::btnSearchClick()
{
    TSubjectProperty* p = SubProp(Host());
    TAppState& state = AppState();
    if (!p || p->Connected() || !state.County) return;
    // Refused (and told) while a request still needs the property searched
    // last: the flags stay as they are.
    if (Host() && !Host()->MayStart(WM_PROPSEARCH)) return;
    state.CompsFound = false;
    state.PropFound = false;
    state.NeedMap = true;
    if (Host()) Host()->PostStepMessage(WM_PROPSEARCH);
}

void TPropSearchFrm::ClearSearch()
{
    if (TSubjectProperty* p = SubProp(Host())) p->Clear();
    if (!Host()) return;
    Host()->UpdateActions();
    Host()->RestartLogoutTimer();
}
