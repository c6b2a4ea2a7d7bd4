#include "controls/HTMLPicture.h"

#include "controls/PictureDecoder_p.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/PictureReader.h"
#include "platform/graphics/Resources.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kInvalidFormat = QStringLiteral("Could not load image. Invalid format");

} // namespace

// ---------------------------------------------------------------------------

TDownLoadThread::TDownLoadThread(THTMLPicture* picture) : m_picture(picture)
{
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TDownLoadThread::run()
{
    // Pictures named by a URL are not fetched.
}

// ---------------------------------------------------------------------------

THTMLPicture::THTMLPicture() = default;
THTMLPicture::~THTMLPicture() = default;

bool THTMLPicture::IsGif() const { return picturedecoder::IsGif(m_data); }

int THTMLPicture::GetFrameCount()
{
    if (!IsGif()) return -1;
    if (!m_frameCountValid) {
        m_frameCount = int(picturedecoder::FrameStarts(m_data).size());
        m_frameCountValid = true;
    }
    return m_frameCount;
}

void THTMLPicture::LoadPicture()
{
    int left = 0, top = 0, fw = 0, fh = 0, gw = 0, gh = 0;
    QImage img;
    const int frames = IsGif() ? GetFrameCount() : -1;
    if (frames >= 1) {
        if (m_frame < 1 || m_frame > frames) m_frame = 1;
        const picturedecoder::GifFrame f = picturedecoder::ExtractGifFrame(m_data, m_frame);
        left = f.left;
        top = f.top;
        fw = f.width;
        fh = f.height;
        gw = f.screenWidth;
        gh = f.screenHeight;
        img = PictureReader::ReadPicture(f.bytes);
        // An animated picture is drawn frame by frame at the frame's own
        // offset: keep only the frame's rectangle of the logical screen.
        if (!img.isNull() && frames > 1 && fw > 0 && fh > 0 && img.width() == gw && img.height() == gh &&
            left + fw <= gw && top + fh <= gh)
            img = img.copy(left, top, fw, fh);
    } else {
        img = PictureReader::ReadPicture(m_data);
    }
    if (img.isNull()) throw EPictureLoadError(kInvalidFormat);
    // The old picture is let go only now that the new one has loaded.
    m_picture = img;
    m_himetricWidth = MulDiv(img.width(), 2540, 96);
    m_himetricHeight = MulDiv(img.height(), 2540, 96);
    m_frameLeft = left;
    m_frameTop = top;
    m_frameWidth = fw;
    m_frameHeight = fh;
    m_gifWidth = gw;
    m_gifHeight = gh;
}

void THTMLPicture::SetData(const QByteArray& data)
{
    m_data = data;
    m_frameCountValid = false;
    m_frameCount = -1;
    m_empty = false;
}

void THTMLPicture::SetFrame(int frame)
{
    if (!m_data.isEmpty() && IsGif()) {
        const int frames = GetFrameCount();
        // A number outside the frames would show nothing: it is ignored.
        if (frames >= 1 && (frame < 1 || frame > frames)) return;
    }
    const int previous = m_frame;
    m_frame = frame;
    if (!m_data.isEmpty()) {
        try {
            LoadPicture();
        } catch (const EPictureLoadError&) {
            // A frame that does not decode is no frame of the GIF: the last
            // good one stays shown.
            m_frame = previous;
            return;
        }
    }
    if (OnFrameChange) OnFrameChange(this);
}

void THTMLPicture::Assign(const TGraphic* source)
{
    m_empty = true;
    m_picture = QImage();
    m_himetricWidth = m_himetricHeight = 0;
    m_frameCount = -1;
    m_frameCountValid = false;
    m_frameLeft = m_frameTop = m_frameWidth = m_frameHeight = -1;
    m_gifWidth = m_gifHeight = -1;
    m_frame = 1;
    if (!source) {
        m_data.clear();
        return;
    }
    const auto* other = dynamic_cast<const THTMLPicture*>(source);
    if (!other) return;
    SetData(other->m_data);
    LoadPicture();
    Changed();
}

void THTMLPicture::Draw(TCanvas& canvas, const TRect& r) const
{
    if (m_empty || m_picture.isNull()) return;
    const TRect source(0, 0, m_picture.width(), m_picture.height());
    if (m_stretch) {
        canvas.DrawImage(r, m_picture, source, cmSrcCopy);
        return;
    }
    const int w = MulDiv(m_himetricWidth, canvas.PixelsPerInchX(), 2540);
    const int h = MulDiv(m_himetricHeight, canvas.PixelsPerInchY(), 2540);
    canvas.DrawImage(TRect(r.Left, r.Top, r.Left + w, r.Top + h), m_picture, source, cmSrcCopy);
}

int THTMLPicture::Width() const { return m_picture.isNull() ? 0 : MulDiv(m_himetricWidth, 96, 2540); }

int THTMLPicture::Height() const { return m_picture.isNull() ? 0 : MulDiv(m_himetricHeight, 96, 2540); }

int THTMLPicture::GetPictureWidth() const
{
    if (m_picture.isNull()) return 0;
    return m_gifWidth > 0 ? m_gifWidth : Width();
}

int THTMLPicture::GetPictureHeight() const
{
    if (m_picture.isNull()) return 0;
    return m_gifHeight > 0 ? m_gifHeight : Height();
}

void THTMLPicture::LoadFromStream(QIODevice& stream)
{
    SetData(stream.readAll());
    LoadPicture();
    Changed();
}

void THTMLPicture::ReadData(QIODevice& stream)
{
    SetData(stream.readAll());
    LoadPicture();
}

void THTMLPicture::WriteData(QIODevice& stream) const { stream.write(m_data); }

void THTMLPicture::SaveToStream(QIODevice& stream) const { stream.write(m_data); }

void THTMLPicture::LoadFromFile(const QString& fileName)
{
    try {
        // Only a regular file of bounded size is read whole.
        const QFileInfo info(fileName);
        if (!info.exists() || !info.isFile() || info.size() > MaxFileSize) {
            m_empty = true;
            return;
        }
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly)) {
            m_empty = true;
            return;
        }
        const QByteArray data = file.read(MaxFileSize + 1);
        if (data.size() > MaxFileSize) {
            m_empty = true;
            return;
        }
        SetData(data);
        LoadPicture();
        Changed();
    } catch (...) {
        m_empty = true;
    }
}

