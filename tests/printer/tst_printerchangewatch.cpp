// The watch that runs the printer check when the program's window is activated.

#include "printer/PrinterChangeWatch.h"
#include "printer/WbPrinterErrors.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// Long enough that the timer never runs the check during a test.
constexpr int kHour = 3600 * 1000;
} // namespace

class TestPrinterChangeWatch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windowEvents_data();
    void windowEvents();
    void aFailingCheckStaysInsideTheWatch();
};

void TestPrinterChangeWatch::windowEvents_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("toTheWindow");
    QTest::addColumn<int>("checks");

    QTest::newRow("activating the window runs the check") << int(QEvent::WindowActivate) << true << 1;
    QTest::newRow("deactivating the window does not") << int(QEvent::WindowDeactivate) << true << 0;
    QTest::newRow("showing the window does not") << int(QEvent::Show) << true << 0;
    QTest::newRow("activating another object does not") << int(QEvent::WindowActivate) << false << 0;
}

void TestPrinterChangeWatch::windowEvents()
{
    QFETCH(int, type);
    QFETCH(bool, toTheWindow);
    QFETCH(int, checks);

    QObject window;
    QObject other;
    int calls = 0;
    vuzo::PrinterChangeWatch watch(&window, kHour, [&] { ++calls; });
    QEvent event(static_cast<QEvent::Type>(type));
    QCoreApplication::sendEvent(toTheWindow ? &window : &other, &event);
    QCOMPARE(calls, checks);
}

void TestPrinterChangeWatch::aFailingCheckStaysInsideTheWatch()
{
    QObject window;
    int calls = 0;
    vuzo::PrinterChangeWatch watch(&window, kHour, [&] {
        ++calls;
        throw EWbPrinter(u"印刷システム(CUPS)に接続できません"_s);
    });
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&window, &activate);
    QCoreApplication::sendEvent(&window, &activate);
    QCOMPARE(calls, 2);
}

QTEST_GUILESS_MAIN(TestPrinterChangeWatch)
#include "tst_printerchangewatch.moc"
