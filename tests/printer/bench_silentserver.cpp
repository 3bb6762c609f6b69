// Not a test: scripts/bench runs it. The longest wait of the program's event
// loop while the change watch and the job follow-up ask a print server that
// takes connections and never answers (target: 100 ms).

#include "printer/AskAway.h"
#include "printer/PrinterChangeWatch.h"
#include "printer/WbPrinters.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

int main(int argc, char *argv[])
{
    // The kernel completes connections to a listening socket by itself: a
    // server that accepts and says nothing.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || ::listen(fd, 64) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len) != 0)
        return 1;
    qputenv("CUPS_SERVER", QByteArray("127.0.0.1:") + QByteArray::number(ntohs(addr.sin_port)));

    QCoreApplication app(argc, argv);
    std::unique_ptr<SystemPrinter> system = CreateCupsSystemPrinter();
    vuzo::PrinterChangeWatch watch(nullptr, 100, *system, [](const SystemPrinter::Listing &) {});
    // A job follow-up every 250 ms, as the follower asks.
    QTimer follow;
    follow.setInterval(250);
    QObject::connect(&follow, &QTimer::timeout, &app, [&] {
        vuzo::AskAway<SystemPrinter::JobStatus>(&app, system->QuestionsMayBlock(),
                                                system->JobStatusQuestion({QStringLiteral("q"), 1}),
                                                [](const SystemPrinter::JobStatus &) {});
    });
    follow.start();

    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(10);
    QObject::connect(&tick, &QTimer::timeout, &app, [&] {
        longest = qMax(longest, clock.elapsed() - last);
        last = clock.elapsed();
        if (last >= 6000)
            app.quit();
    });
    tick.start();
    app.exec();
    std::printf("silent_print_server_longest_event_gap_ms %lld\n", static_cast<long long>(longest));
    std::fflush(stdout);
    ::close(fd);
    // Questions still held by the silent server are not waited for.
    std::_Exit(0);
}
