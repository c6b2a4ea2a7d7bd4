#include "app/steps/TReportFrm.h"

#include "forms/StepMessages.h"
#include "state/TAppState.h"
#include "app/steps/TCompsParamsNameDlg.h"
#include "grid/column/TExtColumnGrid.h"
#include "platform/core/FloatFormat.h"
#include "platform/core/SysUtils.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/kernel/VirtualKeys.h"
#include "platform/widgets/CustomComboBox.h"
#include "platform/widgets/Label.h"
#include "platform/widgets/SpeedButton.h"
#include "protocol/TSubjectProperty.h"
#include "protocol/TvxComps.h"
#include "protocol/TvxRptGen.h"
#include "protocol/TvxpDocument.h"
#include "protocol/xml/TXMLDocument.h"
#include "protocol/xml/TXMLElement.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <algorithm>
#include <memory>
#include <numeric>

QPointer<TReportFrm> ReportFrm;

namespace {

constexpr int colUse = 1;
constexpr int colName = 2;
constexpr int colId = 3;
constexpr int colOrder = 4;

QString SetsFile() { return AppState().DataDir + QStringLiteral("rs.xml"); }

double FloatOr(const QString& text, double fallback)
{
    double v = 0;
    return TryStrToFloat(text.trimmed(), v) ? v : fallback;
}

} // namespace

TReportFrm::TReportFrm(QObject* owner, TStepHost* host) : TBaseFrm(owner, host)
{
    setObjectName(QStringLiteral("ReportFrm"));

    rsParser = new TvxpDocument(this);
    rsParser->setObjectName(QStringLiteral("rsParser"));
    rsParser->ValidateDocument = false;
    rsParser->FormatedOutput = true;

    auto button = [this](const char* name, const char* caption, const char* hint, int x, int y, int w) {
        auto* b = new TSpeedButton(this, QString::fromLatin1(name));
        b->SetCaption(QString::fromLatin1(caption));
        b->setToolTip(QString::fromLatin1(hint));
        b->setGeometry(x, y, w, 25);
        return b;
    };
    btnUp = button("btnUp", "Up", "Move page up", 4, 4, 60);
    btnDown = button("btnDown", "Down", "Move page down", 66, 4, 60);
    btnAll = button("btnAll", "All", "Select all   Ctrl+A", 136, 4, 60);
    btnNone = button("btnNone", "None", "Select none   Ctrl+N", 198, 4, 60);
    btnReverse = button("btnReverse", "Reverse", "Reverse selection   Ctrl+R", 260, 4, 60);
    btnUp->OnClick = [this](QObject*) { MovePage(-1); };
    btnDown->OnClick = [this](QObject*) { MovePage(1); };
    btnAll->OnClick = [this](QObject*) { SelectPages(1); };
    btnNone->OnClick = [this](QObject*) { SelectPages(0); };
    btnReverse->OnClick = [this](QObject*) { SelectPages(-1); };
    // Ctrl+A, Ctrl+N and Ctrl+R in either case of the letter.
    const struct {
        Qt::Key key;
        int how;
    } keys[] = {{Qt::Key_A, 1}, {Qt::Key_N, 0}, {Qt::Key_R, -1}};
    for (const auto& k : keys) {
        auto* action = new QAction(this);
        action->setShortcuts({QKeySequence(Qt::CTRL | k.key), QKeySequence(Qt::CTRL | Qt::SHIFT | k.key)});
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        const int how = k.how;
        connect(action, &QAction::triggered, this, [this, how] { SelectPages(how); });
        addAction(action);
    }

    ReportGrid = new TExtColumnGrid(this, QStringLiteral("ReportGrid"));
    ReportGrid->setGeometry(4, 34, 310, 410);
    ReportGrid->SetColCount(5);
    ReportGrid->SetFixedCols(1);
    ReportGrid->SetRowCount(2);
    ReportGrid->SetFixedRows(1);
    ReportGrid->SetDefaultRowHeight(26);
    // Pages are marked by their check boxes and reordered by dragging rows.
    ReportGrid->SetOptions(ReportGrid->Options() + TGridOption::goRowMoving + TGridOption::goEditing);
    const int widths[] = {20, 31, 238, 10, 10};
    for (int c = 0; c < 5; ++c) {
        TGridColumnItem* item = ReportGrid->Columns().Items(c);
        item->SetWidth(widths[c]);
        item->ReadOnly = c != colUse;
    }
    ReportGrid->Columns().Items(colUse)->SetEditor(edDataCheckBox);
    ReportGrid->Columns().Items(colUse)->SetAlignment(taCenter);
    ReportGrid->Loaded();
    ReportGrid->OnCheckBoxClick = [this](QObject*, int, int row, bool) { ReportGridCheckBoxClick(row); };
    ReportGrid->OnGetCellColor = [this](QObject*, int row, int col, TGridDrawState, TBrush& brush, TFont&) {
        if (col > 0 && row >= ReportGrid->FixedRows() && ReportGrid->GetCellText(colUse, row) == QLatin1String("N"))
            brush.SetColor(TColor(0x808080));
    };
    ReportGrid->OnKeyDown = [this](QObject*, int& key, TShiftState) { ReportGridKeyDown(key); };

    cbReport = new TCustomComboBox(this, QStringLiteral("cbReport"));
    cbReport->SetStyle(csDropDownList);
    cbReport->setGeometry(330, 34, 200, 21);
    cbReport->OnChange = [this](QObject*) { ApplySet(cbReport->Text()); };
    BitBtn2 = button("BitBtn2", "Do Report", "", 330, 70, 120);
    btnSave = button("btnSave", "Save Settings", "Save the current report settings with a new name", 330, 104, 120);
    btnDelete = button("btnDelete", "Delete Settings", "Delete the named report settings", 330, 138, 120);
    BitBtn2->OnClick = [this](QObject*) { BitBtn2Click(); };
    btnSave->OnClick = [this](QObject*) { SaveSettings(); };
    btnDelete->OnClick = [this](QObject*) { DeleteSettings(); };

    auto info = [this](const char* name, int y) {
        auto* l = new TLabel(this, QString::fromLatin1(name));
        l->setGeometry(330, y, 400, 18);
        return l;
    };
    lbCounty = info("lbCounty", 190);
    lbPhotos = info("lbPhotos", 212);
    lbHazards = info("lbHazards", 234);

    ReportGrid->HideColumn(colId);
    ReportGrid->HideColumn(colOrder);
    ReportFrm = this;
    FillGrid();
    LoadSetNames();
    const TAppState& state = AppState();
    if (state.County) {
        lbCounty->SetCaption(state.County->Name);
        lbPhotos->SetCaption(state.County->Photos ? QStringLiteral("House photos are available")
                                                  : QStringLiteral("House photos are not available"));
        lbHazards->SetCaption(state.County->Hazards ? QStringLiteral("Hazard maps are available")
                                                    : QStringLiteral("Hazard maps are not available"));
    }

    OnShow = [this](QObject*) { FormShow(); };
    OnClose = [this](QObject*, TCloseAction& action) { FormClose(action); };
    Loaded();
}

