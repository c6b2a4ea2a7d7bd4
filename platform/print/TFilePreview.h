#pragma once
// The preview of a report file: one page at a time, at a zoom in percent of
// its printed size on a 96-per-inch screen, with a shadow, on a grey
// ground. The widget takes the size of the zoomed page, so it sits in a
// scroll area (the report form's scroll box) that scrolls it.
//
// Start loads FileName and shows page 1; Finish lets the file go. Pictures
// shown smaller than they are (map sheets, photos) are scaled once per zoom
// and kept, and the drawn page is kept until the page or the zoom changes,
// so paging back and scrolling cost nothing.

#include <QObject>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class TFilePreview : public QWidget {
public:
    static constexpr double MaxZoomFactor = 400;
    // The drawn page has at most this many pixels (256 MiB): a larger page
    // (a file's pages may be up to 100 inches a side) is drawn at a lower
    // resolution and shown enlarged to its zoomed size.
    static constexpr qint64 MaxPagePixels = qint64(64) << 20;

    explicit TFilePreview(QWidget* parent = nullptr);
    ~TFilePreview() override;

    QString FileName;
    // Percent step of ZoomIn and ZoomOut.
    double ZoomStep = 10;

    // Percent of the printed size; set, it is kept within 1..MaxZoomFactor.
    double ZoomFactor() const { return m_zoom; }
    void SetZoomFactor(double percent);
    void ZoomIn();
    // Only while the factor exceeds the step.
    void ZoomOut();

    int ShadowDepth() const { return m_shadow; }
    void SetShadowDepth(int pixels);

    // Loads FileName (EFOpenError, EReportFileError; nothing changes then)
    // and shows its first page.
    void Start();
    void Finish();
    bool Active() const;
    // Draws the current page again.
    void RedrawPage();

    // Pages count from 1; CurrentPage is 0 while no file is shown. Moves
    // past either end do nothing.
    int PageCount() const;
    int CurrentPage() const { return m_page; }
    void PriorPage();
    void NextPage();
    void FirstPage();
    void LastPage();
    void GotoPage(int page);

    std::function<void(QObject* sender)> OnZoomChange;
    std::function<void(QObject* sender)> OnPageChange;

    // Pixels of the page as last drawn (empty before): what it holds in
    // memory, at most MaxPagePixels.
    QSize DrawnPageSize() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Data;
    void Layout();
    QSize PageSize() const;
    void RenderPage();

    std::unique_ptr<Data> d;
    double m_zoom = 100;
    int m_shadow = 2;
    int m_page = 0;
};
