#include "app/steps/TCompsParamsFrm.h"

#include "forms/StepMessages.h"
#include "forms/TRadioGroup.h"
#include "state/TAppState.h"
#include "app/steps/TCompsParamsNameDlg.h"
#include "app/steps/TLandUseDlg.h"
#include "controls/ExtSpinEdit.h"
#include "grid/column/TExtColumnGrid.h"
#include "platform/core/DateTime.h"
#include "platform/core/FloatFormat.h"
#include "platform/core/Format.h"
#include "platform/core/SysUtils.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/kernel/Application.h"
#include "platform/kernel/VirtualKeys.h"
#include "platform/widgets/CustomComboBox.h"
#include "platform/widgets/CustomEdit.h"
#include "platform/widgets/Label.h"
#include "platform/widgets/SpeedButton.h"
#include "protocol/TSubjectProperty.h"
#include "protocol/TvxComps.h"
#include "protocol/TvxpDocument.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTabWidget>
#include <algorithm>
#include <memory>
#include <type_traits>

QPointer<TCompsParamsFrm> CompsParamsFrm;

namespace {

constexpr int kStatusTotal = 40;
// Value rows a search type may ask for: the count comes from the server.
constexpr int kMaxValueRows = 99;

const char* const kRangeTypes[] = {"Above/Below", "From/To", "Percent", "Ignore"};

// A float of the parameter file: "." or "," as the decimal separator,
// whatever the regional settings (files move between machines).
double ReadFloat(const QString& text, double fallback)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok ? v : fallback;
}

// Floats are written with "." always.
QString WriteFloat(double value) { return QString::number(value, 'g', 15); }

QString YN(bool value) { return value ? QStringLiteral("Y") : QStringLiteral("N"); }

} // namespace

TCompsParamsFrm::TCompsParamsFrm(QObject* owner, TStepHost* host) : TBaseFrm(owner, host)
{
    setObjectName(QStringLiteral("CompsParamsFrm"));
    CompsParamsFrm = this;

    ssParser = new TvxpDocument(this);
    ssParser->setObjectName(QStringLiteral("ssParser"));
    ssParser->FormatedOutput = true;
    ssParser->ValidateDocument = false;
    ssParser->SetDefaultEncoding(US_ASCII);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(4, 4, 620, 400);
    PageControl1->setStyleSheet(QStringLiteral("QTabBar::tab { width: 150px; }"));
    auto* ranges = new QWidget;
    ranges->setObjectName(QStringLiteral("TabSheet1"));
    auto* types = new QWidget;
    types->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(ranges, QStringLiteral("Search Ranges"));
    PageControl1->addTab(types, QStringLiteral("Search Type"));
    BuildRangesPage(ranges);
    BuildTypePage(types);

    auto button = [this](const char* name, const char* caption, const char* hint, int y) {
        auto* b = new TSpeedButton(this, QString::fromLatin1(name));
        b->SetCaption(QString::fromLatin1(caption));
        b->setToolTip(QString::fromLatin1(hint));
        b->setGeometry(636, y, 140, 28);
        return b;
    };
    BitBtn1 = button("BitBtn1", "Search", "Search for comps", 30);
    BitBtn2 = button("BitBtn2", "Save Settings", "Save the current settings with a new name", 70);
    BitBtn3 = button("BitBtn3", "Delete Settings", "Delete the named settings", 104);
    BitBtn1->OnClick = [this](QObject*) { BitBtn1Click(); };
    BitBtn2->OnClick = [this](QObject*) { BitBtn2Click(); };
    BitBtn3->OnClick = [this](QObject*) { BitBtn3Click(); };
    cbParams = new TCustomComboBox(this, QStringLiteral("cbParams"));
    cbParams->SetStyle(csDropDownList);
    cbParams->setGeometry(636, 144, 140, 21);
    cbParams->OnChange = [this](QObject*) { ApplyParams(cbParams->Text()); };

    // Creation: first page, structure types, search types, the comps
    // object's values, the named sets.
    PageControl1->setCurrentIndex(0);
    const struct {
        const char* name;
        int code;
    } structures[] = {{"Single Family Detached", 1},
                      {"Single Family Attached", 2},
                      {"Rental", 3},
                      {"Mobil", 4},
                      {"Commercial", 5},
                      {"Land", 6},
                      {"Unknown", 7}};
    cbPropertyType->clear();
    for (const auto& s : structures) cbPropertyType->addItem(QString::fromLatin1(s.name), s.code);
    cbPropertyType->SetItemIndex(0);
    const TSearchTypeList& searchTypes = AppState().SearchTypes;
    cbSearchType->clear();
    for (int i = 0; i < searchTypes.Count(); ++i)
        cbSearchType->addItem(searchTypes.Strings(i), searchTypes.Objects(i)->Id);
    LoadParams();
    LoadParamFile();

    OnClose = [this](QObject*, TCloseAction& action) { FormClose(action); };
    Loaded();
}

TCompsParamsFrm::~TCompsParamsFrm()
{
    if (CompsParamsFrm == this) CompsParamsFrm = nullptr;
}

TvxComps* TCompsParamsFrm::Comps() const { return Host() ? Host()->Services().vxComps : nullptr; }

