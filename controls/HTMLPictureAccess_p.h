#pragma once
// How the HTML renderer finds, sizes and draws the pictures that IMG SRC and
// BODY BACKGROUND name: image-list entries ("IDX:n"), named pictures of a
// picture container and pictures of the picture cache named by a URL.

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Color.h"

#include <QImage>
#include <QString>

class TGraphic;
class THTMLPicture;
class TImageList;
class THTMLPictureCache;
class TPictureContainer;

struct TPictureRef {
    int width = 0; // laid-out size in device pixels; 0 takes no room
    int height = 0;
    const THTMLPicture* graphic = nullptr; // container or cache picture
    int frames = -1;                       // frames of an animated picture
    int frameLeft = 0;
    int frameTop = 0;
    const TImageList* list = nullptr; // image-list entry
    int index = -1;
    QImage icon; // system icon ("SSYS:", "LSYS:")
};

class HTMLPictureAccess {
public:
    void Reset(THTMLPictureCache* cache, TPictureContainer* container, const TImageList* images)
    {
        m_cache = cache;
        m_container = container;
        m_images = images;
    }

    // A container picture (plain name, case ignored) or a cache picture
    // (name with "://", keyed in upper case but loaded with the case as
    // written), loaded into the cache when it is not there yet; nullptr when
    // none. Never raises: a picture that fails to load stays empty.
    const TGraphic* Picture(const QString& name);

    // The picture of an IMG SRC with its natural laid-out size.
    TPictureRef Resolve(const QString& src, TCanvas& canvas, bool print, double resFactor);

    // Draws the picture into box (its laid-out rectangle).
    void Draw(const TPictureRef& pic, TCanvas& canvas, const TRect& box, TColor entryBrush, bool print,
              double resFactor);

private:
    THTMLPictureCache* m_cache = nullptr;
    TPictureContainer* m_container = nullptr;
    const TImageList* m_images = nullptr;
};
