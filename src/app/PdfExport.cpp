#include "app/PdfExport.h"

#include "platform/Errors.h"
#include "platform/ProgramFiles.h"
#include "print/PrintCommand.h"
#include "printer/SlipPage.h"
#include "session/FeedRegistration.h"
#include "session/SlipComputation.h"
#include "settings/ProfileFile.h"

#include <QGuiApplication>
#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

void printError(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

} // namespace

SavedSlip ReadSavedSlip(const QString &dir, const QDate &slipDate)
{
    SavedSlip out;
    const ProfileFile ini(dir + u'/' + session::SettingsFileName());

    // The slip as start-up fills the window, on the day asked for, through
    // the pass before printing.
    session::SlipRecord record = session::ReadSlipRecord(ini);
    record.slipDate = slipDate;
    const session::SlipFigures figures = session::PrintPass(record, session::RateOf(record).rate);
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
    if (const QString unreadable = ini.readRefusal(); !unreadable.isEmpty())
        out.refusal = u"設定ファイル "_s + ini.path() + u" を読めないため、書き出しません（"_s + unreadable + u"）。"_s;
    else if (const QString refused = session::RegistrationRefusal(registration); !refused.isEmpty())
        out.refusal = refused;
    return out;
}

int RunPdfExport(const QString &dataDir, const QString &file)
{
    try {
        const SavedSlip slip = ReadSavedSlip(dataDir, QDate::currentDate());
        for (const QString &notice : slip.notices)
            printError(notice);
        if (!slip.refusal.isEmpty()) {
            printError(slip.refusal);
            return 1;
        }
        // Never over a device, a FIFO or one of the program's own files.
        if (const QString refusal = vuzo::OutputFileRefusal(file, dataDir); !refusal.isEmpty()) {
            printError(refusal);
            return 1;
        }
        WriteSlipPdf(file, slip.inputs, slip.sheetMm, slip.title);
    } catch (const EVuzoError &e) {
        printError(e.message());
        return 1;
    }
    return 0;
}

int PdfExportMain(int argc, char *argv[], const QString &dataDir, const QString &file)
{
    // No display is needed or wanted: the page is drawn offscreen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return RunPdfExport(dataDir, file);
}
