#include "app/steps/TCompsViewFrm.h"

#include "forms/ServerCellText.h"
#include "state/TAppState.h"
#include "grid/column/TExtColumnGrid.h"
#include "platform/core/SysUtils.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/kernel/Application.h"
#include "platform/kernel/VirtualKeys.h"
#include "platform/widgets/Label.h"
#include "protocol/TSubjectProperty.h"
#include "protocol/TvxComps.h"
#include "protocol/TvxpDocument.h"
#include "protocol/xml/TXMLElement.h"

#include <QFile>
#include <QGuiApplication>
#include <QScrollArea>

QPointer<TCompsViewFrm> CompsViewFrm;

namespace {

constexpr int colUse = 1;
constexpr int colAddress = 2;
constexpr int colStatus = 3;
constexpr int colIndex = 4;
constexpr int colParcel = 5;

struct Detail {
    const char* caption;
    const char* field;
    const char* second; // a second field after two blanks, or a fixed suffix
    bool suffixIsField;
};

const Detail kDetails[] = {
    {"APN:", "apn", nullptr, false},
    {"Land Use:", "land_use", nullptr, false},
    {"SqFt:", "house_sqft", "house_dif", true},
    {"Acreage:", "acres", nullptr, false},
    {"Lot SqFt:", "lot_sqft", "lot_dif", true},
    {"Bedrooms:", "bed", nullptr, false},
    {"Bathrooms:", "bath", nullptr, false},
    {"Fireplace:", "fireplace", nullptr, false},
    {"Distance:", "distance", "  Miles from subject property", false},
    {"Heating:", "heating", nullptr, false},
    {"Cooling:", "cooling", nullptr, false},
    {"Sold price:", "sold_price", nullptr, false},
    {"Price per SqFt:", "ppsf", nullptr, false},
    {"Year built:", "year_built", nullptr, false},
    {"Pool:", "pool", nullptr, false},
    {"Document #:", "doc_number", nullptr, false},
};

TvxComps* Comps(const TStepHost* host) { return host ? host->Services().vxComps : nullptr; }

} // namespace

TCompsViewFrm::TCompsViewFrm(QObject* owner, TStepHost* host) : TBaseFrm(owner, host)
{
    setObjectName(QStringLiteral("CompsViewFrm"));
    CompsViewFrm = this;

    grComps = new TExtColumnGrid(this, QStringLiteral("grComps"));
    grComps->setGeometry(4, 4, 400, 440);
    grComps->SetColCount(6);
    grComps->SetRowCount(2);
    grComps->SetFixedCols(1);
    grComps->SetFixedRows(1);
    grComps->SetDefaultRowHeight(42);
    grComps->SetWordWrap(true);
    grComps->SetEnableHTML(true);
    // Only the "Use" check boxes take input; the other columns are read-only.
    grComps->SetOptions(grComps->Options() + TGridOption::goEditing);
    struct Column {
        const char* name;
        const char* header;
        int width;
    };
    const Column columns[] = {{"FixedCol", "", 20},           {"RecUse", "Use", 30}, {"Address", "Address", 278},
                              {"Status", "Day / Status", 45}, {"Apn", "", 10},       {"ParcelId", "", 10}};
    for (int c = 0; c < 6; ++c) {
        TGridColumnItem* item = grComps->Columns().Items(c);
        item->Name = QString::fromLatin1(columns[c].name);
        item->SetWidth(columns[c].width);
        item->SetHeader(QString::fromLatin1(columns[c].header));
        item->ReadOnly = c != colUse;
        item->SetShowBands(true);
    }
    grComps->Columns().Items(0)->SetFixed(true);
    grComps->Columns().Items(colUse)->SetEditor(edDataCheckBox);
    grComps->Columns().Items(colUse)->SetAlignment(taCenter);
    grComps->Loaded();
    TBands bands;
    bands.SetActive(true);
    grComps->SetBands(bands);
    // A comp not used is greyed.
    grComps->OnGetCellColor = [this](QObject*, int row, int col, TGridDrawState, TBrush& brush, TFont&) {
        if (col > 0 && row >= grComps->FixedRows() && grComps->GetCellText(colUse, row) == QLatin1String("N"))
            brush.SetColor(TColor(0x808080));
    };
    grComps->OnKeyDown = [this](QObject*, int& key, TShiftState) { grCompsKeyDown(key); };
    grComps->OnCheckBoxClick = [this](QObject*, int, int row, bool) { grCompsCheckBoxClick(row); };
    grComps->OnClick = [this](QObject*) { ShowDetails(); };
    grComps->OnEnter = [this](QObject*) { ShowDetails(); };
    grComps->OnDblClick = [this](QObject*) { GuardedCall(this, [this] { CompInfo(); }); };
    grComps->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grComps, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const int choice = Dialogs::PopupMenu(
            {QStringLiteral("Select"), QStringLiteral("Unselect"), QStringLiteral("-"), QStringLiteral("Info")},
            grComps->mapToGlobal(at), this);
        GuardedCall(this, [this, choice] {
            if (choice == 0)
                SelectRow(true);
            else if (choice == 1)
                SelectRow(false);
            else if (choice == 3)
                CompInfo();
        });
    });

    lbCount = new TLabel(this, QStringLiteral("lbCount"));
    lbCount->setGeometry(412, 8, 370, 18);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setGeometry(412, 30, 370, 414);
    auto* box = new QWidget;
    int y = 4;
    int n = 1;
    for (const Detail& d : kDetails) {
        auto* caption = new TLabel(box, QStringLiteral("Label%1").arg(n++));
        caption->SetCaption(QString::fromLatin1(d.caption));
        caption->setGeometry(4, y, 100, 18);
        auto* value = new TLabel(box, QStringLiteral("lbDetail%1").arg(n - 1));
        value->setGeometry(108, y, 250, 18);
        m_details.insert(QString::fromLatin1(d.caption), value);
        y += 22;
    }
    box->resize(360, y + 4);
    ScrollBox1->setWidget(box);

    grComps->HideColumn(colIndex);
    grComps->HideColumn(colParcel);
    if (AppState().CompsFound) FillGrid();
    m_modified = false;

    OnClose = [this](QObject*, TCloseAction& action) { FormClose(action); };
    Loaded();
}

