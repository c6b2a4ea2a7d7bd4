#pragma once
// The class library's status bar: fixed-width panels of text from left to
// right, without a size grip.

#include <QList>
#include <QStatusBar>

class QLabel;

class TStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TStatusBar(QWidget* parent = nullptr);

    // Adds a panel of the given width in pixels; returns its index.
    int AddPanel(int width);
    int PanelCount() const { return int(m_panels.size()); }
    // An index outside the panels is ignored (reads empty).
    QString PanelText(int index) const;
    void SetPanelText(int index, const QString& text);

private:
    QList<QLabel*> m_panels;
};
