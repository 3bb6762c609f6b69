#include "app/ImportRun.h"

#include "orders/OrderImport.h"
#include "platform/Errors.h"
#include "platform/ProgramFiles.h"
#include "print/PrintCommand.h"
#include "session/HistoryStore.h"
#include "session/OrderBatch.h"
#include "session/PostalAssist.h"
#include "session/SlipRecord.h"
#include "settings/ProfileFile.h"

#include <QDate>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

void printLine(std::FILE *stream, const QString &text)
{
    std::fprintf(stream, "%s\n", text.toUtf8().constData());
}

// The slips of an order file, or why there are none.
struct ImportedSlips
{
    QString refusal;
    session::BatchContext context;
    QList<session::BatchSlip> slips;
};

// Reads the file and makes its slips, with everything the window's batch
// consults; the file's row problems are told on standard error on the way.
ImportedSlips importSlips(const QString &dataDir, const QString &file)
{
    ImportedSlips out;
    const ProfileFile ini(dataDir + u'/' + session::SettingsFileName());
    session::BatchSettings settings = session::BatchContextOf(dataDir, QDate::currentDate());
    if (!settings.refusal.isEmpty()) {
        out.refusal = settings.refusal;
        return out;
    }
    out.context = settings.context;

    // The postal dictionary is waited for: a check must not depend on how
    // fast it loads.
    auto postal = std::make_shared<session::PostalAssist>(session::PostalAssist::DictionaryFolder(ini, dataDir));
    postal->dictionary().waitForLoaded();
    const transfer::PostalLookup *lookup = postal->lookup();

    orders::ReadOptions options;
    options.settings = &ini;
    options.import.postal = lookup;
    const orders::OrderFile orders = orders::ReadOrderFile(file, options);
    if (orders.needsMapping) {
        // The mapping is made once in the window; it is remembered for
        // files of this header, here too.
        out.refusal = u"注文ファイル "_s + file + u" の列の対応が決まっていません。"_s +
                      u"画面の「一括印刷」でこのファイルを開き、列の対応を一度指定してください。"_s;
        return out;
    }
    if (!orders.refusal.isEmpty()) {
        out.refusal = orders.refusal;
        return out;
    }
    for (const QString &problem : orders.problems)
        printLine(stderr, problem);

    // The history only when it exists: a check never makes one.
    const session::HistoryLocation where = session::ReadHistoryLocation(ini, dataDir);
    std::shared_ptr<session::HistoryStore> store;
    if (where.postgres || QFileInfo::exists(where.sqlitePath))
        store = std::make_shared<session::HistoryStore>(where, u"vuzo_import"_s);
    if (store)
        out.context.printedBefore = [store](const QString &id) { return store->hasOrder(id); };
    out.context.postal = lookup;
    out.slips = session::SlipsOfOrders(orders.orders, out.context);
    // Nothing the slips keep points into the dictionary or the store after
    // this: the checks are made.
    out.context.postal = nullptr;
    out.context.printedBefore = {};
    return out;
}

int run(const std::function<int()> &body)
{
    try {
        return body();
    } catch (const EVuzoError &e) {
        printLine(stderr, e.message());
        return 1;
    }
}

} // namespace

int RunImportCheck(const QString &dataDir, const QString &file)
{
    return run([&] {
        const ImportedSlips imported = importSlips(dataDir, file);
        if (!imported.refusal.isEmpty()) {
            printLine(stderr, imported.refusal);
            return 1;
        }
        bool clean = true;
        for (const session::BatchSlip &slip : imported.slips) {
            printLine(stdout, session::CheckLine(slip));
            clean = clean && slip.ready();
        }
        std::fflush(stdout);
        return clean ? 0 : 1;
    });
}

int RunImportPdf(const QString &dataDir, const QString &file, const QString &out)
{
    return run([&] {
        const ImportedSlips imported = importSlips(dataDir, file);
        if (!imported.refusal.isEmpty()) {
            printLine(stderr, imported.refusal);
            return 1;
        }
        QList<SlipInputs> pages;
        for (const session::BatchSlip &slip : imported.slips) {
            if (slip.ready())
                pages << session::BatchSlipInputs(slip, imported.context);
            else
                printLine(stderr,
                          u"注文 %1 は書き出しません: %2"_s.arg(slip.order.orderId, slip.problems.join(u"、"_s)));
        }
        if (pages.isEmpty()) {
            printLine(stderr, u"問題のない注文がないため、PDF を書き出しません。"_s);
            return 1;
        }
        // Never over a device, a FIFO or one of the program's own files.
        if (const QString refused = vuzo::OutputFileRefusal(out, dataDir); !refused.isEmpty()) {
            printLine(stderr, refused);
            return 1;
        }
        session::WriteBatchPdf(out, pages, imported.context.sheetMm,
                               PrintJobTitle(imported.context.base.paperIndex, QString()));
        return 0;
    });
}

int ImportMain(int argc, char *argv[], const QString &dataDir, const QString &file, const QString &out)
{
    // No display is needed or wanted; a GUI application object gives the
    // fonts the slips are measured and drawn in, and the database drivers.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return out.isEmpty() ? RunImportCheck(dataDir, file) : RunImportPdf(dataDir, file, out);
}
