// The slip history's store on a real SQLite file and on the PostgreSQL test
// server (scripts/pg-test-env), the same cases on both engines.

#include "platform/Cp932.h"
#include "print/RecordingCanvas.h"
#include "session/HistoryStore.h"
#include "session/SlipComputation.h"
#include "settings/ProfileFile.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using session::HistoryJob;
using session::HistoryLocation;
using session::HistorySlip;
using session::HistoryStore;

namespace {

// A statement on a connection of its own: the first column of its first
// row, or the error's text.
QVariant Query(const HistoryLocation &where, const QString &sql)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(where.postgres ? u"QPSQL"_s : u"QSQLITE"_s, u"raw"_s);
        db.setDatabaseName(where.postgres ? where.database : where.sqlitePath);
        db.setHostName(where.host);
        db.setPort(where.port);
        db.setUserName(where.user);
        QSqlQuery q(db);
        value = db.open() && q.exec(sql) ? (q.next() ? q.value(0) : QVariant(u""_s))
                                         : QVariant(u"error: "_s + db.lastError().text() + q.lastError().text());
    }
    QSqlDatabase::removeDatabase(u"raw"_s);
    return value;
}

// The store's own connection.
QVariant OnStore(const QString &sql)
{
    QSqlQuery q(QSqlDatabase::database(u"a"_s));
    return q.exec(sql) && q.next() ? q.value(0) : QVariant(q.lastError().text());
}

HistoryLocation Admin()
{
    return {true,
            {},
            qEnvironmentVariable("VUZO_PG_HOST"),
            qEnvironmentVariable("VUZO_PG_PORT").toInt(),
            u"postgres"_s,
            qEnvironmentVariable("VUZO_PG_USER"),
            {}};
}

// A fresh database of one engine, removed afterwards.
struct TestDb
{
    QTemporaryDir dir;
    HistoryLocation where;
    bool skip = false;
    QString error;

    explicit TestDb(const QString &engine)
    {
        where.sqlitePath = dir.filePath(u"h/vuzo_history.sqlite3"_s);
        if (engine == u"sqlite"_s)
            return;
        if (qEnvironmentVariable("VUZO_PG_HOST").isEmpty()) {
            skip = qEnvironmentVariable("VUZO_REQUIRE_PG") != u"1"_s;
            error = u"VUZO_PG_HOST is not set"_s;
            return;
        }
        static int serial = 0;
        where = Admin();
        where.database = u"vuzo_t%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(++serial);
        error = Query(Admin(), u"CREATE DATABASE "_s + where.database).toString();
    }
    ~TestDb()
    {
        if (where.postgres)
            Query(Admin(), u"DROP DATABASE IF EXISTS "_s + where.database + u" WITH (FORCE)"_s);
    }
};

#define OPEN_TEST_DB(var)                                                                                              \
    QFETCH(QString, engine);                                                                                           \
    TestDb var(engine);                                                                                                \
    if (var.skip)                                                                                                      \
        QSKIP("no PostgreSQL test server (scripts/pg-test-env)");                                                      \
    QVERIFY2(var.error.isEmpty(), qPrintable(var.error))

void AddEngines()
{
    QTest::addColumn<QString>("engine");
    QTest::newRow("sqlite") << u"sqlite"_s;
    QTest::newRow("postgres") << u"postgres"_s;
}

HistorySlip Slip(const QString &name, const QString &tel = {}, const QString &zip = {})
{
    HistorySlip s;
    session::SlipRecord &r = s.record;
    r = session::DefaultSlipRecord();
    r.custo1 = name;
    r.tel = tel;
    r.zip = zip;
    r.add1 = u"京都府京都市中京区"_s;
    r.add2 = u"道場町１２－３"_s;
    r.add3 = u"コーポ若葉２０１"_s;
    r.myName = u"山野草園"_s;
    r.myAdd1 = u"東京都千代田区千代田９９"_s;
    r.remarks[3] = u"冷蔵"_s;
    r.lines[0] = {{}, u"苔玉　小"_s, u"2"_s, u"個"_s, u"1,500"_s, u"3,000"_s, 0};
    r.lines[2] = {{}, u"ほうじ茶"_s, u"1"_s, u"袋"_s, u"800"_s, u"800"_s, 1};
    r.slipDate = QDate(2026, 12, 10);
    r.invoiceRegNo = u"T1234567890123"_s;
    r.feedIndex = 2;
    r.paperIndex = 1;
    s.totalText = u"4,164"_s;
    s.amount = 3800;
    s.tax = 364;
    s.total = 4164;
    s.rates = {{u"10"_s, false, 3000, 300}, {u"8"_s, true, 800, 64}};
    return s;
}

