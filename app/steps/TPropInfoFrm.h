#pragma once
// The Prop Info step: the one-page property information report
// "propinfo.rpt" of the temporary directory in a preview, with print, save
// as and zoom; Up and Down scroll the page.

#include "forms/TBaseFrm.h"
#include "forms/TStepHost.h"

#include <QPointer>

class QScrollArea;
class TFilePreview;
class TSpeedButton;

class TPropInfoFrm : public TBaseFrm {
    Q_OBJECT
public:
    explicit TPropInfoFrm(QObject* owner, TStepHost* host = nullptr);
    ~TPropInfoFrm() override;

    QScrollArea* Preview1 = nullptr;
    // The page of "propinfo.rpt" (zoom 94, no shadow).
    TFilePreview* PropView = nullptr;
    TSpeedButton* btnPrint = nullptr;
    TSpeedButton* btnSaveAs = nullptr;
    TSpeedButton* btnZoomIn = nullptr;
    TSpeedButton* btnZoomOut = nullptr;

    // The file the preview shows.
    QString FileName() const { return m_fileName; }

    // Print and Save as are the report form's.
    void btnPrintClick();
    void btnSaveAsClick();
    void btnZoomInClick();
    void btnZoomOutClick();
    // The main window's key preview: Up and Down scroll by 8.
    bool PreviewKey(int key) override;

private:
    void FormClose(TCloseAction& action);

    QString m_fileName;
};

extern QPointer<TPropInfoFrm> PropInfoFrm;
