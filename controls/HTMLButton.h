#pragma once
// A push button that paints itself: its caption is a text of the HTML
// mini-language, its face the classic raised button, a flat face with hover
// and pressed colours, the visual-style push button, or one of fourteen
// textures generated in the button's colour. A disabled caption is drawn
// embossed. Default and Cancel buttons answer Enter and Escape in their
// window as the class library's buttons do; a click on a button with a
// ModalResult ends its dialog with that result once OnClick has run, unless
// the handler set the result back to mrNone. The face font is Font(),
// or a font given to the widget with setFont. The key and mouse events are
// those of the class library's button: a key set to 0 by OnKeyDown or
// OnKeyUp is consumed.

#include "controls/ButtonTexture.h"
#include "controls/HTMLPicture.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/ImageList.h"
#include "platform/kernel/VirtualKeys.h"
#include "platform/widgets/WinControl.h"

#include <QPointer>
#include <QPushButton>
#include <functional>
#include <memory>

class QShortcut;

enum class TBtnHAlignment { haCenter, haHTML, haLeft, haRight };
enum class TBtnVAlignment { vaCenter, vaTop, vaBottom };
// Kept for the stored properties; they change nothing that is drawn.
enum class TButtonStyle { bsAutoDetect, bsWin31, bsNew };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class THTMLButton : public QPushButton {
    Q_OBJECT
public:
    explicit THTMLButton(QWidget* parent = nullptr, const QString& name = QString());
    ~THTMLButton() override;

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    TBtnHAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TBtnHAlignment value);
    TBtnVAlignment VAlignment() const { return m_vAlignment; }
    void SetVAlignment(TBtnVAlignment value);
    TBtnBackground Background() const { return m_background; }
    void SetBackground(TBtnBackground value);
    TColor Color() const { return m_color; }
    void SetColor(TColor value);
    TColor DownColor() const { return m_downColor; }
    void SetDownColor(TColor value);
    TColor HoverColor() const { return m_hoverColor; }
    void SetHoverColor(TColor value);
    bool Flat() const { return m_flat; }
    void SetFlat(bool value);
    bool Ellipsis() const { return m_ellipsis; }
    void SetEllipsis(bool value);
    TColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(TColor value);
    int ShadowOffset() const { return m_shadowOffset; }
    void SetShadowOffset(int value);
    // Forgotten (nullptr) once the list is destroyed.
    TImageList* Images() const { return m_images.get(); }
    void SetImages(TImageList* value);
    TPictureContainer* PictureContainer() const { return m_pictureContainer; }
    void SetPictureContainer(TPictureContainer* value);
    TButtonStyle Style() const { return m_style; }
    void SetStyle(TButtonStyle value);
    TButtonLayout Layout() const { return m_layout; }
    void SetLayout(TButtonLayout value);
    int Spacing() const { return m_spacing; }
    void SetSpacing(int value);
    int Margin() const { return m_margin; }
    // Values below -1 are ignored.
    void SetMargin(int value);

    // The face font (name, size in points, style, colour).
    TFont& Font() { return m_font; }
    const TFont& Font() const { return m_font; }

    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool value) { setEnabled(value); }
    // Enter in the button's window clicks the Default button (unless another
    // button has the focus); Escape clicks the Cancel button.
    bool Default() const { return m_default; }
    void SetDefault(bool value);
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool value);
    int ModalResult() const { return m_modalResult; }
    void SetModalResult(int value) { m_modalResult = value; }

    std::function<void(QObject* sender)> OnClick;
    std::function<void(QObject* sender)> OnEnter;
    std::function<void(QObject* sender)> OnExit;
    std::function<void(QObject* sender, int& key, TShiftState shift)> OnKeyDown;
    std::function<void(QObject* sender, TKeyChar& key)> OnKeyPress;
    std::function<void(QObject* sender, int& key, TShiftState shift)> OnKeyUp;
    std::function<void(QObject* sender, TMouseButton button, TShiftState shift, int x, int y)> OnMouseDown;
    std::function<void(QObject* sender, TShiftState shift, int x, int y)> OnMouseMove;
    std::function<void(QObject* sender, TMouseButton button, TShiftState shift, int x, int y)> OnMouseUp;

    // The button-style operation of the class library: the button becomes or
    // stops being the default-styled button (focused, or the Default button
    // while no other button has the focus).
    void SetButtonStyle(bool isDefault);
    bool DefaultStyle() const { return m_defaultStyle; }
    // Whether the mouse is over the button.
    bool Hover() const { return m_hover; }

    // Paints the face and caption as for a paint request with the given
    // pressed and focused states (paintEvent passes the widget's own).
    void PaintTo(TCanvas& canvas, bool down, bool focused);

    // The generated face (Width + 2 by Height + 2).
    const TBitmap& BackgroundBitmap() const { return m_bitmap; }
    THTMLPictureCache* PictureCache() const { return m_cache.get(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void BuildBackground();
    void UpdateDefaultStyle();
    void UpdateShortcuts();
    void DialogKey(bool cancel);

    QString m_caption;
    TBtnHAlignment m_alignment = TBtnHAlignment::haCenter;
    TBtnVAlignment m_vAlignment = TBtnVAlignment::vaCenter;
    TBtnBackground m_background = stNormal;
    TColor m_color = clBtnFace;
    TColor m_downColor = clBtnFace;
    TColor m_hoverColor = clBtnFace;
    bool m_flat = false;
    bool m_ellipsis = false;
    TColor m_shadowColor = clGray;
    int m_shadowOffset = 1;
    TWatchedImageListOf<TImageList> m_images;
    // Cleared when the container is destroyed.
    QPointer<TPictureContainer> m_pictureContainer;
    TButtonStyle m_style = TButtonStyle::bsAutoDetect;
    TButtonLayout m_layout = blGlyphLeft;
    int m_spacing = 4;
    int m_margin = -1;
    TFont m_font;
    bool m_default = false;
    bool m_cancel = false;
    int m_modalResult = 0;

    bool m_defaultStyle = false;
    bool m_hover = false;
    bool m_winXP = false;
    TBitmap m_bitmap;
    std::unique_ptr<THTMLPictureCache> m_cache;
    QShortcut* m_enter = nullptr;
    QShortcut* m_return = nullptr;
    QShortcut* m_escape = nullptr;
    QMetaObject::Connection m_focusWatch;
};
