// The history window over a real SQLite history: searched as typed, one line
// per customer, the keys that take a customer back, the CSV export, a store
// that cannot open; and F6 in the main window.

#include "history/HistoryHost.h"
#include "history/TForm_History.h"
#include "session/HistoryService.h"
#include "support/HistorySlips.h"
#include "support/MainWindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;
using history_test::Customer;

namespace {

const QList<Customer> kCustomers = {
    {u"佐藤　花子"_s, u"090-1111-2222"_s, u"100-0001"_s, u"東京都千代田区千代田１－１"_s,
     QDateTime(QDate(2026, 4, 1), QTime(10, 0)), u"りんご"_s},
    {u"鈴木　一郎"_s, u"06-3333-4444"_s, u"530-0001"_s, u"大阪府大阪市北区梅田９－９"_s,
     QDateTime(QDate(2026, 4, 5), QTime(11, 0)), u"みかん"_s},
    {u"佐藤　花子"_s, u"090-1111-2222"_s, u"100-0001"_s, u"東京都千代田区千代田１－１"_s,
     QDateTime(QDate(2026, 4, 10), QTime(9, 30)), u"ぶどう"_s},
};

struct TestHost : HistoryHost
{
    struct Taken
    {
        QString name, item;
        bool withLines;
    };
    QList<Taken> taken;
    void takeCustomer(const session::HistorySlip &s, bool withLines) override
    {
        taken.append({s.record.custo1, s.record.lines[0].item, withLines});
    }
    void reprint(const session::HistorySlip &) override {}
};

} // namespace

class TestHistoryWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<session::HistoryService> service;
    TestHost host;

    std::unique_ptr<TForm_History> openWindow()
    {
        auto w = std::make_unique<TForm_History>(service.get(), &host, dir.path());
        w->show();
        [&] { QTRY_VERIFY(w->searchShown() > 0); }();
        return w;
    }
    static QStringList column(const HistoryHitModel &m, int c)
    {
        QStringList out;
        for (int r = 0; r < m.rowCount(); ++r)
            out << m.index(r, c).data().toString();
        return out;
    }

