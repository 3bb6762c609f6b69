// The postal dictionary over Debian's skkdic-extra files as installed by the
// set-up scripts: codes with one and several addresses, business codes, codes
// that do not exist, the search from an address (a city's own code is not
// taken for a town), a missing dictionary and files that are no dictionary.

#include "postal/PostalDictionary.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using postal::PostalDictionary;
using postal::PostalEntry;

Q_DECLARE_METATYPE(postal::PostalDictionary::Problem)

class TestPostalDictionary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void addressesOfACode_data();
    void addressesOfACode();
    void businessCodesNameTheirReceiver();
    void codesOfAnAddress_data();
    void codesOfAnAddress();
    void codesBeginningWithAText();
    void tooManyMatchesAreCut();
    void cityCodeIsNotTaken_data();
    void cityCodeIsNotTaken();
    void missingDictionaryAnswersNothing();
    void fileThatIsNoDictionaryIsRefused_data();
    void fileThatIsNoDictionaryIsRefused();

private:
    PostalDictionary m_dictionary;
};

void TestPostalDictionary::initTestCase()
{
    QSignalSpy finished(&m_dictionary, &PostalDictionary::loadFinished);
    m_dictionary.startLoading();
    if (!m_dictionary.waitForLoaded())
        QFAIL("no postal dictionary in /usr/share/skk: scripts/test installs Debian's skkdic-extra");
    QVERIFY(finished.wait(5000) || finished.count() == 1);
    QCOMPARE(m_dictionary.state(), PostalDictionary::State::Loaded);
}

void TestPostalDictionary::addressesOfACode_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("addresses");
    QTest::newRow("one address") << u"1000001"_s << QStringList{u"東京都千代田区千代田"_s};
    QTest::newRow("two addresses") << u"0028089"_s
                                   << QStringList{u"北海道石狩郡当別町ビトエ"_s, u"北海道石狩郡当別町ビトエ中島"_s};
    QTest::newRow("town before business code")
        << u"9200381"_s << QStringList{u"石川県金沢市中屋"_s, u"石川県金沢市古府３丁目１２"_s};
    QTest::newRow("written with hyphen and full width")
        << u"〒１００－０００１"_s << QStringList{u"東京都千代田区千代田"_s};
    QTest::newRow("code that does not exist") << u"0000000"_s << QStringList();
    QTest::newRow("last code before the first") << u"0009999"_s << QStringList();
    QTest::newRow("after the last code") << u"9999999"_s << QStringList();
    QTest::newRow("no postal code") << u"100-001"_s << QStringList();
}

void TestPostalDictionary::addressesOfACode()
{
    QFETCH(QString, code);
    QFETCH(QStringList, addresses);
    QCOMPARE(m_dictionary.addresses(code), addresses);
}

void TestPostalDictionary::businessCodesNameTheirReceiver()
{
    const QList<PostalEntry> one = m_dictionary.entries(u"001-8612");
    QCOMPARE(one.size(), 1);
    QCOMPARE(one.first(),
             (PostalEntry{u"0018612"_s, u"北海道札幌市北区北二十四条西６丁目１番１号"_s, u"札幌市北区役所"_s, true}));
    const QList<PostalEntry> several = m_dictionary.entries(u"0058543");
    QCOMPARE(several.size(), 2);
    QCOMPARE(several.at(1).office, u"陸上自衛隊　真駒内駐屯地"_s);
    QCOMPARE(several.at(1).address, u"北海道札幌市南区真駒内１７番地"_s);
}

void TestPostalDictionary::codesOfAnAddress_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("exactly a town") << u"東京都千代田区千代田"_s << QStringList{u"1000001"_s};
    QTest::newRow("town and block number") << u"東京都千代田区千代田１－１"_s << QStringList{u"1000001"_s};
    QTest::newRow("prefecture left out") << u"千代田区千代田1-1"_s << QStringList{u"1000001"_s};
    // Two codes share this town (its blocks are split between them).
    QTest::newRow("digits for kanji numerals")
        << u"北海道札幌市北区北10条西4丁目"_s << QStringList{u"0010010"_s, u"0600810"_s};
    QTest::newRow("half-width katakana") << u"北海道札幌市厚別区下野幌ﾃｸﾉﾊﾟｰｸ1-2"_s << QStringList{u"0040015"_s};
    QTest::newRow("beginning of several towns")
        << u"北海道札幌市北区あいの里"_s
        << QStringList{u"0028071"_s, u"0028072"_s, u"0028073"_s, u"0028074"_s, u"0028075"_s};
    QTest::newRow("one of a code's several addresses")
        << u"北海道石狩郡当別町ビトエ中島"_s << QStringList{u"0028089"_s};
    QTest::newRow("no such place") << u"架空県架空市"_s << QStringList();
    QTest::newRow("empty") << QString() << QStringList();
}

void TestPostalDictionary::codesOfAnAddress()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, codes);
    QStringList found;
    for (const PostalEntry &e : m_dictionary.matchAddress(typed).entries) {
        QVERIFY(!e.isOffice);
        found << e.code;
    }
    QCOMPARE(found, codes);
}

void TestPostalDictionary::codesBeginningWithAText()
{
    QCOMPARE(m_dictionary.codes(u"北海道札幌市北区あいの里一条"), QStringList{u"0028071"_s});
    const QStringList sapporoKita = m_dictionary.codes(u"北海道札幌市北区");
    QVERIFY(sapporoKita.contains(u"0010010"_s));
    QVERIFY(sapporoKita.contains(u"0028091"_s));
    QVERIFY(!sapporoKita.contains(u"0018612"_s)); // a business code
    QCOMPARE(m_dictionary.codes(u"東京都", 3).size(), 3);
}