void TCompsParamsFrm::BuildRangesPage(QWidget* page)
{
    auto label = [page](const QString& name, const QString& caption, int x, int y, int w) {
        auto* l = new TLabel(page, name);
        l->SetCaption(caption);
        l->setGeometry(x, y, w, 16);
        return l;
    };
    TLabel* heading = label(QStringLiteral("Label1"), QStringLiteral("Subject Property"), 90, 8, 120);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    label(QStringLiteral("Label2"), QStringLiteral("Range"), 210, 8, 80);
    label(QStringLiteral("Label3"), QStringLiteral("Range type"), 380, 8, 80);

    struct Def {
        const char* caption;
        const char* sub;
        const char* low;
        const char* high;
        const char* type;
        const char* range;
        const char* lowLabel;
        const char* highLabel;
        bool isFloat;
        double step;
        int designMax;
    };
    const Def defs[rgCount] = {
        {"Beds", "edSpBeds", "edBedLow", "edBedHigh", "cbBedType", "lbBedRange", "lbBedLow", "lbBedHigh", false, 1,
         10000},
        {"Baths", "edSpBaths", "edBathLow", "edBathHigh", "cbBathType", "lbBathRange", "lbBathLow", "lbBathHigh", true,
         0.5, 1000},
        {"SqFt", "edSpSqft", "edSqftLow", "edSqftHigh", "cbSqFtType", "lbSqFtRange", "lbSqftLow", "lbSqftHigh", false,
         100, 10000000},
        {"Lot SqFt", "edSpLot", "edLotLow", "edLotHigh", "cbLotType", "lbLotRange", "lbLotLow", "lbLotHigh", false, 100,
         10000000},
        {"Price", "edSpPrice", "edPriceLow", "edPriceHigh", "cbPriceType", "lbPriceRange", "lbPriceLow", "lbPriceHigh",
         false, 10000, 10000000},
    };
    QFont rangeFont(QStringLiteral("Arial"));
    rangeFont.setPointSize(12);
    rangeFont.setBold(true);
    int y = 44;
    for (int i = 0; i < rgCount; ++i) {
        const Def& d = defs[i];
        TRange& r = m_ranges[i];
        label(QStringLiteral("lbCaption%1").arg(i), QString::fromLatin1(d.caption), 8, y + 3, 70);
        r.Subject = new TCustomEdit(page, QString::fromLatin1(d.sub));
        r.Subject->SetReadOnly(true);
        r.Subject->setGeometry(90, y, 100, 21);
        r.LowLabel = label(QString::fromLatin1(d.lowLabel), QStringLiteral("N/A"), 210, y - 16, 70);
        r.HighLabel = label(QString::fromLatin1(d.highLabel), QStringLiteral("N/A"), 292, y - 16, 70);
        auto spin = [&](const char* name, int x) {
            auto* e = new TExtSpinEdit(page, QString::fromLatin1(name));
            e->SetMinValue(0);
            e->SetMaxValue(d.designMax);
            if (d.isFloat) {
                e->SetSpinType(sptFloat);
                e->SetPrecision(1);
                e->SetMinFloatValue(0);
                e->SetMaxFloatValue(d.designMax);
            }
            e->setGeometry(x, y, 76, 21);
            e->OnChange = [this, i](QObject*) { UpdateRangeText(i); };
            e->OnExit = [this, i](QObject*) { UpdateRangeText(i); };
            return e;
        };
        r.Low = spin(d.low, 210);
        r.High = spin(d.high, 292);
        r.Type = new TCustomComboBox(page, QString::fromLatin1(d.type));
        r.Type->SetStyle(csDropDownList);
        for (const char* t : kRangeTypes) r.Type->addItem(QString::fromLatin1(t));
        r.Type->setGeometry(380, y, 100, 21);
        r.Type->OnChange = [this, i](QObject*) { RangeTypeChange(i); };
        r.RangeLabel = new TLabel(page, QString::fromLatin1(d.range));
        r.RangeLabel->setFont(rangeFont);
        r.RangeLabel->setGeometry(210, y + 24, 380, 22);
        r.IsFloat = d.isFloat;
        r.Step = d.step;
        y += 66;
    }
    m_ranges[rgBeds].SubjectValue = [this] { return Comps() ? double(Comps()->Beds) : 0.0; };
    m_ranges[rgBaths].SubjectValue = [this] { return Comps() ? Comps()->Baths : 0.0; };
    m_ranges[rgSqft].SubjectValue = [this] { return Comps() ? double(Comps()->Sqft) : 0.0; };
    m_ranges[rgLot].SubjectValue = [this] { return Comps() ? double(Comps()->LotSqft) : 0.0; };
    m_ranges[rgPrice].SubjectValue = [this] { return Comps() ? double(Comps()->Price()) : 0.0; };

    edSpBeds = m_ranges[rgBeds].Subject;
    edSpBaths = m_ranges[rgBaths].Subject;
    edSpSqft = m_ranges[rgSqft].Subject;
    edSpLot = m_ranges[rgLot].Subject;
    edSpPrice = m_ranges[rgPrice].Subject;
    edBedLow = m_ranges[rgBeds].Low;
    edBedHigh = m_ranges[rgBeds].High;
    edBathLow = m_ranges[rgBaths].Low;
    edBathHigh = m_ranges[rgBaths].High;
    edSqftLow = m_ranges[rgSqft].Low;
    edSqftHigh = m_ranges[rgSqft].High;
    edLotLow = m_ranges[rgLot].Low;
    edLotHigh = m_ranges[rgLot].High;
    edPriceLow = m_ranges[rgPrice].Low;
    edPriceHigh = m_ranges[rgPrice].High;
    cbBedType = m_ranges[rgBeds].Type;
    cbBathType = m_ranges[rgBaths].Type;
    cbSqFtType = m_ranges[rgSqft].Type;
    cbLotType = m_ranges[rgLot].Type;
    cbPriceType = m_ranges[rgPrice].Type;
    lbBedRange = m_ranges[rgBeds].RangeLabel;
    lbBathRange = m_ranges[rgBaths].RangeLabel;
    lbSqFtRange = m_ranges[rgSqft].RangeLabel;
    lbLotRange = m_ranges[rgLot].RangeLabel;
    lbPriceRange = m_ranges[rgPrice].RangeLabel;
}

