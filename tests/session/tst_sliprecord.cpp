// The slip record's key table against a real settings file: what a file
// gives, what a record writes, and that the two agree.

#include "session/SlipRecord.h"
#include "settings/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSlipRecord : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(u"vuzo_Vez_1.ini"_s); }
    void writeFile(const QByteArray &body)
    {
        QFile f(path());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[vz_Vez_1prn]\r\n" + body);
    }

private Q_SLOTS:
    // A value as the file holds it, and as the record (the window's field
    // after start-up) shows it.
    void aStoredValueIsReadAsItsFieldShowsIt_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a full-width postal code turns half width")
            << QByteArray("E_ZIP=\xef\xbc\x96\xef\xbc\x90\xef\xbc\x94-0925") << u"zip"_s << u"604-0925"_s;
        QTest::newRow("a quantity takes the line format") << QByteArray("Edit_QTY2=0012") << u"qty2"_s << u"12"_s;
        QTest::newRow("a rate over 100 gives the default") << QByteArray("TaxNew=250") << u"taxNew"_s << u"10"_s;
        QTest::newRow("a negative old rate gives the default") << QByteArray("TaxOld=-3") << u"taxOld"_s << u"8"_s;
        QTest::newRow("a long item name is kept whole")
            << QByteArray("Edit_ITEM1=") + QByteArray(60, 'x') << u"item1"_s << QString(60, u'x');
        QTest::newRow("the sender's code is read under its old spelling")
            << QByteArray("OP023MyZip=421-0000") << u"myZip"_s << u"421-0000"_s;
        QTest::newRow("a missing head line is the delivery note's")
            << QByteArray("E_G1=x") << u"head0"_s << u"納品書　兼　請求書"_s;
    }
    void aStoredValueIsReadAsItsFieldShowsIt()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        writeFile(line + "\r\n");
        const ProfileFile ini(path());
        const session::SlipRecord r = session::ReadSlipRecord(ini);
        const QHash<QString, QString> fields = {
            {u"zip"_s, r.zip},
            {u"qty2"_s, r.lines[1].qty},
            {u"taxNew"_s, r.taxNew},
            {u"taxOld"_s, r.taxOld},
            {u"item1"_s, r.lines[0].item},
            {u"myZip"_s, r.myZip},
            {u"head0"_s, r.documentHead[0]},
        };
        QCOMPARE(fields.value(field, u"<no such field>"_s), expected);
    }

    // The number keys and their limits.
    void aStoredNumberIsHeldToItsLimit_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("senderTab");
        QTest::addColumn<int>("transferMode");
        QTest::addColumn<QDate>("enforcement");
        QTest::newRow("nothing stored") << QByteArray() << 0 << 1 << QDate(2019, 10, 1);
        QTest::newRow("sender 9 is the last") << QByteArray("Tab_My=9") << 9 << 1 << QDate(2019, 10, 1);
        QTest::newRow("sender 10 selects none") << QByteArray("Tab_My=10") << -1 << 1 << QDate(2019, 10, 1);
        QTest::newRow("mode 0 is the line-by-line transfer")
            << QByteArray("TransferMode=0") << 0 << 0 << QDate(2019, 10, 1);
        QTest::newRow("any other mode reads the whole text")
            << QByteArray("TransferMode=7") << 0 << 1 << QDate(2019, 10, 1);
        QTest::newRow("a date of 2099 is kept")
            << QByteArray("TaxEnforDate=2099/12/31") << 0 << 1 << QDate(2099, 12, 31);
        QTest::newRow("a date of 2100 gives the default")
            << QByteArray("TaxEnforDate=2100/01/01") << 0 << 1 << QDate(2019, 10, 1);
    }
    void aStoredNumberIsHeldToItsLimit()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, senderTab);
        QFETCH(int, transferMode);
        QFETCH(QDate, enforcement);
        writeFile(line + "\r\n");
        const session::SlipRecord r = session::ReadSlipRecord(ProfileFile(path()));
        QCOMPARE(r.senderTab, senderTab);
        QCOMPARE(r.transferMode, transferMode);
        QCOMPARE(r.taxEnforDate, enforcement);
    }

    // A new file gets the sales lines, column by column, then the settings
    // in the order of the shut-down; the sender's code is written as
    // OP023MyZip.
    void aNewFileGetsTheKeysInTheirStoredOrder()
    {
        QFile::remove(path());
        session::SlipRecord r = session::DefaultSlipRecord();
        r.zip = u"421-0301"_s;
        {
            ProfileFile ini(path());
            ProfileFile::Batch batch(ini);
            session::WriteSlipRecord(r, ini, session::SlipKeys::All);
            batch.commit();
        }
        QFile f(path());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QStringList keys;
        for (const QByteArray &line : f.readAll().split('\n')) {
            if (const int eq = line.indexOf('='); eq > 0)
                keys << QString::fromUtf8(line.left(eq));
        }
        QCOMPARE(keys, session::SlipKeyNames(session::SlipKeys::All));
        QCOMPARE(keys.size(), 70 + 53);
        QCOMPARE(keys.first(), u"Edit_ITEMNO1"_s);
        QCOMPARE(keys.at(10), u"Edit_ITEM1"_s);
        QCOMPARE(keys.at(60), u"TaxClass1"_s);
        QCOMPARE(keys.at(70), u"TaxOld"_s);
        QVERIFY(keys.contains(u"OP023MyZip"_s));
        QCOMPARE(keys.at(keys.size() - 6), u"TransferMode"_s);
        QCOMPARE(keys.last(), u"InvoiceWithSlip"_s);
        QCOMPARE(session::SlipKeyNames(session::SlipKeys::InputModes),
                 (QStringList{u"ime_Itemno"_s, u"ime_Item"_s, u"ime_Unit"_s}));
    }

    // The defaults of a record without a file are those a missing file gives:
    // both write the same bytes.
    void aMissingFileGivesTheDefaults()
    {
        QFile::remove(path());
        const QString other = m_dir.filePath(u"defaults.ini"_s);
        for (const auto &[record, file] : {std::pair{session::ReadSlipRecord(ProfileFile(path())), other},
                                           std::pair{session::DefaultSlipRecord(), path()}}) {
            ProfileFile ini(file);
            ProfileFile::Batch batch(ini);
            session::WriteSlipRecord(record, ini, session::SlipKeys::All);
            batch.commit();
        }
        QFile a(path()), b(other);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        const QByteArray written = a.readAll();
        QCOMPARE(written, b.readAll());
        QVERIFY(written.contains("TaxNew=10"));
        QVERIFY(written.contains("TaxEnforDate=2019/10/01"));
    }

    // A group writes its own keys and leaves the others of the file alone.
    void aGroupWritesOnlyItsKeys_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("count");
        QTest::newRow("the sales lines") << int(session::SlipKeys::Lines) << 70;
        QTest::newRow("the input-method choices") << int(session::SlipKeys::InputModes) << 3;
        QTest::newRow("the settings") << int(session::SlipKeys::Settings) << 53;
    }
    void aGroupWritesOnlyItsKeys()
    {
        QFETCH(int, group);
        QFETCH(int, count);
        writeFile("ZipDictDir=../dict\r\nE_ZIP=100-0001\r\n");
        session::SlipRecord r = session::DefaultSlipRecord();
        r.zip = u"421-0301"_s;
        {
            ProfileFile ini(path());
            session::WriteSlipRecord(r, ini, session::SlipKeys(group));
        }
        const ProfileFile ini(path());
        const QStringList names = session::SlipKeyNames(session::SlipKeys(group));
        QCOMPARE(names.size(), count);
        for (const QString &name : names)
            QVERIFY2(ini.ReadString(session::SlipSection(), name, u"<none>"_s) != u"<none>"_s, qPrintable(name));
        QCOMPARE(ini.ReadString(session::SlipSection(), u"ZipDictDir"_s, QString()), u"../dict"_s);
        QCOMPARE(ini.ReadString(session::SlipSection(), u"E_ZIP"_s, QString()),
                 names.contains(u"E_ZIP"_s) ? u"421-0301"_s : u"100-0001"_s);
    }

    // What a record writes is what it reads back, for every stored value.
    void aWrittenRecordReadsBackTheSame()
    {
        QFile::remove(path());
        session::SlipRecord r = session::DefaultSlipRecord();
        r.zip = u"604-0925"_s;
        r.add1 = u"京都府京都市中京区寺町通御池上る"_s;
        r.custo1 = u"川辺　千秋"_s;
        r.tel = u"075-555-0142"_s;
        r.myName = u"山里農園"_s;
        r.lines[3] = {u"ギフト"_s, u"新米　５ｋｇ"_s, u"2"_s, u"袋"_s, u"2800"_s, u"5600"_s};
        r.taxEnforDate = QDate(2024, 4, 1);
        r.senderTab = -1;
        r.feedIndex = 1;
        r.newPage = true;
        r.transferMode = 0;
        r.remarks[9] = u"冷蔵"_s;
        {
            ProfileFile ini(path());
            ProfileFile::Batch batch(ini);
            session::WriteSlipRecord(r, ini, session::SlipKeys::All);
            batch.commit();
        }
        const session::SlipRecord back = session::ReadSlipRecord(ProfileFile(path()));
        QCOMPARE(back.add1, r.add1);
        QCOMPARE(back.custo1, r.custo1);
        QCOMPARE(back.myName, r.myName);
        QCOMPARE(back.lines[3].item, r.lines[3].item);
        QCOMPARE(back.lines[3].unit, r.lines[3].unit);
        QCOMPARE(back.lines[3].qty, u"2"_s);
        QCOMPARE(back.lines[3].price, u"2800"_s);
        QCOMPARE(back.lines[3].sales, u"5600"_s);
        QCOMPARE(back.taxEnforDate, r.taxEnforDate);
        QCOMPARE(back.senderTab, -1);
        QCOMPARE(back.feedIndex, 1);
        QCOMPARE(back.newPage, true);
        QCOMPARE(back.transferMode, 0);
        QCOMPARE(back.remarks[9], r.remarks[9]);
    }

    // The exit save reads the file again: keys another program changed since
    // they were read are named, and the file as found is kept beside it under
    // a dated name that never replaces an earlier copy.
    void anExitSaveKeepsAnotherProgramsChanges_data()
    {
        QTest::addColumn<QByteArray>("other"); // the other program's file; empty: none
        QTest::addColumn<QStringList>("changed");
        QTest::addColumn<bool>("earlierCopy");
        QTest::addColumn<QString>("copyName");
        QTest::newRow("a file unchanged on disk") << QByteArray() << QStringList() << false << QString();
        QTest::newRow("a key the window writes") << QByteArray("E_CUS=other\r\nE_TEL=03-0000-0001\r\n")
                                                 << QStringList{u"E_CUS"_s} << false << u".2026-01-02-0304.bak"_s;
        QTest::newRow("two keys, named in the file's order")
            << QByteArray("E_TEL=03-9999-9999\r\nE_CUS=other\r\n") << QStringList{u"E_CUS"_s, u"E_TEL"_s} << false
            << u".2026-01-02-0304.bak"_s;
        QTest::newRow("a copy of the same minute stays")
            << QByteArray("E_CUS=other\r\nE_TEL=03-0000-0001\r\n") << QStringList{u"E_CUS"_s} << true
            << u".2026-01-02-0304-2.bak"_s;
    }
    void anExitSaveKeepsAnotherProgramsChanges()
    {
        QFETCH(QByteArray, other);
        QFETCH(QStringList, changed);
        QFETCH(bool, earlierCopy);
        QFETCH(QString, copyName);
        QTemporaryDir dir;
        const QString file = dir.filePath(u"vuzo_Vez_1.ini"_s);
        const auto write = [](const QString &path, const QByteArray &bytes) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bytes);
        };
        const auto read = [](const QString &path) {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        write(file, "[vz_Vez_1prn]\r\nE_CUS=first\r\nE_TEL=03-0000-0001\r\n");
        session::SlipRecord record;
        session::SlipKeyTexts asRead;
        {
            const ProfileFile ini(file);
            record = session::ReadSlipRecord(ini);
            asRead = session::ReadSlipKeyTexts(ini, session::SlipKeys::All);
        }
        record.custo1 = u"window"_s;
        if (!other.isEmpty())
            write(file, "[vz_Vez_1prn]\r\n" + other);
        const QString earlier = file + u".2026-01-02-0304.bak"_s;
        if (earlierCopy)
            write(earlier, "earlier");

        const QDateTime now(QDate(2026, 1, 2), QTime(3, 4, 59));
        const session::SlipSave save = session::SaveSlipRecord(record, file, session::SlipKeys::All, asRead, now);
        QCOMPARE(save.changedKeys, changed);
        QCOMPARE(save.copyPath, copyName.isEmpty() ? QString() : file + copyName);
        QVERIFY(save.copyError.isEmpty());
        const QString message = session::ChangedKeysMessage(save);
        QCOMPARE(message.isEmpty(), changed.isEmpty());
        for (const QString &key : changed)
            QVERIFY2(message.contains(key), qPrintable(message));
        if (!copyName.isEmpty()) {
            QVERIFY2(message.contains(save.copyPath), qPrintable(message));
            QCOMPARE(read(save.copyPath), "[vz_Vez_1prn]\r\n" + other);
        }
        if (earlierCopy)
            QCOMPARE(read(earlier), QByteArray("earlier"));
        QCOMPARE(QDir(dir.path()).entryList({u"*.bak"_s}, QDir::Files).size(), int(!copyName.isEmpty()) + earlierCopy);
        // The window's text is saved; the next save finds nothing changed.
        QCOMPARE(ProfileFile(file).ReadString(session::SlipSection(), u"E_CUS"_s, QString()), u"window"_s);
        QVERIFY(session::SaveSlipRecord(record, file, session::SlipKeys::All, asRead, now).changedKeys.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSlipRecord)
#include "tst_sliprecord.moc"