TCompsViewFrm::~TCompsViewFrm()
{
    if (CompsViewFrm == this) CompsViewFrm = nullptr;
}

QString TCompsViewFrm::DetailText(const QString& caption) const
{
    const TLabel* l = m_details.value(caption);
    return l ? l->Caption() : QString();
}

int TCompsViewFrm::RecordIndex(int row) { return StrToIntDef(grComps->GetCellText(colIndex, row).trimmed(), -1); }

void TCompsViewFrm::FillGrid()
{
    TvxComps* comps = Comps(Host());
    if (!comps) return;
    TCompsRecords& records = comps->Records;
    grComps->SetRowCount(2);
    for (records.First(); !records.Eof(); records.Next()) {
        const int row = grComps->RowCount() - 1;
        const int index = records.Index();
        grComps->SetCellText(colUse, row, records.IsUsed(index) ? QStringLiteral("Y") : QStringLiteral("N"));
        grComps->SetCellText(colAddress, row,
                             ServerCellText(records.Field(QStringLiteral("address")) + QStringLiteral("\r\n") +
                                            records.Field(QStringLiteral("city"))));
        grComps->SetCellText(colStatus, row,
                             ServerCellText(records.Field(QStringLiteral("status_text")) + QStringLiteral("\r\n") +
                                            records.Field(QStringLiteral("search_date"))));
        grComps->SetCellText(colIndex, row, QString::number(index));
        grComps->SetCellText(colParcel, row, records.Field(QStringLiteral("parcel")));
        if (index < records.LastIndex()) grComps->InsertRows(row + 1, 1);
    }
    ShowDetails();
    ShowCounts();
}

void TCompsViewFrm::ShowDetails()
{
    TvxComps* comps = Comps(Host());
    if (!comps) return;
    const int index = RecordIndex(grComps->Row());
    if (index < 0 || index >= comps->Records.Count()) return;
    TCompsRecords& records = comps->Records;
    records.SetIndex(index);
    for (const Detail& d : kDetails) {
        QString text = records.Field(QString::fromLatin1(d.field));
        if (d.second)
            text += d.suffixIsField ? QStringLiteral("  ") + records.Field(QString::fromLatin1(d.second))
                                    : QString::fromLatin1(d.second);
        m_details.value(QString::fromLatin1(d.caption))->SetCaption(text);
    }
}