void TCompsParamsFrm::BuildTypePage(QWidget* page)
{
    auto label = [page](const QString& name, const QString& caption, int x, int y, int w) {
        auto* l = new TLabel(page, name);
        l->SetCaption(caption);
        l->setGeometry(x, y, w, 16);
        return l;
    };
    label(QStringLiteral("Label10"), QStringLiteral("Type of search to do"), 8, 8, 200);
    cbSearchType = new TCustomComboBox(page, QStringLiteral("cbSearchType"));
    cbSearchType->SetStyle(csDropDownList);
    cbSearchType->setGeometry(8, 26, 215, 21);
    cbSearchType->OnChange = [this](QObject*) { cbSearchTypeChange(); };

    gParams = new TExtColumnGrid(page, QStringLiteral("gParams"));
    gParams->setGeometry(8, 56, 219, 150);
    gParams->SetFixedCols(0);
    gParams->SetColCount(1);
    gParams->SetRowCount(2);
    gParams->SetFixedRows(1);
    gParams->SetDefaultRowHeight(21);
    gParams->SetEnableHTML(false);
    gParams->SetOptions(gParams->Options() + TGridOption::goEditing);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSize(8);
    gParams->setFont(tahoma);
    gParams->Columns().Items(0)->SetWidth(215);
    gParams->Loaded();
    gParams->OnEllipsClick = [this](QObject*, int, int, QString& value) { gParamsEllipsClick(value); };

    label(QStringLiteral("Label11"), QStringLiteral("Structure Type to search for"), 8, 214, 200);
    cbPropertyType = new TCustomComboBox(page, QStringLiteral("cbPropertyType"));
    cbPropertyType->SetStyle(csDropDownList);
    cbPropertyType->setGeometry(8, 232, 215, 21);

    lbArea = label(QStringLiteral("lbArea"), QStringLiteral("Area"), 8, 262, 60);
    edArea = new TExtSpinEdit(page, QStringLiteral("edArea"));
    edArea->SetSpinType(sptFloat);
    edArea->SetPrecision(1);
    edArea->SetIncrementFloat(0.1);
    edArea->SetMinFloatValue(0.1);
    edArea->SetMaxFloatValue(100);
    edArea->SetMinValue(1);
    edArea->SetMaxValue(999);
    edArea->SetFloatValue(0.5);
    edArea->setGeometry(8, 280, 70, 21);

    label(QStringLiteral("Label12"), QStringLiteral("Days Back"), 100, 262, 80);
    edDaysBack = new TExtSpinEdit(page, QStringLiteral("edDaysBack"));
    edDaysBack->SetMinValue(15);
    edDaysBack->SetMaxValue(999);
    edDaysBack->SetValue(15);
    edDaysBack->setGeometry(100, 280, 70, 21);
    lbFirstDate = label(QStringLiteral("lbFirstDate"), QString(), 100, 304, 120);
    edDaysBack->OnChange = [this](QObject*) { DaysBackChange(); };
    edDaysBack->OnExit = [this](QObject*) {
        if (edDaysBack->Text().isEmpty()) edDaysBack->SetValue(15);
    };

    rgSearchFor = new TRadioGroup(page, QStringLiteral("rgSearchFor"), QStringLiteral("Search for"));
    rgSearchFor->setGeometry(250, 8, 160, 84);

    label(QStringLiteral("Label13"), QStringLiteral("Maximum comparison properties"), 250, 104, 220);
    struct Status {
        QCheckBox** check;
        TExtSpinEdit** edit;
        const char* checkName;
        const char* editName;
        const char* caption;
    };
    const Status statuses[] = {
        {&cbUseSold, &edPropSold, "cbUseSold", "edPropSold", "Sold"},
        {&cbUsePending, &edPropPending, "cbUsePending", "edPropPending", "Pending"},
        {&cbUseActive, &edPropActive, "cbUseActive", "edPropActive", "Active"},
        {&cbUseExpired, &edPropExpired, "cbUseExpired", "edPropExpired", "Expired"},
    };
    int y = 124;
    for (const Status& s : statuses) {
        auto* check = new QCheckBox(QString::fromLatin1(s.caption), page);
        check->setObjectName(QString::fromLatin1(s.checkName));
        check->setGeometry(250, y, 90, 20);
        check->setChecked(true);
        auto* edit = new TExtSpinEdit(page, QString::fromLatin1(s.editName));
        edit->SetMinValue(0);
        edit->SetMaxValue(100);
        edit->setGeometry(344, y, 60, 21);
        connect(check, &QCheckBox::toggled, this,
                [this, check, edit] { GuardedCall(this, [this, check, edit] { StatusClick(check, edit); }); });
        edit->OnEnter = [this, edit](QObject*) { StatusEnter(edit); };
        edit->OnExit = [this, edit](QObject*) { StatusExit(edit); };
        edit->OnChange = [this, edit](QObject*) { StatusChange(edit); };
        edit->OnKeyDown = [this](QObject*, int& key, TShiftState) {
            m_lastKeyUp = key == Win::VK_PRIOR || key == Win::VK_UP;
        };
        *s.check = check;
        *s.edit = edit;
        y += 26;
    }
    label(QStringLiteral("Label14"), QStringLiteral("Total properties"), 250, y + 4, 90);
    lbTotal = label(QStringLiteral("lbTotal"), QStringLiteral("0"), 344, y + 4, 60);

    ckZero = new QCheckBox(QStringLiteral("Include zero price comps"), page);
    ckZero->setObjectName(QStringLiteral("ckZero"));
    ckZero->setGeometry(250, y + 30, 200, 20);
    ckZero->setVisible(false);
}

