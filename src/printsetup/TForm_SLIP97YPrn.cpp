#include "printsetup/TForm_SLIP97YPrn.h"

#include "controls/BusyCursor.h"
#include "controls/DialogService.h"
#include "controls/Guard.h"
#include "controls/TZuNumEdit.h"
#include "platform/Errors.h"
#include "print/PrintCommand.h"
#include "print/SlipForm.h"
#include "printer/SlipPage.h"
#include "printer/WbPrinters.h"
#include "printsetup/PrintPositionHost.h"
#include "session/FeedRegistration.h"
#include "settings/ProfileFile.h"
#include "settings/ValueLimits.h"

#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

using namespace Qt::StringLiterals;

TForm_SLIP97YPrn::TForm_SLIP97YPrn(PrintPositionHost *host, QWidget *parent) : QDialog(parent), m_host(host)
{
    setupUi(this, host->hostWindow()->font());
    // Enter and the arrow keys of the offset fields pass through their key-down
    // handlers first.
    ZuNumEdit_TOP->installEventFilter(this);
    ZuNumEdit_LEFT->installEventFilter(this);
    // Enter on the register button presses it, as Space does.
    BitBtn_MRGN->installEventFilter(this);
    connect(BitBtn_MRGN, &QPushButton::clicked, this, vuzo::Guarded(this, &TForm_SLIP97YPrn::BitBtn_MRGNClick));
    connect(BitBtn_Align, &QPushButton::clicked, this, vuzo::Guarded(this, &TForm_SLIP97YPrn::BitBtn_AlignClick));
    ZuNumEdit_TOPmm->installEventFilter(this);
    ZuNumEdit_LEFTmm->installEventFilter(this);
    // Offsets run down the page with the vertical resolution and across it
    // with the horizontal one.
    connect(ZuNumEdit_TOP, &TZuNumEdit::changed, this,
            [this] { ZuNumEdit_PixelsChange(ZuNumEdit_TOP, ZuNumEdit_TOPmm, m_dpiY); });
    connect(ZuNumEdit_LEFT, &TZuNumEdit::changed, this,
            [this] { ZuNumEdit_PixelsChange(ZuNumEdit_LEFT, ZuNumEdit_LEFTmm, m_dpiX); });
    connect(ZuNumEdit_TOPmm, &TZuNumEdit::changed, this,
            [this] { ZuNumEdit_MmChange(ZuNumEdit_TOPmm, ZuNumEdit_TOP, m_dpiY); });
    connect(ZuNumEdit_LEFTmm, &TZuNumEdit::changed, this,
            [this] { ZuNumEdit_MmChange(ZuNumEdit_LEFTmm, ZuNumEdit_LEFT, m_dpiX); });
}

void TForm_SLIP97YPrn::ZuNumEdit_PixelsChange(TZuNumEdit *pixels, TZuNumEdit *mm, int dpi)
{
    const std::optional<int> value = limits::TypedOffset(pixels->text());
    mm->setText(value && !pixels->text().isEmpty() ? TenthMmText(PixelsToTenthMm(*value, dpi)) : QString());
}

void TForm_SLIP97YPrn::ZuNumEdit_MmChange(TZuNumEdit *mm, TZuNumEdit *pixels, int dpi)
{
    const std::optional<int> tenths = ParseTenthMm(mm->text());
    pixels->setText(tenths ? QString::number(TenthMmToPixels(*tenths, dpi)) : QString());
}

void TForm_SLIP97YPrn::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    vuzo::Guard(this, [this] { FormShow(); });
}

void TForm_SLIP97YPrn::FormShow()
{
    // The window's outer size, frame and title bar included, shows the margin
    // group and the button.
    const QSize outer(300, 190);
    setFixedSize(outer - (frameGeometry().size() - geometry().size()));
    move(m_host->hostWindow()->frameGeometry().center() - QPoint(outer.width() / 2, outer.height() / 2));
    // The resolution the print command would hand to the layout now.
    // Without a printer to ask, the millimetres are those of 600 dpi.
    const WbSize dpi = session::CurrentEffectiveDpi();
    m_dpiX = dpi.cx;
    m_dpiY = dpi.cy;
    Label_Dpi->setText(m_dpiX == m_dpiY ? u"mm は %1 dpi で換算"_s.arg(m_dpiX)
                                        : u"mm は %1 x %2 dpi で換算"_s.arg(m_dpiX).arg(m_dpiY));
    ZuNumEdit_TOP->setText(m_host->printTopText());
    ZuNumEdit_LEFT->setText(m_host->printLeftText());
    ZuNumEdit_PixelsChange(ZuNumEdit_TOP, ZuNumEdit_TOPmm, m_dpiY);
    ZuNumEdit_PixelsChange(ZuNumEdit_LEFT, ZuNumEdit_LEFTmm, m_dpiX);
    ZuNumEdit_TOP->setFocus(Qt::OtherFocusReason);
}

