#pragma once
// The history's CSV export, shared by the window's 「CSV出力」 and the
// command line's --export-history: the slips of a period written durably to
// a file the operator named.

#include "session/HistoryStore.h"

#include <QDate>
#include <QString>

namespace history {

// Writes the slips printed from one day to another (both included) as CSV
// to path, replacing the file whole (never half written): the number of
// slips written. Throws EHistoryError with the operator's message when the
// period is turned round, the store fails, the path is a device, a FIFO or
// one of the program's own files of dataDir, or the file cannot be written.
int ExportHistoryCsv(const session::HistoryStore &store, const QDate &from, const QDate &to,
                     session::HistoryCsvEncoding encoding, const QString &path, const QString &dataDir);

// 「2026/04/01～2026/04/30 の伝票 12 件を /home/shop/uriage.csv に書き出しました。」
QString ExportedMessage(const QDate &from, const QDate &to, int count, const QString &path);

} // namespace history
