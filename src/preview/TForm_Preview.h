#pragma once
// The print preview window 「印刷プレビュー」: the slip page drawn by the
// print layout (the same routine and canvas as a print job's page) over a
// faint outline of the form and the paper's edge, at the zoom the operator
// picks (the whole page, 100 % or 200 % of its real size).
//
// 「印刷」 closes the window with PrintRequested, so its owner prints as F11
// does; 「PDF保存」 asks where to save (through the dialog service) and writes
// the same page as a PDF; 「閉じる」 and Escape close it.

#include "preview/TForm_PreviewUi.h"
#include "print/SlipLayout.h"

#include <QDialog>
#include <QImage>
#include <QSizeF>

struct PreviewRequest
{
    SlipInputs inputs; // the slip as the print would draw it now
    QSizeF sheetMm;    // the paper of the feed
    QString pdfPath;   // proposed path of the PDF
    QString dataDir;   // the data folder, whose files a PDF never replaces
    QString title;     // the PDF's title
};

class TForm_Preview : public QDialog, private TForm_PreviewUi
{
    Q_OBJECT
public:
    enum Result
    {
        Closed = QDialog::Rejected,
        PrintRequested = QDialog::Accepted
    };
    enum class Zoom
    {
        Fit,
        Actual,
        Double
    };

    explicit TForm_Preview(PreviewRequest request, QWidget *parent = nullptr);

    // What the window shows and saves.
    const PreviewRequest &request() const { return m_request; }
    Zoom zoom() const { return m_zoom; }
    void setZoom(Zoom zoom);
    // Image pixels per device pixel of the page shown now.
    double pageScale() const { return m_scale; }
    // The page as shown now, the paper's edge included.
    QImage pageImage() const { return m_page; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BitBtn_SavePdfClick();
    void render();
    double scaleFor(Zoom zoom) const;

    PreviewRequest m_request;
    Zoom m_zoom = Zoom::Fit;
    double m_scale = 0;
    QImage m_page;
};