int TCompsParamsFrm::TabIndex() const { return PageControl1->currentIndex(); }

void TCompsParamsFrm::SetTabIndex(int index) { PageControl1->setCurrentIndex(index); }

// ---------------------------------------------------------------------------
// Ranges

void TCompsParamsFrm::RangeTypeChange(int range)
{
    TRange& r = m_ranges[range];
    const int item = r.Type->ItemIndex();
    auto setIncrement = [&r](double step) {
        for (TExtSpinEdit* e : {r.Low, r.High}) {
            if (r.IsFloat)
                e->SetIncrementFloat(step);
            else
                e->SetIncrement(int(step));
        }
    };
    auto setMax = [&r](int low, int high) {
        if (r.IsFloat) {
            r.Low->SetMaxFloatValue(low);
            r.High->SetMaxFloatValue(high);
        } else {
            r.Low->SetMaxValue(low);
            r.High->SetMaxValue(high);
        }
    };
    auto value = [&r](TExtSpinEdit* e) { return r.IsFloat ? e->FloatValue() : double(e->Value()); };
    auto setValue = [&r](TExtSpinEdit* e, double v) {
        if (r.IsFloat)
            e->SetFloatValue(v);
        else
            e->SetValue(int(v));
    };
    switch (item) {
    case 0:
    case 1:
        r.LowLabel->SetCaption(item == 0 ? QStringLiteral("Below") : QStringLiteral("From"));
        r.HighLabel->SetCaption(item == 0 ? QStringLiteral("Above") : QStringLiteral("To"));
        setIncrement(r.Step);
        setMax(900000000, 900000000);
        if (item == 1 && value(r.Low) > value(r.High)) setValue(r.Low, value(r.High));
        break;
    case 2:
        r.LowLabel->SetCaption(QStringLiteral("% Below"));
        r.HighLabel->SetCaption(QStringLiteral("% Above"));
        setIncrement(10);
        setMax(100, 1000);
        if (value(r.Low) > 100) setValue(r.Low, 100);
        if (value(r.High) > 1000) setValue(r.High, 1000);
        break;
    default:
        r.LowLabel->SetCaption(QStringLiteral("N/A"));
        r.HighLabel->SetCaption(QStringLiteral("N/A"));
        break;
    }
    const bool enabled = item == 1 || ((item == 0 || item == 2) && r.SubjectValue() != 0);
    r.Low->setEnabled(enabled);
    r.High->setEnabled(enabled);
    if (!enabled) {
        r.LowLabel->SetCaption(QStringLiteral("N/A"));
        r.HighLabel->SetCaption(QStringLiteral("N/A"));
    }
    UpdateRangeText(range);
}

void TCompsParamsFrm::UpdateRangeText(int range)
{
    TRange& r = m_ranges[range];
    if (!r.RangeLabel) return;
    const double s = r.SubjectValue ? r.SubjectValue() : 0;
    const double l = r.IsFloat ? r.Low->FloatValue() : double(r.Low->Value());
    const double h = r.IsFloat ? r.High->FloatValue() : double(r.High->Value());
    double from = 0;
    double to = 0;
    switch (r.Type->ItemIndex()) {
    case 0:
        if (s <= 0) {
            r.RangeLabel->SetCaption(QStringLiteral("N/A"));
            return;
        }
        from = std::max(s - l, 0.0);
        to = s + h;
        break;
    case 1:
        from = l;
        to = h;
        break;
    case 2:
        if (s <= 0) {
            r.RangeLabel->SetCaption(QStringLiteral("N/A"));
            return;
        }
        from = std::max(s * (100 - l) / 100, 0.0);
        to = s * (1 + h / 100);
        break;
    default: r.RangeLabel->SetCaption(QStringLiteral("Ignored")); return;
    }
    // Baths are shown with their one decimal.
    r.RangeLabel->SetCaption(
        Format(r.IsFloat ? QStringLiteral("%0.1n  to  %0.1n") : QStringLiteral("%0.0n  to  %0.0n"), {from, to}));
}

// ---------------------------------------------------------------------------
// Search type, days back, status counts

const TSearchTypeRec* TCompsParamsFrm::ChosenSearchType() const
{
    const int index = cbSearchType->ItemIndex();
    const TSearchTypeList& list = AppState().SearchTypes;
    if (index < 0 || index >= list.Count()) return nullptr;
    // The list of the login the items were taken from.
    const TSearchTypeRec* rec = list.Objects(index);
    return rec && rec->Name == cbSearchType->itemText(index) ? rec : nullptr;
}

void TCompsParamsFrm::SetSearchTypeById(int id)
{
    for (int i = 0; i < cbSearchType->count(); ++i)
        if (cbSearchType->itemData(i).toInt() == id) {
            cbSearchType->SetItemIndex(i);
            return;
        }
}