void TForm_SLIP97YPrn::ZuNumEdit_TOPKeyDown(int &key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        focusNextChild();
        key = 0;
    }
}

void TForm_SLIP97YPrn::ZuNumEdit_LEFTKeyDown(int &key)
{
    if (key == Qt::Key_Up) {
        focusPreviousChild();
        key = 0;
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        focusNextChild();
        key = 0;
    }
}

bool TForm_SLIP97YPrn::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched == BitBtn_MRGN) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            BitBtn_MRGN->click();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && (watched == ZuNumEdit_TOPmm || watched == ZuNumEdit_LEFTmm)) {
        // The millimetre fields walk as the pixel fields do: Enter on, Up back
        // from the second.
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
        if (key == Qt::Key_Up && watched == ZuNumEdit_LEFTmm) {
            focusPreviousChild();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && (watched == ZuNumEdit_TOP || watched == ZuNumEdit_LEFT)) {
        int key = static_cast<QKeyEvent *>(event)->key();
        vuzo::Guard(this, [&] {
            if (watched == ZuNumEdit_TOP)
                ZuNumEdit_TOPKeyDown(key);
            else
                ZuNumEdit_LEFTKeyDown(key);
        });
        return key == 0;
    }
    return QDialog::eventFilter(watched, event);
}

std::optional<std::pair<int, int>> TForm_SLIP97YPrn::typedOffsets()
{
    // An offset beyond what any form needs, or a lone minus sign, would make
    // every later print fail or land off the page: it is refused here.
    for (TZuNumEdit *field : {ZuNumEdit_TOP, ZuNumEdit_LEFT}) {
        if (!limits::TypedOffset(field->text())) {
            vuzo::Dialogs().notice(this, limits::OffsetRangeMessage(field->accessibleName()));
            field->setFocus(Qt::OtherFocusReason);
            return std::nullopt;
        }
    }
    return std::pair{*limits::TypedOffset(ZuNumEdit_TOP->text()), *limits::TypedOffset(ZuNumEdit_LEFT->text())};
}

void TForm_SLIP97YPrn::BitBtn_MRGNClick()
{
    const QString section = m_host->paperFeedSection();
    if (!typedOffsets())
        return;
    if (!vuzo::Dialogs().confirm(this, u"印字位置調整の余白を登録しますか?"_s))
        return;
    {
        session::FeedRegistration registration;
        registration.printerName = m_host->printerName();
        registration.printerIndex = m_host->printerIndexText();
        registration.top = ZuNumEdit_TOP->text();
        registration.left = ZuNumEdit_LEFT->text();
        ProfileFile ini(QDir::currentPath() + u'/' + session::RegistrationFileName());
        ProfileFile::Batch batch(ini);
        registration.write(ini, section, session::FeedRegistration::Part::Position);
        batch.commit();
    }
    m_host->setPrintOffsets(ZuNumEdit_TOP->text(), ZuNumEdit_LEFT->text());
    accept();
}

void TForm_SLIP97YPrn::BitBtn_AlignClick()
{
    const std::optional<std::pair<int, int>> offsets = typedOffsets();
    if (!offsets)
        return;
    // Nothing is printed on another printer than the registered one, nor
    // sent to a queue that would not print it.
    if (const QString refusal = m_host->printRefusal(); !refusal.isEmpty()) {
        vuzo::Dialogs().notice(this, refusal);
        return;
    }
    if (!vuzo::Dialogs().confirm(this, u"位置合わせ用紙を印刷しますか?"_s))
        return;

    const vuzo::BusyCursor busy;
    TWbPrinter &printer = WbPrinter();
    // The resolution and the printable area as the print command sees them.
    const WbSize dpi = printer.DPI();
    const int scale = printer.Scale();
    PrintGeometry geometry;
    geometry.dpiX = EffectiveResolution(dpi.cx, scale);
    geometry.dpiY = EffectiveResolution(dpi.cy, scale);
    geometry.top = offsets->first;
    geometry.left = offsets->second;
    const WbSize extent = printer.PageExtent();
    const QSizeF area(dpi.cx > 0 ? double(extent.cx) * geometry.dpiX / dpi.cx : extent.cx,
                      dpi.cy > 0 ? double(extent.cy) * geometry.dpiY / dpi.cy : extent.cy);

    printer.PrintDocument(AlignmentJobTitle(), [&] { DrawAlignmentSheet(*printer.Canvas(), geometry, area); });
    m_host->followPrintedJob();
}
