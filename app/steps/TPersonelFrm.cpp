#include "app/steps/TPersonelFrm.h"

#include "state/TAppState.h"
#include "platform/core/FloatFormat.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/kernel/Application.h"
#include "platform/widgets/CustomComboBox.h"
#include "platform/widgets/CustomEdit.h"
#include "platform/widgets/Label.h"
#include "platform/widgets/SpeedButton.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/PictureReader.h"
#include "protocol/TvxpPersonalInfo.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QLabel>
#include <QPainter>
#include <QTabWidget>

QPointer<TPersonelFrm> PersonelFrm;

namespace {

struct Hourglass {
    Hourglass() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QGuiApplication::restoreOverrideCursor(); }
};

const char* const kPictureFilter = "All (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp|JPEG Image File (*.jpg)|*.jpg|"
                                   "JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp";

} // namespace

TPersonelFrm::TPersonelFrm(QObject* owner, TStepHost* host) : TBaseFrm(owner, host)
{
    setObjectName(QStringLiteral("PersonelFrm"));
    PersonelFrm = this;
    m_info = host ? host->Services().PersonalInfo : nullptr;

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(8, 8, 776, 420);
    auto* names = new QWidget;
    names->setObjectName(QStringLiteral("TabSheet1"));
    auto* pictures = new QWidget;
    pictures->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(names, QStringLiteral("Name/Address"));
    PageControl1->addTab(pictures, QStringLiteral("Photo / Logo"));

    int labelNo = 1;
    auto label = [&](QWidget* parent, const QString& caption, int x, int y) {
        auto* l = new TLabel(parent, QStringLiteral("Label%1").arg(labelNo++));
        l->SetCaption(caption);
        l->setGeometry(x, y, 110, 16);
        return l;
    };
    auto edit = [&](QWidget* parent, const char* name, int limit, int x, int y, int w) {
        auto* e = new TCustomEdit(parent, QString::fromLatin1(name));
        e->SetMaxLength(limit);
        e->setGeometry(x, y, w, 21);
        e->OnChange = [this](QObject*) { SetModified(); };
        return e;
    };
    struct Row {
        TCustomEdit** target;
        const char* name;
        const char* caption;
        int limit;
        int width;
    };
    const Row rows[] = {
        {&edFirst, "edFirst", "First name", 30, 200}, {&edLast, "edLast", "Last name", 30, 200},
        {&edFull, "edFull", "Full name", 50, 300},    {&edAddr1, "edAddr1", "Address1", 50, 300},
        {&edAddr2, "edAddr2", "Address2", 50, 300},   {&edCity, "edCity", "City", 30, 200},
        {&edState, "edState", "State", 2, 40},        {&edZip, "edZip", "Zip", 12, 100},
        {&edComp, "edComp", "Company name", 50, 300},
    };
    int y = 12;
    for (const Row& r : rows) {
        label(names, QString::fromLatin1(r.caption), 12, y + 3);
        *r.target = edit(names, r.name, r.limit, 124, y, r.width);
        y += 28;
    }
    edFull->OnEnter = [this](QObject*) {
        if (edFull->Text().isEmpty()) edFull->SetText(edFirst->Text() + QLatin1Char(' ') + edLast->Text());
    };

    label(names, QStringLiteral("Contact Information"), 460, 12);
    for (int i = 0; i < 4; ++i) {
        cbType[i] = new TCustomComboBox(names, QStringLiteral("cbType%1").arg(i + 1));
        cbType[i]->SetStyle(csDropDown);
        cbType[i]->SetMaxLength(25);
        cbType[i]->addItems({QStringLiteral("Phone"), QStringLiteral("Fax"), QStringLiteral("Cell"),
                             QStringLiteral("Pager"), QStringLiteral("Email"), QStringLiteral("Other")});
        cbType[i]->setGeometry(460, 32 + 28 * i, 90, 21);
        cbType[i]->OnChange = [this](QObject*) { SetModified(); };
        edContact[i] = edit(names, "", 50, 556, 32 + 28 * i, 200);
        edContact[i]->setObjectName(QStringLiteral("edContact%1").arg(i + 1));
    }
    lbMLSname = label(names, QStringLiteral("MLS"), 460, 160);
    cbMLSname = new TCustomComboBox(names, QStringLiteral("cbMLSname"));
    cbMLSname->SetStyle(csDropDownList);
    cbMLSname->setGeometry(556, 157, 200, 21);
    cbMLSname->OnChange = [this](QObject*) {
        SetModified();
        m_mlsChosen = true;
    };
    lbMLSid = label(names, QStringLiteral("MLS Id"), 460, 188);
    edMLSid = edit(names, "edMLSid", 15, 556, 185, 120);
    for (QWidget* w : std::initializer_list<QWidget*>{lbMLSname, cbMLSname, lbMLSid, edMLSid}) w->setVisible(false);

    label(pictures, QStringLiteral("Photo"), 12, 12);
    label(pictures, QStringLiteral("Logo"), 392, 12);
    Image1 = new QLabel(pictures);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(12, 32, 360, 175);
    Image2 = new QLabel(pictures);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(392, 32, 360, 175);
    int buttonNo = 1;
    auto button = [&](const QString& caption, int x, int yy, std::function<void()> fn) {
        auto* b = new TSpeedButton(pictures, QStringLiteral("SpeedButton%1").arg(buttonNo++));
        b->SetCaption(caption);
        b->setGeometry(x, yy, 90, 25);
        b->OnClick = [fn = std::move(fn)](QObject*) { fn(); };
        return b;
    };
    button(QStringLiteral("Load photo"), 12, 220, [this] { LoadPhoto(); });
    button(QStringLiteral("Clear photo"), 108, 220, [this] { ClearPhoto(); });
    SavePhotoBtn = button(QStringLiteral("Save photo"), 204, 220, [this] { SavePhoto(); });
    button(QStringLiteral("Load logo"), 392, 220, [this] { LoadLogo(); });
    button(QStringLiteral("Clear logo"), 488, 220, [this] { ClearLogo(); });
    SaveLogoBtn = button(QStringLiteral("Save logo"), 584, 220, [this] { SaveLogo(); });

    PageControl1->setCurrentIndex(0);
    LoadPage();
    OnClose = [this](QObject*, TCloseAction& action) { FormClose(action); };
    Loaded();
}