TReportFrm::~TReportFrm()
{
    if (ReportFrm == this) ReportFrm = nullptr;
}

void TReportFrm::FormShow()
{
    TBaseFrm::FormShow(this);
    if (AppState().NeedMap && Host()) Host()->PostStepMessage(WM_MAPREQUEST);
}

void TReportFrm::FormClose(TCloseAction& action)
{
    TBaseFrm::FormClose(this, action);
    StoreGrid();
}

void TReportFrm::FillGrid()
{
    const TReportPageList& pages = AppState().ReportPages;
    ReportGrid->SetRowCount(std::max(2, pages.Count() + 1));
    ReportGrid->SetFixedRows(1);
    ReportGrid->ClearRows(1, ReportGrid->RowCount() - 1);
    // Rows in the order of the pages' numbers (a stable order for equal ones).
    std::vector<int> order(pages.Count());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&pages](int a, int b) { return pages.Items(a).Order < pages.Items(b).Order; });
    int row = 1;
    for (int i : order) {
        const TReportPageRec& page = pages.Items(i);
        ReportGrid->SetCellText(colUse, row, page.Selected ? QStringLiteral("Y") : QStringLiteral("N"));
        ReportGrid->SetCellText(colName, row, page.Name);
        ReportGrid->SetCellText(colId, row, QString::number(page.Id));
        ReportGrid->SetCellText(colOrder, row, QStringLiteral("%1").arg(int(page.Order), 3, 10, QLatin1Char('0')));
        ++row;
    }
}

void TReportFrm::StoreGrid()
{
    TReportPageList& pages = AppState().ReportPages;
    for (int row = 1; row < ReportGrid->RowCount(); ++row) {
        const QString name = ReportGrid->GetCellText(colName, row);
        for (int i = 0; i < pages.Count(); ++i) {
            TReportPageRec& page = pages.Items(i);
            if (page.Name != name) continue;
            page.Selected = ReportGrid->GetCellText(colUse, row) == QLatin1String("Y");
            page.Order = qint16(row);
        }
    }
}

