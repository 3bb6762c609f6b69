#include "app/PdfExport.h"

#include "platform/Errors.h"
#include "platform/ProgramFiles.h"
#include "print/PrintCommand.h"
#include "printer/InvoicePage.h"
#include "printer/SlipPage.h"
#include "session/FeedRegistration.h"
#include "session/InvoiceContent.h"
#include "session/SlipComputation.h"
#include "settings/ProfileFile.h"

#include <QGuiApplication>
#include <cstdio>
#include <functional>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

void printError(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

// The record as start-up fills the window, on the day asked for, through the
// pass before printing; and why the settings file, when it exists, could not
// be read (its record is then one of defaults, not the saved one).
struct SavedRecord
{
    session::SlipRecord record;
    session::SlipFigures figures;
    QString settingsRefusal;
};

SavedRecord readSavedRecord(const QString &dir, const QDate &slipDate)
{
    SavedRecord out;
    const ProfileFile ini(dir + u'/' + session::SettingsFileName());
    out.record = session::ReadSlipRecord(ini);
    out.record.slipDate = slipDate;
    out.figures = session::PrintPass(out.record, session::RateOf(out.record).rate);
    if (const QString unreadable = ini.readRefusal(); !unreadable.isEmpty())
        out.settingsRefusal =
            u"設定ファイル "_s + ini.path() + u" を読めないため、書き出しません（"_s + unreadable + u"）。"_s;
    return out;
}

// Tells the notices, then writes the page unless it is refused or the file
// may not be written: 0 when written, 1 with the message on standard error.
int runExport(const QStringList &notices, const QString &refusal, const QString &dataDir, const QString &file,
              const std::function<void()> &write)
{
    for (const QString &notice : notices)
        printError(notice);
    if (!refusal.isEmpty()) {
        printError(refusal);
        return 1;
    }
    // Never over a device, a FIFO or one of the program's own files.
    if (const QString refused = vuzo::OutputFileRefusal(file, dataDir); !refused.isEmpty()) {
        printError(refused);
        return 1;
    }
    write();
    return 0;
}

// The whole program for a PDF request: no display is needed or wanted, the
// page is drawn offscreen; a GUI application object gives the fonts.
int exportMain(int argc, char *argv[], const std::function<int()> &run)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return run();
}

} // namespace

SavedSlip ReadSavedSlip(const QString &dir, const QDate &slipDate)
{
    SavedSlip out;
    const SavedRecord saved = readSavedRecord(dir, slipDate);
    const session::SlipRecord &record = saved.record;
    const session::SlipFigures &figures = saved.figures;
    out.notices = figures.notices;
    out.refusal = figures.refusal();

    // The registration of the stored paper feed, at its registered
    // resolution (600 dpi when none is).
    const ProfileFile registrationFile(dir + u'/' + session::RegistrationFileName());
    const session::FeedRegistration registration =
        session::FeedRegistration::Read(registrationFile, session::FeedSection(record.feedIndex));
    const WbSize dpi =
        registration.registeredResolution().value_or(WbSize{session::kFallbackDpi, session::kFallbackDpi});
    const PrintGeometry geometry =
        ParsePrintGeometry(QString::number(dpi.cx), QString::number(dpi.cy), registration.top, registration.left);
    out.inputs = session::SlipInputsOf(record, figures, geometry);
    out.sheetMm = registration.sheetMm();
    out.title = PrintJobTitle(record.paperIndex, record.slipNo);
    // A settings file that could not be read gives a slip of defaults, not
    // the saved one; a registration that could not be read, or one of an
    // absurd resolution or paper, no page worth writing.
    if (!saved.settingsRefusal.isEmpty())
        out.refusal = saved.settingsRefusal;
    else if (const QString refused = session::RegistrationRefusal(registration); !refused.isEmpty())
        out.refusal = refused;
    return out;
}

SavedInvoice ReadSavedInvoice(const QString &dir, const QDate &slipDate)
{
    SavedInvoice out;
    const SavedRecord saved = readSavedRecord(dir, slipDate);
    out.notices = saved.figures.notices;
    out.refusal = saved.figures.refusal();
    out.sheet = session::InvoiceSheetOf(saved.record, saved.figures);
    const ProfileFile registrationFile(dir + u'/' + session::RegistrationFileName());
    const session::FeedRegistration registration =
        session::FeedRegistration::Read(registrationFile, session::InvoiceSection());
    out.sheetMm = InvoiceSheetMm(registration.media);
    // Neither file may be unreadable, as for the slip.
    if (!saved.settingsRefusal.isEmpty())
        out.refusal = saved.settingsRefusal;
    else if (out.refusal.isEmpty() && !registration.unreadable.isEmpty())
        out.refusal = session::RegistrationRefusal(registration);
    return out;
}

int RunPdfExport(const QString &dataDir, const QString &file)
{
    try {
        const SavedSlip slip = ReadSavedSlip(dataDir, QDate::currentDate());
        return runExport(slip.notices, slip.refusal, dataDir, file,
                         [&] { WriteSlipPdf(file, slip.inputs, slip.sheetMm, slip.title); });
    } catch (const EVuzoError &e) {
        printError(e.message());
        return 1;
    }
}

int RunInvoicePdfExport(const QString &dataDir, const QString &file)
{
    try {
        const SavedInvoice invoice = ReadSavedInvoice(dataDir, QDate::currentDate());
        return runExport(invoice.notices, invoice.refusal, dataDir, file,
                         [&] { WriteInvoicePdf(file, invoice.sheet, invoice.sheetMm); });
    } catch (const EVuzoError &e) {
        printError(e.message());
        return 1;
    }
}

int PdfExportMain(int argc, char *argv[], const QString &dataDir, const QString &file)
{
    return exportMain(argc, argv, [&] { return RunPdfExport(dataDir, file); });
}

int InvoicePdfExportMain(int argc, char *argv[], const QString &dataDir, const QString &file)
{
    return exportMain(argc, argv, [&] { return RunInvoicePdfExport(dataDir, file); });
}