HistorySlip Store(HistoryStore &store, HistorySlip slip)
{
    HistoryJob job;
    job.printer = u"office-a"_s;
    job.feed = u"手差し"_s;
    return store.record(std::move(slip), job);
}

QStringList Drawn(const HistorySlip &slip)
{
    RecordingCanvas canvas;
    SLIP97_Prn(canvas, session::SlipInputsOf(slip.record, slip.totalText, PrintGeometry{600, 600, 10, 20}));
    return canvas.transcript();
}

// Every value of a record and of an invoice sheet, to compare them whole.
QStringList Fields(const session::SlipRecord &r, const std::optional<InvoiceSheet> &v)
{
    QStringList f{r.zip,
                  r.add1,
                  r.add2,
                  r.add3,
                  r.custo1,
                  r.tel,
                  r.myName,
                  r.myZip,
                  r.myAdd1,
                  r.myAdd2,
                  r.myTel,
                  r.taxOld,
                  r.taxNew,
                  r.taxReduced,
                  r.invoiceRegNo,
                  r.rounding,
                  r.slipNo,
                  r.fontName,
                  r.kosuu,
                  r.taxEnforDate.toString(),
                  r.taxReducedDate.toString(),
                  r.slipDate.toString()};
    for (const int n :
         {int(r.pricesIncludeTax), int(r.invoiceWithSlip), r.feedIndex, r.paperIndex, r.senderTab, r.addressFont,
          r.senderFont, r.fontSize, r.imeItemNo, r.imeItem, r.imeUnit, int(r.newPage), r.transferMode})
        f << QString::number(n);
    for (const session::SlipLine &l : r.lines)
        f << l.itemNo << l.item << l.qty << l.unit << l.price << l.sales << QString::number(l.taxClass);
    f << QStringList(r.extraLines.begin(), r.extraLines.end()) << QStringList(r.remarks.begin(), r.remarks.end())
      << QStringList(r.documentHead.begin(), r.documentHead.end());
    if (v) {
        f << v->title << v->dateText << v->numberText << v->recipientName << v->recipientAddress << v->issuer
          << v->rateLines << v->subtotalText << v->taxText << v->totalText << v->reducedNote << v->paymentText
          << QString::number(v->qualified);
        for (const InvoiceLine &l : v->lines)
            f << l.item << l.qty << l.unit << l.price << l.amount;
    }
    return f;
}

QStringList WriterArgs(const HistoryLocation &where, int count)
{
    if (where.postgres)
        return {QString::number(count),      u"postgres"_s, where.host,
                QString::number(where.port), where.user,    where.database};
    return {QString::number(count), u"sqlite"_s, where.sqlitePath};
}

const QString kWriter = u"/history_writer"_s;

} // namespace

class TestHistoryStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The settings file's section chooses PostgreSQL; anything else, or no
    // section, is the SQLite file in the data folder. A password written
    // there is never taken.
    void theSettingsFileChoosesTheDatabase_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no section") << QString() << u"sqlite <dir>/vuzo_history.sqlite3"_s;
        QTest::newRow("another driver") << u"Driver=QMYSQL\nHost=db1"_s << u"sqlite <dir>/vuzo_history.sqlite3"_s;
        QTest::newRow("PostgreSQL")
            << u"Driver=qpsql\nHost=db1.shop.lan\nPort=5433\nDatabase=vuzo\nUser=shop\nPassword=x"_s
            << u"pg db1.shop.lan 5433 vuzo shop "_s;
        QTest::newRow("a service") << u"Driver=QPSQL\nService=office"_s << u"pg  0   office"_s;
    }
    void theSettingsFileChoosesTheDatabase()
    {
        QFETCH(QString, section);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"vuzo_Vez_1.ini"_s);
        {
            ProfileFile ini(path);
            for (const QString &line : section.split(u'\n', Qt::SkipEmptyParts))
                ini.WriteString(session::HistorySection(), line.section(u'=', 0, 0), line.section(u'=', 1));
        }
        const HistoryLocation w = session::ReadHistoryLocation(ProfileFile(path), dir.path());
        const QString got =
            w.postgres ? QStringList{u"pg"_s, w.host, QString::number(w.port), w.database, w.user, w.service}.join(u' ')
                       : u"sqlite "_s + QString(w.sqlitePath).replace(dir.path(), u"<dir>"_s);
        QCOMPARE(got, expected);
    }

    // Numbers run on across a reopen; a database a newer program made is
    // refused and left as it was.
    void numbersRunOnAndANewerSchemaIsRefused_data() { AddEngines(); }
    void numbersRunOnAndANewerSchemaIsRefused()
    {
        OPEN_TEST_DB(db);
        QList<qint64> numbers;
        for (int open = 0; open < 2; ++open) {
            HistoryStore store(db.where, u"a"_s);
            QCOMPARE(store.schemaVersion(), HistoryStore::kSchemaVersion);
            for (int i = 0; i < 2; ++i)
                numbers << Store(store, Slip(u"浜田　陽菜"_s)).slipNo;
        }
        QCOMPARE(numbers, (QList<qint64>{1, 2, 3, 4}));
        Query(db.where, u"UPDATE schema_version SET version = 7"_s);
        try {
            HistoryStore store(db.where, u"b"_s);
            QFAIL("a newer schema was opened");
        } catch (const session::EHistoryError &e) {
            QVERIFY2(e.message().contains(u"新しい版"_s) && e.message().contains(db.where.describe()),
                     qPrintable(e.message()));
        }
        QCOMPARE(Query(db.where, u"SELECT version FROM schema_version"_s).toInt(), 7);
        QCOMPARE(Query(db.where, u"SELECT COUNT(*) FROM slips"_s).toInt(), 4);
    }

    // A stored slip prints again as it was, its invoice sheet as issued.
    void aStoredSlipComesBackAsPrinted_data() { AddEngines(); }
    void aStoredSlipComesBackAsPrinted()
    {
        OPEN_TEST_DB(db);
        HistoryStore store(db.where, u"a"_s);
        HistorySlip slip = Slip(u"浜田　陽菜"_s, u"090-0000-0001"_s, u"604-0001"_s);
        slip.record.pricesIncludeTax = true;
        slip.record.lines[9] = {u"x"_s, u"最後の行, \"引用\""_s, u"3"_s, u"本"_s, u"10"_s, u"30"_s, 1};
        slip.orderId = u"EC-77"_s;
        slip.invoice = InvoiceSheet{u"適格請求書（納品書兼請求書）"_s,
                                    u"発行日　2026年12月10日"_s,
                                    u"伝票番号　7"_s, // the window's number before the store's
                                    u"浜田　陽菜 様"_s,
                                    {u"〒604-0001"_s, u"京都府京都市中京区"_s},
                                    {u"山野草園"_s},
                                    {{u"ほうじ茶※"_s, u"1"_s, u"袋"_s, u"800"_s, u"800"_s}},
                                    {u"8%対象 ¥800"_s},
                                    u"小計"_s,
                                    u"消費税"_s,
                                    u"合計　¥4,164"_s,
                                    u"※は軽減税率"_s,
                                    u"払込"_s,
                                    true};
        const HistorySlip recorded = Store(store, slip);
        const std::optional<HistorySlip> back = store.slip(recorded.id);
        QVERIFY(back);
        QCOMPARE(Drawn(*back), Drawn(recorded));
        QCOMPARE(Fields(back->record, back->invoice), Fields(recorded.record, recorded.invoice));
        QCOMPARE(back->record.slipNo, u"1"_s);
        QCOMPARE(back->invoice->numberText, u"伝票番号　1"_s);
        QCOMPARE(back->orderId, slip.orderId);
        QCOMPARE(back->printedAt, recorded.printedAt);
        QCOMPARE(QList<qint64>({back->amount, back->tax, back->total, back->rates[1].subtotal}),
                 QList<qint64>({3800, 364, 4164, 800}));
        QCOMPARE(back->jobs.value(0).feed, u"手差し"_s);
        QVERIFY(!store.slip(recorded.id + 100));
        QVERIFY(store.hasOrder(u"EC-77"_s));
        QVERIFY(!store.hasOrder(u"EC-7"_s));
        // A slip whose only job was cancelled before it was sent never printed.
        store.setJobState(back->jobs.value(0).id, session::HistoryJobState::Cancelled);
        QVERIFY(!store.hasOrder(u"EC-77"_s));
        store.setJobState(back->jobs.value(0).id, session::HistoryJobState::Stopped);
        QVERIFY(store.hasOrder(u"EC-77"_s));
    }

    void searchFindsACustomerInAnyWriting_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names");
        const QStringList hamada{u"浜田　陽菜"_s, u"浜田　陽菜"_s};
        for (const QString &engine : {u"sqlite"_s, u"postgres"_s}) {
            const auto row = [&](const char *what) -> QTestData & {
                return QTest::addRow("%s: %s", qPrintable(engine), what) << engine;
            };
            row("tel with hyphens") << u"090-1234"_s << hamada;
            row("tel in full width") << u"０９０１２３４"_s << hamada;
            row("tel as digits") << u"0901234"_s << hamada;
            row("postal code") << u"6040001"_s << hamada;
            row("name without its space") << u"浜田陽菜"_s << hamada;
            row("address line") << u"若葉"_s << (QStringList{u"森　一郎"_s} + hamada);
            row("a percent sign is no wildcard") << u"%"_s << QStringList{u"100%果汁店"_s};
            row("an underscore is no wildcard") << u"a_b"_s << QStringList();
            row("latin letters ignore case") << u"MORI"_s << QStringList{u"mori shoten"_s};
            row("nothing typed gives the newest")
                << QString() << QStringList{u"mori shoten"_s, u"100%果汁店"_s, u"森　一郎"_s} + hamada;
        }
    }
    void searchFindsACustomerInAnyWriting()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, names);
        OPEN_TEST_DB(db);
        HistoryStore store(db.where, u"a"_s);
        Store(store, Slip(u"浜田　陽菜"_s, u"090-1234-5678"_s, u"604-0001"_s));
        Store(store, Slip(u"浜田　陽菜"_s, u"090-1234-5678"_s, u"604-0001"_s));
        Store(store, Slip(u"森　一郎"_s, u"075-000-0000"_s, u"100-0001"_s));
        HistorySlip juice = Slip(u"100%果汁店"_s), mori = Slip(u"mori shoten"_s);
        juice.record.add3 = u"axb"_s;
        mori.record.add3.clear();
        Store(store, juice);
        Store(store, mori);
        QStringList found;
        for (const session::HistoryHit &h : store.search(text, false))
            found << h.name;
        QCOMPARE(found, names);
    }

    // One row per customer: the same telephone, or without one the same name
    // and postal code; the newest slip's fields.
    void aCustomerIsOneRowWithTheCountOfTheirSlips_data() { AddEngines(); }
    void aCustomerIsOneRowWithTheCountOfTheirSlips()
    {
        OPEN_TEST_DB(db);
        HistoryStore store(db.where, u"a"_s);
        Store(store, Slip(u"浜田　陽菜"_s, u"090-1234-5678"_s, u"604-0001"_s));
        Store(store, Slip(u"森　一郎"_s, {}, u"100-0001"_s));
        Store(store, Slip(u"浜田 陽菜"_s, u"09012345678"_s, u"604-0000"_s));
        Store(store, Slip(u"森　一郎"_s, {}, u"100-0000"_s));
        const HistorySlip last = Store(store, Slip(u"森　一郎"_s, {}, u"100-0001"_s));
        QStringList rows;
        for (const session::HistoryHit &h : store.search(QString(), true))
            rows << u"%1 %2 %3"_s.arg(h.name, h.zip).arg(h.slipCount);
        QCOMPARE(rows, (QStringList{u"森　一郎 100-0001 2"_s, u"森　一郎 100-0000 1"_s, u"浜田 陽菜 604-0000 2"_s}));
        const QList<session::HistoryHit> mori = store.search(u"森"_s, true, 1);
        QCOMPARE(mori.size(), 1);
        QCOMPARE(mori[0].id, last.id);
    }

    void itemsBeginningComeFirstMostUsedFirst_data() { AddEngines(); }
    void itemsBeginningComeFirstMostUsedFirst()
    {
        OPEN_TEST_DB(db);
        HistoryStore store(db.where, u"a"_s);
        const QList<QStringList> slips{{u"緑茶 500 1"_s, u"抹茶 900 1"_s},
                                       {u"抹茶 950 0"_s, u"茶碗 2,000 0"_s},
                                       {u"茶碗 2,000 0"_s, u"茶碗 2,200 0"_s}};
        for (const QStringList &lines : slips) {
            HistorySlip s = Slip(u"浜田　陽菜"_s);
            s.record.lines = {};
            for (qsizetype i = 0; i < lines.size(); ++i) {
                const QStringList l = lines[i].split(u' ');
                s.record.lines[std::size_t(i)] = {{}, l[0], u"1"_s, u"個"_s, l[1], {}, l[2].toInt()};
            }
            Store(store, s);
        }
        QStringList got;
        for (const session::HistoryItem &i : store.items(u"茶"_s))
            got << u"%1 %2 %3 %4"_s.arg(i.item, i.price).arg(i.taxClass).arg(i.uses);
        QCOMPARE(got, (QStringList{u"茶碗 2,200 0 3"_s, u"抹茶 950 0 2"_s, u"緑茶 500 1 1"_s}));
        QCOMPARE(store.items(u"茶"_s, 1).size(), 1);
    }

    void slipsBetweenTakesWholeDaysWithTheirJobs_data() { AddEngines(); }
    void slipsBetweenTakesWholeDaysWithTheirJobs()
    {
        OPEN_TEST_DB(db);
        HistoryStore store(db.where, u"a"_s);
        QList<qint64> ids;
        for (const QDateTime &t :
             {QDateTime(QDate(2026, 11, 30), QTime(23, 59, 59)), QDateTime(QDate(2026, 12, 1), QTime(0, 0)),
              QDateTime(QDate(2026, 12, 2), QTime(23, 59, 59, 999)), QDateTime(QDate(2026, 12, 3), QTime(0, 0))}) {
            HistorySlip s = Slip(u"浜田　陽菜"_s);
            s.printedAt = t;
            ids << Store(store, s).id;
        }
        HistoryJob reprint;
        reprint.kind = session::HistoryJobKind::Invoice;
        reprint.copies = 2;
        const qint64 jobId = store.addJob(ids[2], reprint);
        store.setJobState(jobId, session::HistoryJobState::Completed, 41);
        const QList<HistorySlip> got = store.slipsBetween(QDate(2026, 12, 1), QDate(2026, 12, 2));
        QCOMPARE(got.size(), 2);
        QCOMPARE(got[0].id, ids[1]);
        QCOMPARE(got[1].id, ids[2]);
        const auto jobs = [](const QList<HistoryJob> &list) {
            QStringList out;
            for (const HistoryJob &j : list)
                out << u"%1 %2 %3 %4"_s.arg(int(j.kind))
                           .arg(HistoryJobStateText(j.state))
                           .arg(j.cupsJobId)
                           .arg(j.copies);
            return out;
        };
        QCOMPARE(jobs(got[1].jobs), (QStringList{u"0 送信中 0 1"_s, u"1 完了 41 2"_s}));
        store.setJobState(jobId, session::HistoryJobState::Stopped);
        QCOMPARE(jobs(store.slip(ids[2]).value().jobs), (QStringList{u"0 送信中 0 1"_s, u"1 停止 41 2"_s}));
        QVERIFY_THROWS_EXCEPTION(session::EHistoryError, store.addJob(ids[3] + 1, reprint));
        QVERIFY_THROWS_EXCEPTION(session::EHistoryError,
                                 store.setJobState(jobId + 100, session::HistoryJobState::Failed));
    }

    // A write that fails half way stores nothing of it and takes no number.
    void aFailedWriteKeepsWhatWasStored_data() { AddEngines(); }
    void aFailedWriteKeepsWhatWasStored()
    {
        OPEN_TEST_DB(db);
        db.where.statementTimeoutMs = 300;
        HistoryStore store(db.where, u"a"_s);
        Store(store, Slip(u"浜田　陽菜"_s));
        HistorySlip big = Slip(u"森　一郎"_s);
        big.record.lines[5].item = QString(20000, u'長');
        QSqlDatabase locker;
        if (db.where.postgres) {
            // Another program holds the rates' table: the write waits past
            // the statement timeout after its slip and lines went in.
            QCOMPARE(OnStore(u"SHOW statement_timeout"_s).toString(), u"300ms"_s);
            locker = QSqlDatabase::cloneDatabase(u"a"_s, u"locker"_s);
            QSqlQuery q(locker);
            QVERIFY(locker.open() && q.exec(u"BEGIN"_s) && q.exec(u"LOCK TABLE slip_rates IN ACCESS EXCLUSIVE MODE"_s));
        } else {
            // The disk is full after the slip's row.
            OnStore(u"PRAGMA max_page_count = "_s + QString::number(OnStore(u"PRAGMA page_count"_s).toInt() + 1));
        }
        HistoryJob job;
        QVERIFY_THROWS_EXCEPTION(session::EHistoryError, store.record(big, job));
        OnStore(u"PRAGMA max_page_count = 1000000"_s);
        locker.close();
        QCOMPARE(store.search(QString(), false).size(), 1);
        QCOMPARE(OnStore(u"SELECT COUNT(*) FROM slip_lines"_s).toInt(), 2);
        QCOMPARE(Store(store, Slip(u"森　一郎"_s)).slipNo, 2);
    }

    void anUnreachableDatabaseIsAnErrorNotAHang_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("place");
        QTest::newRow("sqlite: a folder that is a file") << u"sqlite"_s << u"file"_s;
        QTest::newRow("postgres: no server on the socket") << u"postgres"_s << u"nosocket"_s;
        QTest::newRow("postgres: a host that does not answer") << u"postgres"_s << u"192.0.2.1"_s;
        QTest::newRow("postgres: the server drops the connection") << u"postgres"_s << u"dropped"_s;
    }
    void anUnreachableDatabaseIsAnErrorNotAHang()
    {
        QFETCH(QString, place);
        OPEN_TEST_DB(db);
        db.where.connectTimeoutSec = 1;
        QFile file(db.dir.filePath(u"h"_s));
        if (place == u"file"_s)
            QVERIFY(file.open(QIODevice::WriteOnly));
        else if (place != u"dropped"_s)
            db.where.host = place == u"nosocket"_s ? db.dir.path() : place;
        try {
            HistoryStore store(db.where, u"a"_s);
            QCOMPARE(place, u"dropped"_s);
            const QString pid = OnStore(u"SELECT pg_backend_pid()"_s).toString();
            QCOMPARE(Query(Admin(), u"SELECT pg_terminate_backend("_s + pid + u')').toBool(), true);
            store.search(u"浜田"_s, false);
            QFAIL("a dropped connection was not an error");
        } catch (const session::EHistoryError &e) {
            QVERIFY2(e.message().contains(db.where.describe()), qPrintable(e.message()));
        }
    }

    // Two programs at once on one database: every slip stored, no number twice.
    void twoWritersAtOnceStoreEverySlip_data() { AddEngines(); }
    void twoWritersAtOnceStoreEverySlip()
    {
        OPEN_TEST_DB(db);
        HistoryStore(db.where, u"a"_s);
        QProcess one, two;
        one.start(QCoreApplication::applicationDirPath() + kWriter, WriterArgs(db.where, 40));
        two.start(QCoreApplication::applicationDirPath() + kWriter, WriterArgs(db.where, 40));
        QVERIFY(one.waitForFinished(120000) && two.waitForFinished(120000));
        QCOMPARE(one.exitCode() + two.exitCode(), 0);
        QSet<QByteArray> numbers;
        for (QProcess *p : {&one, &two})
            for (const QByteArray &line : p->readAllStandardOutput().split('\n'))
                numbers.insert(line);
        QCOMPARE(numbers.size(), 81); // and the empty last line
        QCOMPARE(Query(db.where, u"SELECT COUNT(DISTINCT slip_no) FROM slips WHERE slip_no <= 80"_s).toInt(), 80);
    }

    // A program killed while it writes leaves a sound file with whole slips.
    void aKilledWriterLeavesWholeSlips()
    {
        QTemporaryDir dir;
        HistoryLocation where;
        where.sqlitePath = dir.filePath(u"vuzo_history.sqlite3"_s);
        QProcess writer;
        writer.start(QCoreApplication::applicationDirPath() + kWriter, WriterArgs(where, 0));
        QByteArray out;
        while (out.count('\n') < 30 && writer.waitForReadyRead(30000))
            out += writer.readAllStandardOutput();
        writer.kill(); // SIGKILL
        QVERIFY(writer.waitForFinished());
        QCOMPARE(Query(where, u"PRAGMA integrity_check"_s).toString(), u"ok"_s);
        QVERIFY(Query(where, u"SELECT COUNT(*) FROM slips"_s).toInt() >= 30);
        QCOMPARE(Query(where, u"SELECT COUNT(*) FROM slips s WHERE line_count <> "
                              u"(SELECT COUNT(*) FROM slip_lines l WHERE l.slip_id = s.id)"_s)
                     .toInt(),
                 0);
    }

    void csvHasARowPerLineAndTheSlipsFigures()
    {
        HistorySlip slip = Slip(u"浜田　陽菜"_s, u"090-0000-0001"_s, u"604-0001"_s);
        slip.slipNo = 12;
        slip.printedAt = QDateTime(QDate(2026, 12, 10), QTime(9, 5));
        slip.record.add3 = u"若葉, \"南\""_s;
        HistorySlip empty = slip;
        empty.record.lines = {};
        empty.record.custo1 = u"髙橋　①"_s;
        const QByteArray utf8 = session::HistoryCsv({slip, empty}, session::HistoryCsvEncoding::Utf8Bom);
        QVERIFY(utf8.startsWith("\xEF\xBB\xBF"));
        const QStringList rows = QString::fromUtf8(utf8.mid(3)).split(u"\r\n"_s);
        QCOMPARE(rows.size(), 5);
        QVERIFY(rows[0].startsWith(u"日時,伝票番号,注文番号,郵便番号,住所1,住所2,住所3,お名前,電話番号,行,品名"_s));
        QVERIFY(rows[0].endsWith(u"税率,10%対象,10%消費税,8%対象,8%消費税,税抜合計,消費税,合計"_s));
        const QString head = u"2026/12/10 09:05,12,,604-0001,京都府京都市中京区,道場町１２－３,\"若葉, \"\"南\"\"\","_s;
        QCOMPARE(
            rows[1],
            head + u"浜田　陽菜,090-0000-0001,1,苔玉　小,2,個,\"1,500\",\"3,000\",10%,3000,300,800,64,3800,364,4164"_s);
        QCOMPARE(rows[2], head + u"浜田　陽菜,090-0000-0001,3,ほうじ茶,1,袋,800,800,8%,,,,,,,"_s);
        QVERIFY(rows[3].contains(u"髙橋　①,090-0000-0001,,,,,,,,3000,300"_s));
        QCOMPARE(rows[4], QString());
        const QByteArray sjis = session::HistoryCsv({slip, empty}, session::HistoryCsvEncoding::Cp932);
        QCOMPARE(vuzo::DecodeCp932(sjis), rows.join(u"\r\n"_s));
    }
};

QTEST_GUILESS_MAIN(TestHistoryStore)
#include "tst_historystore.moc"
