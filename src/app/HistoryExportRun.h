#pragma once
// `vuzo_vez_1 --export-history FROM TO FILE [--cp932]`: the slips printed
// from FROM to TO (YYYY-MM-DD, both included) written to FILE as CSV, without
// a window and without a display. The history is the one the window uses: the
// settings file of the data folder chooses it (the SQLite file there unless
// it names a PostgreSQL server). UTF-8 with a byte-order mark unless --cp932.

#include <QString>

// 0 when written (the result told on standard output); 1 with the message on
// standard error for a date that is not YYYY-MM-DD, FROM after TO, a history
// that cannot be opened or read, or a file that must not or cannot be
// written.
int RunHistoryExport(const QString &dataDir, const QString &from, const QString &to, const QString &file, bool cp932);

// The whole program for the request, after the command line has entered the
// data folder: an application object without a display, RunHistoryExport.
int HistoryExportMain(int argc, char *argv[], const QString &dataDir, const QString &from, const QString &to,
                      const QString &file, bool cp932);
