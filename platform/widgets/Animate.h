#pragma once
// A small waiting animation (in place of the class library's animation
// control and its "WAITING" clip): a ring of dots turning while active,
// resting on its stop frame otherwise.

#include "platform/graphics/Color.h"

#include <QTimer>
#include <QWidget>

class TAnimate : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrames = 12;

    explicit TAnimate(QWidget* parent = nullptr);

    bool Active() const { return m_timer.isActive(); }
    void SetActive(bool active);
    // Shown while stopped (0 .. kFrames - 1; larger values take the last).
    int StopFrame() const { return m_stopFrame; }
    void SetStopFrame(int frame);
    int Frame() const { return m_frame; }
    TColor Color() const { return m_color; }
    void SetColor(TColor color);

    // One step of the animation (the timer's tick; tests call it).
    void Tick();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_timer;
    int m_frame = 0;
    int m_stopFrame = kFrames - 1;
    TColor m_color = clBtnFace;
};