void THTMLPicture::LoadFromResourceName(const QString& name)
{
    if (!HasResource(name, TResourceType::RCData)) return;
    QByteArray data = LoadResourceData(name, TResourceType::RCData);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    LoadFromStream(buffer);
}

void THTMLPicture::LoadFromUrl(const QString& url)
{
    const QString upper = url.toUpper();
    if (upper.startsWith(QLatin1String("RES://"))) {
        m_id = upper;
        const QString rest = upper.mid(6);
        if (!rest.isEmpty()) LoadFromResourceName(rest);
        return;
    }
    if (upper.startsWith(QLatin1String("FILE://"))) {
        m_id = upper;
        const QString path = url.mid(7);
        if (!path.isEmpty()) LoadFromFile(path);
        return;
    }
    if (!m_asynchronous) {
        m_url = upper;
        m_id = upper;
        return;
    }
    if (m_busy) return;
    m_url = upper;
    m_busy = true;
    auto* thread = new TDownLoadThread(this);
    thread->start();
}

// ---------------------------------------------------------------------------

THTMLPictureCache::THTMLPictureCache() = default;
THTMLPictureCache::~THTMLPictureCache() = default;

THTMLPicture* THTMLPictureCache::AddPicture()
{
    m_pictures.push_back(std::make_unique<THTMLPicture>());
    return m_pictures.back().get();
}

THTMLPicture* THTMLPictureCache::FindPicture(const QString& text) const
{
    for (const auto& p : m_pictures)
        if (p->ID() == text) return p.get();
    return nullptr;
}

THTMLPicture* THTMLPictureCache::Items(int index) const
{
    return index >= 0 && index < Count() ? m_pictures[size_t(index)].get() : nullptr;
}

void THTMLPictureCache::Clear() { m_pictures.clear(); }

// ---------------------------------------------------------------------------

TPictureItem::TPictureItem(TPictureCollection* collection)
    : m_collection(collection), m_picture(std::make_unique<THTMLPicture>())
{ }

TPictureItem::~TPictureItem() = default;

void TPictureItem::Assign(const TPictureItem& source)
{
    if (&source == this) return;
    m_name = source.m_name;
    m_tag = source.m_tag;
    m_picture->Assign(source.m_picture.get());
}

TPictureCollection::TPictureCollection(TPictureContainer* owner) : m_owner(owner) { }
TPictureCollection::~TPictureCollection() = default;

TPictureItem* TPictureCollection::Add()
{
    m_items.push_back(std::make_unique<TPictureItem>(this));
    return m_items.back().get();
}

TPictureItem* TPictureCollection::Items(int index) const
{
    return index >= 0 && index < Count() ? m_items[size_t(index)].get() : nullptr;
}

void TPictureCollection::Delete(int index)
{
    if (index >= 0 && index < Count()) m_items.erase(m_items.begin() + index);
}

void TPictureCollection::Clear() { m_items.clear(); }

void TPictureCollection::Assign(const TPictureCollection& source)
{
    if (&source == this) return;
    m_items.clear();
    for (const auto& item : source.m_items) Add()->Assign(*item);
}

TPictureContainer::TPictureContainer(QObject* owner) : QObject(owner), m_items(this) { }
TPictureContainer::~TPictureContainer() = default;

THTMLPicture* TPictureContainer::FindPicture(const QString& name) const
{
    for (int i = 0; i < m_items.Count(); ++i) {
        TPictureItem* item = m_items.Items(i);
        if (item->Name().toUpper() == name) return &item->Picture();
    }
    return nullptr;
}