int TCompsParamsFrm::ChosenPropertyType() const
{
    const int index = cbPropertyType->ItemIndex();
    return index >= 0 ? cbPropertyType->itemData(index).toInt() : 0;
}

void TCompsParamsFrm::cbSearchTypeChange()
{
    gParams->Clear();
    if (TvxComps* c = Comps()) c->SearchByParams.clear();
    const TSearchTypeRec* rec = ChosenSearchType();
    // Without a chosen type there is neither area nor value list.
    edArea->setVisible(rec && rec->ShowArea);
    lbArea->setVisible(rec && rec->ShowArea);
    gParams->setVisible(rec && rec->ShowList);
    // Land-use values are picked from the codes through the cell's button.
    gParams->Columns().Items(0)->SetEditor(rec && rec->LandUse ? edEditBtn : edNormal);
    if (!rec || !rec->ShowList) return;
    gParams->SetRowCount(std::clamp(rec->Items, 1, kMaxValueRows) + 1);
    gParams->SetFixedRows(1);
    TSubjectProperty* subject = Host() ? Host()->Services().SubProp : nullptr;
    if (!subject) return;
    const QString v1 = subject->ElementText(rec->Field1);
    const QString v2 = subject->ElementText(rec->Field2);
    if (v1.isEmpty()) return;
    gParams->SetCellText(0, 1, v2.isEmpty() ? v1 : v1 + QLatin1Char(',') + v2);
}

void TCompsParamsFrm::gParamsEllipsClick(QString& value)
{
    TLandUseDlg dialog(this);
    if (Dialogs::ExecModal(dialog) == mrOk) value = dialog.Code();
}

void TCompsParamsFrm::DaysBackChange()
{
    if (edDaysBack->Text().isEmpty()) return;
    lbFirstDate->SetCaption(DateToStr(Date() - edDaysBack->Value()));
}

void TCompsParamsFrm::StatusClick(QCheckBox* check, TExtSpinEdit* edit)
{
    edit->setEnabled(check->isChecked());
    if (!edit->isEnabled()) edit->SetValue(0);
}

namespace {

int StatusIndex(const TCompsParamsFrm& f, const TExtSpinEdit* edit)
{
    const TExtSpinEdit* edits[] = {f.edPropSold, f.edPropPending, f.edPropActive, f.edPropExpired};
    for (int i = 0; i < 4; ++i)
        if (edits[i] == edit) return i;
    return -1;
}

} // namespace

void TCompsParamsFrm::StatusEnter(TExtSpinEdit* edit)
{
    const int total = edPropSold->Value() + edPropPending->Value() + edPropActive->Value() + edPropExpired->Value();
    // A cap below the minimum is the minimum (the edit then holds no range of
    // its own, so the cap is kept here too).
    const int cap = std::max(edit->MinValue(), edit->Value() + (kStatusTotal - total));
    edit->SetMaxValue(cap);
    const int index = StatusIndex(*this, edit);
    if (index >= 0) m_statusCap[index] = cap;
}

void TCompsParamsFrm::StatusExit(TExtSpinEdit* edit)
{
    const int index = StatusIndex(*this, edit);
    if (index >= 0 && m_statusCap[index] >= 0 && edit->Value() > m_statusCap[index]) edit->SetValue(m_statusCap[index]);
}

void TCompsParamsFrm::StatusChange(TExtSpinEdit* edit)
{
    auto sum = [this] {
        return edPropSold->Value() + edPropPending->Value() + edPropActive->Value() + edPropExpired->Value();
    };
    int total = sum();
    if (m_lastKeyUp && total > kStatusTotal) {
        edit->SetValue(edit->Value() - (total - kStatusTotal));
        total = sum();
    }
    if (lbTotal) lbTotal->SetCaption(QString::number(total));
}

int TCompsParamsFrm::SearchForFromRadio() const
{
    if (!AppState().MlsValid) return 2;
    switch (rgSearchFor->ItemIndex()) {
    case 1: return 1;
    case 2: return 0;
    default: return 2;
    }
}

void TCompsParamsFrm::SetRadioFromSearchFor(int searchFor)
{
    int index = 0;
    if (AppState().MlsValid) index = searchFor == 0 ? 2 : searchFor == 1 ? 1 : 0;
    rgSearchFor->SetItemIndex(index);
}

// ---------------------------------------------------------------------------
// The comps object

