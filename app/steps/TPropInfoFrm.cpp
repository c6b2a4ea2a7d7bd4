#include "app/steps/TPropInfoFrm.h"

#include "app/MainProfileFrm.h"
#include "app/StepMessages.h"
#include "app/state/TAppState.h"
#include "platform/widgets/SpeedButton.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

QPointer<TPropInfoFrm> PropInfoFrm;

TPropInfoFrm::TPropInfoFrm(QObject* owner) : TBaseFrm(owner)
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

    Preview1 = new QScrollArea(this);
    Preview1->setObjectName(QStringLiteral("Preview1"));
    Preview1->setWidgetResizable(false);
    PropView = new QWidget;
    PropView->setObjectName(QStringLiteral("PropView"));
    PropView->resize(780, 1010);
    Preview1->setWidget(PropView);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(Preview1, 1);

    m_fileName = AppState().TempDir + QStringLiteral("propinfo.rpt");
    // The report engine's preview starts on m_fileName when the file exists
    // (zoom 94, no shadow); zoom in and out step its zoom.

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
    TBaseFrm::FormClose(this, action);
}

void TPropInfoFrm::btnPrintClick()
{
    if (MainProfileFrm && MainProfileFrm->rptProfile) PostMessage(MainProfileFrm->rptProfile, WM_PRINTPROPINFO);
}

void TPropInfoFrm::btnSaveAsClick()
{
    if (MainProfileFrm && MainProfileFrm->rptProfile) PostMessage(MainProfileFrm->rptProfile, WM_SAVEPROPINFO);
}

bool TPropInfoFrm::PreviewKey(int key)
{
    QScrollBar* bar = Preview1->verticalScrollBar();
    if (key == Qt::Key_Down) bar->setValue(bar->value() + 8);
    else if (key == Qt::Key_Up) bar->setValue(bar->value() - 8);
    else return false;
    return true;
}
