#include "preview/TForm_Preview.h"

#include "controls/DialogService.h"
#include "controls/Guard.h"
#include "platform/ProgramFiles.h"
#include "printer/InvoicePage.h"
#include "printer/SlipPage.h"

#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <cmath>

using namespace Qt::StringLiterals;

TForm_Preview::TForm_Preview(PreviewRequest request, QWidget *parent) : QDialog(parent), m_request(std::move(request))
{
    setupUi(this);
    const PrintGeometry &g = m_request.inputs.geometry;
    Label_PageInfo->setText(u"%1 x %2 mm　%3 x %4 dpi　上 %5　左 %6"_s.arg(m_request.sheetMm.width())
                                .arg(m_request.sheetMm.height())
                                .arg(g.dpiX)
                                .arg(g.dpiY)
                                .arg(g.top)
                                .arg(g.left));

    Label_Warning->setText(m_request.warning);
    Label_Warning->setVisible(!m_request.warning.isEmpty());

    ScrollBox_Page->viewport()->installEventFilter(this);
    connect(SpeedButton_ZoomFit, &QToolButton::clicked, this, [this] { setZoom(Zoom::Fit); });
    connect(SpeedButton_Zoom100, &QToolButton::clicked, this, [this] { setZoom(Zoom::Actual); });
    connect(SpeedButton_Zoom200, &QToolButton::clicked, this, [this] { setZoom(Zoom::Double); });
    SpeedButton_Invoice->setVisible(m_request.invoice.has_value());
    connect(SpeedButton_Invoice, &QToolButton::toggled, this, [this](bool on) { setShowInvoice(on); });
    connect(BitBtn_Print, &QPushButton::clicked, this,
            [this] { done(m_showInvoice ? InvoicePrintRequested : PrintRequested); });
    connect(BitBtn_SavePdf, &QPushButton::clicked, this, vuzo::Guarded(this, &TForm_Preview::BitBtn_SavePdfClick));
    connect(BitBtn_Close, &QPushButton::clicked, this, [this] { done(Closed); });
    fitToScreen();
    render();
}

namespace {

constexpr QSize kDesignSize(760, 900);
// Room left for the title bar and borders, which the window manager adds.
constexpr QSize kFrameAllowance(8, 36);

} // namespace

QSize TForm_Preview::fittedSize(const QSize &room, const QSize &chrome, const QSizeF &sheetMm)
{
    if (room.width() >= kDesignSize.width() && room.height() >= kDesignSize.height())
        return kDesignSize;
    const QSize view = kDesignSize.boundedTo(room) - chrome;
    if (view.width() <= 0 || view.height() <= 0 || sheetMm.width() <= 0 || sheetMm.height() <= 0)
        return kDesignSize.boundedTo(room);
    // The page at Fit fills the view with the paper's shape, a margin of 8
    // pixels around it.
    const double aspect = sheetMm.width() / sheetMm.height();
    const int height = qMin(view.height(), qRound((view.width() - 8) / aspect) + 8);
    const int width = qMin(view.width(), qRound((height - 8) * aspect) + 8);
    return QSize(width, height) + chrome;
}

void TForm_Preview::fitToScreen()
{
    const QScreen *where = parentWidget() ? parentWidget()->screen() : screen();
    if (!where)
        return;
    const QRect available = where->availableGeometry();
    layout()->activate();
    // What the bars, margins and frames take around the page view.
    const QSize chrome = kDesignSize - ScrollBox_Page->maximumViewportSize();
    QSize size = fittedSize(available.size() - kFrameAllowance, chrome, m_request.sheetMm);
    // The bars keep their width; on a screen narrower still the window is the
    // screen's width and the page view scrolls.
    size = size.expandedTo(minimumSizeHint()).boundedTo(available.size() - kFrameAllowance);
    resize(size);
    const QRect outer(QPoint(), size + kFrameAllowance);
    move(available.center() - outer.center());
}

double TForm_Preview::scaleFor(Zoom zoom) const
{
    // The invoice is drawn in its own unit: 254 pixels per inch, 10 per mm.
    const int dpi = m_showInvoice ? 254 : qMax(1, m_request.inputs.geometry.dpiY);
    const QSizeF sheetMm = m_showInvoice ? m_request.invoice->sheetMm : m_request.sheetMm;
    // 100 % is the paper's real size on this screen.
    const double actual = double(logicalDpiY()) / dpi;
    switch (zoom) {
    case Zoom::Actual: return actual;
    case Zoom::Double: return 2 * actual;
    case Zoom::Fit: break;
    }
    const QSize room = ScrollBox_Page->viewport()->size() - QSize(8, 8);
    const double pageW = sheetMm.width() / 25.4 * dpi;
    const double pageH = sheetMm.height() / 25.4 * dpi;
    if (room.width() <= 0 || room.height() <= 0 || pageW <= 0 || pageH <= 0)
        return actual;
    return qMin(room.width() / pageW, room.height() / pageH);
}

void TForm_Preview::setZoom(Zoom zoom)
{
    m_zoom = zoom;
    SpeedButton_ZoomFit->setChecked(zoom == Zoom::Fit);
    SpeedButton_Zoom100->setChecked(zoom == Zoom::Actual);
    SpeedButton_Zoom200->setChecked(zoom == Zoom::Double);
    render();
}

void TForm_Preview::render()
{
    const double scale = scaleFor(m_zoom);
    if (scale == m_scale && !m_page.isNull())
        return;
    m_scale = scale;
    m_page = m_showInvoice ? RenderInvoicePage(m_request.invoice->sheet, m_request.invoice->sheetMm, scale * 10)
                           : RenderSlipPage(m_request.inputs, m_request.sheetMm, scale, true, m_request.printableMm);
    // The paper's edge.
    QPainter edge(&m_page);
    edge.setPen(QColor(0x60, 0x60, 0x60));
    edge.drawRect(m_page.rect().adjusted(0, 0, -1, -1));
    edge.end();
    Image_Page->setPixmap(QPixmap::fromImage(m_page));
    Image_Page->resize(m_page.size());
}

void TForm_Preview::setShowInvoice(bool on)
{
    on = on && m_request.invoice.has_value();
    if (on == m_showInvoice)
        return;
    m_showInvoice = on;
    SpeedButton_Invoice->setChecked(on);
    m_page = QImage();
    m_scale = 0;
    render();
}

bool TForm_Preview::eventFilter(QObject *watched, QEvent *event)
{
    // The whole page follows the room the window gives it.
    if (watched == ScrollBox_Page->viewport() && event->type() == QEvent::Resize && m_zoom == Zoom::Fit)
        render();
    return QDialog::eventFilter(watched, event);
}

void TForm_Preview::BitBtn_SavePdfClick()
{
    const QString proposed = m_showInvoice ? m_request.invoice->pdfPath : m_request.pdfPath;
    const QString path = vuzo::Dialogs().saveFileName(this, u"PDF保存"_s, proposed, u"PDF (*.pdf)"_s);
    if (path.isEmpty())
        return;
    // Never over a device, a FIFO or one of the program's own files.
    if (const QString refusal = vuzo::OutputFileRefusal(path, m_request.dataDir); !refusal.isEmpty()) {
        vuzo::Dialogs().notice(this, refusal);
        return;
    }
    if (m_showInvoice)
        WriteInvoicePdf(path, m_request.invoice->sheet, m_request.invoice->sheetMm);
    else
        WriteSlipPdf(path, m_request.inputs, m_request.sheetMm, m_request.title);
}
