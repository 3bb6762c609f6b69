#include "session/HistoryStore.h"

#include "platform/Cp932.h"
#include "session/InvoiceContent.h"
#include "settings/ProfileFile.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTimeZone>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace session {

QString HistoryFileName()
{
    return u"vuzo_history.sqlite3"_s;
}

QString HistorySection()
{
    return u"vz_Vez_1db"_s;
}

QString HistoryLocation::describe() const
{
    if (!postgres)
        return QDir::toNativeSeparators(sqlitePath);
    QString server;
    if (!host.isEmpty())
        server = port > 0 ? host + u':' + QString::number(port) : host;
    else if (port > 0)
        server = u"ポート "_s + QString::number(port);
    if (!service.isEmpty())
        server = server.isEmpty() ? u"サービス "_s + service : server + u"、サービス "_s + service;
    if (server.isEmpty())
        server = u"既定のサーバー"_s;
    return u"PostgreSQL "_s + (database.isEmpty() ? u"（既定のデータベース）"_s : database) + u'（' + server + u'）';
}

HistoryLocation ReadHistoryLocation(const ProfileFile &ini, const QString &dataDir)
{
    const QString section = HistorySection();
    HistoryLocation where;
    where.sqlitePath = QDir(dataDir).filePath(HistoryFileName());
    if (ini.ReadString(section, u"Driver"_s, QString()).trimmed().compare(u"QPSQL"_s, Qt::CaseInsensitive) != 0)
        return where;
    // A Password key is never read: libpq takes it from ~/.pgpass,
    // PGPASSFILE or the service file.
    where.postgres = true;
    where.host = ini.ReadString(section, u"Host"_s, QString()).trimmed();
    const int port = ini.ReadInteger(section, u"Port"_s, 0);
    where.port = port > 0 && port < 65536 ? port : 0;
    where.database = ini.ReadString(section, u"Database"_s, QString()).trimmed();
    where.user = ini.ReadString(section, u"User"_s, QString()).trimmed();
    where.service = ini.ReadString(section, u"Service"_s, QString()).trimmed();
    return where;
}

QString HistoryJobStateText(HistoryJobState state)
{
    switch (state) {
    case HistoryJobState::Sending: return u"送信中"_s;
    case HistoryJobState::Sent: return u"送信済み"_s;
    case HistoryJobState::Completed: return u"完了"_s;
    case HistoryJobState::Stopped: return u"停止"_s;
    case HistoryJobState::Cancelled: return u"取消"_s;
    case HistoryJobState::Failed: return u"失敗"_s;
    }
    return QString();
}

namespace {

// The schema, in the types both engines accept. Keys are handed out by the
// program from the counters table inside the write's transaction, so the
// same text serves SQLite and PostgreSQL.
//
// search_texts holds each distinct search text once with its customer, its
// newest slip and its number of slips, and item_stats each item name with
// its last line and its uses: a search that has to look further back than
// the newest slips, and the item list, read those short tables instead of
// every slip and every line.
const char *const kSchemaV1 = R"sql(
CREATE TABLE schema_version (version INTEGER NOT NULL);
CREATE TABLE counters (name TEXT PRIMARY KEY, value BIGINT NOT NULL);
INSERT INTO counters (name, value) VALUES ('slip_id', 0);
INSERT INTO counters (name, value) VALUES ('slip_no', 0);
INSERT INTO counters (name, value) VALUES ('job_id', 0);
CREATE TABLE slips (
    id BIGINT PRIMARY KEY,
    slip_no BIGINT NOT NULL UNIQUE,
    printed_at TEXT NOT NULL,
    order_id TEXT NOT NULL,
    zip TEXT NOT NULL, add1 TEXT NOT NULL, add2 TEXT NOT NULL, add3 TEXT NOT NULL,
    custo1 TEXT NOT NULL, tel TEXT NOT NULL,
    my_name TEXT NOT NULL, my_zip TEXT NOT NULL, my_add1 TEXT NOT NULL, my_add2 TEXT NOT NULL,
    my_tel TEXT NOT NULL,
    tax_old TEXT NOT NULL, tax_new TEXT NOT NULL, tax_enfor_date TEXT NOT NULL,
    tax_reduced TEXT NOT NULL, tax_reduced_date TEXT NOT NULL,
    rounding TEXT NOT NULL,
    prices_include_tax INTEGER NOT NULL,
    invoice_reg_no TEXT NOT NULL,
    amount BIGINT NOT NULL, tax BIGINT NOT NULL, total BIGINT NOT NULL,
    total_text TEXT NOT NULL,
    line_count INTEGER NOT NULL,
    search_text TEXT NOT NULL,
    customer_key TEXT NOT NULL,
    record_json TEXT NOT NULL,
    invoice_json TEXT
);
CREATE INDEX slips_search ON slips (search_text, id);
CREATE INDEX slips_newest ON slips (id, search_text);
CREATE INDEX slips_customer ON slips (customer_key, id);
CREATE INDEX slips_printed_at ON slips (printed_at);
CREATE INDEX slips_order ON slips (order_id);
CREATE TABLE slip_lines (
    slip_id BIGINT NOT NULL REFERENCES slips (id),
    row_no INTEGER NOT NULL,
    item TEXT NOT NULL,
    item_key TEXT NOT NULL,
    qty TEXT NOT NULL, unit TEXT NOT NULL, price TEXT NOT NULL, amount TEXT NOT NULL,
    tax_class INTEGER NOT NULL,
    PRIMARY KEY (slip_id, row_no)
);
CREATE INDEX slip_lines_item ON slip_lines (item_key, slip_id);
CREATE TABLE slip_rates (
    slip_id BIGINT NOT NULL REFERENCES slips (id),
    position INTEGER NOT NULL,
    percent TEXT NOT NULL,
    reduced INTEGER NOT NULL,
    subtotal BIGINT NOT NULL,
    tax BIGINT NOT NULL,
    PRIMARY KEY (slip_id, position)
);
CREATE TABLE slip_jobs (
    id BIGINT PRIMARY KEY,
    slip_id BIGINT NOT NULL REFERENCES slips (id),
    kind TEXT NOT NULL,
    printed_at TEXT NOT NULL,
    printer TEXT NOT NULL,
    feed TEXT NOT NULL,
    copies INTEGER NOT NULL,
    cups_job_id INTEGER NOT NULL,
    state TEXT NOT NULL
);
CREATE INDEX slip_jobs_slip ON slip_jobs (slip_id, id);
CREATE TABLE search_texts (
    search_text TEXT PRIMARY KEY,
    customer_key TEXT NOT NULL,
    newest_id BIGINT NOT NULL,
    slip_count INTEGER NOT NULL
);
CREATE INDEX search_texts_customer ON search_texts (customer_key, newest_id);
CREATE INDEX search_texts_newest ON search_texts (newest_id);
CREATE TABLE item_stats (
    item_key TEXT PRIMARY KEY,
    item TEXT NOT NULL, unit TEXT NOT NULL, price TEXT NOT NULL,
    tax_class INTEGER NOT NULL,
    uses INTEGER NOT NULL
);
INSERT INTO schema_version (version) VALUES (1)
)sql";