void TReportFrm::LoadSetNames()
{
    cbReport->clear();
    const QString fileName = SetsFile();
    if (QFileInfo(fileName).isFile()) {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
        rsParser->LoadDocument(&file);
        if (const TXMLElement* sets = rsParser->RequestElement())
            for (const TXMLElement* e = sets->getFirstChildElement(); e; e = e->getNextSiblingElement())
                if (e->getTagName() == QLatin1String("report"))
                    cbReport->addItem(e->getAttribute(QStringLiteral("name")));
    } else {
        rsParser->VxpTypeName = QStringLiteral("report.list");
        rsParser->VxpTypeVersion = QStringLiteral("1.0");
        rsParser->NewDocument();
    }
}

TXMLElement* TReportFrm::FindSet(const QString& name) const
{
    TXMLElement* sets = rsParser->RequestElement();
    if (!sets) return nullptr;
    for (TXMLElement* e = sets->getFirstChildElement(); e; e = e->getNextSiblingElement())
        if (e->getTagName() == QLatin1String("report") && e->getAttribute(QStringLiteral("name")) == name) return e;
    return nullptr;
}

void TReportFrm::WriteSets()
{
    if (TXMLDocument* doc = rsParser->XMLDocument()) doc->SaveToFile(SetsFile(), TXMLSaveForm::LocalFile);
}

void TReportFrm::ApplySet(const QString& name)
{
    const TXMLElement* set = FindSet(name);
    if (!set) return;
    TReportPageList& pages = AppState().ReportPages;
    for (int i = 0; i < pages.Count(); ++i) pages.Items(i).Selected = false;
    for (const TXMLElement* p = set->getFirstChildElement(); p; p = p->getNextSiblingElement()) {
        if (p->getTagName() != QLatin1String("page")) continue;
        const int id = StrToIntDef(p->getAttribute(QStringLiteral("id")).trimmed(), 0);
        for (int i = 0; i < pages.Count(); ++i) {
            TReportPageRec& page = pages.Items(i);
            if (page.Id != id) continue;
            page.Order = qint16(StrToIntDef(p->getAttribute(QStringLiteral("order")).trimmed(), 0));
            page.Name = p->getAttribute(QStringLiteral("name"));
            page.Selected = p->getAttribute(QStringLiteral("usepage")) == QLatin1String("Y");
        }
    }
    FillGrid();
}

void TReportFrm::MovePage(int delta)
{
    const int row = ReportGrid->Row();
    const int to = row + delta;
    if (row < 1 || to < 1 || to >= ReportGrid->RowCount()) return;
    ReportGrid->MoveRow(row, to);
    ReportGrid->SetRow(to);
}

void TReportFrm::SelectPages(int how)
{
    // The grid first, so that a reorder made in it is kept.
    StoreGrid();
    cbReport->SetItemIndex(-1);
    TReportPageList& pages = AppState().ReportPages;
    for (int i = 0; i < pages.Count(); ++i) {
        TReportPageRec& page = pages.Items(i);
        page.Selected = how < 0 ? !page.Selected : how > 0;
    }
    FillGrid();
}

void TReportFrm::ReportGridKeyDown(int& key)
{
    const int row = ReportGrid->Row();
    if (key != Win::VK_SPACE || ReportGrid->Col() <= colUse || row < 1) return;
    ReportGrid->SetCellText(colUse, row,
                            ReportGrid->GetCellText(colUse, row) == QLatin1String("Y") ? QStringLiteral("N")
                                                                                       : QStringLiteral("Y"));
    ReportGrid->RepaintRow(row);
}

void TReportFrm::ReportGridCheckBoxClick(int row) { ReportGrid->RepaintRow(row); }

