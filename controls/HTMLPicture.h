#pragma once
// Pictures named by the HTML mini-language: THTMLPicture keeps the bytes of a
// picture file (bitmap, JPEG, GIF with frames, icon) and shows the decoded
// picture; THTMLPictureCache holds pictures named by a reference
// ("RES://name", "FILE://path"); TPictureContainer holds named pictures.

#include "platform/core/Exception.h"
#include "platform/graphics/Graphic.h"

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QThread>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class THTMLPicture;

// Loading a picture failed; the message is one of the loader's texts.
class EPictureLoadError : public Exception {
    using Exception::Exception;
};

// The download thread of a picture named by a URL: it does no work and ends
// at once (pictures named by a URL stay empty); it frees itself.
class TDownLoadThread : public QThread {
    Q_OBJECT
public:
    explicit TDownLoadThread(THTMLPicture* picture);
    THTMLPicture* Picture() const { return m_picture; }

protected:
    void run() override;

private:
    THTMLPicture* m_picture;
};

class THTMLPicture : public TGraphic {
public:
    THTMLPicture();
    ~THTMLPicture() override;

    // Published.
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool value) { m_stretch = value; }
    int Frame() const { return m_frame; }
    // Shows frame n (1-based) of a GIF and fires OnFrameChange; a number
    // outside the GIF's frames, or a frame that does not decode, is ignored
    // (the frame shown and Frame() stay).
    void SetFrame(int frame);
    std::function<void(THTMLPicture* sender)> OnFrameChange;
    // Download events: nothing fires them.
    std::function<void(THTMLPicture* sender, unsigned size, unsigned totalSize)> OnDownLoadProgress;
    std::function<void(THTMLPicture* sender, bool& cancel)> OnDownLoadCancel;
    std::function<void(THTMLPicture* sender)> OnDownLoadComplete;
    std::function<void(THTMLPicture* sender, const QString& error)> OnDownLoadError;

    // TGraphic.
    void Assign(const TGraphic* source) override;
    void Draw(TCanvas& canvas, const TRect& r) const override;
    bool Empty() const override { return m_empty; }
    int Width() const override;
    int Height() const override;
    void SetWidth(int) override { }
    void SetHeight(int) override { }
    // Keeps a copy of the stream's bytes and loads the picture; raises
    // EPictureLoadError when they are no picture (the picture shown before
    // stays until a new one has loaded).
    void LoadFromStream(QIODevice& stream) override;
    // The same from a file; any error leaves the picture empty. Only regular
    // files up to MaxFileSize bytes are read.
    void LoadFromFile(const QString& fileName) override;
    void SaveToStream(QIODevice& stream) const override;
    // Form-file streaming: as LoadFromStream without the change event, and
    // the kept bytes.
    void ReadData(QIODevice& stream);
    void WriteData(QIODevice& stream) const;
    // Clipboard formats are not supported: nothing happens.
    void LoadFromClipboardFormat() { }
    void SaveToClipboardFormat() const { }

    // Size the renderer lays out: the GIF's logical screen when it has one.
    int GetPictureWidth() const;
    int GetPictureHeight() const;
    // -1 when the bytes are no GIF; else the number of frames (cached).
    int GetFrameCount();
    // The selected frame's rectangle within the GIF's logical screen.
    int FrameLeft() const { return m_frameLeft; }
    int FrameTop() const { return m_frameTop; }
    int FrameWidth() const { return m_frameWidth; }
    int FrameHeight() const { return m_frameHeight; }
    int GifWidth() const { return m_gifWidth; }
    int GifHeight() const { return m_gifHeight; }

    // An RCDATA resource of the program by name; nothing when there is none.
    void LoadFromResourceName(const QString& name);
    // "RES://name" and "FILE://path" load; any other reference only records
    // its URL (and, when asynchronous, starts the download thread). The ID is
    // the upper-cased text; a FILE path is opened with its case as written.
    void LoadFromUrl(const QString& url);
    const QString& URL() const { return m_url; }
    const QString& ID() const { return m_id; }
    bool Asynchronous() const { return m_asynchronous; }
    void SetAsynchronous(bool value) { m_asynchronous = value; }
    bool Busy() const { return m_busy; }

    // The kept bytes and the decoded picture (null without one).
    const QByteArray& Data() const { return m_data; }
    const QImage& Image() const { return m_picture; }

    static constexpr qint64 MaxFileSize = 32 * 1024 * 1024;