void TCompsParamsFrm::LoadParams()
{
    TvxComps* c = Comps();
    if (!c) return;
    const TAppState& state = AppState();
    edSpBeds->SetText(QString::number(c->Beds));
    edSpBaths->SetText(FormatFloat(QStringLiteral("#0.0"), c->Baths));
    edSpSqft->SetText(Format(QStringLiteral("%0.0n"), {double(c->Sqft)}));
    edSpLot->SetText(Format(QStringLiteral("%0.0n"), {double(c->LotSqft)}));
    edSpPrice->SetText(Format(QStringLiteral("%0.0n"), {double(c->Price())}));

    edBedLow->SetValue(c->BedLow);
    edBedHigh->SetValue(c->BedHigh);
    edBathLow->SetFloatValue(c->BathLow);
    edBathHigh->SetFloatValue(c->BathHigh);
    edSqftLow->SetValue(c->SqftLow);
    edSqftHigh->SetValue(c->SqftHigh);
    edLotLow->SetValue(c->LotLow);
    edLotHigh->SetValue(c->LotHigh);
    edPriceLow->SetValue(c->PriceLow);
    edPriceHigh->SetValue(c->PriceHigh);
    const TParamType types[rgCount] = {c->BedType, c->BathType, c->SqftType, c->LotSqftType, c->PriceType()};
    for (int i = 0; i < rgCount; ++i) {
        m_ranges[i].Type->SetItemIndex(int(types[i]));
        RangeTypeChange(i);
    }

    edArea->SetFloatValue(c->Radius);
    edDaysBack->SetValue(c->DaysBack);
    ckZero->setChecked(c->ZeroPrice);
    for (int i = 0; i < cbPropertyType->count(); ++i)
        if (cbPropertyType->itemData(i).toInt() == c->StructType) cbPropertyType->SetItemIndex(i);

    // The stored values take the place of the prefill; more values than
    // rows stop at the last row.
    const QStringList stored = c->SearchByParams;
    SetSearchTypeById(c->SearchType);
    cbSearchTypeChange();
    const TSearchTypeRec* type = ChosenSearchType();
    if (!stored.isEmpty() && type && type->ShowList) {
        gParams->SetCellText(0, 1, QString());
        int row = 1;
        for (const QString& v : stored) {
            if (row >= gParams->RowCount()) break;
            gParams->SetCellText(0, row++, v);
        }
    }

    edPropSold->SetValue(c->PSold);
    cbUseSold->setChecked(c->PSoldUse);
    StatusClick(cbUseSold, edPropSold);
    struct Row {
        QCheckBox* check;
        TExtSpinEdit* edit;
        int count;
        bool use;
    };
    const Row others[] = {{cbUseActive, edPropActive, c->PActive, c->PActiveUse},
                          {cbUsePending, edPropPending, c->PPending, c->PPendingUse},
                          {cbUseExpired, edPropExpired, c->PExpired, c->PExpiredUse}};
    if (!state.MlsValid) {
        rgSearchFor->SetItems({QStringLiteral("Tax")});
        SetRadioFromSearchFor(c->SearchFor);
        for (const Row& r : others) {
            r.edit->SetValue(0);
            r.check->setChecked(false);
            StatusClick(r.check, r.edit);
            r.check->setVisible(false);
            r.edit->setVisible(false);
        }
    } else {
        rgSearchFor->SetItems({QStringLiteral("Tax"), QStringLiteral("Tax && MLS"), QStringLiteral("MLS")});
        SetRadioFromSearchFor(c->SearchFor);
        for (const Row& r : others) {
            r.edit->SetValue(r.count);
            r.check->setChecked(r.use);
            StatusClick(r.check, r.edit);
            r.check->setVisible(true);
            r.edit->setVisible(true);
        }
    }
}

void TCompsParamsFrm::StoreParams()
{
    TvxComps* c = Comps();
    if (!c) return;
    auto store = [](const TRange& r, auto& low, auto& high) {
        using V = std::remove_reference_t<decltype(low)>;
        const V l = r.IsFloat ? V(r.Low->FloatValue()) : V(r.Low->Value());
        const V h = r.IsFloat ? V(r.High->FloatValue()) : V(r.High->Value());
        const bool swap = r.Type->ItemIndex() == 1 && l > h;
        low = swap ? h : l;
        high = swap ? l : h;
    };
    store(m_ranges[rgBeds], c->BedLow, c->BedHigh);
    store(m_ranges[rgBaths], c->BathLow, c->BathHigh);
    store(m_ranges[rgSqft], c->SqftLow, c->SqftHigh);
    store(m_ranges[rgLot], c->LotLow, c->LotHigh);
    store(m_ranges[rgPrice], c->PriceLow, c->PriceHigh);
    c->BedType = TvxComps::IndexToParamType(cbBedType->ItemIndex());
    c->BathType = TvxComps::IndexToParamType(cbBathType->ItemIndex());
    c->SqftType = TvxComps::IndexToParamType(cbSqFtType->ItemIndex());
    c->LotSqftType = TvxComps::IndexToParamType(cbLotType->ItemIndex());
    c->SetPriceType(TvxComps::IndexToParamType(cbPriceType->ItemIndex()));
    if (cbPropertyType->ItemIndex() >= 0) c->StructType = ChosenPropertyType();
    const TSearchTypeRec* type = ChosenSearchType();
    c->SearchType = type ? type->Id : 0;
    c->Radius = edArea->FloatValue();
    c->DaysBack = edDaysBack->Value();
    c->ZeroPrice = ckZero->isChecked();
    c->SearchByParams.clear();
    for (int row = 1; row < gParams->RowCount(); ++row) {
        const QString v = gParams->GetCellText(0, row);
        if (!v.isEmpty()) c->SearchByParams << v;
    }
    c->SearchFor = SearchForFromRadio();
    c->PActive = edPropActive->Value();
    c->PPending = edPropPending->Value();
    c->PSold = edPropSold->Value();
    c->PExpired = edPropExpired->Value();
    c->PActiveUse = cbUseActive->isChecked();
    c->PPendingUse = cbUsePending->isChecked();
    c->PSoldUse = cbUseSold->isChecked();
    c->PExpiredUse = cbUseExpired->isChecked();
}

void TCompsParamsFrm::BitBtn1Click()
{
    // Refused (and told) while a request still needs the comps found last,
    // or this search runs already: nothing changes then.
    if (Host() && !Host()->MayStart(WM_COMPSSEARCH)) return;
    StoreParams();
    TAppState& state = AppState();
    state.MapId = 0;
    state.CompsFound = false;
    state.NeedMap = true;
    if (!Host()) return;
    Host()->UpdateActions();
    const int index = rgSearchFor->ItemIndex();
    Host()->Services().vxComps->UseMls = index == 1 || index == 2;
    Host()->PostStepMessage(WM_COMPSSEARCH);
}

