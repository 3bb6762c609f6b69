// The main window's wiring to the slip history: every print recorded under a
// number from the store and shown, the print going on when the history
// cannot be used, the reprint of a stored slip and the item names offered
// from earlier slips.

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
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;
using session::HistoryService;
using session::HistoryStore;

namespace {

const window_test::SlipText kSlip{.zip = u"100-0001"_s,
                                  .add1 = u"東京都千代田区千代田１－１"_s,
                                  .custo1 = u"架空花子様"_s,
                                  .tel = u"03-0000-1111"_s,
                                  .lines = {{u"特製ジャム"_s, u"瓶"_s, u"2"_s, u"800"_s}}};

bool historyReady(const MainWindowFixture &f)
{
    return QTest::qWaitFor([&] { return f.form->history()->state() == HistoryService::State::Ready; }, 10000);
}

template <class R> R fromStore(const MainWindowFixture &f, std::function<R(HistoryStore &)> work)
{
    QString why;
    const std::optional<R> result = f.form->history()->wait<R>(std::move(work), 10000, &why);
    if (!result)
        qWarning("history: %s", qPrintable(why));
    return result.value_or(R{});
}

QList<session::HistoryHit> storedSlips(const MainWindowFixture &f)
{
    return fromStore<QList<session::HistoryHit>>(f, [](HistoryStore &s) { return s.search(QString(), false); });
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
    // Through the real print system: the numbers run on from the store, the
    // job's title and the window carry them, and a new window still finds
    // the slips.
    void everyPrintIsRecordedUnderTheNextNumber()
    {
        MainWindowFixture f;
        if (const QString problem = f.registerPdfQueue(0, 0); !problem.isEmpty()) {
            if (qEnvironmentVariable("VUZO_REQUIRE_CUPS") == u"1"_s)
                QFAIL(qPrintable(problem));
            QSKIP(qPrintable(problem));
        }
        const QString queue = qEnvironmentVariable("VUZO_CUPS_PDF_QUEUE");
        f.start();
        QVERIFY(historyReady(f));
        window_test::fillSlip(f.form, kSlip);
        QList<int> cupsJobs;
        for (int n = 1; n <= 2; ++n) {
            pressF11(f);
            const QString number = QString::number(n);
            QCOMPARE(f.w<TZuNumEdit>(u"ZuNumEdit_Slipno"_s)->text(), number);
            QCOMPARE(f.w<QLabel>(u"Label_SlipNo"_s)->text(), u"伝票番号 "_s + number);
            QCOMPARE(f.w<QLabel>(u"Panel_HelpMess"_s)->text(), u"伝票番号 "_s + number + u" を印刷しました"_s);
            int id = 0;
            for (const vuzo::CupsJob &job : vuzo::CupsJobs(queue)) {
                if (job.title == u"vuzo_Vez_1_0_YUBF-"_s + number)
                    id = qMax(id, job.id);
            }
            QVERIFY(id > 0);
            cupsJobs << id;
            // The job's end, as the print system reports it, reaches the store.
            const qint64 slipId = storedSlips(f).value(0).id;
            const auto state = [&] {
                const auto slip = fromStore<std::optional<session::HistorySlip>>(
                    f, [slipId](HistoryStore &s) { return s.slip(slipId); });
                return slip && slip->jobs.size() == 1 ? slip->jobs.first().state : session::HistoryJobState::Sending;
            };
            QVERIFY(QTest::qWaitFor([&] { return state() == session::HistoryJobState::Completed; }, 30000));
        }
        QCOMPARE(f.dialogs->notices(), QStringList());
        f.stop();
        for (int id : std::as_const(cupsJobs))
            vuzo::CupsPurgeJob(queue, id);

        f.start();
        QVERIFY(historyReady(f));
        const QList<session::HistoryHit> hits = storedSlips(f);
        QCOMPARE(hits.size(), 2);
        QCOMPARE(hits.at(0).slipNo, 2);
        QCOMPARE(hits.at(1).slipNo, 1);
        QCOMPARE(hits.at(1).name, kSlip.custo1);
        QCOMPARE(hits.at(1).total, 1760); // 1600 and 10 % tax
        const std::optional<session::HistorySlip> first = fromStore<std::optional<session::HistorySlip>>(
            f, [id = hits.at(1).id](HistoryStore &s) { return s.slip(id); });
        QVERIFY(first && first->jobs.size() == 1);
        QCOMPARE(first->jobs.first().printer, queue);
        QCOMPARE(first->jobs.first().cupsJobId, cupsJobs.first());
        QCOMPARE(first->jobs.first().state, session::HistoryJobState::Completed);
    }

    void aHistoryThatCannotOpenIsToldOnceAndThePrintGoesOn()
    {
        MainWindowFixture f;
        QVERIFY(QDir().mkpath(f.path(session::HistoryFileName())));
        f.start();
        QVERIFY(QTest::qWaitFor([&] { return f.form->history()->state() == HistoryService::State::Failed; }, 10000));
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
        QVERIFY(historyReady(f));
        window_test::fillSlip(f.form, kSlip);
        pressF11(f);
        const qint64 id = storedSlips(f).value(0).id;
        const std::optional<session::HistorySlip> stored =
            fromStore<std::optional<session::HistorySlip>>(f, [id](HistoryStore &s) { return s.slip(id); });
        QVERIFY(stored);
        f.w<QLineEdit>(u"Edit_Custo1"_s)->setText(u"別の客様"_s);

        bool previewed = false;
        QTimer::singleShot(0, f.form, [&] {
            if (auto *preview = qobject_cast<TForm_Preview *>(QApplication::activeModalWidget())) {
                previewed = true;
                QTest::mouseClick(preview->findChild<QPushButton *>(u"BitBtn_Print"_s), Qt::LeftButton);
            }
        });
        f.dialogs->answer({true});
        f.form->reprintSlip(*stored);
        QVERIFY(previewed);
        QCOMPARE(f.memory->jobs().size(), 2);
        const MemorySystemPrinter::Job &again = f.memory->jobs().at(1);
        QCOMPARE(again.title, u"vuzo_Vez_1_0_YUBF-1"_s);
        bool storedName = false, windowName = false;
        for (const DrawOp &op : again.pages.first()) {
            storedName |= op.text.contains(kSlip.custo1);
            windowName |= op.text.contains(u"別の客様"_s);
        }
        QVERIFY(storedName && !windowName);
        QCOMPARE(f.w<QLineEdit>(u"Edit_Custo1"_s)->text(), u"別の客様"_s);
        const std::optional<session::HistorySlip> after =
            fromStore<std::optional<session::HistorySlip>>(f, [id](HistoryStore &s) { return s.slip(id); });
        QVERIFY(after);
        QCOMPARE(after->jobs.size(), 2);
        QCOMPARE(after->slipNo, 1);
        QCOMPARE(storedSlips(f).size(), 1);
    }

    void anItemTakenFromTheHistoryFillsItsRow()
    {
        MainWindowFixture f;
        f.start();
        QVERIFY(historyReady(f));
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