private Q_SLOTS:
    void initTestCase()
    {
        history_test::Keep(dir.path(), kCustomers);
        session::HistoryLocation where;
        where.sqlitePath = dir.filePath(session::HistoryFileName());
        service = std::make_unique<session::HistoryService>(where);
        service->open();
        QTRY_COMPARE(service->state(), session::HistoryService::State::Ready);
    }
    void init() { host.taken.clear(); }

    void searchAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("perCustomer");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("counts"); // per customer only
        const QString sato = u"佐藤　花子"_s, suzuki = u"鈴木　一郎"_s;
        QTest::newRow("nothing typed: every slip, newest first")
            << QString() << false << QStringList{sato, suzuki, sato} << QStringList();
        // The writings the search matches are the store's; here one typed text.
        QTest::newRow("a telephone in full-width digits")
            << u"０９０－１１１１－２２２２"_s << false << QStringList{sato, sato} << QStringList();
        QTest::newRow("one line per customer with the count")
            << QString() << true << QStringList{sato, suzuki} << QStringList{u"2"_s, u"1"_s};
    }
    void searchAsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(bool, perCustomer);
        QFETCH(QStringList, names);
        QFETCH(QStringList, counts);
        auto w = openWindow();
        w->findChild<QCheckBox *>(u"CheckBox_PerCustomer"_s)->setChecked(perCustomer);
        // Typed a character at a time: only the answer to the whole text stays.
        auto *search = w->findChild<QLineEdit *>(u"Edit_Search"_s);
        for (const QChar c : typed) {
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(search, &key);
        }
        QTRY_COMPARE(w->searchShown(), w->searchAsked());
        QCOMPARE(column(w->model(), HistoryHitModel::Name), names);
        if (perCustomer)
            QCOMPARE(column(w->model(), HistoryHitModel::Count), counts);
        QCOMPARE(w->model().columnCount(), perCustomer ? 7 : 6);
    }

    void keysTakeTheCustomer_data()
    {
        QTest::addColumn<int>("downs");
        QTest::addColumn<bool>("ctrl");
        QTest::addColumn<QString>("item");
        QTest::newRow("Enter takes the newest slip's customer") << 0 << false << u"ぶどう"_s;
        QTest::newRow("Ctrl+Enter also its lines") << 0 << true << u"ぶどう"_s;
        QTest::newRow("Down moves in the list from the field") << 2 << false << u"りんご"_s;
    }
    void keysTakeTheCustomer()
    {
        QFETCH(int, downs);
        QFETCH(bool, ctrl);
        QFETCH(QString, item);
        auto w = openWindow();
        auto *search = w->findChild<QLineEdit *>(u"Edit_Search"_s);
        QVERIFY(search->hasFocus());
        for (int k = 0; k < downs; ++k)
            QTest::keyClick(search, Qt::Key_Down);
        QTest::keyClick(search, Qt::Key_Return, ctrl ? Qt::ControlModifier : Qt::NoModifier);
        QTRY_COMPARE(host.taken.size(), 1);
        QCOMPARE(host.taken.first().item, item);
        QCOMPARE(host.taken.first().withLines, ctrl);
        QVERIFY(!w->isVisible());
    }

    void escapeCloses()
    {
        auto w = openWindow();
        QTest::keyClick(w->findChild<QLineEdit *>(u"Edit_Search"_s), Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QVERIFY(host.taken.isEmpty());
    }

    void csvExportWritesThePeriod()
    {
        auto owned = std::make_unique<ScriptedDialogs>();
        ScriptedDialogs *scripted = owned.get();
        auto previous = vuzo::SetDialogs(std::move(owned));
        const QString path = dir.filePath(u"四月.csv"_s);
        scripted->answerSaveFile(path);
        auto w = openWindow();
        QTimer::singleShot(0, w.get(), [] {
            QWidget *ask = QApplication::activeModalWidget();
            QVERIFY(ask && ask->objectName() == u"Form_HistoryCsv"_s);
            ask->findChild<QDateEdit *>(u"DateEdit_From"_s)->setDate(QDate(2026, 4, 2));
            ask->findChild<QDateEdit *>(u"DateEdit_To"_s)->setDate(QDate(2026, 4, 30));
            ask->findChild<QPushButton *>(u"BitBtn_Ok"_s)->click();
        });
        w->findChild<QPushButton *>(u"BitBtn_Csv"_s)->click();
        QTRY_VERIFY(w->stateText().contains(u"2 件"_s));
        vuzo::SetDialogs(std::move(previous));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        QVERIFY(text.contains(u"鈴木　一郎"_s));
        QVERIFY(text.contains(u"ぶどう"_s));
        QVERIFY(!text.contains(u"りんご"_s)); // printed before the period
    }

    void aStoreThatCannotOpenIsToldInOneLine()
    {
        session::HistoryLocation where;
        where.sqlitePath = dir.path(); // a folder where the file should be
        session::HistoryService broken(where);
        TForm_History w(&broken, &host, dir.path());
        w.show();
        QTRY_VERIFY(w.stateText().startsWith(u"履歴を使えません"_s));
        QTest::keyClick(w.findChild<QLineEdit *>(u"Edit_Search"_s), Qt::Key_Return);
        QVERIFY(w.isVisible());
    }

    // F6 in the main window opens the window on its service; Enter there
    // fills the delivery fields, asking first over fields typed by hand.
    void f6TakesACustomerIntoTheMainWindow()
    {
        MainWindowFixture fx;
        history_test::Keep(fx.dir.path(), {kCustomers.at(1)});
        fx.start();
        QTRY_COMPARE(fx.form->history()->state(), session::HistoryService::State::Ready);
        QTest::keyClicks(fx.w<QLineEdit>(u"Edit_tel"_s), u"03"_s);
        fx.dialogs->answer({true});
        bool opened = false;
        QTimer::singleShot(0, fx.form, [&] {
            auto *w = qobject_cast<TForm_History *>(QApplication::activeModalWidget());
            QVERIFY(w);
            opened = true;
            QTRY_COMPARE(w->model().rowCount(), 1);
            QTest::keyClick(w->findChild<QLineEdit *>(u"Edit_Search"_s), Qt::Key_Return);
            QTRY_VERIFY(!w->isVisible());
        });
        QTest::keyClick(fx.w<QLineEdit>(u"Edit_Zip"_s), Qt::Key_F6);
        QVERIFY(opened);
        QCOMPARE(fx.dialogs->confirms(), QStringList{u"手で入力したお届け先を上書きしますか?"_s});
        QCOMPARE(fx.w<QLineEdit>(u"Edit_tel"_s)->text(), u"06-3333-4444"_s);
        QCOMPARE(fx.w<QLineEdit>(u"Edit_Custo1"_s)->text(), u"鈴木　一郎"_s);
        QCOMPARE(fx.w<QLineEdit>(u"Edit_Zip"_s)->text(), u"530-0001"_s);
    }
};

QTEST_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
