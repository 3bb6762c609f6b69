#pragma once
// `vuzo_vez_1 --invoice-pdf FILE`: the delivery note and invoice of the slip
// the settings files hold, written as a PDF without a window, as --pdf writes
// the slip: the same saved record, today's date, the same pass before
// printing and the same exit codes. The sheet is A5 when the invoice's
// registration names A5 paper, else A4.

#include "print/InvoiceSheet.h"

#include <QDate>
#include <QSizeF>
#include <QString>
#include <QStringList>

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
