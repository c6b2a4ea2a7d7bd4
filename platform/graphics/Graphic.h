#pragma once
// Base of the pictures a canvas draws (bitmaps, the HTML picture): a size,
// a transparency flag, loading and saving through streams, and Draw, which
// the canvas calls for Draw, StretchDraw and TileDraw.

#include "platform/graphics/Geometry.h"

#include <QString>
#include <functional>

class QIODevice;
class TCanvas;

class TGraphic {
public:
    TGraphic() = default;
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;
    virtual ~TGraphic();

    // Renders the whole graphic into r.
    virtual void Draw(TCanvas& canvas, const TRect& r) const = 0;
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;

    virtual void LoadFromStream(QIODevice& stream) = 0;
    virtual void SaveToStream(QIODevice& stream) const = 0;
    // Opens the file (EFOpenError when it cannot) and loads it.
    virtual void LoadFromFile(const QString& fileName);
    // Creates the file (EFCreateError when it cannot) and saves into it.
    virtual void SaveToFile(const QString& fileName) const;
    // Copies source (nothing happens for a kind it does not know).
    virtual void Assign(const TGraphic* source);

    bool Transparent() const { return m_transparent; }
    virtual void SetTransparent(bool value);

    // Fired after the picture changed.
    std::function<void(TGraphic* sender)> OnChange;

protected:
    void Changed();

private:
    bool m_transparent = false;
};