TPersonelFrm::~TPersonelFrm()
{
    if (PersonelFrm == this) PersonelFrm = nullptr;
}

void TPersonelFrm::LoadPage()
{
    if (!m_info) return;
    Hourglass hourglass;
    m_info->Load();
    edFirst->SetText(m_info->FirstName());
    edLast->SetText(m_info->LastName());
    edFull->SetText(m_info->FullName());
    edAddr1->SetText(m_info->Address1());
    edAddr2->SetText(m_info->Address2());
    edCity->SetText(m_info->AddrCity());
    edState->SetText(m_info->AddrState());
    edZip->SetText(m_info->AddrZip());
    edComp->SetText(m_info->Company());
    const QString types[4] = {m_info->PhType1(), m_info->PhType2(), m_info->PhType3(), m_info->PhType4()};
    const QString numbers[4] = {m_info->PhNumber1(), m_info->PhNumber2(), m_info->PhNumber3(), m_info->PhNumber4()};
    for (int i = 0; i < 4; ++i) {
        cbType[i]->SetText(types[i]);
        edContact[i]->SetText(numbers[i]);
    }
    m_photo = m_info->Photo;
    m_logo = m_info->Logo;
    ShowPicture(m_photo, Image1);
    ShowPicture(m_logo, Image2);
    const bool mls = AppState().MlsLogin || m_info->ShowMls;
    for (QWidget* w : std::initializer_list<QWidget*>{lbMLSname, cbMLSname, lbMLSid, edMLSid}) w->setVisible(mls);
    edMLSid->SetText(m_info->MlsMemberId());
    cbMLSname->clear();
    const TMlsList& providers = m_info->Providers();
    int chosen = providers.IsEmpty() ? -1 : 0;
    for (int i = 0; i < providers.Count(); ++i) {
        cbMLSname->addItem(providers.Item(i).Name, providers.Item(i).Id);
        if (chosen == 0 && providers.Item(i).Id == m_info->MlsId() && i > 0) chosen = i;
    }
    cbMLSname->SetItemIndex(chosen);
    m_modified = false;
    m_mlsChosen = false;
}