// The migrations: step i brings a database of version i to version i + 1.
const char *const kMigrations[] = {kSchemaV1};
static_assert(std::size(kMigrations) == HistoryStore::kSchemaVersion);

// Serialises the migration of two programs that start at once on one
// PostgreSQL database.
constexpr qint64 kMigrationLock = 0x76757a6f68697374; // "vuzohist"

QString JobKindName(HistoryJobKind kind)
{
    return kind == HistoryJobKind::Invoice ? u"invoice"_s : u"slip"_s;
}

HistoryJobKind JobKindOf(const QString &name)
{
    return name == u"invoice"_s ? HistoryJobKind::Invoice : HistoryJobKind::Slip;
}

struct StateName
{
    HistoryJobState state;
    const char16_t *name;
};
constexpr StateName kStateNames[] = {
    {HistoryJobState::Sending, u"sending"},     {HistoryJobState::Sent, u"sent"},
    {HistoryJobState::Completed, u"completed"}, {HistoryJobState::Stopped, u"stopped"},
    {HistoryJobState::Cancelled, u"cancelled"}, {HistoryJobState::Failed, u"failed"},
};

QString StateNameOf(HistoryJobState state)
{
    for (const StateName &s : kStateNames)
        if (s.state == state)
            return QString::fromUtf16(s.name);
    return u"sending"_s;
}

HistoryJobState StateOf(const QString &name)
{
    for (const StateName &s : kStateNames)
        if (name == QString::fromUtf16(s.name))
            return s.state;
    return HistoryJobState::Sending;
}

// Times are kept in UTC with milliseconds, so their text sorts as they do.
QString TimeText(const QDateTime &t)
{
    return t.toUTC().toString(Qt::ISODateWithMs);
}

QDateTime TimeOf(const QString &text)
{
    QDateTime t = QDateTime::fromString(text, Qt::ISODateWithMs);
    return t.isValid() ? t.toLocalTime() : t;
}

QString DateText(const QDate &d)
{
    return d.isValid() ? d.toString(Qt::ISODate) : QString();
}

QDate DateOf(const QJsonValue &v)
{
    return QDate::fromString(v.toString(), Qt::ISODate);
}

QString DigitsOf(const QString &text)
{
    const QString n = text.normalized(QString::NormalizationForm_KC);
    QString digits;
    for (const QChar c : n)
        if (c >= u'0' && c <= u'9')
            digits += c;
    return digits;
}

// The form searches compare: NFKC (full-width letters and digits to their
// half-width forms), case folded, without any white space, so 「浜田　陽菜」
// and 「浜田陽菜」 are the same text.
QString SearchForm(const QString &text)
{
    const QString n = text.normalized(QString::NormalizationForm_KC).toCaseFolded();
    QString out;
    out.reserve(n.size());
    for (const QChar c : n)
        if (!c.isSpace())
            out += c;
    return out;
}

// A typed text that is a telephone number or postal code in some writing:
// digits with hyphens, long vowel marks, brackets or spaces between them.
QString TypedDigits(const QString &typed)
{
    const QString n = typed.normalized(QString::NormalizationForm_KC);
    QString digits;
    for (const QChar c : n) {
        if (c >= u'0' && c <= u'9')
            digits += c;
        else if (!(c.isSpace() || c == u'-' || c == u'ー' || c == u'‐' || c == u'−' || c == u'(' || c == u')' ||
                   c == u'〒'))
            return QString();
    }
    return digits;
}

QString LikeContains(const QString &text)
{
    QString escaped;
    for (const QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            escaped += u'\\';
        escaped += c;
    }
    return escaped;
}

QString SearchTextOf(const SlipRecord &r)
{
    return QStringList{SearchForm(r.custo1), DigitsOf(r.zip),    DigitsOf(r.tel),
                       SearchForm(r.add1),   SearchForm(r.add2), SearchForm(r.add3)}
        .join(u'\n');
}

QString CustomerKeyOf(const SlipRecord &r)
{
    const QString tel = DigitsOf(r.tel);
    if (!tel.isEmpty())
        return u"t:"_s + tel;
    return u"n:"_s + SearchForm(r.custo1) + u'|' + DigitsOf(r.zip);
}

QString JoinedAddress(const QString &a1, const QString &a2, const QString &a3)
{
    QStringList parts;
    for (const QString &p : {a1, a2, a3})
        if (!p.isEmpty())
            parts << p;
    return parts.join(u' ');
}

bool LineIsUsed(const SlipLine &l)
{
    return !(l.itemNo.isEmpty() && l.item.isEmpty() && l.qty.isEmpty() && l.unit.isEmpty() && l.price.isEmpty() &&
             l.sales.isEmpty());
}

// --- The record and the invoice sheet as JSON ---

QJsonArray ArrayOf(const QStringList &list)
{
    return QJsonArray::fromStringList(list);
}

template <std::size_t N> QJsonArray ArrayOf(const std::array<QString, N> &texts)
{
    QJsonArray a;
    for (const QString &t : texts)
        a.append(t);
    return a;
}

QStringList ListOf(const QJsonValue &v)
{
    QStringList out;
    for (const QJsonValue &e : v.toArray())
        out << e.toString();
    return out;
}

template <std::size_t N> void FillArray(std::array<QString, N> &texts, const QJsonValue &v)
{
    const QJsonArray a = v.toArray();
    for (std::size_t i = 0; i < N; ++i)
        texts[i] = i < std::size_t(a.size()) ? a[qsizetype(i)].toString() : QString();
}

