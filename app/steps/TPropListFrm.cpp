#include "app/steps/TPropListFrm.h"

#include "forms/StepMessages.h"
#include "forms/TStepHost.h"
#include "state/TAppState.h"
#include "grid/TExtStringGrid.h"
#include "platform/core/SysUtils.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/kernel/Application.h"
#include "platform/kernel/WindowFrame.h"

#include <QPushButton>
#include <QResizeEvent>

QPointer<TPropListFrm> PropListFrm;

namespace {

class TPropListLayout : public QObject {
public:
    TPropListLayout(TPropListFrm* dialog) : QObject(dialog), m_dialog(dialog) { dialog->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_dialog && event->type() == QEvent::Resize) {
            const QSize size = static_cast<QResizeEvent*>(event)->size();
            m_dialog->Grid->setGeometry(0, 0, size.width(), std::max(0, size.height() - 40));
            m_dialog->btnOk->move(size.width() - 172, size.height() - 33);
            m_dialog->btnCancel->move(size.width() - 88, size.height() - 33);
        }
        return false;
    }

private:
    TPropListFrm* m_dialog;
};

} // namespace

TPropListFrm::TPropListFrm(QWidget* owner, TStepHost* host) : QDialog(owner), m_host(host)
{
    setObjectName(QStringLiteral("PropListFrm"));
    setWindowTitle(QStringLiteral("Found Properites"));
    resize(800, 575);
    PropListFrm = this;

    Grid = new TExtStringGrid(this, QStringLiteral("Grid"));
    Grid->SetColCount(5);
    Grid->SetRowCount(2);
    Grid->SetFixedCols(1);
    Grid->SetFixedRows(1);
    Grid->SetDefaultRowHeight(42);
    const int widths[] = {10, 226, 285, 212, 6};
    for (int c = 0; c < 5; ++c) Grid->SetColWidths(c, widths[c]);
    Grid->SetOptions(Grid->Options() + TGridOption::goRowSelect);
    Grid->SetEnableHTML(true);
    Grid->SetMultilinecells(true);
    TBands bands;
    bands.SetActive(true);
    bands.SetPrimaryColor(clInfoBk);
    bands.SetSecondaryColor(clWindow);
    Grid->SetBands(bands);
    Grid->SetColumnHeaders(
        {QString(), QStringLiteral("Name"), QStringLiteral("Address"), QStringLiteral("APN / Land use")});
    // The focused cell of the selected row is written in white.
    Grid->OnGetCellColor = [this](QObject*, int row, int col, TGridDrawState state, TBrush&, TFont& font) {
        if (state.Contains(TGridDrawStateItem::gdFocused) && row == Grid->Row() && col == Grid->Col())
            font.SetColor(clWhite);
    };
    Grid->OnDblClick = [this](QObject*) { GuardedCall(this, [this] { btnOkClick(); }); };

    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->resize(80, 25);
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, [this] { GuardedCall(this, [this] { btnOkClick(); }); });
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->resize(80, 25);
    connect(btnCancel, &QPushButton::clicked, this, [this] { GuardedCall(this, [this] { btnCancelClick(); }); });
    new TPropListLayout(this);
}

TPropListFrm::~TPropListFrm()
{
    if (PropListFrm == this) PropListFrm = nullptr;
}

void TPropListFrm::btnOkClick()
{
    const int id = StrToIntDef(Grid->GetCellText(4, Grid->Row()).trimmed(), 0);
    if (id < 1) throw Exception(QStringLiteral("Invalid property id!"));
    AppState().PropertyId = id;
    if (m_host) m_host->PostStepMessage(WM_PROPDATA);
    done(mrOk);
}

void TPropListFrm::btnCancelClick() { done(mrCancel); }

void TPropListFrm::PlaceFrame(const QRect& frame)
{
    m_frame = frame;
    ApplyFrame();
}

void TPropListFrm::ApplyFrame()
{
    if (m_frame.isNull()) return;
    // setGeometry() places the client area: the frame's margins come off.
    setGeometry(m_frame.marginsRemoved(WindowFrameMargins(this)));
}

void TPropListFrm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    ApplyFrame();
}
