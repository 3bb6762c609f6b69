// The CUPS system printer when the scheduler cannot be reached: one that
// refuses the connection and one that accepts it and never answers. Every
// member fails with the layer's own error instead of hanging.

#include "printer/AskAway.h"
#include "printer/PrinterChangeWatch.h"
#include "printer/WbPrinters.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class TestCupsUnavailable : public QObject
{
    Q_OBJECT

    int m_silent = -1;

    // A socket listening on a free local port; returns the port, 0 on failure.
    static int Listen(int &fd)
    {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        if (fd < 0)
            return 0;
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        socklen_t len = sizeof addr;
        if (::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || ::listen(fd, 16) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len) != 0)
            return 0;
        return ntohs(addr.sin_port);
    }

private Q_SLOTS:
    void initTestCase()
    {
        // VUZO_CUPS_SILENT=1: a server that takes connections and says nothing.
        // Otherwise a port nobody listens on. libcups reads CUPS_SERVER on its
        // first use, which is after this point.
        // The kernel completes connections to a listening socket by itself,
        // so the silent server needs no event loop.
        int port = Listen(m_silent);
        QVERIFY(port > 0);
        if (qEnvironmentVariable("VUZO_CUPS_SILENT") != u"1"_s) {
            ::close(m_silent);
            m_silent = -1;
        }
        qputenv("CUPS_SERVER", QByteArray("127.0.0.1:") + QByteArray::number(port));
    }

    void cleanupTestCase()
    {
        if (m_silent >= 0)
            ::close(m_silent);
    }

    void everyMemberReportsThePrintSystemUnavailable_data()
    {
        QTest::addColumn<int>("member");
        QTest::newRow("Index") << 0;
        QTest::newRow("PrinterNames") << 1;
        QTest::newRow("PortNames") << 2;
        QTest::newRow("DPI") << 3;
    }
    void everyMemberReportsThePrintSystemUnavailable()
    {
        QFETCH(int, member);
        TWbPrinter printer(CreateCupsSystemPrinter());
        QString message;
        try {
            switch (member) {
            case 0: printer.Index(); break;
            case 1: printer.PrinterNames(); break;
            case 2: printer.PortNames(); break;
            default: printer.DPI(); break;
            }
        } catch (const EWbPrinter &e) {
            message = e.message();
        }
        QCOMPARE(message, u"印刷システム(CUPS)に接続できません"_s);
    }

    void aCheckForChangesDoesNotFail()
    {
        TWbPrinter printer(CreateCupsSystemPrinter());
        int calls = 0;
        printer.SetOnSystemChanged([&](TWbPrinter *) { ++calls; });
        printer.CheckSystemChange();
        QCOMPARE(calls, 0);
    }

    // The print system is asked away from the program's thread: while the
    // question waits for the server, the event loop keeps turning (its ticks
    // come well within the probe's two seconds), and the answer that comes
    // back says the print system cannot be reached.
    void theEventLoopKeepsTurningWhileThePrintSystemIsAsked_data()
    {
        QTest::addColumn<bool>("watch");
        QTest::newRow("change watch") << true;
        QTest::newRow("job follow-up") << false;
    }
    void theEventLoopKeepsTurningWhileThePrintSystemIsAsked()
    {
        QFETCH(bool, watch);
        std::unique_ptr<SystemPrinter> system = CreateCupsSystemPrinter();
        bool answered = false;
        bool unreachable = false;
        std::unique_ptr<vuzo::PrinterChangeWatch> changeWatch;
        QObject context;
        if (watch) {
            changeWatch = std::make_unique<vuzo::PrinterChangeWatch>(nullptr, 100, *system,
                                                                     [&](const SystemPrinter::Listing &listing) {
                                                                         answered = true;
                                                                         unreachable = !listing.available;
                                                                     });
        } else {
            vuzo::AskAway<SystemPrinter::JobStatus>(&context, system->QuestionsMayBlock(),
                                                    system->JobStatusQuestion({u"q1"_s, 7}),
                                                    [&](const SystemPrinter::JobStatus &status) {
                                                        answered = true;
                                                        unreachable = status.waiting == vuzo::JobWait::Unreachable;
                                                    });
        }
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        qint64 longestGap = 0;
        QTimer tick;
        tick.setInterval(10);
        connect(&tick, &QTimer::timeout, &tick, [&] {
            longestGap = qMax(longestGap, clock.elapsed() - last);
            last = clock.elapsed();
        });
        tick.start();
        QTRY_VERIFY_WITH_TIMEOUT(answered, 20000);
        QVERIFY(unreachable);
        QVERIFY2(longestGap < 1000, qPrintable(QString::number(longestGap)));
    }
};

QTEST_MAIN(TestCupsUnavailable)
#include "tst_cupsunavailable.moc"