void TPersonelFrm::StorePage()
{
    if (!m_modified || !m_info) return;
    Hourglass hourglass;
    m_info->SetFirstName(edFirst->Text());
    m_info->SetLastName(edLast->Text());
    m_info->SetFullName(edFull->Text());
    m_info->SetAddress1(edAddr1->Text());
    m_info->SetAddress2(edAddr2->Text());
    m_info->SetAddrCity(edCity->Text());
    m_info->SetAddrState(edState->Text());
    m_info->SetAddrZip(edZip->Text());
    m_info->SetCompany(edComp->Text());
    m_info->SetPhType1(cbType[0]->Text());
    m_info->SetPhType2(cbType[1]->Text());
    m_info->SetPhType3(cbType[2]->Text());
    m_info->SetPhType4(cbType[3]->Text());
    m_info->SetPhNumber1(edContact[0]->Text());
    m_info->SetPhNumber2(edContact[1]->Text());
    m_info->SetPhNumber3(edContact[2]->Text());
    m_info->SetPhNumber4(edContact[3]->Text());
    m_info->Photo = m_photo;
    m_info->Logo = m_logo;
    m_info->SetMlsMemberId(edMLSid->Text());
    // The stored id stays unless the user chose a provider: an empty list or
    // one without that provider must not erase it.
    const int chosen = cbMLSname->ItemIndex();
    if (m_mlsChosen && chosen >= 0) m_info->SetMlsId(cbMLSname->itemData(chosen).toString());
    m_info->Save();
}

void TPersonelFrm::FormClose(TCloseAction& action)
{
    // A page that cannot be saved keeps the form open with the change in its
    // fields: the step stays current, and the program's close reports it and
    // goes on.
    try {
        StorePage();
    } catch (const Exception& e) {
        throw Exception(QStringLiteral("My Page was not saved: ") + e.Message());
    }
    if (PersonelFrm == this) PersonelFrm = nullptr;
    TBaseFrm::FormClose(this, action);
}

QImage TPersonelFrm::ReadPicture(const QString& fileName, int height)
{
    const bool jpeg = fileName.endsWith(QLatin1String(".jpg")) || fileName.endsWith(QLatin1String(".jpeg"));
    if (!jpeg && !fileName.endsWith(QLatin1String(".bmp")))
        throw EInvalidGraphic(QStringLiteral("Unsupported file type"));
    // Through the picture reader: a camera photo larger than its cap comes
    // in scaled down, a bitmap past it is refused.
    QFile file(fileName);
    const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const QImage picture = jpeg ? PictureReader::ReadJpeg(data) : PictureReader::ReadBitmap(data);
    if (picture.isNull() || picture.height() <= 0) throw EInvalidGraphic(QStringLiteral("Invalid graphic format"));
    const int width = int(Round(double(picture.width()) / picture.height() * height));
    QImage out(qMax(1, width), height, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(out.rect(), picture);
    return out;
}

void TPersonelFrm::LoadPicture(QImage& picture, QLabel* view)
{
    const QString name = Dialogs::OpenFileName(QString(), QString::fromLatin1(kPictureFilter), QString(), this);
    if (name.isEmpty()) return;
    QImage read;
    try {
        read = ReadPicture(name, 175);
    } catch (const EInvalidGraphic& e) {
        if (e.Message() != QLatin1String("Unsupported file type")) throw;
        Dialogs::ShowMessage(e.Message());
        return;
    }
    picture = read;
    ShowPicture(picture, view);
    SetModified();
    if (m_info) m_info->Dirty = true;
}

void TPersonelFrm::ClearPicture(QImage& picture, QLabel* view)
{
    picture = QImage();
    ShowPicture(picture, view);
    SetModified();
}

void TPersonelFrm::SavePicture(const QImage& picture)
{
    // Without a picture there is nothing to write (its button is disabled).
    if (picture.isNull()) return;
    const QString name = Dialogs::SaveFileName(QString(), QStringLiteral("Bitmaps (*.bmp)|*.bmp"), QString(), this,
                                               QStringLiteral("bmp"));
    if (name.isEmpty()) return;
    QImageWriter writer(name, "BMP");
    if (!writer.write(picture)) throw EFCreateError(QStringLiteral("Cannot create file \"%1\".").arg(name));
}

void TPersonelFrm::ShowPicture(const QImage& picture, QLabel* view)
{
    if (TSpeedButton* save = view == Image1 ? SavePhotoBtn : SaveLogoBtn) save->SetEnabled(!picture.isNull());
    view->setPixmap(picture.isNull() ? QPixmap() : QPixmap::fromImage(picture));
}
