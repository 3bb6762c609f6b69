#include "preview/TForm_Preview.h"

#include "controls/DialogService.h"
#include "controls/Guard.h"
#include "platform/ProgramFiles.h"
#include "printer/SlipPage.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
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

    ScrollBox_Page->viewport()->installEventFilter(this);
    connect(SpeedButton_ZoomFit, &QToolButton::clicked, this, [this] { setZoom(Zoom::Fit); });
    connect(SpeedButton_Zoom100, &QToolButton::clicked, this, [this] { setZoom(Zoom::Actual); });
    connect(SpeedButton_Zoom200, &QToolButton::clicked, this, [this] { setZoom(Zoom::Double); });
    connect(BitBtn_Print, &QPushButton::clicked, this, [this] { done(PrintRequested); });
    connect(BitBtn_SavePdf, &QPushButton::clicked, this, vuzo::Guarded(this, &TForm_Preview::BitBtn_SavePdfClick));
    connect(BitBtn_Close, &QPushButton::clicked, this, [this] { done(Closed); });
    render();
}

double TForm_Preview::scaleFor(Zoom zoom) const
{
    const int dpi = qMax(1, m_request.inputs.geometry.dpiY);
    // 100 % is the paper's real size on this screen.
    const double actual = double(logicalDpiY()) / dpi;
    switch (zoom) {
    case Zoom::Actual: return actual;
    case Zoom::Double: return 2 * actual;
    case Zoom::Fit: break;
    }
    const QSize room = ScrollBox_Page->viewport()->size() - QSize(8, 8);
    const double pageW = m_request.sheetMm.width() / 25.4 * dpi;
    const double pageH = m_request.sheetMm.height() / 25.4 * dpi;
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
    m_page = RenderSlipPage(m_request.inputs, m_request.sheetMm, scale, true);
    // The paper's edge.
    QPainter edge(&m_page);
    edge.setPen(QColor(0x60, 0x60, 0x60));
    edge.drawRect(m_page.rect().adjusted(0, 0, -1, -1));
    edge.end();
    Image_Page->setPixmap(QPixmap::fromImage(m_page));
    Image_Page->resize(m_page.size());
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
    const QString path = vuzo::Dialogs().saveFileName(this, u"PDF保存"_s, m_request.pdfPath, u"PDF (*.pdf)"_s);
    if (path.isEmpty())
        return;
    // Never over a device, a FIFO or one of the program's own files.
    if (const QString refusal = vuzo::OutputFileRefusal(path, m_request.dataDir); !refusal.isEmpty()) {
        vuzo::Dialogs().notice(this, refusal);
        return;
    }
    WriteSlipPdf(path, m_request.inputs, m_request.sheetMm, m_request.title);
}
