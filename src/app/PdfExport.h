#pragma once
// `vuzo_vez_1 --pdf FILE`: writes the slip that the settings files of the
// data folder hold as a PDF, without a window and without a display. The
// command line (CommandLine.h) reads the option, names the data folder as
// for the window, and makes FILE absolute against the start folder.
//
// The slip is the one the window would print right after start-up: the saved
// delivery address and sales lines, the rates and enforcement date of the
// settings, today's date, the registered feed's offsets, its resolution
// (PrnResolution, 600 dpi when none) and paper (PrnMedia, A4 when none), all
// passed through the pre-print line pass and the totals pass. Nothing is
// written to the settings files and the single-instance guard is not taken,
// so a running window is not disturbed.

#include "print/InvoiceSheet.h"
#include "print/SlipLayout.h"

#include <QDate>
#include <QSizeF>
#include <QString>
#include <QStringList>

// The slip of the settings files.
struct SavedSlip
{
    SlipInputs inputs;
    QSizeF sheetMm;
    QString title;
    // What the pre-print pass tells before printing (a price without quantity).
    QStringList notices;
    // Why the slip must not be printed (figures that do not fit), in the words
    // of the print command; empty when it can be printed.
    QString refusal;
};

// Reads the slip from vuzo_Vez_1.ini and vuzo_a500.ini in dir, dated slipDate.
// An offset that is not a whole number raises EConvertError with the print
// command's message.
SavedSlip ReadSavedSlip(const QString &dir, const QDate &slipDate);

// Writes the slip of dataDir to file: 0 when written; 1 with the message on
// standard error when the slip would not print (a settings or registration
// file that cannot be read, a registered resolution or paper out of bounds,
// figures that do not fit), when file is no new file nor an ordinary regular
// one (a device, a FIFO, one of the program's own files) or when it cannot be
// written.
int RunPdfExport(const QString &dataDir, const QString &file);

// The whole program for a PDF request, after the command line has entered
// the data folder: the offscreen platform, a GUI application object (fonts),
// RunPdfExport.
int PdfExportMain(int argc, char *argv[], const QString &dataDir, const QString &file);

// `vuzo_vez_1 --invoice-pdf FILE`: the delivery note and invoice of the same
// saved slip, with the same pass, refusals and exit codes. The sheet is A5
// when the invoice's registration names A5 paper, else A4.
struct SavedInvoice
{
    InvoiceSheet sheet;
    QSizeF sheetMm;
    QStringList notices;
    QString refusal;
};
SavedInvoice ReadSavedInvoice(const QString &dir, const QDate &slipDate);
int RunInvoicePdfExport(const QString &dataDir, const QString &file);
int InvoicePdfExportMain(int argc, char *argv[], const QString &dataDir, const QString &file);