void TCompsViewFrm::ShowCounts()
{
    int active = 0, pending = 0, sold = 0, expired = 0;
    for (int row = grComps->FixedRows(); row < grComps->RowCount(); ++row) {
        if (grComps->GetCellText(colUse, row) != QLatin1String("Y")) continue;
        const QString status = grComps->GetCellText(colStatus, row);
        if (status.contains(QLatin1String("Sold")))
            ++sold;
        else if (status.contains(QLatin1String("Active")))
            ++active;
        else if (status.contains(QLatin1String("Pending")))
            ++pending;
        else if (status.contains(QLatin1String("Expired")))
            ++expired;
    }
    QString text;
    auto add = [&text](const char* name, int count) {
        if (count <= 0) return;
        if (!text.isEmpty()) text += QStringLiteral("  ");
        text += QString::fromLatin1(name) + QStringLiteral(" = ") + QString::number(count);
    };
    add("Active", active);
    add("Pending", pending);
    add("Sold", sold);
    add("Expired", expired);
    lbCount->SetCaption(text);
}

void TCompsViewFrm::SetMark(int row, bool use)
{
    grComps->SetCellText(colUse, row, use ? QStringLiteral("Y") : QStringLiteral("N"));
    grComps->RepaintRow(row);
    m_modified = true;
}

void TCompsViewFrm::grCompsKeyDown(int& key)
{
    const int row = grComps->Row();
    if (key == Win::VK_SPACE && grComps->Col() > colUse && row >= grComps->FixedRows())
        SetMark(row, grComps->GetCellText(colUse, row) != QLatin1String("Y"));
    TvxComps* comps = Comps(Host());
    const int index = RecordIndex(row);
    if (comps && index >= 0 && index < comps->Records.Count()) {
        comps->Records.SetIndex(index);
        comps->Records.SetUsed(index, grComps->GetCellText(colUse, row) == QLatin1String("Y"));
    }
    ShowDetails();
    ShowCounts();
}

void TCompsViewFrm::grCompsCheckBoxClick(int row)
{
    grComps->RepaintRow(row);
    ShowCounts();
    m_modified = true;
}

void TCompsViewFrm::SelectRow(bool use)
{
    const int row = grComps->Row();
    if (row < grComps->FixedRows()) return;
    const QString mark = grComps->GetCellText(colUse, row);
    if (use && mark == QLatin1String("N"))
        SetMark(row, true);
    else if (!use && mark == QLatin1String("Y"))
        SetMark(row, false);
    ShowCounts();
}

void TCompsViewFrm::CompInfo()
{
    TStepHost* main = Host();
    if (!main) return;
    const TStepHost::TServices services = main->Services();
    TSubjectProperty* comp = services.CompProp;
    TvxComps* comps = services.vxComps;
    QPointer<QObject> mainAlive(main->HostWindow());
    const TAppState& state = AppState();
    if (comp->Connected() || !state.County) return;
    const QString fileName = QStringLiteral("compinfo.rpt");
    const QString path = state.TempDir + fileName;
    // Only a file written for this comp is shown: an earlier comp's report
    // must not pass for this one.
    main->DeleteReportFile(fileName);
    bool written = false;
    QPointer<TCompsViewFrm> self(this);
    {
        struct Hourglass {
            Hourglass() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
            ~Hourglass() { QGuiApplication::restoreOverrideCursor(); }
        } hourglass;
        const int index = RecordIndex(grComps->Row());
        if (index >= 0 && index < comps->Records.Count()) {
            comps->Records.SetIndex(index);
            const int parcel = StrToIntDef(comps->Records.Field(QStringLiteral("parcel")).trimmed(), 0);
            if (parcel > 0) {
                const int county = state.County->Id;
                // Dropped (the user told why) when the comps, the property
                // or the session were replaced meanwhile. Leaving the step
                // meanwhile drops nothing: the comp is still the one asked
                // for.
                const bool lands =
                    main->SendCompInfo([&] { comp->GetProperty(county, parcel, state.OrderId, state.UserId); });
                if (!lands || !mainAlive) return;
                TXMLElement* answer = services.CompInfoXml->RequestElement();
                if (answer && answer->getTagName() == QLatin1String("prop.data")) {
                    main->WritePropertyInfoReport(answer, fileName);
                    written = QFile::exists(path);
                }
            }
        }
    }
    if (written) main->PreviewReportFile(fileName);
    if (self && mainAlive) setFocus();
}

void TCompsViewFrm::FormClose(TCloseAction& action)
{
    TBaseFrm::FormClose(this, action);
    TvxComps* comps = Comps(Host());
    if (!comps) return;
    for (int row = grComps->FixedRows(); row < grComps->RowCount(); ++row) {
        const int index = std::max(0, RecordIndex(row));
        if (index < comps->Records.Count())
            comps->Records.SetUsed(index, grComps->GetCellText(colUse, row) == QLatin1String("Y"));
    }
    if (m_modified) AppState().NeedMap = true;
}
