// Records slips into a history, for the tests of several programs writing at
// once and of a program killed while it writes. Prints each slip number as
// it is stored.
//
//   history_writer COUNT sqlite FILE
//   history_writer COUNT postgres HOST PORT USER DATABASE
//
// A COUNT of 0 records until the program is killed.

#include "session/HistoryStore.h"

#include <QCoreApplication>
#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 2;
    session::HistoryLocation where;
    where.postgres = args[2] == u"postgres"_s;
    if (where.postgres && args.size() >= 7) {
        where.host = args[3];
        where.port = args[4].toInt();
        where.user = args[5];
        where.database = args[6];
    } else {
        where.sqlitePath = args[3];
    }
    where.busyTimeoutMs = where.statementTimeoutMs = 30000;
    const int count = args[1].toInt();
    try {
        session::HistoryStore store(where, u"writer"_s);
        for (int i = 0; count == 0 || i < count; ++i) {
            session::HistorySlip slip;
            slip.record = session::DefaultSlipRecord();
            slip.record.custo1 = u"書込　太郎%1"_s.arg(i);
            slip.record.tel = u"080-0000-%1"_s.arg(i % 10000, 4, 10, QChar(u'0'));
            for (int row = 0; row < 1 + i % 10; ++row)
                slip.record.lines[std::size_t(row)] = {{}, u"品%1"_s.arg(row), u"1"_s, u"個"_s, u"100"_s, u"100"_s, 0};
            session::HistoryJob job;
            std::printf("%lld\n", static_cast<long long>(store.record(slip, job).slipNo));
            std::fflush(stdout);
        }
    } catch (const session::EHistoryError &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
