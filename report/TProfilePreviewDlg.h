#pragma once
// The report form's preview window over the engine's file preview: a menu
// (File, Zoom, Page), a tool bar with the zoom and page labels, and the
// preview in a scroll box. Arrows scroll and zoom, the page keys page,
// whichever control has the focus. Saving and printing are the owner's.

#include <QDialog>
#include <QString>
#include <functional>

class QScrollArea;
class TFilePreview;

class TProfilePreviewDlg : public QDialog {
    Q_OBJECT
public:
    // Takes placeOf's place and size when given.
    explicit TProfilePreviewDlg(QWidget* parent, QWidget* placeOf = nullptr);
    ~TProfilePreviewDlg() override;

    // "Save As" and "Print" of the menu and the tool bar.
    std::function<void(QObject* sender)> OnSaveAs;
    std::function<void(QObject* sender)> OnPrint;

    // Loads the report file and shows its first page at 90%.
    void Open(const QString& path);
    // Lets the file go; also done when the window is destroyed.
    void Finish();

    // Offered every key pressed without modifiers; true when it was used.
    bool PreviewKey(int key);

    TFilePreview* Preview() const { return m_preview; }

private:
    void Build();

    TFilePreview* m_preview = nullptr;
    QScrollArea* m_scrollBox = nullptr;
    bool m_open = false;
};