bool TCompsParamsFrm::PreviewKey(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    BitBtn1Click();
    return true;
}

void TCompsParamsFrm::FormClose(TCloseAction& action)
{
    TBaseFrm::FormClose(this, action);
    StoreParams();
}

// ---------------------------------------------------------------------------
// Named sets

void TCompsParamsFrm::LoadParamFile()
{
    TvxComps* c = Comps();
    const QString fileName = c ? c->ParamFile : QString();
    if (!fileName.isEmpty() && QFileInfo(fileName).isFile()) {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
        ssParser->LoadDocument(&file);
    }
    FillParamNames();
}

void TCompsParamsFrm::FillParamNames()
{
    cbParams->clear();
    cbParams->addItem(QStringLiteral("DEFAULT"));
    const TXMLElement* sets = ssParser->RequestElement();
    if (!sets || sets->getTagName() != QLatin1String("comps.params")) return;
    for (const TXMLElement* e = sets->getFirstChildElement(); e; e = e->getNextSiblingElement())
        cbParams->addItem(e->getAttribute(QStringLiteral("name")));
}

TXMLElement* TCompsParamsFrm::FindParams(const QString& name) const
{
    TXMLElement* sets = ssParser->RequestElement();
    if (!sets || sets->getTagName() != QLatin1String("comps.params")) return nullptr;
    for (TXMLElement* e = sets->getFirstChildElement(); e; e = e->getNextSiblingElement())
        if (e->getTagName() == QLatin1String("params") && e->getAttribute(QStringLiteral("name")) == name) return e;
    return nullptr;
}

void TCompsParamsFrm::WriteParamFile()
{
    if (TXMLDocument* doc = ssParser->XMLDocument())
        doc->SaveToFile(AppState().DataDir + QStringLiteral("ss.xml"), TXMLSaveForm::LocalFile);
}

void TCompsParamsFrm::ApplyParams(const QString& name)
{
    struct RangeValues {
        double low = 0, high = 0;
        int type = 3;
    };
    auto setRange = [this](int i, const RangeValues& v) {
        TRange& r = m_ranges[i];
        if (r.IsFloat) {
            r.Low->SetFloatValue(v.low);
            r.High->SetFloatValue(v.high);
        } else {
            r.Low->SetValue(int(v.low));
            r.High->SetValue(int(v.high));
        }
        r.Type->SetItemIndex(v.type);
        RangeTypeChange(i);
    };
    auto setStatus = [this](QCheckBox* check, TExtSpinEdit* edit, bool use, int count) {
        check->setChecked(use);
        StatusClick(check, edit);
        edit->SetValue(count);
    };

    if (name.isEmpty() || name == QLatin1String("DEFAULT")) {
        for (int i = 0; i < rgCount; ++i) setRange(i, RangeValues{});
        edArea->SetFloatValue(0.6);
        edDaysBack->SetValue(30);
        ckZero->setChecked(false);
        cbSearchType->SetItemIndex(cbSearchType->count() > 0 ? 0 : -1);
        // The first type's layout too, so nothing of the former type stays.
        cbSearchTypeChange();
        cbPropertyType->SetItemIndex(0);
        setStatus(cbUseActive, edPropActive, false, 0);
        setStatus(cbUsePending, edPropPending, false, 0);
        setStatus(cbUseExpired, edPropExpired, false, 0);
        setStatus(cbUseSold, edPropSold, true, 20);
        rgSearchFor->SetItemIndex(0);
        return;
    }

    const TXMLElement* set = FindParams(name);
    if (!set) return;
    auto attr = [set](const char* a) { return set->getAttribute(QString::fromLatin1(a)); };
    auto integer = [&attr](const char* a, int fallback) { return StrToIntDef(attr(a).trimmed(), fallback); };
    auto flag = [&attr](const char* a) { return attr(a) == QLatin1String("Y"); };
    const char* const names[rgCount][3] = {{"edBedLow", "edBedHigh", "cbBedType"},
                                           {"edBathLow", "edBathHigh", "cbBathType"},
                                           {"edSqftLow", "edSqftHigh", "cbSqftType"},
                                           {"edLotLow", "edLotHigh", "cbLotType"},
                                           {"edPriceLow", "edPriceHigh", "cbPriceType"}};
    for (int i = 0; i < rgCount; ++i) {
        RangeValues v;
        if (m_ranges[i].IsFloat) {
            v.low = ReadFloat(attr(names[i][0]), 0);
            v.high = ReadFloat(attr(names[i][1]), 0);
        } else {
            v.low = integer(names[i][0], 0);
            v.high = integer(names[i][1], 0);
        }
        v.type = integer(names[i][2], 3);
        setRange(i, v);
    }
    edArea->SetFloatValue(ReadFloat(attr("edArea"), 0.6));
    edDaysBack->SetValue(integer("edDaysBack", 30));
    ckZero->setChecked(flag("ckZero"));
    SetSearchTypeById(integer("cbSearchType", 0));
    cbSearchTypeChange();
    const int structure = integer("cbPropertyType", 1);
    for (int i = 0; i < cbPropertyType->count(); ++i)
        if (cbPropertyType->itemData(i).toInt() == structure) cbPropertyType->SetItemIndex(i);
    cbUseSold->setChecked(flag("cbUseSold"));
    StatusClick(cbUseSold, edPropSold);
    edPropSold->SetValue(integer("edPropSold", 0));

    TvxComps* c = Comps();
    if (!AppState().MlsValid) {
        setStatus(cbUseActive, edPropActive, false, 0);
        setStatus(cbUsePending, edPropPending, false, 0);
        setStatus(cbUseExpired, edPropExpired, false, 0);
        if (c) c->SearchFor = 0;
    } else {
        cbUseActive->setChecked(flag("cbUseActive"));
        StatusClick(cbUseActive, edPropActive);
        edPropActive->SetValue(integer("edPropActive", 0));
        cbUsePending->setChecked(flag("cbUsePending"));
        StatusClick(cbUsePending, edPropPending);
        edPropPending->SetValue(integer("edPropPending", 0));
        cbUseExpired->setChecked(flag("cbUseExpired"));
        StatusClick(cbUseExpired, edPropExpired);
        edPropExpired->SetValue(integer("edPropExpired", 0));
        if (c) c->SearchFor = integer("rgSearchFor", 0);
    }
    SetRadioFromSearchFor(c ? c->SearchFor : 0);
}

