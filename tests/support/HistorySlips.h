#pragma once
// Fictional slips kept in a history through the real store, for the tests of
// the history window and its export.

#include "session/HistoryStore.h"

#include <QDateTime>
#include <QString>

namespace history_test {

struct Customer
{
    QString name, tel, zip, add1;
    QDateTime printedAt;
    QString item; // the first sales line, 1 x 1000 yen at the standard rate
};

inline session::HistorySlip SlipOf(const Customer &c)
{
    session::HistorySlip s;
    s.printedAt = c.printedAt;
    s.record.custo1 = c.name;
    s.record.tel = c.tel;
    s.record.zip = c.zip;
    s.record.add1 = c.add1;
    s.record.lines[0] = {
        QString(), c.item, QStringLiteral("1"), QStringLiteral("個"), QStringLiteral("1000"), QStringLiteral("1000"),
        0};
    s.record.slipDate = c.printedAt.date();
    s.totalText = QStringLiteral("1,100");
    s.amount = 1000;
    s.tax = 100;
    s.total = 1100;
    s.rates = {{QStringLiteral("10"), false, 1000, 100}};
    return s;
}

// Keeps the slips in the SQLite history of dataDir.
inline void Keep(const QString &dataDir, const QList<Customer> &customers)
{
    session::HistoryLocation where;
    where.sqlitePath = dataDir + QStringLiteral("/") + session::HistoryFileName();
    session::HistoryStore store(where, QStringLiteral("history_test_fill"));
    for (const Customer &c : customers) {
        session::HistoryJob job;
        job.printer = QStringLiteral("office-a");
        store.record(SlipOf(c), job);
    }
}

} // namespace history_test
