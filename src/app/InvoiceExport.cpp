#include "app/InvoiceExport.h"

#include "platform/Errors.h"
#include "platform/ProgramFiles.h"
#include "printer/InvoicePage.h"
#include "session/FeedRegistration.h"
#include "session/InvoiceContent.h"
#include "session/SlipComputation.h"
#include "settings/ProfileFile.h"

#include <QGuiApplication>
#include <cstdio>

using namespace Qt::StringLiterals;

SavedInvoice ReadSavedInvoice(const QString &dir, const QDate &slipDate)
{
    SavedInvoice out;
    const ProfileFile ini(dir + u'/' + session::SettingsFileName());
    session::SlipRecord record = session::ReadSlipRecord(ini);
    record.slipDate = slipDate;
    const session::SlipFigures figures = session::PrintPass(record, session::RateOf(record).rate);
    out.notices = figures.notices;
    out.refusal = figures.refusal();
    out.sheet = session::InvoiceSheetOf(record, figures);
    const ProfileFile registrationFile(dir + u'/' + session::RegistrationFileName());
    const session::FeedRegistration registration =
        session::FeedRegistration::Read(registrationFile, session::InvoiceSection());
    out.sheetMm = InvoiceSheetMm(registration.media);
    // An unreadable registration file writes nothing, as for the slip.
    if (out.refusal.isEmpty() && !registration.unreadable.isEmpty())
        out.refusal = session::RegistrationRefusal(registration);
    return out;
}

int RunInvoicePdfExport(const QString &dataDir, const QString &file)
{
    const auto printError = [](const QString &text) { std::fprintf(stderr, "%s\n", text.toUtf8().constData()); };
    try {
        const SavedInvoice invoice = ReadSavedInvoice(dataDir, QDate::currentDate());
        for (const QString &notice : invoice.notices)
            printError(notice);
        if (!invoice.refusal.isEmpty()) {
            printError(invoice.refusal);
            return 1;
        }
        // Never over a device, a FIFO or one of the program's own files.
        if (const QString refusal = vuzo::OutputFileRefusal(file, dataDir); !refusal.isEmpty()) {
            printError(refusal);
            return 1;
        }
        WriteInvoicePdf(file, invoice.sheet, invoice.sheetMm);
    } catch (const EVuzoError &e) {
        printError(e.message());
        return 1;
    }
    return 0;
}

int InvoicePdfExportMain(int argc, char *argv[], const QString &dataDir, const QString &file)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return RunInvoicePdfExport(dataDir, file);
}
