#pragma once
// The slip history: every slip handed to the print system, kept in a database
// through Qt SQL, so that a customer is found again, a spoiled form is printed
// again as it was, slip numbers run on and the seller has the list of what was
// billed. SQLite by default (vuzo_history.sqlite3 in the data folder); an
// office with several PCs shares one PostgreSQL database, chosen in the
// settings file:
//
//     [vz_Vez_1db]
//     Driver=QPSQL
//     Host=db.example.lan        (or a Unix socket folder)
//     Port=5432
//     Database=vuzo
//     User=shop
//
// The password is never in the settings file: libpq reads ~/.pgpass,
// PGPASSFILE or a service file (Service=).
//
// A HistoryStore is one connection and is used on one thread only (Qt SQL's
// rule): the window reaches it through HistoryService, which runs it on a
// thread of its own. Every method that fails throws EHistoryError with the
// operator's message; nothing already stored is altered by a failed call (each
// write is one transaction).

#include "platform/Errors.h"
#include "print/InvoiceSheet.h"
#include "session/SlipRecord.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

class ProfileFile;

namespace session {

// The SQLite file's name in the data folder.
QString HistoryFileName();
// The settings file's section that chooses the database.
QString HistorySection();

// Where the history lives.
struct HistoryLocation
{
    bool postgres = false;
    QString sqlitePath; // SQLite: the file
    // PostgreSQL: the server (a host name or a Unix socket folder; empty for
    // libpq's default), its port (0 for the default), the database, the user
    // and a libpq service name, each empty when not given.
    QString host;
    int port = 0;
    QString database, user, service;
    // Bounded waits: a server that does not answer is given up after these,
    // and a locked SQLite file after the busy timeout.
    int connectTimeoutSec = 5;
    int statementTimeoutMs = 5000;
    int busyTimeoutMs = 5000;

    // 「/home/shop/vuzo/vuzo_history.sqlite3」 or 「PostgreSQL vuzo（db.example.lan:5432）」
    QString describe() const;
};

// The location the settings file names; without Driver=QPSQL in its section,
// the SQLite file in dataDir.
HistoryLocation ReadHistoryLocation(const ProfileFile &ini, const QString &dataDir);

class EHistoryError : public EVuzoError
{
public:
    using EVuzoError::EVuzoError;
};

enum class HistoryJobKind
{
    Slip,
    Invoice,
};

// What became of a job: kept as 「sending」 before the job is handed over,
// then as the print system reports it.
enum class HistoryJobState
{
    Sending,   // being handed to the print system
    Sent,      // handed over; not yet known to have ended
    Completed, // the print system is done with it
    Stopped,   // the print system stopped it (aborted, or its queue stopped)
    Cancelled, // cancelled by someone
    Failed,    // could not be handed over at all
};
// 「送信中」「送信済み」「完了」「停止」「取消」「失敗」
QString HistoryJobStateText(HistoryJobState state);

// One job that printed a slip or its invoice sheet: the first print and each
// reprint.
struct HistoryJob
{
    qint64 id = 0; // the store's key, 0 before it is stored
    HistoryJobKind kind = HistoryJobKind::Slip;
    QDateTime printedAt;
    QString printer; // the queue
    QString feed;    // the paper feed's name (手差し, …)
    int copies = 1;
    int cupsJobId = 0; // 0 while unknown
    HistoryJobState state = HistoryJobState::Sending;
};

// One rate's part of a slip, in whole yen.
struct HistoryRate
{
    QString percent; // 「10」, 「8」
    bool reduced = false;
    qint64 subtotal = 0;
    qint64 tax = 0;
};

// A slip as the history keeps it.
struct HistorySlip
{
    qint64 id = 0;     // the store's key, 0 before it is stored
    qint64 slipNo = 0; // taken from the store when the slip is recorded
    QDateTime printedAt;
    QString orderId; // the order of a batch, empty for a slip of the window
    // The slip as printed: delivery, sender, the ten lines with their rate
    // classes, the rates, the rounding code, the price kind, the
    // registration number and the day of the slip. Everything the slip's
    // layout reads is in it, so the slip prints again as it was.
    SlipRecord record;
    QString totalText; // the total as its field held it when printed
    // The figures in whole yen: the amounts, the tax and the total with tax,
    // and each rate's part.
    qint64 amount = 0, tax = 0, total = 0;
    QList<HistoryRate> rates;
    // The invoice sheet as issued with the slip, when one was.
    std::optional<InvoiceSheet> invoice;
    // Every job that printed it, oldest first (filled by slip() and slipsBetween()).
    QList<HistoryJob> jobs;
};

// One row of the search list: a slip, or with perCustomer a customer with
// their newest slip's fields and the number of their slips.
struct HistoryHit
{
    qint64 id = 0; // the (newest) slip's key
    qint64 slipNo = 0;
    QDateTime printedAt;
    QString name, zip, address, tel; // address: the three lines joined
    qint64 total = 0;
    int slipCount = 1;
};

// An item name of earlier slips with its last unit, unit price and rate
// class, and how often it was sold.
struct HistoryItem
{
    QString item, unit, price;
    int taxClass = 0;
    int uses = 0;
};

class HistoryStore
{
public:
    // The schema version this program writes; a database of a newer one is
    // refused, never altered.
    static constexpr int kSchemaVersion = 1;

