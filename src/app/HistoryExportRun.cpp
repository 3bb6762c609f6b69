#include "app/HistoryExportRun.h"

#include "history/HistoryExport.h"
#include "session/HistoryStore.h"
#include "session/SlipRecord.h"
#include "settings/ProfileFile.h"

#include <QCoreApplication>
#include <QDate>
#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

void printLine(std::FILE *stream, const QString &text)
{
    std::fprintf(stream, "%s\n", text.toUtf8().constData());
}

// A day written YYYY-MM-DD, and nothing else.
std::optional<QDate> dayOf(const QString &text)
{
    const QDate day = QDate::fromString(text, u"yyyy-MM-dd"_s);
    if (!day.isValid() || day.toString(u"yyyy-MM-dd"_s) != text)
        return std::nullopt;
    return day;
}

} // namespace

int RunHistoryExport(const QString &dataDir, const QString &from, const QString &to, const QString &file, bool cp932)
{
    const std::optional<QDate> first = dayOf(from);
    const std::optional<QDate> last = dayOf(to);
    for (const auto &[text, day] : {std::pair{from, first}, std::pair{to, last}}) {
        if (!day) {
            printLine(stderr, u"日付「%1」は YYYY-MM-DD（例 2026-04-01）で指定してください。"_s.arg(text));
            return 1;
        }
    }
    try {
        const ProfileFile ini(dataDir + u'/' + session::SettingsFileName());
        if (const QString unreadable = ini.readRefusal(); !unreadable.isEmpty()) {
            printLine(stderr, u"設定ファイル "_s + ini.path() + u" を読めないため、書き出しません（"_s + unreadable +
                                  u"）。"_s);
            return 1;
        }
        const session::HistoryStore store(session::ReadHistoryLocation(ini, dataDir), u"vuzo_export_history"_s);
        const int count = history::ExportHistoryCsv(
            store, *first, *last, cp932 ? session::HistoryCsvEncoding::Cp932 : session::HistoryCsvEncoding::Utf8Bom,
            file, dataDir);
        printLine(stdout, history::ExportedMessage(*first, *last, count, file));
        return 0;
    } catch (const EVuzoError &e) {
        printLine(stderr, e.message());
        return 1;
    }
}

int HistoryExportMain(int argc, char *argv[], const QString &dataDir, const QString &from, const QString &to,
                      const QString &file, bool cp932)
{
    // The database drivers are plugins, found through the application
    // object; no display is needed or wanted.
    QCoreApplication app(argc, argv);
    return RunHistoryExport(dataDir, from, to, file, cp932);
}
