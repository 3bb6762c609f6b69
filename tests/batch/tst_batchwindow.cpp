// The batch print window: the state and tick of each order, and its wiring:
// F8 and the button open it on a file, the fix in the main window comes back
// into the order, the ticked orders print as one job on the CUPS PDF queue
// recorded with their order ids, the question after the job prints again
// from the next order, and a file read again shows its printed orders.

#include "PdfText.h"
#include "batch/TForm_Batch.h"
#include "session/HistoryService.h"
#include "settings/ProfileFile.h"
#include "support/CupsJobs.h"
#include "support/MainWindowFixture.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

// A BASE export of three orders; the second has no postal code.
const QString kOrders = u"注文ID,氏(配送先),名(配送先),郵便番号(配送先),都道府県(配送先),住所(配送先),住所2(配送先),"
                        u"電話番号(配送先),商品名,数量,価格,税率,送料\n"
                        u"K-1,架空,一子,1000001,東京都,千代田区千代田1-1,,0311112222,架空の茶,2,1080,8%,0\n"
                        u"K-2,空野,二郎,,宮城県,仙台市青葉区一番町2-2,,0222223333,架空の皿,1,2200,10%,0\n"
                        u"K-3,夢見,三恵,0600001,北海道,札幌市中央区北一条西3-3,,0113334444,架空の布,1,1280,10%,0\n"_s;

QString writeOrders(const MainWindowFixture &f)
{
    QFile file(f.path(u"orders.csv"_s));
    if (file.open(QIODevice::WriteOnly))
        file.write(kOrders.toUtf8());
    return file.fileName();
}

TForm_Batch *openBatch(MainWindowFixture &f, bool byKey)
{
    f.dialogs->answerOpenFile(writeOrders(f));
    if (byKey)
        QTest::keyClick(f.w<QLineEdit>(u"Edit_Zip"_s), Qt::Key_F8);
    else
        f.w<QToolButton>(u"BitBtn_Batch"_s)->click();
    if (TForm_Batch *w = f.form->batchWindow())
        QApplication::setActiveWindow(w);
    return f.form->batchWindow();
}

QList<bool> ticks(const BatchOrderModel &m)
{
    QList<bool> out;
    for (int r = 0; r < m.rowCount(); ++r)
        out << m.ticked(r);
    return out;
}

// Answers the questions after the jobs, one after the other, as each comes
// on the screen (its own event loop runs the timer): the row of the order
// that came out last as it should (0: none), or -1 for all of them.
void answerAfterJobs(QList<int> lastGood)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, lastGood]() mutable {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() != u"Form_BatchAfterJob"_s || !w->isVisible())
                continue;
            const int row = lastGood.takeFirst();
            if (lastGood.isEmpty())
                timer->deleteLater();
            if (row >= 0)
                w->findChild<QListWidget *>(u"List_Printed"_s)->setCurrentRow(row);
            w->findChild<QPushButton *>(row >= 0 ? u"BitBtn_UpTo"_s : u"BitBtn_AllGood"_s)->click();
            return;
        }
    });
    timer->start();
}

session::BatchSlip slipWith(const QStringList &problems, bool printedBefore, bool overflow)
{
    session::BatchSlip s;
    s.order.orderId = u"Z-9"_s;
    s.problems = problems;
    s.printedBefore = printedBefore;
    if (overflow)
        s.figures.overflow = {u"合計が欄に収まりません。"_s};
    return s;
}

} // namespace

class TestBatchWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stateAndTick_data()
    {
        QTest::addColumn<QStringList>("problems");
        QTest::addColumn<bool>("printedBefore");
        QTest::addColumn<bool>("overflow");
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("tickedAtFirst");
        QTest::addColumn<bool>("tickable");
        QTest::addColumn<QString>("question"); // a part of it
        QTest::newRow("ready") << QStringList() << false << false << u"OK"_s << true << true << QString();
        QTest::newRow("printed before") << QStringList{u"印刷済み"_s} << true << false << u"印刷済み"_s << false << true
                                        << u"印刷済みです"_s;
        QTest::newRow("problems joined") << QStringList{u"郵便番号がありません"_s, u"印刷済み"_s} << true << false
                                         << u"郵便番号がありません、印刷済み"_s << false << true
                                         << u"郵便番号がありません\n印刷済み"_s;
        QTest::newRow("figures that do not fit") << QStringList{u"金額が大きすぎます"_s} << false << true
                                                 << u"金額が大きすぎます"_s << false << false << QString();
    }
    void stateAndTick()
    {
        QFETCH(QStringList, problems);
        QFETCH(bool, printedBefore);
        QFETCH(bool, overflow);
        QFETCH(QString, state);
        QFETCH(bool, tickedAtFirst);
        QFETCH(bool, tickable);
        QFETCH(QString, question);
        const session::BatchSlip s = slipWith(problems, printedBefore, overflow);
        QCOMPARE(BatchStateText(s), state);
        QCOMPARE(BatchSlipTickable(s), tickable);
        if (!question.isEmpty())
            QVERIFY2(BatchTickQuestion(s).contains(question), qPrintable(BatchTickQuestion(s)));

        BatchOrderModel m;
        m.setSlips({s});
        QCOMPARE(m.ticked(0), tickedAtFirst);
        QCOMPARE(m.index(0, BatchOrderModel::State).data().toString(), state);
        QCOMPARE(bool(m.flags(m.index(0, 0)) & Qt::ItemIsUserCheckable), tickable);
        // The operator's No keeps it unticked; Yes ticks what may be ticked.
        for (const bool yes : {false, true}) {
            m.setTickAllowed([yes](int) { return yes; });
            m.setData(m.index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
            m.setData(m.index(0, 0), Qt::Checked, Qt::CheckStateRole);
            QCOMPARE(m.ticked(0), yes && tickable);
        }
    }

    void mappingWindow_data()
    {
        QTest::addColumn<QList<int>>("name"); // the columns joined into the name
        QTest::addColumn<bool>("usable");
        QTest::newRow("one column") << QList<int>{1} << true;
        QTest::newRow("two columns joined in their order") << QList<int>{2, 1} << true;
        QTest::newRow("no name: the mapping gives no slip") << QList<int>{} << false;
    }
    void mappingWindow()
    {
        QFETCH(QList<int>, name);
        QFETCH(bool, usable);
        orders::ColumnMapping proposal;
        proposal.columns.insert(orders::OrderField::OrderId, {0});
        proposal.columns.insert(orders::OrderField::Street, {3});
        TForm_BatchMapping w({u"列A"_s, u"列B"_s, u"列C"_s, u"列D"_s}, proposal);
        w.setColumns(orders::OrderField::FullName, name);
        const orders::ColumnMapping m = w.mapping();
        QCOMPARE(m.columns.value(orders::OrderField::OrderId), QList<int>{0});
        QCOMPARE(m.columns.value(orders::OrderField::FullName), name);
        QCOMPARE(m.usable(), usable);
    }

    void anUnknownFileIsMappedAndRemembered()
    {
        MainWindowFixture f;
        f.start();
        QFile file(f.path(u"other.csv"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(u"列A,列B,列C,列D,列E,列F,列G\n"
                   u"X-1,架空 五郎,9800811,宮城県仙台市青葉区一番町5-5,架空の茶,1,900\n"_s.toUtf8());
        file.close();
        f.dialogs->answerOpenFile(file.fileName());
        // The mapping window comes up by itself; its choices are saved.
        auto *timer = new QTimer(f.form);
        timer->start(20);
        connect(timer, &QTimer::timeout, [timer] {
            for (QWidget *top : QApplication::topLevelWidgets()) {
                auto *ask = qobject_cast<TForm_BatchMapping *>(top);
                if (!ask || !ask->isVisible())
                    continue;
                timer->stop();
                using F = orders::OrderField;
                for (const auto &[field, column] :
                     {std::pair{F::OrderId, 0}, std::pair{F::FullName, 1}, std::pair{F::ZipCode, 2},
                      std::pair{F::Street, 3}, std::pair{F::ItemName, 4}, std::pair{F::Quantity, 5},
                      std::pair{F::UnitPrice, 6}})
                    ask->setColumns(field, {column});
                ask->findChild<QPushButton *>(u"BitBtn_Save"_s)->click();
            }
        });
        QTest::keyClick(f.w<QLineEdit>(u"Edit_Zip"_s), Qt::Key_F8);
        TForm_Batch *w = f.form->batchWindow();
        QVERIFY(w);
        QTRY_COMPARE(w->model().rowCount(), 1);
        QCOMPARE(w->file().mapping.formatName, u"保存した対応"_s);
        QCOMPARE(w->model().index(0, BatchOrderModel::Name).data().toString(), u"架空 五郎"_s);
        const ProfileFile ini(f.path(u"vuzo_Vez_1.ini"_s));
        QVERIFY(orders::RememberedMapping(ini, w->file().header).has_value());
    }

    void opensOnTheFile_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("F8") << true;
        QTest::newRow("the button") << false;
    }
    void opensOnTheFile()
    {
        QFETCH(bool, byKey);
        MainWindowFixture f;
        f.start();
        TForm_Batch *w = openBatch(f, byKey);
        QVERIFY(w && w->isVisible());
        QCOMPARE(f.dialogs->texts(ScriptedDialogs::Kind::OpenFile), QStringList{f.dir.path()});
        QCOMPARE(w->file().mapping.formatName, u"BASE"_s);
        QCOMPARE(ticks(w->model()), QList<bool>({true, false, true}));
        QCOMPARE(w->model().index(1, BatchOrderModel::OrderId).data().toString(), u"K-2"_s);
        // One window at a time: the key again brings it up without asking.
        QTest::keyClick(f.w<QLineEdit>(u"Edit_Zip"_s), Qt::Key_F8);
        QCOMPARE(f.form->batchWindow(), w);
        QCOMPARE(f.dialogs->texts(ScriptedDialogs::Kind::OpenFile).size(), 1);
    }

    void anOrderFixedInTheMainWindowComesBack()
    {
        MainWindowFixture f;
        f.start();
        TForm_Batch *w = openBatch(f, true);
        QVERIFY(w);
        auto *list = w->findChild<QTreeView *>(u"ListView_Orders"_s);
        list->setCurrentIndex(w->model().index(1, 0));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(w->rowInMainWindow(), 1);
        QCOMPARE(f.w<QLineEdit>(u"Edit_Custo1"_s)->text(), w->model().slip(1).record.custo1);
        f.w<QLineEdit>(u"Edit_Zip"_s)->setText(u"980-0811"_s);
        w->findChild<QPushButton *>(u"BitBtn_TakeBack"_s)->click();
        QCOMPARE(w->rowInMainWindow(), -1);
        QVERIFY(w->model().slip(1).edited);
        QCOMPARE(w->model().index(1, BatchOrderModel::Zip).data().toString(), u"980-0811"_s);
        QVERIFY(!w->model().slip(1).problems.join(u' ').contains(u"郵便番号がありません"_s));
        // The export's prices include the tax, the window's do not: the order keeps its own.
        QVERIFY(!f.form->slipRecord().pricesIncludeTax);
        QVERIFY(w->model().slip(1).record.pricesIncludeTax);
        QCOMPARE(w->model().slip(1).totalText, u"2200"_s);
    }

    void spaceTicksAProblemOrderOnlyWhenTheOperatorSaysSo()
    {
        MainWindowFixture f;
        f.start();
        TForm_Batch *w = openBatch(f, true);
        QVERIFY(w);
        auto *list = w->findChild<QTreeView *>(u"ListView_Orders"_s);
        list->setCurrentIndex(w->model().index(1, 0));
        f.dialogs->answer({false, true});
        for (const bool ticked : {false, true}) {
            QTest::keyClick(list, Qt::Key_Space);
            QCOMPARE(w->model().ticked(1), ticked);
        }
        QCOMPARE(f.dialogs->confirms().size(), 2);
        QVERIFY(f.dialogs->confirms().first().contains(u"K-2"_s));
    }

    void theTickedOrdersPrintAsOneJob()
    {
        MainWindowFixture f;
        if (const QString problem = f.registerPdfQueue(0, 0); !problem.isEmpty()) {
            if (qEnvironmentVariable("VUZO_REQUIRE_CUPS") == u"1"_s)
                QFAIL(qPrintable(problem));
            QSKIP(qPrintable(problem));
        }
        const QString queue = qEnvironmentVariable("VUZO_CUPS_PDF_QUEUE");
        f.start();
        QVERIFY(QTest::qWaitFor([&] { return f.form->history()->state() == session::HistoryService::State::Ready; },
                                10000));
        TForm_Batch *w = openBatch(f, true);
        QVERIFY(w);
        QList<int> before;
        for (const vuzo::CupsJob &job : vuzo::CupsJobs(queue))
            before << job.id;
        // Only K-1 came out right: K-3 is printed again, as a job of its
        // stored slip.
        f.dialogs->answer({true, true, true});
        answerAfterJobs({1, -1});
        QTest::keyClick(w->findChild<QTreeView *>(u"ListView_Orders"_s), Qt::Key_F11);
        QCOMPARE(f.dialogs->confirms().size(), 3);
        QVERIFY(f.dialogs->confirms().at(1).contains(u"K-3"_s));
        QCOMPARE(ticks(w->model()), QList<bool>({false, false, false}));
        QList<int> jobs;
        for (const vuzo::CupsJob &job : vuzo::CupsJobs(queue)) {
            if (!before.contains(job.id))
                jobs << job.id;
        }
        QCOMPARE(jobs.size(), 2);
        const QString out = qEnvironmentVariable("VUZO_CUPS_PDF_OUT");
        QList<int> pages;
        for (const int id : std::as_const(jobs)) {
            QString pdf;
            QVERIFY(QTest::qWaitFor(
                [&] {
                    bool completed = false;
                    for (const vuzo::CupsJob &job : vuzo::CupsJobs(queue))
                        completed = completed || (job.id == id && job.completed);
                    const QStringList found = QDir(out).entryList({u"*-job_%1.pdf"_s.arg(id)}, QDir::Files);
                    pdf = found.isEmpty() ? QString() : QDir(out).filePath(found.first());
                    return completed && !pdf.isEmpty() && QFileInfo(pdf).size() > 0;
                },
                60000));
            QString error;
            pages << pdftext::pageCount(pdftext::chars(pdf, &error));
            QVERIFY2(error.isEmpty(), qPrintable(error));
        }
        QCOMPARE(pages, QList<int>({2, 1}));
        const auto stored = f.form->history()->wait<QList<session::HistorySlip>>(
            [](session::HistoryStore &s) {
                QList<session::HistorySlip> slips;
                for (const session::HistoryHit &h : s.search(QString(), false))
                    slips << s.slip(h.id).value_or(session::HistorySlip());
                return slips;
            },
            10000, nullptr);
        QVERIFY(stored);
        QCOMPARE(stored->size(), 2);
        QMap<QString, int> jobsOfOrder;
        for (const session::HistorySlip &s : *stored)
            jobsOfOrder.insert(s.orderId, int(s.jobs.size()));
        QCOMPARE(jobsOfOrder, (QMap<QString, int>{{u"K-1"_s, 1}, {u"K-3"_s, 2}}));
        w->close();
        for (const int id : std::as_const(jobs))
            vuzo::CupsPurgeJob(queue, id);

        // The same file read again: the printed orders are marked and unticked.
        QTRY_VERIFY(!f.form->batchWindow());
        w = openBatch(f, true);
        QVERIFY(w);
        QCOMPARE(w->model().index(0, BatchOrderModel::State).data().toString(), u"印刷済み"_s);
        QCOMPARE(ticks(w->model()), QList<bool>({false, false, false}));
    }
};

QTEST_MAIN(TestBatchWindow)
#include "tst_batchwindow.moc"
