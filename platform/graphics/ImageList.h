#pragma once
// An image list of the class library: images of one size, each with an
// optional mask colour, drawn by index.

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

#include <QIcon>
#include <QImage>
#include <QVector>
#include <memory>

class TBitmap;
class TCanvas;

class TImageList {
public:
    explicit TImageList(int width = 16, int height = 16);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Changing the size clears the list.
    void SetSize(int width, int height);
    int Count() const { return int(m_images.size()); }
    // True for 0 <= index < Count(): the only indices that draw.
    bool HasImage(int index) const { return index >= 0 && index < Count(); }

    // Appends the image (cut or padded to the list's size); pixels where the
    // mask is black are shown, white ones are left out. Returns its index.
    int Add(const TBitmap& image, const TBitmap* mask = nullptr);
    // Appends the image with pixels of maskColor left out.
    int AddMasked(const TBitmap& image, TColor maskColor);
    // Appends a picture (cut or padded to the list's size), pixels of
    // maskColor left out.
    int Add(const QImage& image, TColor maskColor = clNone);
    // Appends a picture wider than the list as several images, left to right.
    int AddImages(const QImage& strip, TColor maskColor = clNone);
    void Delete(int index);
    void Clear();

    // Draws image index at (x, y); an index outside the list draws nothing.
    // Disabled images are drawn greyed.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
    // Copies image index onto the bitmap (sized to the list, left-out
    // pixels filled with the bitmap's brush colour); false for an index
    // outside the list.
    bool GetBitmap(int index, TBitmap& bitmap) const;
    // The image with its left-out pixels transparent; null outside the list.
    QImage Image(int index) const;
    // The same image as an icon of a tool button or menu item; null outside.
    QIcon Icon(int index) const;

    // A watch on the list's life, expired once the list is destroyed, so
    // that a control holding the list can forget it (a copy of a list has
    // a life of its own).
    std::weak_ptr<const void> LifeWatch() const { return m_life.Token; }

private:
    struct Life {
        std::shared_ptr<const char> Token = std::make_shared<const char>('\0');
        Life() = default;
        Life(const Life&) { }
        Life& operator=(const Life&) { return *this; }
    };
    Life m_life;
    int m_width;
    int m_height;
    QVector<QImage> m_images; // ARGB32, alpha 0 where left out
};

// An image list a control draws from but does not own: it answers none once
// the list is destroyed.
template <class List>
class TWatchedImageListOf {
public:
    List* get() const { return m_life.expired() ? nullptr : m_list; }
    void reset(List* list)
    {
        m_list = list;
        m_life = list ? list->LifeWatch() : std::weak_ptr<const void>();
    }

private:
    List* m_list = nullptr;
    std::weak_ptr<const void> m_life;
};
using TWatchedImageList = TWatchedImageListOf<const TImageList>;
