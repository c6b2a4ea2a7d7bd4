#pragma once
// A borderless pop-up label that stays on top: the caption centred with an
// end ellipsis, inside a raised one-pixel frame unless NoFrame is set. It
// takes no input.

#include <QString>
#include <QWidget>

class TPopupButton : public QWidget {
public:
    explicit TPopupButton(QWidget* owner);

    const QString& Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    bool NoFrame() const { return m_noFrame; }
    void SetNoFrame(bool value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
    bool m_noFrame = false;
};
