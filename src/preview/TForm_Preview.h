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
#include "print/InvoiceSheet.h"
#include "print/SlipLayout.h"

#include <QDialog>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <optional>

// The delivery note and invoice that goes with the slip.
struct InvoicePreview
{
    InvoiceSheet sheet;
    QSizeF sheetMm;  // A4 or A5, as registered for the invoice
    QString pdfPath; // proposed path of its PDF
};

struct PreviewRequest
{
    SlipInputs inputs; // the slip as the print would draw it now
    QSizeF sheetMm;    // the paper the print would get
    // The part of it the printer prints on, where the slip's origin lies
    // (millimetres from the sheet's corner); none: the whole sheet.
    QRectF printableMm;
    // What would not print as laid out (SlipFitWarning); empty when all fits.
    QString warning;
    QString pdfPath; // proposed path of the PDF
    QString dataDir; // the data folder, whose files a PDF never replaces
    QString title;   // the PDF's title
    // Shown instead of the slip while 「請求書」 is down; 「印刷」 and
    // 「PDF保存」 then print or save it. None: the button is hidden.
    std::optional<InvoicePreview> invoice;
};

class TForm_Preview : public QDialog, private TForm_PreviewUi
{
    Q_OBJECT
public:
    enum Result
    {
        Closed = QDialog::Rejected,
        PrintRequested = QDialog::Accepted,
        InvoicePrintRequested = 2
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
    // Whether the invoice sheet is shown instead of the slip.
    bool showsInvoice() const { return m_showInvoice; }
    void setShowInvoice(bool on);
    // Image pixels per device pixel of the page shown now.
    double pageScale() const { return m_scale; }
    // The page as shown now, the paper's edge included.
    QImage pageImage() const { return m_page; }

    // The window's size on a screen's free area `room` (the title bar and
    // borders taken off): the design's 760 x 900 where it fits; on a smaller
    // area, the page view (the window less `chrome`, the room of the bars and
    // frames around it) as large as the area allows in the shape of the paper.
    static QSize fittedSize(const QSize &room, const QSize &chrome, const QSizeF &sheetMm);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BitBtn_SavePdfClick();
    void render();
    double scaleFor(Zoom zoom) const;
    // Sizes the window for the free area of its screen and centres it there.
    void fitToScreen();

    PreviewRequest m_request;
    Zoom m_zoom = Zoom::Fit;
    double m_scale = 0;
    bool m_showInvoice = false;
    QImage m_page;
};
