// The print preview (F9): the slip as F11 would print it now, after the same
// pre-print pass, at the registered printer's resolution and offsets.

#include "controls/DialogService.h"
#include "controls/TZuNumEdit.h"
#include "mainwindow/TForm_Main.h"
#include "platform/TextUtil.h"
#include "preview/TForm_Preview.h"
#include "print/PrintCommand.h"
#include "print/SlipLayout.h"
#include "printer/InvoicePage.h"
#include "printer/WbPrinters.h"
#include "settings/ProfileFile.h"

#include <QComboBox>
#include <QLabel>

using namespace Qt::StringLiterals;

void TForm_Main::SpeedButton_F9Click()
{
    if (!prePrintPass())
        return;
    // The slip at the resolution F11 would hand to the layout, on the paper
    // F11 would print on; an offset that is not a number stops here with the
    // print's own message.
    PreviewRequest request;
    // A registration the print would refuse (unreadable, an absurd paper or
    // resolution) is not shown either.
    {
        ProfileFile ini(RegistrationPath());
        const session::FeedRegistration feed = session::FeedRegistration::Read(ini, ComboBox_SEL->currentText());
        if (const QString refusal = session::RegistrationRefusal(feed); !refusal.isEmpty()) {
            vuzo::Dialogs().notice(this, refusal);
            return;
        }
    }
    request.inputs = slipInputsForPrint();
    const PrintedSheet sheet = sheetForPrint();
    request.sheetMm = sheet.sheetMm;
    request.printableMm = sheet.printableMm;
    request.warning = SlipFitWarning(request.inputs, sheet);
    // slip-<slip number>.pdf in the data folder; slip.pdf while the slip
    // has no number.
    const QString slipNo = vuzo::Trim(ZuNumEdit_Slipno->text());
    request.pdfPath = Label_CurrentDir->text() + (slipNo.isEmpty() ? u"/slip.pdf"_s : u"/slip-"_s + slipNo + u".pdf"_s);
    request.dataDir = Label_CurrentDir->text();
    request.title = PrintJobTitle(ListIndex(ComboBox_Paper), ZuNumEdit_Slipno->text());

    // The delivery note and invoice of the same figures, one button away.
    request.invoice = InvoicePreview{invoiceSheet(), InvoiceSheetMm(invoiceRegistration().media),
                                     Label_CurrentDir->text() +
                                         (slipNo.isEmpty() ? u"/invoice.pdf"_s : u"/invoice-"_s + slipNo + u".pdf"_s)};

    TForm_Preview preview(request, this);
    switch (preview.exec()) {
    case TForm_Preview::PrintRequested: SpeedButton_F11Click(); break;
    case TForm_Preview::InvoicePrintRequested: SpeedButton_F10Click(); break;
    default: break;
    }
}