QJsonObject JsonOf(const SlipRecord &r)
{
    QJsonArray lines;
    for (const SlipLine &l : r.lines)
        lines.append(QJsonObject{{u"itemNo"_s, l.itemNo},
                                 {u"item"_s, l.item},
                                 {u"qty"_s, l.qty},
                                 {u"unit"_s, l.unit},
                                 {u"price"_s, l.price},
                                 {u"sales"_s, l.sales},
                                 {u"taxClass"_s, l.taxClass}});
    return QJsonObject{
        {u"zip"_s, r.zip},
        {u"add1"_s, r.add1},
        {u"add2"_s, r.add2},
        {u"add3"_s, r.add3},
        {u"custo1"_s, r.custo1},
        {u"tel"_s, r.tel},
        {u"myName"_s, r.myName},
        {u"myZip"_s, r.myZip},
        {u"myAdd1"_s, r.myAdd1},
        {u"myAdd2"_s, r.myAdd2},
        {u"myTel"_s, r.myTel},
        {u"lines"_s, lines},
        {u"taxOld"_s, r.taxOld},
        {u"taxNew"_s, r.taxNew},
        {u"taxEnforDate"_s, DateText(r.taxEnforDate)},
        {u"taxReduced"_s, r.taxReduced},
        {u"taxReducedDate"_s, DateText(r.taxReducedDate)},
        {u"pricesIncludeTax"_s, r.pricesIncludeTax},
        {u"invoiceRegNo"_s, r.invoiceRegNo},
        {u"invoiceWithSlip"_s, r.invoiceWithSlip},
        {u"slipDate"_s, DateText(r.slipDate)},
        {u"rounding"_s, r.rounding},
        {u"slipNo"_s, r.slipNo},
        {u"feedIndex"_s, r.feedIndex},
        {u"paperIndex"_s, r.paperIndex},
        {u"senderTab"_s, r.senderTab},
        {u"addressFont"_s, r.addressFont},
        {u"senderFont"_s, r.senderFont},
        {u"fontSize"_s, r.fontSize},
        {u"fontName"_s, r.fontName},
        {u"extraLines"_s, ArrayOf(r.extraLines)},
        {u"remarks"_s, ArrayOf(r.remarks)},
        {u"documentHead"_s, ArrayOf(r.documentHead)},
        {u"kosuu"_s, r.kosuu},
        {u"imeItemNo"_s, r.imeItemNo},
        {u"imeItem"_s, r.imeItem},
        {u"imeUnit"_s, r.imeUnit},
        {u"newPage"_s, r.newPage},
        {u"transferMode"_s, r.transferMode},
    };
}

SlipRecord RecordOf(const QJsonObject &o)
{
    SlipRecord r;
    r.zip = o[u"zip"].toString();
    r.add1 = o[u"add1"].toString();
    r.add2 = o[u"add2"].toString();
    r.add3 = o[u"add3"].toString();
    r.custo1 = o[u"custo1"].toString();
    r.tel = o[u"tel"].toString();
    r.myName = o[u"myName"].toString();
    r.myZip = o[u"myZip"].toString();
    r.myAdd1 = o[u"myAdd1"].toString();
    r.myAdd2 = o[u"myAdd2"].toString();
    r.myTel = o[u"myTel"].toString();
    const QJsonArray lines = o[u"lines"].toArray();
    for (int i = 0; i < kLineRows && i < lines.size(); ++i) {
        const QJsonObject l = lines[i].toObject();
        SlipLine &line = r.lines[std::size_t(i)];
        line.itemNo = l[u"itemNo"].toString();
        line.item = l[u"item"].toString();
        line.qty = l[u"qty"].toString();
        line.unit = l[u"unit"].toString();
        line.price = l[u"price"].toString();
        line.sales = l[u"sales"].toString();
        line.taxClass = l[u"taxClass"].toInt();
    }
    r.taxOld = o[u"taxOld"].toString();
    r.taxNew = o[u"taxNew"].toString();
    r.taxEnforDate = DateOf(o[u"taxEnforDate"]);
    r.taxReduced = o[u"taxReduced"].toString();
    r.taxReducedDate = DateOf(o[u"taxReducedDate"]);
    r.pricesIncludeTax = o[u"pricesIncludeTax"].toBool();
    r.invoiceRegNo = o[u"invoiceRegNo"].toString();
    r.invoiceWithSlip = o[u"invoiceWithSlip"].toBool();
    r.slipDate = DateOf(o[u"slipDate"]);
    r.rounding = o[u"rounding"].toString();
    r.slipNo = o[u"slipNo"].toString();
    r.feedIndex = o[u"feedIndex"].toInt();
    r.paperIndex = o[u"paperIndex"].toInt();
    r.senderTab = o[u"senderTab"].toInt();
    r.addressFont = o[u"addressFont"].toInt(1);
    r.senderFont = o[u"senderFont"].toInt();
    r.fontSize = o[u"fontSize"].toInt(10);
    r.fontName = o[u"fontName"].toString();
    FillArray(r.extraLines, o[u"extraLines"]);
    FillArray(r.remarks, o[u"remarks"]);
    FillArray(r.documentHead, o[u"documentHead"]);
    r.kosuu = o[u"kosuu"].toString();
    r.imeItemNo = o[u"imeItemNo"].toInt();
    r.imeItem = o[u"imeItem"].toInt();
    r.imeUnit = o[u"imeUnit"].toInt();
    r.newPage = o[u"newPage"].toBool();
    r.transferMode = o[u"transferMode"].toInt(1);
    return r;
}

QJsonObject JsonOf(const InvoiceSheet &s)
{
    QJsonArray lines;
    for (const InvoiceLine &l : s.lines)
        lines.append(QJsonObject{{u"item"_s, l.item},
                                 {u"qty"_s, l.qty},
                                 {u"unit"_s, l.unit},
                                 {u"price"_s, l.price},
                                 {u"amount"_s, l.amount}});
    return QJsonObject{
        {u"title"_s, s.title},
        {u"dateText"_s, s.dateText},
        {u"numberText"_s, s.numberText},
        {u"recipientName"_s, s.recipientName},
        {u"recipientAddress"_s, ArrayOf(s.recipientAddress)},
        {u"issuer"_s, ArrayOf(s.issuer)},
        {u"lines"_s, lines},
        {u"rateLines"_s, ArrayOf(s.rateLines)},
        {u"subtotalText"_s, s.subtotalText},
        {u"taxText"_s, s.taxText},
        {u"totalText"_s, s.totalText},
        {u"reducedNote"_s, s.reducedNote},
        {u"paymentText"_s, s.paymentText},
        {u"qualified"_s, s.qualified},
    };
}