private:
    bool IsGif() const;
    void LoadPicture();
    void SetData(const QByteArray& data);

    QByteArray m_data;
    bool m_empty = true;
    bool m_stretch = false;
    QImage m_picture;
    int m_himetricWidth = 0;
    int m_himetricHeight = 0;
    QString m_url;
    QString m_id;
    bool m_asynchronous = true;
    bool m_busy = false;
    int m_frame = 1;
    int m_frameCount = -1; // -1: not counted yet
    bool m_frameCountValid = false;
    int m_frameLeft = 0;
    int m_frameTop = 0;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    int m_gifWidth = 0;
    int m_gifHeight = 0;
};

// Pictures named by a reference; it creates and owns them.
class THTMLPictureCache {
public:
    THTMLPictureCache();
    ~THTMLPictureCache();
    THTMLPictureCache(const THTMLPictureCache&) = delete;
    THTMLPictureCache& operator=(const THTMLPictureCache&) = delete;

    THTMLPicture* AddPicture();
    // The picture whose ID equals text exactly (case matters); nullptr none.
    THTMLPicture* FindPicture(const QString& text) const;
    int Count() const { return int(m_pictures.size()); }
    THTMLPicture* Items(int index) const;
    void Clear();

private:
    std::vector<std::unique_ptr<THTMLPicture>> m_pictures;
};

class TPictureCollection;

class TPictureItem {
public:
    explicit TPictureItem(TPictureCollection* collection = nullptr);
    ~TPictureItem();

    THTMLPicture& Picture() { return *m_picture; }
    const THTMLPicture& Picture() const { return *m_picture; }
    // Copies into the item's own picture.
    void SetPicture(const THTMLPicture* picture) { m_picture->Assign(picture); }
    const QString& Name() const { return m_name; }
    void SetName(const QString& name) { m_name = name; }
    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }
    TPictureCollection* Collection() const { return m_collection; }
    // Copies Name, Tag and the picture.
    void Assign(const TPictureItem& source);

private:
    TPictureCollection* m_collection;
    std::unique_ptr<THTMLPicture> m_picture;
    QString m_name;
    int m_tag = 0;
};

class TPictureContainer;

class TPictureCollection {
public:
    explicit TPictureCollection(TPictureContainer* owner = nullptr);
    ~TPictureCollection();
    TPictureCollection(const TPictureCollection&) = delete;
    TPictureCollection& operator=(const TPictureCollection&) = delete;

    TPictureItem* Add();
    int Count() const { return int(m_items.size()); }
    TPictureItem* Items(int index) const;
    void Delete(int index);
    void Clear();
    // Replaces the items by copies of source's.
    void Assign(const TPictureCollection& source);
    TPictureContainer* Owner() const { return m_owner; }

private:
    TPictureContainer* m_owner;
    std::vector<std::unique_ptr<TPictureItem>> m_items;
};

class TPictureContainer : public QObject {
    Q_OBJECT
public:
    explicit TPictureContainer(QObject* owner = nullptr);
    ~TPictureContainer() override;

    TPictureCollection& Items() { return m_items; }
    const TPictureCollection& Items() const { return m_items; }
    // Copies the given collection's items into the container's own.
    void SetItems(const TPictureCollection& items) { m_items.Assign(items); }
    // The picture of the first item whose upper-cased name equals name (as
    // passed); nullptr when there is none.
    THTMLPicture* FindPicture(const QString& name) const;

private:
    TPictureCollection m_items;
};