void TCompsParamsFrm::BitBtn2Click()
{
    const QString before = cbParams->Text();
    TCompsParamsNameDlg dialog(this);
    if (!before.isEmpty()) dialog.edParamsName->setText(before);
    if (Dialogs::ExecModal(dialog) != mrOk) return;
    const QString name = dialog.edParamsName->text();
    // A set without a name could be neither chosen nor deleted.
    if (name.isEmpty()) return;

    TXMLElement* sets = ssParser->RequestElement();
    if (!sets || sets->getTagName() != QLatin1String("comps.params")) {
        ssParser->VxpTypeName = QStringLiteral("comps.params");
        ssParser->VxpTypeVersion = QStringLiteral("1.0");
        ssParser->NewDocument();
        sets = ssParser->RequestElement();
    }
    TXMLElement* set = FindParams(name);
    std::unique_ptr<TXMLElement> added;
    if (!set) {
        added = std::make_unique<TXMLElement>(QStringLiteral("params"), ssParser->XMLDocument());
        added->setAttribute(QStringLiteral("name"), TvxpDocument::XmlEscape(name));
        set = added.get();
    }
    auto put = [set](const char* a, const QString& value) { set->setAttribute(QString::fromLatin1(a), value); };
    auto number = [](int v) { return QString::number(v); };
    put("edBedLow", number(edBedLow->Value()));
    put("edBedHigh", number(edBedHigh->Value()));
    put("cbBedType", number(cbBedType->ItemIndex()));
    put("edBathLow", WriteFloat(edBathLow->FloatValue()));
    put("edBathHigh", WriteFloat(edBathHigh->FloatValue()));
    put("cbBathType", number(cbBathType->ItemIndex()));
    put("edSqftLow", number(edSqftLow->Value()));
    put("edSqftHigh", number(edSqftHigh->Value()));
    put("cbSqftType", number(cbSqFtType->ItemIndex()));
    put("edLotLow", number(edLotLow->Value()));
    put("edLotHigh", number(edLotHigh->Value()));
    put("cbLotType", number(cbLotType->ItemIndex()));
    put("edPriceLow", number(edPriceLow->Value()));
    put("edPriceHigh", number(edPriceHigh->Value()));
    put("cbPriceType", number(cbPriceType->ItemIndex()));
    put("edArea", WriteFloat(edArea->FloatValue()));
    put("edDaysBack", number(edDaysBack->Value()));
    put("ckZero", YN(ckZero->isChecked()));
    const TSearchTypeRec* type = ChosenSearchType();
    put("cbSearchType", number(type ? type->Id : 0));
    put("cbPropertyType", number(ChosenPropertyType()));
    put("cbUseActive", YN(cbUseActive->isChecked()));
    put("edPropActive", number(edPropActive->Value()));
    put("cbUsePending", YN(cbUsePending->isChecked()));
    put("edPropPending", number(edPropPending->Value()));
    put("cbUseSold", YN(cbUseSold->isChecked()));
    put("edPropSold", number(edPropSold->Value()));
    put("cbUseExpired", YN(cbUseExpired->isChecked()));
    put("edPropExpired", number(edPropExpired->Value()));
    put("rgSearchFor", number(SearchForFromRadio()));
    if (added) sets->appendChild(added.release());
    WriteParamFile();

    if (name != before) {
        FillParamNames();
        int chosen = -1;
        for (int i = 0; i < cbParams->count(); ++i)
            if (cbParams->itemText(i) == name) chosen = i;
        cbParams->SetItemIndex(chosen);
    }
    StoreParams();
}

void TCompsParamsFrm::BitBtn3Click()
{
    auto confirm = [](const QString& text) {
        return Dialogs::MessageDlg(text, TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes;
    };
    if (!confirm(QStringLiteral("Delete current settings?"))) return;
    const QString name = cbParams->Text();
    if (name.isEmpty()) return;
    if (!confirm(QStringLiteral("Remove the params named \"") + name + QStringLiteral("\" from the params list?")))
        return;
    TXMLElement* set = FindParams(name);
    if (!set) return;
    std::unique_ptr<TXMLNode> removed(ssParser->RequestElement()->removeChild(set));
    WriteParamFile();
    ssParser->ClearDocument();
    LoadParamFile();
    cbParams->SetItemIndex(-1);
}
