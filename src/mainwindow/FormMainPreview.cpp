// The print preview (F9): the slip as F11 would print it now, after the same
// pre-print pass, at the registered printer's resolution and offsets.

#include "controls/DialogService.h"
#include "controls/TZuNumEdit.h"
#include "mainwindow/TForm_Main.h"
#include "platform/TextUtil.h"
#include "preview/TForm_Preview.h"
#include "print/PrintCommand.h"
#include "print/SlipLayout.h"
#include "printer/WbPrinters.h"
#include "settings/ProfileFile.h"

#include <QComboBox>
#include <QLabel>

using namespace Qt::StringLiterals;

void TForm_Main::SpeedButton_F9Click()
{
    if (!prePrintPass())
        return;
    // The resolution F11 would hand to the layout: the printer's dots per
    // inch at its scale. Without a usable printer the page is shown at
    // 600 dpi; F11 itself says why it cannot print.
    const WbSize dpi = m_selection.printerMissing() ? WbSize{session::kFallbackDpi, session::kFallbackDpi}
                                                    : session::CurrentEffectiveDpi();
    // An offset that is not a number stops here with the print's own message.
    PreviewRequest request;
    request.inputs = slipInputsAt(QString::number(dpi.cx), QString::number(dpi.cy));
    // The sheet of the feed's registered paper (PrnMedia), A4 when none.
    {
        ProfileFile ini(RegistrationPath());
        const session::FeedRegistration feed = session::FeedRegistration::Read(ini, ComboBox_SEL->currentText());
        // A registration the print would refuse (unreadable, an absurd paper
        // or resolution) is not shown either.
        if (const QString refusal = session::RegistrationRefusal(feed); !refusal.isEmpty()) {
            vuzo::Dialogs().notice(this, refusal);
            return;
        }
        request.sheetMm = feed.sheetMm();
    }
    // slip-<slip number>.pdf in the data folder; slip.pdf while the slip
    // has no number.
    const QString slipNo = vuzo::Trim(ZuNumEdit_Slipno->text());
    request.pdfPath = Label_CurrentDir->text() + (slipNo.isEmpty() ? u"/slip.pdf"_s : u"/slip-"_s + slipNo + u".pdf"_s);
    request.dataDir = Label_CurrentDir->text();
    request.title = PrintJobTitle(ListIndex(ComboBox_Paper), ZuNumEdit_Slipno->text());

    TForm_Preview preview(request, this);
    if (preview.exec() == TForm_Preview::PrintRequested)
        SpeedButton_F11Click();
}