InvoiceSheet InvoiceOf(const QJsonObject &o)
{
    InvoiceSheet s;
    s.title = o[u"title"].toString();
    s.dateText = o[u"dateText"].toString();
    s.numberText = o[u"numberText"].toString();
    s.recipientName = o[u"recipientName"].toString();
    s.recipientAddress = ListOf(o[u"recipientAddress"]);
    s.issuer = ListOf(o[u"issuer"]);
    for (const QJsonValue &v : o[u"lines"].toArray()) {
        const QJsonObject l = v.toObject();
        s.lines.append(InvoiceLine{l[u"item"].toString(), l[u"qty"].toString(), l[u"unit"].toString(),
                                   l[u"price"].toString(), l[u"amount"].toString()});
    }
    s.rateLines = ListOf(o[u"rateLines"]);
    s.subtotalText = o[u"subtotalText"].toString();
    s.taxText = o[u"taxText"].toString();
    s.totalText = o[u"totalText"].toString();
    s.reducedNote = o[u"reducedNote"].toString();
    s.paymentText = o[u"paymentText"].toString();
    s.qualified = o[u"qualified"].toBool();
    return s;
}

QString JsonText(const QJsonObject &o)
{
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

QJsonObject ObjectOf(const QString &text)
{
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

} // namespace

struct HistoryStore::Data
{
    HistoryLocation where;
    QString connection;
    int version = 0;
    mutable bool inTransaction = false;
    mutable bool failed = false;

    QSqlDatabase db() const { return QSqlDatabase::database(connection, false); }

    [[noreturn]] void fail(const QString &what, const QSqlError &error) const
    {
        // Ended before the failed statement's queries are freed: PostgreSQL
        // refuses every statement of an aborted transaction, their
        // deallocation too.
        rollback();
        failed = true;
        QString message = u"履歴のデータベース（"_s + where.describe() + u"）で"_s + what + u"。"_s;
        message += where.postgres ? u"\nサーバーが動いているか、ネットワークにつながっているかを確かめてください。"_s
                                  : u"\nディスクの空きと、ファイルに書き込めるかを確かめてください。"_s;
        const QString detail = error.text().trimmed();
        if (!detail.isEmpty())
            message += u"\n（"_s + detail + u"）"_s;
        throw EHistoryError(message);
    }

    QSqlQuery prepare(const QString &sql, const QString &what) const
    {
        QSqlQuery q(db());
        q.setForwardOnly(true);
        if (!q.prepare(sql))
            fail(what, q.lastError());
        return q;
    }

    void exec(QSqlQuery &q, const QString &what) const
    {
        if (!q.exec())
            fail(what, q.lastError());
    }

    void execText(const QString &sql, const QString &what) const
    {
        QSqlQuery q(db());
        if (!q.exec(sql))
            fail(what, q.lastError());
    }

    void begin(const QString &what) const
    {
        execText(where.postgres ? u"BEGIN"_s : u"BEGIN IMMEDIATE"_s, what);
        inTransaction = true;
    }

    void rollback() const
    {
        if (!inTransaction)
            return;
        inTransaction = false;
        QSqlQuery q(db());
        q.exec(u"ROLLBACK"_s);
    }

    void commit(const QString &what) const
    {
        execText(u"COMMIT"_s, what);
        inTransaction = false;
    }

    // Runs body in one transaction: committed when it returns, rolled back
    // when anything in it throws.
    template <typename Body> auto transaction(const QString &what, Body body) const
    {
        begin(what);
        try {
            if constexpr (std::is_void_v<decltype(body())>) {
                body();
                commit(what);
            } else {
                auto result = body();
                commit(what);
                return result;
            }
        } catch (...) {
            rollback();
            throw;
        }
    }

    qint64 nextValue(const QString &counter, const QString &what) const
    {
        QSqlQuery q = prepare(u"UPDATE counters SET value = value + 1 WHERE name = ? RETURNING value"_s, what);
        q.addBindValue(counter);
        exec(q, what);
        if (!q.next())
            fail(what, q.lastError());
        const qint64 value = q.value(0).toLongLong();
        q.finish();
        return value;
    }

    int readVersion(const QString &what) const
    {
        QSqlQuery probe(db());
        if (!db().tables().contains(u"schema_version"_s))
            return 0;
        if (!probe.exec(u"SELECT MAX(version) FROM schema_version"_s))
            fail(what, probe.lastError());
        return probe.next() ? probe.value(0).toInt() : 0;
    }

    [[noreturn]] void refuseNewer(int found) const
    {
        throw EHistoryError(
            u"履歴のデータベース（"_s + where.describe() + u"）は、このプログラムより新しい版（形式 "_s +
            QString::number(found) + u"）で作られているため、使えません。"_s +
            u"\nこのパソコンのプログラムを新しい版に更新してください。データベースは変更していません。"_s);
    }

    void open();
    void migrate();
    QList<HistorySlip> slipsWhere(const QString &condition, const QVariantList &binds) const;
};

void HistoryStore::Data::open()
{
    const QString what = u"接続できませんでした"_s;
    const QString driver = where.postgres ? u"QPSQL"_s : u"QSQLITE"_s;
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        throw EHistoryError(u"履歴のデータベース（"_s + where.describe() + u"）を開けません。"_s +
                            (where.postgres ? u"PostgreSQL のドライバー（libqt6sql6-psql）"_s
                                            : u"SQLite のドライバー（libqt6sql6-sqlite）"_s) +
                            u"が入っていません。パッケージを導入してください。"_s);
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(driver, connection);
    if (where.postgres) {
        if (!where.host.isEmpty())
            db.setHostName(where.host);
        if (where.port > 0)
            db.setPort(where.port);
        if (!where.database.isEmpty())
            db.setDatabaseName(where.database);
        if (!where.user.isEmpty())
            db.setUserName(where.user);
        // Bounded waits: the connection, each statement on the server, and
        // over TCP a server that went away without a word (unacknowledged
        // data, and keep-alive probes while waiting for an answer).
        const int statementMs = std::max(1, where.statementTimeoutMs);
        QStringList options{u"connect_timeout="_s + QString::number(std::max(1, where.connectTimeoutSec)),
                            u"options=-cstatement_timeout="_s + QString::number(statementMs),
                            u"tcp_user_timeout="_s + QString::number(statementMs + 1000),
                            u"keepalives_idle=5"_s,
                            u"keepalives_interval=2"_s,
                            u"keepalives_count=3"_s};
        if (!where.service.isEmpty())
            options << u"service="_s + where.service;
        db.setConnectOptions(options.join(u';'));
    } else {
        const QFileInfo file(where.sqlitePath);
        if (!QDir().mkpath(file.absolutePath())) {
            throw EHistoryError(u"履歴のファイル（"_s + where.describe() + u"）のフォルダーを作れません。"_s +
                                u"\nディスクの空きと、フォルダーに書き込めるかを確かめてください。"_s);
        }
        db.setDatabaseName(where.sqlitePath);
        db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT="_s + QString::number(std::max(0, where.busyTimeoutMs)));
    }
    if (!db.open())
        fail(what, db.lastError());
    // A database of a newer program is refused before anything is set on it.
    const int found = readVersion(what);
    if (found > kSchemaVersion)
        refuseNewer(found);
    if (!where.postgres) {
        execText(u"PRAGMA journal_mode=WAL"_s, what);
        execText(u"PRAGMA foreign_keys=ON"_s, what);
    }
    migrate();
}

void HistoryStore::Data::migrate()
{
    const QString what = u"形式を整えられませんでした"_s;
    transaction(what, [&] {
        if (where.postgres)
            execText(u"SELECT pg_advisory_xact_lock("_s + QString::number(kMigrationLock) + u')', what);
        // Read again under the lock: another program may have just done it.
        const int found = readVersion(what);
        if (found > kSchemaVersion)
            refuseNewer(found);
        for (int step = found; step < kSchemaVersion; ++step) {
            const QStringList statements = QString::fromUtf8(kMigrations[step]).split(u';', Qt::SkipEmptyParts);
            for (const QString &statement : statements)
                if (!statement.trimmed().isEmpty())
                    execText(statement, what);
            if (step > 0) {
                execText(u"UPDATE schema_version SET version = "_s + QString::number(step + 1), what);
            }
        }
        version = kSchemaVersion;
    });
}

HistoryStore::HistoryStore(const HistoryLocation &where, const QString &connectionName) : d(std::make_unique<Data>())
{
    d->where = where;
    d->connection = connectionName;
    try {
        d->open();
    } catch (...) {
        QSqlDatabase::removeDatabase(connectionName);
        throw;
    }
}

HistoryStore::~HistoryStore()
{
    {
        QSqlDatabase db = d->db();
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(d->connection);
}

const HistoryLocation &HistoryStore::location() const
{
    return d->where;
}

int HistoryStore::schemaVersion() const
{
    return d->version;
}

bool HistoryStore::failed() const
{
    return d->failed;
}

namespace {

// Binds a value; an unset text is bound as the empty text, since the
// drivers bind a null QString as NULL.
void Bind(QSqlQuery &q, const QVariant &v)
{
    if (v.metaType().id() == QMetaType::QString && v.toString().isNull())
        q.addBindValue(QString(u""_s));
    else
        q.addBindValue(v);
}

void BindJob(QSqlQuery &q, qint64 id, qint64 slipId, const HistoryJob &job)
{
    for (const QVariant &v : QVariantList{id, slipId, JobKindName(job.kind), TimeText(job.printedAt), job.printer,
                                          job.feed, job.copies, job.cupsJobId, StateNameOf(job.state)})
        Bind(q, v);
}

const QString kInsertJob = u"INSERT INTO slip_jobs (id, slip_id, kind, printed_at, printer, feed, copies, "
                           u"cups_job_id, state) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"_s;

} // namespace

HistorySlip HistoryStore::record(HistorySlip slip, HistoryJob &job)
{
    const QString what = u"伝票を記録できませんでした"_s;
    if (!slip.printedAt.isValid())
        slip.printedAt = QDateTime::currentDateTime();
    if (!job.printedAt.isValid())
        job.printedAt = slip.printedAt;
    HistoryJob stored = job;
    d->transaction(what, [&] {
        slip.id = d->nextValue(u"slip_id"_s, what);
        slip.slipNo = d->nextValue(u"slip_no"_s, what);
        slip.record.slipNo = QString::number(slip.slipNo);
        // An invoice sheet issued with the slip bears the number just taken.
        if (slip.invoice)
            slip.invoice->numberText = InvoiceNumberText(slip.record.slipNo);
        const SlipRecord &r = slip.record;
        int lineCount = 0;
        for (const SlipLine &l : r.lines)
            lineCount += LineIsUsed(l) ? 1 : 0;

        QSqlQuery q = d->prepare(
            u"INSERT INTO slips (id, slip_no, printed_at, order_id, zip, add1, add2, add3, custo1, tel, my_name, "
            u"my_zip, my_add1, my_add2, my_tel, tax_old, tax_new, tax_enfor_date, tax_reduced, tax_reduced_date, "
            u"rounding, prices_include_tax, invoice_reg_no, amount, tax, total, total_text, line_count, search_text, "
            u"customer_key, record_json, invoice_json) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
            u"?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s,
            what);
        for (const QVariant &v : QVariantList{
                 slip.id,
                 slip.slipNo,
                 TimeText(slip.printedAt),
                 slip.orderId,
                 r.zip,
                 r.add1,
                 r.add2,
                 r.add3,
                 r.custo1,
                 r.tel,
                 r.myName,
                 r.myZip,
                 r.myAdd1,
                 r.myAdd2,
                 r.myTel,
                 r.taxOld,
                 r.taxNew,
                 DateText(r.taxEnforDate),
                 r.taxReduced,
                 DateText(r.taxReducedDate),
                 r.rounding,
                 r.pricesIncludeTax ? 1 : 0,
                 r.invoiceRegNo,
                 slip.amount,
                 slip.tax,
                 slip.total,
                 slip.totalText,
                 lineCount,
                 SearchTextOf(r),
                 CustomerKeyOf(r),
                 JsonText(JsonOf(r)),
             })
            Bind(q, v);
        q.addBindValue(slip.invoice ? QVariant(JsonText(JsonOf(*slip.invoice)))
                                    : QVariant(QMetaType(QMetaType::QString)));
        d->exec(q, what);

        QSqlQuery lines = d->prepare(u"INSERT INTO slip_lines (slip_id, row_no, item, item_key, qty, unit, price, "
                                     u"amount, tax_class) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"_s,
                                     what);
        for (int row = 0; row < kLineRows; ++row) {
            const SlipLine &l = r.lines[std::size_t(row)];
            if (!LineIsUsed(l))
                continue;
            for (const QVariant &v : QVariantList{slip.id, row + 1, l.item, SearchForm(l.item), l.qty, l.unit, l.price,
                                                  l.sales, l.taxClass})
                Bind(lines, v);
            d->exec(lines, what);
        }
        QSqlQuery rates = d->prepare(
            u"INSERT INTO slip_rates (slip_id, position, percent, reduced, subtotal, tax) VALUES (?, ?, ?, ?, ?, ?)"_s,
            what);
        for (int i = 0; i < slip.rates.size(); ++i) {
            const HistoryRate &rate = slip.rates[i];
            for (const QVariant &v :
                 QVariantList{slip.id, i, rate.percent, rate.reduced ? 1 : 0, rate.subtotal, rate.tax})
                Bind(rates, v);
            d->exec(rates, what);
        }
        QSqlQuery texts = d->prepare(
            u"INSERT INTO search_texts (search_text, customer_key, newest_id, slip_count) VALUES (?, ?, ?, 1) "
            u"ON CONFLICT (search_text) DO UPDATE SET newest_id = excluded.newest_id, "
            u"slip_count = search_texts.slip_count + 1"_s,
            what);
        for (const QVariant &v : QVariantList{SearchTextOf(r), CustomerKeyOf(r), slip.id})
            Bind(texts, v);
        d->exec(texts, what);
        QSqlQuery itemStats = d->prepare(
            u"INSERT INTO item_stats (item_key, item, unit, price, tax_class, uses) VALUES (?, ?, ?, ?, ?, 1) "
            u"ON CONFLICT (item_key) DO UPDATE SET item = excluded.item, unit = excluded.unit, "
            u"price = excluded.price, tax_class = excluded.tax_class, uses = item_stats.uses + 1"_s,
            what);
        for (const SlipLine &l : r.lines) {
            const QString key = SearchForm(l.item);
            if (key.isEmpty())
                continue;
            for (const QVariant &v : QVariantList{key, l.item, l.unit, l.price, l.taxClass})
                Bind(itemStats, v);
            d->exec(itemStats, what);
        }
        stored.id = d->nextValue(u"job_id"_s, what);
        QSqlQuery jq = d->prepare(kInsertJob, what);
        BindJob(jq, stored.id, slip.id, stored);
        d->exec(jq, what);
    });
    job = stored;
    slip.jobs = {stored};
    return slip;
}

qint64 HistoryStore::addJob(qint64 slipId, HistoryJob job, const std::optional<InvoiceSheet> &invoice)
{
    const QString what = u"印刷の記録を足せませんでした"_s;
    if (!job.printedAt.isValid())
        job.printedAt = QDateTime::currentDateTime();
    return d->transaction(what, [&] {
        QSqlQuery exists = d->prepare(u"SELECT id FROM slips WHERE id = ?"_s, what);
        exists.addBindValue(slipId);
        d->exec(exists, what);
        if (!exists.next())
            throw EHistoryError(what + u"。履歴に伝票（番号 "_s + QString::number(slipId) + u"）がありません。"_s);
        exists.finish();
        const qint64 id = d->nextValue(u"job_id"_s, what);
        QSqlQuery q = d->prepare(kInsertJob, what);
        BindJob(q, id, slipId, job);
        d->exec(q, what);
        if (invoice) {
            QSqlQuery u = d->prepare(u"UPDATE slips SET invoice_json = ? WHERE id = ?"_s, what);
            u.addBindValue(JsonText(JsonOf(*invoice)));
            u.addBindValue(slipId);
            d->exec(u, what);
        }
        return id;
    });
}

void HistoryStore::setJobState(qint64 jobId, HistoryJobState state, int cupsJobId)
{
    const QString what = u"印刷の結果を記録できませんでした"_s;
    d->transaction(what, [&] {
        QSqlQuery q = d->prepare(cupsJobId != 0 ? u"UPDATE slip_jobs SET state = ?, cups_job_id = ? WHERE id = ?"_s
                                                : u"UPDATE slip_jobs SET state = ? WHERE id = ?"_s,
                                 what);
        q.addBindValue(StateNameOf(state));
        if (cupsJobId != 0)
            q.addBindValue(cupsJobId);
        q.addBindValue(jobId);
        d->exec(q, what);
        if (q.numRowsAffected() == 0)
            throw EHistoryError(what + u"。履歴にその印刷（番号 "_s + QString::number(jobId) + u"）がありません。"_s);
    });
}

QList<HistorySlip> HistoryStore::Data::slipsWhere(const QString &condition, const QVariantList &binds) const
{
    const QString what = u"伝票を読めませんでした"_s;
    QSqlQuery q = prepare(u"SELECT id, slip_no, printed_at, order_id, total_text, amount, tax, total, record_json, "
                          u"invoice_json FROM slips WHERE "_s +
                              condition + u" ORDER BY id"_s,
                          what);
    for (const QVariant &v : binds)
        q.addBindValue(v);
    exec(q, what);
    QList<HistorySlip> slips;
    QHash<qint64, qsizetype> index;
    while (q.next()) {
        HistorySlip s;
        s.id = q.value(0).toLongLong();
        s.slipNo = q.value(1).toLongLong();
        s.printedAt = TimeOf(q.value(2).toString());
        s.orderId = q.value(3).toString();
        s.totalText = q.value(4).toString();
        s.amount = q.value(5).toLongLong();
        s.tax = q.value(6).toLongLong();
        s.total = q.value(7).toLongLong();
        s.record = RecordOf(ObjectOf(q.value(8).toString()));
        if (!q.value(9).isNull())
            s.invoice = InvoiceOf(ObjectOf(q.value(9).toString()));
        index.insert(s.id, slips.size());
        slips.append(std::move(s));
    }
    if (slips.isEmpty())
        return slips;

    const QString inSlips = u"slip_id IN (SELECT id FROM slips WHERE "_s + condition + u')';
    QSqlQuery rq = prepare(u"SELECT slip_id, percent, reduced, subtotal, tax FROM slip_rates WHERE "_s + inSlips +
                               u" ORDER BY slip_id, position"_s,
                           what);
    for (const QVariant &v : binds)
        rq.addBindValue(v);
    exec(rq, what);
    while (rq.next()) {
        const auto at = index.constFind(rq.value(0).toLongLong());
        if (at != index.constEnd())
            slips[*at].rates.append(HistoryRate{rq.value(1).toString(), rq.value(2).toInt() != 0,
                                                rq.value(3).toLongLong(), rq.value(4).toLongLong()});
    }

    QSqlQuery jq = prepare(u"SELECT id, kind, printed_at, printer, feed, copies, cups_job_id, state, slip_id FROM "
                           u"slip_jobs WHERE "_s +
                               inSlips + u" ORDER BY id"_s,
                           what);
    for (const QVariant &v : binds)
        jq.addBindValue(v);
    exec(jq, what);
    while (jq.next()) {
        HistoryJob j;
        j.id = jq.value(0).toLongLong();
        j.kind = JobKindOf(jq.value(1).toString());
        j.printedAt = TimeOf(jq.value(2).toString());
        j.printer = jq.value(3).toString();
        j.feed = jq.value(4).toString();
        j.copies = jq.value(5).toInt();
        j.cupsJobId = jq.value(6).toInt();
        j.state = StateOf(jq.value(7).toString());
        const auto at = index.constFind(jq.value(8).toLongLong());
        if (at != index.constEnd())
            slips[*at].jobs.append(j);
    }
    return slips;
}

std::optional<HistorySlip> HistoryStore::slip(qint64 id) const
{
    const QList<HistorySlip> found = d->slipsWhere(u"id = ?"_s, {id});
    if (found.isEmpty())
        return std::nullopt;
    return found.first();
}

QList<HistoryHit> HistoryStore::search(const QString &text, bool perCustomer, int limit) const
{
    const QString what = u"履歴を検索できませんでした"_s;
    const QString form = SearchForm(text);
    const QString digits = TypedDigits(text);
    QString match;
    QVariantList binds;
    if (!form.isEmpty()) {
        match = u"search_text LIKE ? ESCAPE '\\'"_s;
        binds << u'%' + LikeContains(form) + u'%';
        if (!digits.isEmpty() && digits != form) {
            match = u"("_s + match + u" OR search_text LIKE ? ESCAPE '\\')"_s;
            binds << u'%' + LikeContains(digits) + u'%';
        }
    }
    const QString fields = u"s.id, s.slip_no, s.printed_at, s.custo1, s.zip, s.add1, s.add2, s.add3, s.tel, s.total"_s;
    const auto ids = [&](const QString &sql, const QVariant &count, QHash<qint64, int> *counts) {
        QSqlQuery q = d->prepare(sql, what);
        for (const QVariant &v : binds)
            q.addBindValue(v);
        q.addBindValue(count);
        d->exec(q, what);
        QList<qint64> found;
        while (q.next()) {
            found << q.value(0).toLongLong();
            if (counts)
                counts->insert(found.last(), q.value(1).toInt());
        }
        return found;
    };
    QList<qint64> found;
    QHash<qint64, int> counts;
    if (perCustomer) {
        // The customers of the matching texts, newest text first, read only
        // until there are enough of them; then each customer's newest slip
        // and the count of all their slips.
        QSqlQuery texts =
            d->prepare(u"SELECT customer_key FROM search_texts"_s +
                           (match.isEmpty() ? QString() : u" WHERE "_s + match) + u" ORDER BY newest_id DESC"_s,
                       what);
        for (const QVariant &v : binds)
            texts.addBindValue(v);
        d->exec(texts, what);
        QStringList keys;
        QSet<QString> seen;
        while (keys.size() < limit && texts.next()) {
            const QString key = texts.value(0).toString();
            if (!seen.contains(key)) {
                seen.insert(key);
                keys << key;
            }
        }
        texts.finish();
        if (keys.isEmpty())
            return {};
        QSqlQuery q = d->prepare(u"SELECT MAX(newest_id) AS newest, SUM(slip_count) FROM search_texts WHERE "
                                 u"customer_key IN ("_s +
                                     QStringList(keys.size(), u"?"_s).join(u',') +
                                     u") GROUP BY customer_key ORDER BY newest DESC"_s,
                                 what);
        for (const QString &key : keys)
            q.addBindValue(key);
        d->exec(q, what);
        while (q.next()) {
            found << q.value(0).toLongLong();
            counts.insert(found.last(), q.value(1).toInt());
        }
    } else if (match.isEmpty()) {
        found = ids(u"SELECT id FROM slips ORDER BY id DESC LIMIT ?"_s, std::max(0, limit), nullptr);
    } else {
        // The newest slips first: a text typed so far is usually found among
        // them. Only when they do not give enough hits are the slips of the
        // matching distinct texts looked up.
        constexpr int kRecent = 4000;
        found = ids(u"SELECT id FROM (SELECT id, search_text FROM slips ORDER BY id DESC LIMIT "_s +
                        QString::number(kRecent) + u") r WHERE "_s + match + u" ORDER BY id DESC LIMIT ?"_s,
                    std::max(0, limit), nullptr);
        if (found.size() < limit)
            found = ids(u"SELECT id FROM slips WHERE search_text IN (SELECT search_text FROM search_texts WHERE "_s +
                            match + u") ORDER BY id DESC LIMIT ?"_s,
                        std::max(0, limit), nullptr);
    }
    if (found.isEmpty())
        return {};
    QStringList idTexts;
    for (const qint64 id : found)
        idTexts << QString::number(id);
    QSqlQuery q = d->prepare(u"SELECT "_s + fields + u" FROM slips s WHERE s.id IN ("_s + idTexts.join(u',') +
                                 u") ORDER BY s.id DESC"_s,
                             what);
    d->exec(q, what);
    QList<HistoryHit> hits;
    while (q.next()) {
        HistoryHit h;
        h.id = q.value(0).toLongLong();
        h.slipNo = q.value(1).toLongLong();
        h.printedAt = TimeOf(q.value(2).toString());
        h.name = q.value(3).toString();
        h.zip = q.value(4).toString();
        h.address = JoinedAddress(q.value(5).toString(), q.value(6).toString(), q.value(7).toString());
        h.tel = q.value(8).toString();
        h.total = q.value(9).toLongLong();
        h.slipCount = counts.value(h.id, 1);
        hits.append(h);
    }
    return hits;
}

QList<HistoryItem> HistoryStore::items(const QString &typed, int limit) const
{
    const QString what = u"品名を読めませんでした"_s;
    const QString form = LikeContains(SearchForm(typed));
    QList<HistoryItem> out;
    // Prefix matches first, then those that only contain the text.
    QSqlQuery q = d->prepare(u"SELECT item, unit, price, tax_class, uses FROM item_stats WHERE item_key LIKE ? "
                             u"ESCAPE '\\' ORDER BY CASE WHEN item_key LIKE ? ESCAPE '\\' THEN 0 ELSE 1 END, "
                             u"uses DESC, item_key LIMIT ?"_s,
                             what);
    q.addBindValue(u'%' + form + u'%');
    q.addBindValue(form + u'%');
    q.addBindValue(std::max(0, limit));
    d->exec(q, what);
    while (q.next())
        out.append(HistoryItem{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toInt(),
                               q.value(4).toInt()});
    return out;
}

QList<HistorySlip> HistoryStore::slipsBetween(const QDate &from, const QDate &to) const
{
    const QString start = TimeText(from.startOfDay());
    const QString end = TimeText(to.addDays(1).startOfDay());
    return d->slipsWhere(u"printed_at >= ? AND printed_at < ?"_s, {start, end});
}

bool HistoryStore::hasOrder(const QString &orderId) const
{
    const QString what = u"注文を確かめられませんでした"_s;
    if (orderId.isEmpty())
        return false;
    QSqlQuery q = d->prepare(u"SELECT 1 FROM slips s WHERE s.order_id = ? AND EXISTS (SELECT 1 FROM slip_jobs j "
                             u"WHERE j.slip_id = s.id AND j.kind = 'slip' AND j.state NOT IN ('cancelled', 'failed')) "
                             u"LIMIT 1"_s,
                             what);
    q.addBindValue(orderId);
    d->exec(q, what);
    return q.next();
}

// --- CSV ---

namespace {

QString CsvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', u"\"\""_s);
    return u'"' + quoted + u'"';
}

bool SamePercent(const QString &a, const QString &b)
{
    bool okA = false, okB = false;
    const double x = a.toDouble(&okA), y = b.toDouble(&okB);
    return okA && okB ? x == y : a == b;
}

// The rate of a line: the slip's reduced rate for a reduced-class line, its
// standard rate otherwise.
QString LineRate(const HistorySlip &s, const SlipLine &l)
{
    for (const HistoryRate &r : s.rates)
        if (r.reduced == (l.taxClass == 1))
            return r.percent + u'%';
    return QString();
}

QByteArray Cp932Lossy(const QString &text)
{
    if (const std::optional<QByteArray> whole = vuzo::EncodeCp932(text))
        return *whole;
    // A character without a CP932 form becomes 「?」; the rest is kept.
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const std::optional<QByteArray> one = vuzo::EncodeCp932(text.mid(i, n));
        out += one ? *one : QByteArray("?");
        i += n - 1;
    }
    return out;
}

} // namespace