    // Opens the database (creating the SQLite file and its folder's file on
    // first use, WAL mode, foreign keys on, the busy timeout; connecting to
    // PostgreSQL within the connect timeout) and brings its schema to
    // kSchemaVersion. The connection is named connectionName (unique in the
    // process). Throws EHistoryError.
    HistoryStore(const HistoryLocation &where, const QString &connectionName);
    ~HistoryStore();
    HistoryStore(const HistoryStore &) = delete;
    HistoryStore &operator=(const HistoryStore &) = delete;

    const HistoryLocation &location() const;
    int schemaVersion() const;
    // Whether a statement failed since the store was opened: the connection
    // may be gone (a server restarted, a network lost), so the caller opens
    // a new one. What was stored stays as it was either way.
    bool failed() const;

    // Takes the next slip number (unique across every program on the
    // database, also under simultaneous prints; a new store starts at 1) and
    // keeps the slip with its lines, rates and first job in one transaction.
    // Returns the slip with id, slipNo, printedAt (now when invalid) and the
    // job's id set.
    HistorySlip record(HistorySlip slip, HistoryJob &job);
    // Adds a job (a reprint, the invoice sheet printed later) to a stored
    // slip; an invoice sheet given is kept with the slip. Returns the job's id.
    qint64 addJob(qint64 slipId, HistoryJob job, const std::optional<InvoiceSheet> &invoice = std::nullopt);
    // The end state of a job, and its CUPS job id when known (0 keeps it).
    void setJobState(qint64 jobId, HistoryJobState state, int cupsJobId = 0);

    // A stored slip with its jobs; nullopt when there is none of that key.
    std::optional<HistorySlip> slip(qint64 id) const;
    // The slips whose name, telephone (digits compared, in any writing),
    // postal code or address contain text, newest first, at most limit; an
    // empty text gives the newest slips. perCustomer gives one row per
    // customer (the same telephone, or without one the same name and postal
    // code) with the count of their slips.
    QList<HistoryHit> search(const QString &text, bool perCustomer, int limit = 200) const;
    // Item names of earlier slips that begin with typed, then those that
    // contain it, most used first within each, at most limit.
    QList<HistoryItem> items(const QString &typed, int limit = 20) const;
    // The slips printed from one day to another (both included, local
    // time), oldest first, with their jobs.
    QList<HistorySlip> slipsBetween(const QDate &from, const QDate &to) const;
    // Whether a slip of this order id may have been printed: it is stored
    // with a slip job that was not cancelled before it was sent nor failed
    // to be sent (a job still 'sending' counts: the program may have ended
    // while the printer printed it).
    bool hasOrder(const QString &orderId) const;

private:
    struct Data;
    std::unique_ptr<Data> d;
};

// The export's encodings: UTF-8 with a byte-order mark (Excel opens it as
// such) or CP932.
enum class HistoryCsvEncoding
{
    Utf8Bom,
    Cp932,
};
// The slips as CSV, one row per sales line (a slip without lines gives one
// row), with a header row, each slip's per-rate subtotals and taxes and its
// totals, CRLF line ends.
QByteArray HistoryCsv(const QList<HistorySlip> &slips, HistoryCsvEncoding encoding);

} // namespace session
