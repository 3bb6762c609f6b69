#pragma once
// The invoice sheet of a slip record: the texts the delivery note and invoice
// shows, made from the record and its figures after the pass before printing.

#include "print/InvoiceSheet.h"
#include "session/SlipComputation.h"
#include "session/SlipRecord.h"

namespace session {

// The registration section of the invoice's printer in vuzo_a500.ini.
QString InvoiceSection();

// The sheet's number line: 「伝票番号　12」 (1 while the slip has no number).
QString InvoiceNumberText(const QString &slipNo);

InvoiceSheet InvoiceSheetOf(const SlipRecord &record, const SlipFigures &figures);

} // namespace session