QByteArray HistoryCsv(const QList<HistorySlip> &slips, HistoryCsvEncoding encoding)
{
    QStringList rows;
    rows << QStringList{u"日時"_s,   u"伝票番号"_s, u"注文番号"_s, u"郵便番号"_s, u"住所1"_s,   u"住所2"_s,
                        u"住所3"_s,  u"お名前"_s,   u"電話番号"_s, u"行"_s,       u"品名"_s,    u"数量"_s,
                        u"単位"_s,   u"単価"_s,     u"金額"_s,     u"税率"_s,     u"10%対象"_s, u"10%消費税"_s,
                        u"8%対象"_s, u"8%消費税"_s, u"税抜合計"_s, u"消費税"_s,   u"合計"_s}
                .join(u',');
    for (const HistorySlip &s : slips) {
        const SlipRecord &r = s.record;
        QString sub10, tax10, sub8, tax8;
        for (const HistoryRate &rate : s.rates) {
            if (SamePercent(rate.percent, u"10"_s)) {
                sub10 = QString::number(rate.subtotal);
                tax10 = QString::number(rate.tax);
            } else if (SamePercent(rate.percent, u"8"_s)) {
                sub8 = QString::number(rate.subtotal);
                tax8 = QString::number(rate.tax);
            }
        }
        const QStringList head{s.printedAt.toString(u"yyyy/MM/dd HH:mm"_s),
                               QString::number(s.slipNo),
                               s.orderId,
                               r.zip,
                               r.add1,
                               r.add2,
                               r.add3,
                               r.custo1,
                               r.tel};
        // The slip's figures on its first row only, so that a column's sum
        // is what was billed.
        const QStringList figures{sub10,
                                  tax10,
                                  sub8,
                                  tax8,
                                  QString::number(s.total - s.tax),
                                  QString::number(s.tax),
                                  QString::number(s.total)};
        const QStringList noFigures(figures.size());
        bool first = true;
        auto addRow = [&](const QStringList &line) {
            QStringList fields = head + line + (first ? figures : noFigures);
            for (QString &f : fields)
                f = CsvField(f);
            rows << fields.join(u',');
            first = false;
        };
        for (int row = 0; row < kLineRows; ++row) {
            const SlipLine &l = r.lines[std::size_t(row)];
            if (!LineIsUsed(l))
                continue;
            addRow({QString::number(row + 1), l.item, l.qty, l.unit, l.price, l.sales, LineRate(s, l)});
        }
        if (first)
            addRow(QStringList(7));
    }
    const QString text = rows.join(u"\r\n"_s) + u"\r\n"_s;
    if (encoding == HistoryCsvEncoding::Cp932)
        return Cp932Lossy(text);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace session
