#pragma once
// The class library's panel: a plain container with an optional bevel and a
// background colour, the parent of the step forms and the banner.

#include "platform/graphics/Color.h"

#include <QFrame>
#include <functional>

enum class TPanelBevel { bvNone, bvLowered, bvRaised };

class TPanel : public QFrame {
    Q_OBJECT
public:
    explicit TPanel(QWidget* parent = nullptr);

    TPanelBevel BevelOuter() const { return m_bevel; }
    void SetBevelOuter(TPanelBevel bevel);
    TColor Color() const { return m_color; }
    void SetColor(TColor color);

    // Runs after every change of the panel's size.
    std::function<void(QObject* sender)> OnResize;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    TPanelBevel m_bevel = TPanelBevel::bvRaised;
    TColor m_color = clBtnFace;
};
