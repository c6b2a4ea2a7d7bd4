#pragma once
// The My Page step: the agent's personal page (name, address, company,
// contact numbers, listing-service membership, photo and logo), read from
// the main window's personal-information document when the step opens and
// written back when it closes after a change.

#include "forms/TBaseFrm.h"
#include "forms/TStepHost.h"

#include <QImage>
#include <QPointer>

class QLabel;
class QTabWidget;
class TCustomComboBox;
class TCustomEdit;
class TLabel;
class TSpeedButton;
class TvxpPersonalInfo;

class TPersonelFrm : public TBaseFrm {
    Q_OBJECT
public:
    explicit TPersonelFrm(QObject* owner, TStepHost* host = nullptr);
    ~TPersonelFrm() override;

    QTabWidget* PageControl1 = nullptr;
    TCustomEdit* edFirst = nullptr;
    TCustomEdit* edLast = nullptr;
    TCustomEdit* edFull = nullptr;
    TCustomEdit* edAddr1 = nullptr;
    TCustomEdit* edAddr2 = nullptr;
    TCustomEdit* edCity = nullptr;
    TCustomEdit* edState = nullptr;
    TCustomEdit* edZip = nullptr;
    TCustomEdit* edComp = nullptr;
    TCustomComboBox* cbType[4] = {};
    TCustomEdit* edContact[4] = {};
    TLabel* lbMLSname = nullptr;
    TCustomComboBox* cbMLSname = nullptr;
    TLabel* lbMLSid = nullptr;
    TCustomEdit* edMLSid = nullptr;
    QLabel* Image1 = nullptr; // the photo
    QLabel* Image2 = nullptr; // the logo
    // "Save photo" and "Save logo", enabled while there is a picture to save.
    TSpeedButton* SavePhotoBtn = nullptr;
    TSpeedButton* SaveLogoBtn = nullptr;

    bool Modified() const { return m_modified; }

    void LoadPhoto() { LoadPicture(m_photo, Image1); }
    void LoadLogo() { LoadPicture(m_logo, Image2); }
    void ClearPhoto() { ClearPicture(m_photo, Image1); }
    void ClearLogo() { ClearPicture(m_logo, Image2); }
    void SavePhoto() { SavePicture(m_photo); }
    void SaveLogo() { SavePicture(m_logo); }

    // A picture file as a 32-bit bitmap of the given height, its width in
    // proportion (rounded, halves to even). The extension decides, with its
    // letter case: ".jpg" and ".jpeg" JPEG, ".bmp" a bitmap; any other
    // raises "Unsupported file type".
    static QImage ReadPicture(const QString& fileName, int height);

private:
    void LoadPage();
    void StorePage();
    void FormClose(TCloseAction& action);
    void SetModified() { m_modified = true; }
    void LoadPicture(QImage& picture, QLabel* view);
    void ClearPicture(QImage& picture, QLabel* view);
    void SavePicture(const QImage& picture);
    void ShowPicture(const QImage& picture, QLabel* view);

    TvxpPersonalInfo* m_info = nullptr;
    QImage m_photo;
    QImage m_logo;
    bool m_modified = false;
    bool m_mlsChosen = false; // the user chose a provider since loading
};

extern QPointer<TPersonelFrm> PersonelFrm;