void TReportFrm::SaveSettings()
{
    const QString before = cbReport->Text();
    TCompsParamsNameDlg dialog(this);
    if (!before.isEmpty()) dialog.edParamsName->setText(before);
    if (Dialogs::ExecModal(dialog) == mrOk && !dialog.edParamsName->text().isEmpty()) {
        const QString name = dialog.edParamsName->text();
        StoreGrid();
        if (!rsParser->RequestElement()) {
            rsParser->VxpTypeName = QStringLiteral("report.list");
            rsParser->VxpTypeVersion = QStringLiteral("1.0");
            rsParser->NewDocument();
        }
        TXMLDocument* doc = rsParser->XMLDocument();
        // Names are escaped as in every file of the program: "Sales &
        // Listings" is a name like any other.
        auto set = std::make_unique<TXMLElement>(QStringLiteral("report"), doc);
        set->setAttribute(QStringLiteral("name"), TvxpDocument::XmlEscape(name));
        const TReportPageList& pages = AppState().ReportPages;
        for (int i = 0; i < pages.Count(); ++i) {
            const TReportPageRec& page = pages.Items(i);
            auto p = std::make_unique<TXMLElement>(QStringLiteral("page"), doc);
            p->setAttribute(QStringLiteral("name"), TvxpDocument::XmlEscape(page.Name));
            p->setAttribute(QStringLiteral("id"), QString::number(page.Id));
            p->setAttribute(QStringLiteral("order"), QString::number(page.Order));
            p->setAttribute(QStringLiteral("usepage"), page.Selected ? QStringLiteral("Y") : QStringLiteral("N"));
            set->appendChild(p.release());
        }
        TXMLElement* sets = rsParser->RequestElement();
        if (TXMLElement* old = FindSet(name)) std::unique_ptr<TXMLNode> removed(sets->removeChild(old));
        sets->appendChild(set.release());
        WriteSets();
        LoadSetNames();
        if (name != before) {
            LoadSetNames();
            cbReport->SetItemIndex(cbReport->findText(name));
        }
    }
    StoreGrid();
}

void TReportFrm::DeleteSettings()
{
    const QString name = cbReport->Text();
    if (cbReport->ItemIndex() >= 0 &&
        Dialogs::MessageDlg(QStringLiteral("Remove the report named \"") + name +
                                QStringLiteral("\" from the report list?"),
                            TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes) {
        if (TXMLElement* set = FindSet(name)) {
            std::unique_ptr<TXMLNode> removed(rsParser->RequestElement()->removeChild(set));
            WriteSets();
            rsParser->ClearDocument();
        }
    }
    LoadSetNames();
}

void TReportFrm::BitBtn2Click()
{
    TStepHost* main = Host();
    if (!main) return;
    const TStepHost::TServices services = main->Services();
    TvxRptGen* rpt = services.vxRptGen;
    // One report at a time: a second press waits for the first report.
    if (rpt->Connected() || main->ReportBusy()) return;
    // Not while the comps or the street map the report would print are
    // still on their way (told why).
    if (!main->MayStart(WM_MAKEREPORT)) return;
    StoreGrid();
    const TAppState& state = AppState();
    const TReportPageList& pages = state.ReportPages;
    // A report of no page would fetch the report data for an empty preview.
    bool chosen = false;
    for (int i = 0; i < pages.Count() && !chosen; ++i) chosen = pages.Items(i).Selected;
    if (!chosen) {
        Dialogs::MessageDlg(QStringLiteral("No report page is chosen. Tick the pages the report is to hold."),
                            TMsgDlgType::mtInformation, mbOK);
        return;
    }
    TSubjectProperty* subject = services.SubProp;
    rpt->County = state.County ? state.County->Id : 0;
    rpt->UserId = state.UserId;
    rpt->Latitude = FloatOr(subject->ElementText(QStringLiteral("latitude")), 0);
    rpt->Longitude = FloatOr(subject->ElementText(QStringLiteral("longitude")), 0);
    rpt->MapId = state.MapId;
    rpt->IncludeAssessorMap = pages.IsPageOn(120);
    rpt->IncludeSchool = pages.IsPageOn(100);
    rpt->SchoolCity.clear();
    rpt->SchoolAndOr = QStringLiteral("A");
    rpt->IncludeServices = pages.IsPageOn(80);
    rpt->ServicesCity = subject->ElementText(QStringLiteral("city")).left(255);
    rpt->ServicesZip.clear();
    rpt->ServicesAndOr = QStringLiteral("A");
    rpt->ServicesArea = 9.0;
    rpt->IncludeCensus = pages.IsPageOn(90);
    rpt->CensusTract = subject->ElementText(QStringLiteral("census_tract")).left(255);
    // A map asked for before the marks changed is stale: no map parts then.
    const bool mapReady = state.MapId >= 1 && !state.NeedMap;
    rpt->StreetMap = mapReady && pages.IsPageOn(30);
    rpt->HazardMap = mapReady && pages.IsPageOn(40);
    // The photos of the comps found for this property: records the last
    // comps search left behind (a property searched since, an answer
    // dropped) are no one's.
    TCompsRecords& records = services.vxComps->Records;
    rpt->IncludePhotos = pages.IsPageOn(170) && state.CompsFound && records.Count() > 0;
    rpt->PhotoApns.clear();
    if (rpt->IncludePhotos)
        for (records.First(); !records.Eof(); records.Next()) rpt->PhotoApns << records.Field(QStringLiteral("apn"));
    main->SetReportBusy(true);
    main->PostStepMessage(WM_MAKEREPORT);
}
