#include "report/TProfilePreviewDlg.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"
#include "platform/kernel/Application.h"
#include "platform/print/TFilePreview.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// Every key pressed in the window or any of its controls is offered to the
// window first.
class KeyPreview : public QObject {
public:
    KeyPreview(QObject* parent, std::function<bool(int)> handler) : QObject(parent), m_handler(std::move(handler)) { }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
                bool handled = false;
                GuardedCall(watched, [&] { handled = m_handler(key->key()); });
                if (handled) return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(int)> m_handler;
};

} // namespace

TProfilePreviewDlg::TProfilePreviewDlg(QWidget* parent, QWidget* placeOf)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                  Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Preview"));
    resize(860, 497);
    if (placeOf) {
        setWindowState(windowState() & ~Qt::WindowMaximized);
        setGeometry(placeOf->geometry());
    }
    Build();
}

TProfilePreviewDlg::~TProfilePreviewDlg() { Finish(); }

void TProfilePreviewDlg::Build()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* menu = new QMenuBar(this);
    layout->setMenuBar(menu);
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    // Captions under the images.
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(16, 16));
    layout->addWidget(bar);
    m_scrollBox = new QScrollArea(this);
    m_scrollBox->setObjectName(QStringLiteral("ScrollBox1"));
    m_scrollBox->setWidgetResizable(false);
    layout->addWidget(m_scrollBox, 1);
    TFilePreview* preview = m_preview = new TFilePreview;
    preview->setObjectName(QStringLiteral("FilePreview"));
    preview->SetShadowDepth(2);
    m_scrollBox->setWidget(preview);

    // The tool bar's images, the program's own pictures with fuchsia left
    // out: Print, Save As, Zoom In, Zoom Out, First, Next, Prior and Last
    // Page, Back.
    TImageList images(16, 16);
    TBitmap strip;
    strip.LoadFromResourceName(QStringLiteral("TOOLPREVIEW"));
    images.AddImages(strip.Image(), clFuchsia);

    auto action = [this](const char* name, const QString& text, const QString& hint = QString()) {
        auto* a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        // A tool-bar button shows the caption alone, without the key the
        // menu names after the tab.
        a->setIconText(text.section(QLatin1Char('\t'), 0, 0));
        if (!hint.isEmpty()) a->setToolTip(hint);
        return a;
    };
    // The page keys are handled by the key preview; the menu shows them.
    QAction* FileSaveAs = action("FileSaveAs", QStringLiteral("Save As"), QStringLiteral("Save As"));
    QAction* FilePrint = action("FilePrint", QStringLiteral("Print"), QStringLiteral("Print"));
    QAction* FilePrinterSettings =
        action("FilePrinterSettings", QStringLiteral("Printer Settings"), QStringLiteral("Printer Settings"));
    FilePrinterSettings->setEnabled(false); // an action without a handler
    QAction* FileClose = action("FileClose", QStringLiteral("Close"), QStringLiteral("Close"));
    QAction* ZoomIn = action("ZoomIn", QStringLiteral("Zoom In"));
    QAction* ZoomOut = action("ZoomOut", QStringLiteral("Zoom Out"));
    QAction* PageNext = action("PageNext", QStringLiteral("Next Page\tPgDown"));
    QAction* PagePrior = action("PagePrior", QStringLiteral("Prior Page\tPgUp"));
    QAction* PageFirst = action("PageFirst", QStringLiteral("First Page\tHome"));
    QAction* PageLast = action("PageLast", QStringLiteral("Last Page\tEnd"));

    QMenu* file = menu->addMenu(QStringLiteral("File"));
    file->addActions({FileSaveAs, FilePrint, FilePrinterSettings, FileClose});
    QMenu* zoom = menu->addMenu(QStringLiteral("Zoom"));
    zoom->addActions({ZoomIn, ZoomOut});
    for (int tag = 60; tag <= 200; tag += 20) {
        QAction* item = zoom->addAction(QStringLiteral("%1%").arg(tag));
        item->setObjectName(QStringLiteral("Zoom%1").arg(tag));
        connect(item, &QAction::triggered, this, [preview, tag] {
            preview->SetZoomFactor(tag);
            preview->RedrawPage();
        });
    }
    QMenu* page = menu->addMenu(QStringLiteral("Page"));
    page->addActions({PageNext, PagePrior, PageFirst, PageLast});

    auto* lbZoom = new QLabel(bar);
    lbZoom->setObjectName(QStringLiteral("lbZoom"));
    lbZoom->setFixedWidth(48);
    lbZoom->setAlignment(Qt::AlignCenter);
    auto* lbPages = new QLabel(bar);
    lbPages->setObjectName(QStringLiteral("lbPages"));
    lbPages->setFixedWidth(83);
    lbPages->setAlignment(Qt::AlignCenter);
    auto* back = action("Back", QStringLiteral("Back"), QStringLiteral("Close"));
    int index = 0;
    for (QAction* a : {FilePrint, FileSaveAs, ZoomIn, ZoomOut, PageFirst, PageNext, PagePrior, PageLast, back})
        a->setIcon(images.Icon(index++));
    bar->addActions({FilePrint, FileSaveAs, ZoomIn, ZoomOut});
    bar->addWidget(lbZoom);
    bar->addActions({PageFirst, PageNext, PagePrior, PageLast});
    bar->addWidget(lbPages);
    bar->addAction(back);

    preview->OnZoomChange = [preview, lbZoom](QObject*) {
        lbZoom->setText(QString::number(preview->ZoomFactor()) + QLatin1Char('%'));
    };
    preview->OnPageChange = [preview, lbPages](QObject*) {
        const int count = preview->PageCount();
        lbPages->setText(count >= 2 ? QStringLiteral("Page: %1 of %2").arg(preview->CurrentPage()).arg(count)
                                    : QString());
    };
    connect(FileSaveAs, &QAction::triggered, this, [this] {
        if (OnSaveAs) OnSaveAs(this);
    });
    connect(FilePrint, &QAction::triggered, this, [this] {
        if (OnPrint) OnPrint(this);
    });
    connect(FileClose, &QAction::triggered, this, &QDialog::reject);
    connect(back, &QAction::triggered, this, &QDialog::reject);
    connect(ZoomIn, &QAction::triggered, this, [preview] {
        preview->ZoomIn();
        preview->RedrawPage();
    });
    connect(ZoomOut, &QAction::triggered, this, [preview] {
        preview->ZoomOut();
        preview->RedrawPage();
    });
    connect(PageNext, &QAction::triggered, this, [preview] { preview->NextPage(); });
    connect(PagePrior, &QAction::triggered, this, [preview] { preview->PriorPage(); });
    connect(PageFirst, &QAction::triggered, this, [preview] { preview->FirstPage(); });
    connect(PageLast, &QAction::triggered, this, [preview] { preview->LastPage(); });

    auto* keys = new KeyPreview(this, [this](int key) { return PreviewKey(key); });
    installEventFilter(keys);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(keys);
}

void TProfilePreviewDlg::Open(const QString& path)
{
    m_preview->FileName = path;
    m_preview->Start();
    m_open = true;
    m_preview->SetZoomFactor(90);
    m_preview->RedrawPage();
}

void TProfilePreviewDlg::Finish()
{
    if (!m_open) return;
    m_open = false;
    m_preview->Finish();
}

bool TProfilePreviewDlg::PreviewKey(int key)
{
    if (!m_open) return false;
    switch (key) {
    case Qt::Key_Down:
    case Qt::Key_Up: {
        QScrollBar* bar = m_scrollBox->verticalScrollBar();
        bar->setValue(bar->value() + (key == Qt::Key_Down ? 8 : -8));
        return true;
    }
    case Qt::Key_Right:
        m_preview->ZoomIn();
        m_preview->RedrawPage();
        return true;
    case Qt::Key_Left:
        m_preview->ZoomOut();
        m_preview->RedrawPage();
        return true;
    case Qt::Key_PageDown: m_preview->NextPage(); return true;
    case Qt::Key_PageUp: m_preview->PriorPage(); return true;
    case Qt::Key_Home: m_preview->FirstPage(); return true;
    case Qt::Key_End: m_preview->LastPage(); return true;
    default: return false;
    }
}
