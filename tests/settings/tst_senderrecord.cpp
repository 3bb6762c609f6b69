#include "settings/SenderRecord.h"

#include "platform/Errors.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

using Record = std::array<QString, 5>;

namespace {

const QByteArray kTokyo("\x93\x8C\x8B\x9E\x93\x73\x90\xE7\x91\xE3\x93\x63\x8B\xE6"); // 東京都千代田区
const QByteArray kYamada("\x8E\x52\x93\x63\x91\xBE\x98\x59");                        // 山田太郎
const QByteArray kZip("\x81\xA7\x31\x30\x30\x2D\x30\x30\x30\x31");                   // 〒100-0001

QStringList ToList(const Record &r)
{
    return QStringList(r.begin(), r.end());
}

} // namespace

class TestSenderRecord : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_counter = 0;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void read_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("empty file gives five empty lines") << QByteArray() << QStringList(5, QString());
        QTest::newRow("one line without a line end")
            << QByteArray("100-0001") << QStringList{u"100-0001"_s, {}, {}, {}, {}};
        QTest::newRow("three lines fill the first three fields")
            << QByteArray("1\r\n2\r\n3\r\n") << QStringList{u"1"_s, u"2"_s, u"3"_s, {}, {}};
        QTest::newRow("five lines fill all five fields")
            << QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n") << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s};
        QTest::newRow("five lines, the last without a line end")
            << QByteArray("1\r\n2\r\n3\r\n4\r\n5") << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s};
        QTest::newRow("lines after the fifth are ignored")
            << QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n") << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s};
        QTest::newRow("LF line ends") << QByteArray("1\n2\n3\n4\n5\n")
                                      << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s};
        QTest::newRow("lone CR line ends")
            << QByteArray("1\r2\r3\r4\r5\r") << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s};
        QTest::newRow("empty lines stay empty fields")
            << QByteArray("1\r\n\r\n\n3\r\n") << QStringList{u"1"_s, {}, {}, u"3"_s, {}};
        QTest::newRow("blanks and quotes are kept as they are")
            << QByteArray(" 1 \r\n\"2\"\r\n\t3\r\n4=x\r\n[5]\r\n")
            << QStringList{u" 1 "_s, u"\"2\""_s, u"\t3"_s, u"4=x"_s, u"[5]"_s};
        QTest::newRow("CP932 lines decode")
            << QByteArray(kZip + "\r\n" + kTokyo + "\r\n1-1\x81\x40\r\n" + kYamada + "\r\n03-1234-5678\r\n")
            << QStringList{u"〒100-0001"_s, u"東京都千代田区"_s, u"1-1\u3000"_s, u"山田太郎"_s, u"03-1234-5678"_s};
        QTest::newRow("invalid bytes become replacement characters")
            << QByteArray("a\x80"
                          "b\r\n\x82\r\n")
            << QStringList{u"a\uFFFDb"_s, u"\uFFFD"_s, {}, {}, {}};
        QTest::newRow("a UTF-8 record with a byte-order mark")
            << QByteArray("\xEF\xBB\xBF\xE6\x9D\xB1\r\n") << QStringList{u"東"_s, {}, {}, {}, {}};
        QTest::newRow("a UTF-8 record from a Linux editor, no byte-order mark")
            << QByteArray("\xE3\x80\x92"
                          "100-0001\n\xE6\x9D\xB1\xE4\xBA\xAC\xE9\x83\xBD\n\n\xE5\xB1\xB1\xE7\x94\xB0\n")
            << QStringList{u"〒100-0001"_s, u"東京都"_s, {}, u"山田"_s, {}};
        QTest::newRow("a UTF-16 record with a byte-order mark")
            << QByteArray("\xFF\xFE\x71\x67\r\0\n\0\x31\0", 10) << QStringList{u"東"_s, u"1"_s, {}, {}, {}};
    }

    void read()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, expected);
        QVERIFY(QDir().mkpath(m_dir.filePath(u"rows"_s)));
        const QString path = m_dir.filePath(u"rows/my%1.txt"_s.arg(m_counter++ % 10));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(file), file.size());
        f.close();
        QCOMPARE(ToList(ReadSenderRecord(path)), expected);
        QFile check(path);
        QVERIFY(check.open(QIODevice::ReadOnly));
        QCOMPARE(check.readAll(), file); // loading never changes the file
    }

    void randomBytesNeitherCrashNorHang()
    {
        QRandomGenerator rng(19970401);
        const QString path = m_dir.filePath(u"random.txt"_s);
        for (int round = 0; round < 100; ++round) {
            QByteArray bytes(static_cast<qsizetype>(rng.bounded(2000)), Qt::Uninitialized);
            for (char &c : bytes)
                c = rng.bounded(8) == 0 ? '\n' : static_cast<char>(rng.bounded(256));
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(f.write(bytes), bytes.size());
            f.close();
            const Record r = ReadSenderRecord(path);
            for (const QString &line : r) {
                QVERIFY(!line.contains(u'\n'));
                QVERIFY(!line.contains(u'\r'));
            }
        }
    }

    void longLineIsReadWhole()
    {
        const QString path = m_dir.filePath(u"long.txt"_s);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(100000, 'a') + "\r\nb\r\n");
        f.close();
        const Record r = ReadSenderRecord(path);
        QCOMPARE(r[0], QString(100000, u'a'));
        QCOMPARE(r[1], u"b"_s);
    }

    void missingFileThrows()
    {
        const QString path = m_dir.filePath(u"my3.txt"_s);
        QVERIFY(!QFile::exists(path));
        bool thrown = false;
        try {
            (void)ReadSenderRecord(path);
        } catch (const EInOutError &e) {
            thrown = true;
            QCOMPARE(e.message(), u"ファイル "_s + path + u" が見つかりません"_s);
        }
        QVERIFY(thrown);
    }

    void directoryThrows()
    {
        const QString path = m_dir.filePath(u"my4.txt.d"_s);
        QVERIFY(QDir().mkpath(path));
        QVERIFY_THROWS_EXCEPTION(EInOutError, (void)ReadSenderRecord(path));
    }

    void fileThatIsNoRecordThrowsAtOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO without a writer") << u"fifo"_s;
        QTest::newRow("link to /dev/zero") << u"zero"_s;
        QTest::newRow("file one byte over 1 MiB") << u"large"_s;
    }

    void fileThatIsNoRecordThrowsAtOnce()
    {
        QFETCH(QString, kind);
        const QString path = m_dir.filePath(u"odd/my%1.txt"_s.arg(m_counter++ % 10));
        QVERIFY(QDir().mkpath(m_dir.filePath(u"odd"_s)));
        QFile::remove(path);
        if (kind == u"fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == u"zero") {
            QVERIFY(QFile::link(u"/dev/zero"_s, path));
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.write("100-0001\r\n") > 0);
            QVERIFY(f.resize((1 << 20) + 1));
        }
        QElapsedTimer clock;
        clock.start();
        try {
            (void)ReadSenderRecord(path);
            QFAIL("no error");
        } catch (const EInOutError &e) {
            QVERIFY2(e.message().startsWith(u"ファイル "_s + path + u" を開けません"_s), qPrintable(e.message()));
        }
        QVERIFY(clock.elapsed() < 5000);
    }
};

QTEST_GUILESS_MAIN(TestSenderRecord)
#include "tst_senderrecord.moc"
