#pragma once
// `vuzo_vez_1 --import FILE --check` and `vuzo_vez_1 --import FILE --pdf OUT`:
// a shop's order file read, one slip made of each order and checked, without
// a window and without a display.
//
// The slips are those a batch of the window makes: the settings file's
// sender, rates and price kind, its remembered column mappings, the feed's
// registration, the postal dictionary the settings name (its load waited
// for) and the slip history, when one exists, for the orders printed before
// (no history is made to check).

#include <QString>

// Writes one tab-separated line per order on standard output (session::
// CheckLine): 0 when no order has a problem, 1 when one has; 1 with the
// message on standard error when the file is refused, needs a column
// mapping, or the settings or the history cannot be read.
int RunImportCheck(const QString &dataDir, const QString &file);

// Writes the slips of the orders without a problem to out as one PDF of one
// page each, the orders left out named on standard error: 0 when written; 1
// when no order is ready, the file is refused, or out must not or cannot be
// written.
int RunImportPdf(const QString &dataDir, const QString &file, const QString &out);

// The whole program for either request (out empty for --check), after the
// command line has entered the data folder: the offscreen platform and a GUI
// application object, for the fonts the slips are measured and drawn in.
int ImportMain(int argc, char *argv[], const QString &dataDir, const QString &file, const QString &out);
