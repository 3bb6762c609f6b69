#include "history/HistoryExport.h"

#include "platform/ProgramFiles.h"
#include "settings/DurableFile.h"

using namespace Qt::StringLiterals;

namespace history {

int ExportHistoryCsv(const session::HistoryStore &store, const QDate &from, const QDate &to,
                     session::HistoryCsvEncoding encoding, const QString &path, const QString &dataDir)
{
    if (!from.isValid() || !to.isValid())
        throw session::EHistoryError(u"書き出す期間の日付が正しくありません。"_s);
    if (from > to)
        throw session::EHistoryError(u"書き出す期間の始めの日（%1）が終わりの日（%2）より後になっています。"_s.arg(
            from.toString(u"yyyy/MM/dd"_s), to.toString(u"yyyy/MM/dd"_s)));
    // Never over a device, a FIFO or one of the program's own files.
    if (const QString refused = vuzo::OutputFileRefusal(path, dataDir); !refused.isEmpty())
        throw session::EHistoryError(refused);
    const QList<session::HistorySlip> slips = store.slipsBetween(from, to);
    QString reason;
    if (!vuzo::durable::ReplaceFile(path, session::HistoryCsv(slips, encoding), reason))
        throw session::EHistoryError(u"CSVファイル %1 を書き込めません（%2）。"_s.arg(path, reason));
    return int(slips.size());
}

QString ExportedMessage(const QDate &from, const QDate &to, int count, const QString &path)
{
    return u"%1～%2 の伝票 %3 件を %4 に書き出しました。"_s.arg(
        from.toString(u"yyyy/MM/dd"_s), to.toString(u"yyyy/MM/dd"_s), QString::number(count), path);
}

} // namespace history
