#include "app/steps/TPropInfoFrm.h"

#include "forms/StepMessages.h"
#include "state/TAppState.h"
#include "platform/kernel/Application.h"
#include "platform/print/TFilePreview.h"
#include "platform/widgets/SpeedButton.h"
#include "report/TrptProfile.h"

#include <QFileInfo>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

QPointer<TPropInfoFrm> PropInfoFrm;

TPropInfoFrm::TPropInfoFrm(QObject* owner, TStepHost* host) : TBaseFrm(owner, host)
{
    setObjectName(QStringLiteral("PropInfoFrm"));
    PropInfoFrm = this;

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setFixedHeight(29);
    auto button = [bar](const char* name, const char* caption, const char* hint, int x) {
        auto* b = new TSpeedButton(bar, QString::fromLatin1(name));
        b->SetCaption(QString::fromLatin1(caption));
        b->setToolTip(QString::fromLatin1(hint));
        b->SetFlat(true);
        b->setGeometry(x, 2, 70, 25);
        return b;
    };
    btnPrint = button("btnPrint", "Print", "Print property info page", 2);
    btnSaveAs = button("btnSaveAs", "Save as", "Save as", 74);
    btnZoomIn = button("btnZoomIn", "Zoom in", "Zoom in", 154);
    btnZoomOut = button("btnZoomOut", "Zoom out", "Zoom out", 226);
    btnPrint->OnClick = [this](QObject*) { btnPrintClick(); };
    btnSaveAs->OnClick = [this](QObject*) { btnSaveAsClick(); };
    btnZoomIn->OnClick = [this](QObject*) { btnZoomInClick(); };
    btnZoomOut->OnClick = [this](QObject*) { btnZoomOutClick(); };

    Preview1 = new QScrollArea(this);
    Preview1->setObjectName(QStringLiteral("Preview1"));
    Preview1->setWidgetResizable(false);
    PropView = new TFilePreview;
    PropView->setObjectName(QStringLiteral("PropView"));
    PropView->SetZoomFactor(94);
    PropView->SetShadowDepth(0);
    Preview1->setWidget(PropView);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(Preview1, 1);

    m_fileName = AppState().TempDir + QStringLiteral("propinfo.rpt");
    PropView->FileName = m_fileName;
    // A missing report leaves the preview empty; a damaged one is reported
    // and leaves it empty too.
    if (QFileInfo::exists(m_fileName)) GuardedCall(this, [this] { PropView->Start(); });
    // What the report had to leave out is told once the page shows, as the
    // profile report's preview tells it.
    if (PropView->Active() && Host())
        QMetaObject::invokeMethod(
            this,
            [this] { GuardedCall(this, [this] { Host()->TellIncompleteReport(QStringLiteral("propinfo.rpt")); }); },
            Qt::QueuedConnection);

    OnClose = [this](QObject*, TCloseAction& action) { FormClose(action); };
    Loaded();
}

TPropInfoFrm::~TPropInfoFrm()
{
    if (PropInfoFrm == this) PropInfoFrm = nullptr;
}

void TPropInfoFrm::FormClose(TCloseAction& action)
{
    // The preview ends before the step goes.
    PropView->Finish();
    TBaseFrm::FormClose(this, action);
}

void TPropInfoFrm::btnPrintClick()
{
    if (Host()) Host()->PostReportMessage(WM_PRINTPROPINFO);
}

void TPropInfoFrm::btnSaveAsClick()
{
    if (Host()) Host()->PostReportMessage(WM_SAVEPROPINFO);
}

void TPropInfoFrm::btnZoomInClick() { PropView->ZoomIn(); }

void TPropInfoFrm::btnZoomOutClick() { PropView->ZoomOut(); }

bool TPropInfoFrm::PreviewKey(int key)
{
    QScrollBar* bar = Preview1->verticalScrollBar();
    if (key == Qt::Key_Down)
        bar->setValue(bar->value() + 8);
    else if (key == Qt::Key_Up)
        bar->setValue(bar->value() - 8);
    else
        return false;
    return true;
}