void TestPostalDictionary::tooManyMatchesAreCut()
{
    const postal::AddressMatch match = m_dictionary.matchAddress(u"東京都", 10);
    QCOMPARE(match.entries.size(), 10);
    QVERIFY(match.truncated);
    QVERIFY(!m_dictionary.matchAddress(u"北海道札幌市北区あいの里", 5).truncated);
}

void TestPostalDictionary::cityCodeIsNotTaken_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("codes"); // all of them; some of them when the town is not found
    QTest::addColumn<bool>("townNotFound");
    QTest::addColumn<QString>("cityCode");
    QTest::newRow("Kyoto street and direction")
        << u"京都府京都市中京区寺町通御池上る上本能寺前町488"_s << QStringList{u"6040925"_s} << false << u"6040000"_s;
    QTest::newRow("town the dictionary writes with a street")
        << u"京都府京都市中京区寺町通夷川上る丸屋町１"_s << QStringList{u"6040917"_s, u"6048086"_s, u"6048132"_s}
        << false << u"6040000"_s;
    QTest::newRow("大字 the dictionary leaves out")
        << u"東京都武蔵村山市大字三ツ木１－２"_s << QStringList{u"2080032"_s, u"2080033"_s} << false << u"2080000"_s;
    QTest::newRow("town left out") << u"東京都港区１丁目"_s << QStringList{u"1050001"_s, u"1050011"_s} << true
                                   << u"1050000"_s;
    QTest::newRow("only the city") << u"東京都港区"_s << QStringList{u"1050001"_s} << true << u"1050000"_s;
    QTest::newRow("a city of two prefectures")
        << u"府中市架空町１－２"_s << QStringList{u"1830001"_s, u"7260001"_s} << true << u"1830000"_s;
}

void TestPostalDictionary::cityCodeIsNotTaken()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, codes);
    QFETCH(bool, townNotFound);
    QFETCH(QString, cityCode);
    const postal::AddressMatch match = m_dictionary.matchAddress(typed, 2000);
    QCOMPARE(match.townNotFound, townNotFound);
    QVERIFY(!match.truncated);
    QStringList found;
    for (const PostalEntry &e : match.entries)
        found << e.code;
    QVERIFY(!found.contains(cityCode));
    if (!townNotFound)
        QCOMPARE(found, codes);
    for (const QString &code : codes)
        QVERIFY2(found.contains(code), qPrintable(code));
}

void TestPostalDictionary::missingDictionaryAnswersNothing()
{
    QTemporaryDir empty;
    PostalDictionary missing(empty.path());
    QSignalSpy finished(&missing, &PostalDictionary::loadFinished);
    QCOMPARE(missing.state(), PostalDictionary::State::NotLoaded);
    QVERIFY(!missing.waitForLoaded());
    QCOMPARE(missing.state(), PostalDictionary::State::Missing);
    QVERIFY(missing.addresses(u"1000001").isEmpty());
    QVERIFY(missing.codes(u"東京都").isEmpty());
    QVERIFY(missing.matchAddress(u"東京都千代田区千代田").entries.isEmpty());
    QVERIFY(finished.wait(5000) || finished.count() == 1);
}

void TestPostalDictionary::fileThatIsNoDictionaryIsRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<PostalDictionary::Problem>("problem");
    QTest::addColumn<QString>("told");
    QTest::newRow("named pipe") << u"fifo"_s << PostalDictionary::Problem::NotRegularFile << u"名前付きパイプ"_s;
    QTest::newRow("device") << u"/dev/zero"_s << PostalDictionary::Problem::NotRegularFile << u"デバイス"_s;
    QTest::newRow("folder") << u"folder"_s << PostalDictionary::Problem::NotRegularFile << u"フォルダー"_s;
    QTest::newRow("over the limit") << u"sparse"_s << PostalDictionary::Problem::TooLarge << u"大きすぎます"_s;
}

void TestPostalDictionary::fileThatIsNoDictionaryIsRefused()
{
    QFETCH(QString, kind);
    QFETCH(PostalDictionary::Problem, problem);
    QFETCH(QString, told);
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromUtf16(PostalDictionary::kAreaFile));
    if (kind == u"fifo")
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind == u"folder")
        QVERIFY(QDir(dir.path()).mkdir(QString::fromUtf16(PostalDictionary::kAreaFile)));
    else if (kind == u"sparse") {
        QFile big(path);
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(PostalDictionary::kMaxFileSize + 1)); // ftruncate: no blocks written
    } else
        QVERIFY(QFile::link(kind, path));
    PostalDictionary refused(dir.path());
    // A pipe without a writer would block an open that waits; a device would
    // be read without end. Either way the load would not end.
    QVERIFY(!refused.waitForLoaded(std::chrono::seconds(30)));
    QCOMPARE(refused.state(), PostalDictionary::State::Missing);
    QCOMPARE(refused.problem(), problem);
    QVERIFY2(refused.problemText().contains(told), qPrintable(refused.problemText()));
    QVERIFY(refused.problemText().contains(path));
}

QTEST_GUILESS_MAIN(TestPostalDictionary)
#include "tst_postaldictionary.moc"
