// The main window's wiring to the slip history: prints recorded under the
// store's numbers, a print without a usable history, the reprint of a stored
// slip and the item names offered from earlier slips.

#include "controls/TZuNumEdit.h"
#include "preview/TForm_Preview.h"
#include "session/HistoryService.h"
#include "support/CupsJobs.h"
#include "support/MainWindowFixture.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCompleter>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;
using session::HistoryJobState;
using session::HistoryService;
using session::HistorySlip;
using session::HistoryStore;

namespace {

const window_test::SlipText kSlip{.zip = u"100-0001"_s,
                                  .add1 = u"東京都千代田区千代田１－１"_s,
                                  .custo1 = u"架空花子様"_s,
                                  .lines = {{u"特製ジャム"_s, u"瓶"_s, u"2"_s, u"800"_s}}};

bool historyIs(const MainWindowFixture &f, HistoryService::State state)
{
    return QTest::qWaitFor([&] { return f.form->history()->state() == state; }, 10000);
}
// The newest stored slips, and one of them with its jobs.
QList<session::HistoryHit> storedSlips(const MainWindowFixture &f)
{
    return f.form->history()
        ->wait<QList<session::HistoryHit>>([](HistoryStore &s) { return s.search(QString(), false); }, 10000, nullptr)
        .value_or(QList<session::HistoryHit>());
}
HistorySlip storedSlip(const MainWindowFixture &f, qint64 id)
{
    return f.form->history()
        ->wait<std::optional<HistorySlip>>([id](HistoryStore &s) { return s.slip(id); }, 10000, nullptr)
        .value_or(std::nullopt)
        .value_or(HistorySlip());
}
void pressF11(const MainWindowFixture &f)
{
    f.dialogs->answer({true});
    f.w<QToolButton>(u"SpeedButton_F11"_s)->click();
}

} // namespace

class TestFormMainHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void printsAreRecordedUnderTheNextNumber()
    {
        MainWindowFixture f;
        if (const QString problem = f.registerPdfQueue(0, 0); !problem.isEmpty()) {
            if (qEnvironmentVariable("VUZO_REQUIRE_CUPS") == u"1"_s)
                QFAIL(qPrintable(problem));
            QSKIP(qPrintable(problem));
        }
        const QString queue = qEnvironmentVariable("VUZO_CUPS_PDF_QUEUE");
        f.start();
        QVERIFY(historyIs(f, HistoryService::State::Ready));
        window_test::fillSlip(f.form, kSlip);
        QList<int> cupsJobs;
        for (const QString &number : {u"1"_s, u"2"_s}) {
            pressF11(f);
            QCOMPARE(f.w<QLabel>(u"Label_SlipNo"_s)->text(), u"伝票番号 "_s + number);
            QCOMPARE(f.w<QLabel>(u"Panel_HelpMess"_s)->text(), u"伝票番号 "_s + number + u" を印刷しました"_s);
            int newest = 0;
            for (const vuzo::CupsJob &job : vuzo::CupsJobs(queue)) {
                if (job.title == u"vuzo_Vez_1_0_YUBF-"_s + number)
                    newest = qMax(newest, job.id);
            }
            QVERIFY(newest > 0 && !cupsJobs.contains(newest));
            cupsJobs << newest;
            // The end the print system reports reaches the store.
            const qint64 id = storedSlips(f).value(0).id;
            QVERIFY(QTest::qWaitFor([&] { return storedSlip(f, id).jobs.value(0).state == HistoryJobState::Completed; },
                                    30000));
        }
        QCOMPARE(f.dialogs->notices(), QStringList());
        f.stop();
        for (int id : std::as_const(cupsJobs))
            vuzo::CupsPurgeJob(queue, id);

        f.start();
        QVERIFY(historyIs(f, HistoryService::State::Ready));
        const QList<session::HistoryHit> hits = storedSlips(f);
        QCOMPARE(hits.size(), 2);
        QCOMPARE(hits.at(0).slipNo, 2);
        QCOMPARE(hits.at(1).slipNo, 1);
        QCOMPARE(hits.at(1).total, 1760); // 1600 and 10 % tax
        const HistorySlip first = storedSlip(f, hits.at(1).id);
        QCOMPARE(first.jobs.size(), 1);
        QCOMPARE(first.jobs.first().printer, queue);
        QCOMPARE(first.jobs.first().cupsJobId, cupsJobs.first());
    }

    void aHistoryThatCannotOpenIsToldOnceAndThePrintGoesOn()
    {
        MainWindowFixture f;
        QVERIFY(QDir().mkpath(f.path(session::HistoryFileName())));
        f.start();
        QVERIFY(historyIs(f, HistoryService::State::Failed));
        QVERIFY(f.w<QLabel>(u"Panel_HelpMess"_s)->text().startsWith(u"履歴を使えません"_s));
        window_test::fillSlip(f.form, kSlip);
        f.w<TZuNumEdit>(u"ZuNumEdit_Slipno"_s)->setText(u"37"_s);
        pressF11(f);
        QCOMPARE(f.dialogs->notices().size(), 1);
        QVERIFY(f.dialogs->notices().first().startsWith(u"この伝票は履歴に記録されません。\n"_s));
        QCOMPARE(f.memory->jobs().size(), 1);
        QCOMPARE(f.memory->jobs().first().title, u"vuzo_Vez_1_0_YUBF-37"_s);
    }

    void aStoredSlipPrintsAgainUnderItsNumber()
    {
        MainWindowFixture f;
        f.start();
        QVERIFY(historyIs(f, HistoryService::State::Ready));
        window_test::fillSlip(f.form, kSlip);
        pressF11(f);
        const qint64 id = storedSlips(f).value(0).id;
        f.w<QLineEdit>(u"Edit_Custo1"_s)->setText(u"別の客様"_s);
        QTimer::singleShot(0, f.form, [] {
            if (auto *preview = qobject_cast<TForm_Preview *>(QApplication::activeModalWidget()))
                QTest::mouseClick(preview->findChild<QPushButton *>(u"BitBtn_Print"_s), Qt::LeftButton);
        });
        f.dialogs->answer({true});
        f.form->reprintSlip(storedSlip(f, id));
        QCOMPARE(f.memory->jobs().size(), 2);
        QCOMPARE(f.memory->jobs().at(1).title, u"vuzo_Vez_1_0_YUBF-1"_s);
        QStringList drawn;
        for (const DrawOp &op : f.memory->jobs().at(1).pages.first())
            drawn << op.text;
        QVERIFY(drawn.contains(kSlip.custo1));
        QCOMPARE(f.w<QLineEdit>(u"Edit_Custo1"_s)->text(), u"別の客様"_s);
        QCOMPARE(storedSlip(f, id).jobs.size(), 2);
        QCOMPARE(storedSlips(f).size(), 1);
    }

    void anItemTakenFromTheHistoryFillsItsRow()
    {
        MainWindowFixture f;
        f.start();
        QVERIFY(historyIs(f, HistoryService::State::Ready));
        window_test::fillSlip(f.form, kSlip);
        f.w<QCheckBox>(u"CheckBox_Reduced1"_s)->setChecked(true);
        pressF11(f);

        QLineEdit *item = f.line(2).item;
        item->setFocus();
        f.line(2).qty->setText(u"3"_s);
        // Typed through the input method, as Japanese is.
        QInputMethodEvent typed;
        typed.setCommitString(u"特製"_s);
        QApplication::sendEvent(item, &typed);
        QAbstractItemView *popup = item->completer()->popup();
        QVERIFY(QTest::qWaitFor([&] { return popup->isVisible(); }, 10000));
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Return);
        QCOMPARE(item->text(), u"特製ジャム"_s);
        QCOMPARE(f.line(2).unit->text(), u"瓶"_s);
        QCOMPARE(f.line(2).price->text(), u"800"_s);
        QVERIFY(f.w<QCheckBox>(u"CheckBox_Reduced2"_s)->isChecked());
        QCOMPARE(f.line(2).sales->text(), u"2400"_s);
    }
};

QTEST_MAIN(TestFormMainHistory)
#include "tst_formmain_history.moc"
