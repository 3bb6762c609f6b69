#include "settings/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// CP932 bytes as a Windows program writes them.
const QByteArray
    kNouhin("\x94\x5B\x95\x69\x8F\x91\x81\x40\x8C\x93\x81\x40\x90\xBF\x8B\x81\x8F\x91"); // 納品書　兼　請求書
const QByteArray kTokyo("\x93\x8C\x8B\x9E\x93\x73\x90\xE7\x91\xE3\x93\x63\x8B\xE6");     // 東京都千代田区
const QByteArray kYamada("\x8E\x52\x93\x63\x91\xBE\x98\x59");                            // 山田太郎
const QByteArray kSo("\x83\x5C");          // ソ: its second byte is a backslash
const QByteArray kHyou("\x95\x5C");        // 表
const QByteArray kNou("\x94\x5B");         // 納: its second byte is "["
const QByteArray kBecauseNec("\x87\x9A");  // ∵ in the NEC row; ∵ encodes as 81 E6, so it must never be re-encoded
const QByteArray kKouIbm("\xFA\x5C");      // 纊 in the IBM rows; the NEC-selected form is ED 40
const QByteArray kInvalid("\x80\xFD\xA0"); // bytes that are no CP932 character

const QString kSec = u"vz_Vez_1prn"_s;

QByteArray Utf16Le(const QString &s)
{
    QStringEncoder enc(QStringConverter::Utf16LE);
    return enc(s);
}

QByteArray Utf16LeFile(const QString &s)
{
    return QByteArray("\xFF\xFE", 2) + Utf16Le(s);
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}

bool IsRoot()
{
    return geteuid() == 0;
}

} // namespace

class TestProfileFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_counter = 0;
    QString freshPath() { return m_dir.filePath(u"f%1.ini"_s.arg(++m_counter)); }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void pathIsKept()
    {
        const ProfileFile f(u"/some/where/vuzo_Vez_1.ini"_s);
        QCOMPARE(f.path(), u"/some/where/vuzo_Vez_1.ini"_s);
    }

    void readString_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        QTest::newRow("plain entry") << QByteArray("[vz_Vez_1prn]\r\nE_CUS=abc\r\n") << kSec << u"E_CUS"_s << u"abc"_s;
        QTest::newRow("key stored in lower case")
            << QByteArray("[vz_Vez_1prn]\r\ne_cus=abc\r\n") << kSec << u"E_CUS"_s << u"abc"_s;
        QTest::newRow("section stored in upper case")
            << QByteArray("[VZ_VEZ_1PRN]\r\nE_CUS=abc\r\n") << kSec << u"E_CUS"_s << u"abc"_s;
        QTest::newRow("requested key with upper-case ZIP and a trailing blank")
            << QByteArray("[vz_Vez_1prn]\r\nOP023MyZip=100-0001\r\n") << kSec << u"OP023MyZIP "_s << u"100-0001"_s;
        QTest::newRow("stored key with blanks around it")
            << QByteArray("[vz_Vez_1prn]\r\n  \tE_CUS \t= abc\r\n") << kSec << u"E_CUS"_s << u"abc"_s;
        QTest::newRow("stored section name with blanks inside the brackets")
            << QByteArray("  [ vz_Vez_1prn ]  \r\nE_CUS=abc\r\n") << kSec << u"E_CUS"_s << u"abc"_s;
        QTest::newRow("requested section with blanks around it")
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=abc\r\n") << u" vz_Vez_1prn\t"_s << u"E_CUS"_s << u"abc"_s;
        QTest::newRow("value trimmed of blanks and tabs")
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS= \t abc def \t \r\n") << kSec << u"E_CUS"_s << u"abc def"_s;
        QTest::newRow("ideographic space at the value's end is kept") << QByteArray("[vz_Vez_1prn]\r\nE_CUS=\x81\x40"
                                                                                    "abc\x81\x40\r\n")
                                                                      << kSec << u"E_CUS"_s << u"\u3000abc\u3000"_s;
        QTest::newRow("double quotes removed")
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=\"abc \"\r\n") << kSec << u"E_CUS"_s << u"abc "_s;
        QTest::newRow("single quotes removed")
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS='abc'\r\n") << kSec << u"E_CUS"_s << u"abc"_s;
        QTest::newRow("quotes inside blanks removed after the blanks")
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=  \"abc\"  \r\n") << kSec << u"E_CUS"_s << u"abc"_s;
        QTest::newRow("only one pair of quotes removed")
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=\"\"abc\"\"\r\n") << kSec << u"E_CUS"_s << u"\"abc\""_s;
        QTest::newRow("two quotes give the empty text")
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=\"\"\r\n") << kSec << u"E_CUS"_s << QString();
        QTest::newRow("a lone quote is kept")
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=\"\r\n") << kSec << u"E_CUS"_s << u"\""_s;
        QTest::newRow("different quotes are kept")
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=\"abc'\r\n") << kSec << u"E_CUS"_s << u"\"abc'"_s;
        QTest::newRow("quote only at the start is kept")
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=\"abc\r\n") << kSec << u"E_CUS"_s << u"\"abc"_s;
        QTest::newRow("value is the text after the first equals sign")
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=a=b = c\r\n") << kSec << u"E_CUS"_s << u"a=b = c"_s;
        QTest::newRow("empty value is empty, not the default")
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=\r\n") << kSec << u"E_CUS"_s << QString();
        QTest::newRow("missing key gives the default")
            << QByteArray("[vz_Vez_1prn]\r\nE_TEL=1\r\n") << kSec << u"E_CUS"_s << u"<def>"_s;
        QTest::newRow("missing section gives the default")
            << QByteArray("[other]\r\nE_CUS=abc\r\n") << kSec << u"E_CUS"_s << u"<def>"_s;
        QTest::newRow("key of another section is not seen")
            << QByteArray("[vz_Vez_1prn]\r\nE_TEL=1\r\n[other]\r\nE_CUS=abc\r\n") << kSec << u"E_CUS"_s << u"<def>"_s;
        QTest::newRow("entry before any section is not seen")
            << QByteArray("E_CUS=abc\r\n[vz_Vez_1prn]\r\nE_TEL=1\r\n") << kSec << u"E_CUS"_s << u"<def>"_s;
        QTest::newRow("line without equals sign is not an entry")
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS\r\n") << kSec << u"E_CUS"_s << u"<def>"_s;
        QTest::newRow("key that only starts like the requested one is not seen")
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS1=abc\r\n") << kSec << u"E_CUS"_s << u"<def>"_s;
        QTest::newRow("first of two entries with the same key wins")
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=first\r\ne_cus=second\r\n") << kSec << u"E_CUS"_s << u"first"_s;
        QTest::newRow("first of duplicate sections wins")
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=first\r\n[other]\r\nx=1\r\n[VZ_VEZ_1PRN]\r\nE_CUS=second\r\n") << kSec
            << u"E_CUS"_s << u"first"_s;
        QTest::newRow("key only in the second of duplicate sections is not seen")
            << QByteArray("[vz_Vez_1prn]\r\nE_TEL=1\r\n[vz_Vez_1prn]\r\nE_CUS=second\r\n") << kSec << u"E_CUS"_s
            << u"<def>"_s;
        QTest::newRow("comment lines are skipped")
            << QByteArray("; settings\r\n[vz_Vez_1prn]\r\n;E_CUS=commented\r\nE_CUS=abc\r\n") << kSec << u"E_CUS"_s
            << u"abc"_s;
        QTest::newRow("LF line ends") << QByteArray("[vz_Vez_1prn]\nE_TEL=1\nE_CUS=abc\n") << kSec << u"E_CUS"_s
                                      << u"abc"_s;
        QTest::newRow("last line without a line end")
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=abc") << kSec << u"E_CUS"_s << u"abc"_s;
        QTest::newRow("CP932 value decodes") << QByteArray("[vz_Vez_1prn]\r\nE_021_0=" + kNouhin + "\r\n") << kSec
                                             << u"E_021_0"_s << u"納品書　兼　請求書"_s;
        QTest::newRow("CP932 characters whose second byte is a backslash")
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=" + kSo + kHyou + "\r\n") << kSec << u"E_CUS"_s << u"ソ表"_s;
        QTest::newRow("CP932 section name whose bytes hold a bracket")
            << QByteArray("[" + kNou + "]\r\nE_CUS=abc\r\n") << u"納"_s << u"E_CUS"_s << u"abc"_s;
        QTest::newRow("CP932 key") << QByteArray("[vz_Vez_1prn]\r\n" + kYamada + "=" + kTokyo + "\r\n") << kSec
                                   << u"山田太郎"_s << u"東京都千代田区"_s;
        QTest::newRow("invalid CP932 bytes become replacement characters")
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=a" + kInvalid + "b\r\n") << kSec << u"E_CUS"_s
            << u"a\uFFFD\uFFFD\uFFFDb"_s;
        QTest::newRow("both CP932 forms of one character read alike")
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=" + kKouIbm + "\xED\x40\r\n") << kSec << u"E_CUS"_s << u"纊纊"_s;
        QTest::newRow("UTF-16LE file with byte-order mark")
            << Utf16LeFile(u"[vz_Vez_1prn]\r\nE_CUS= \"山田😀\" \r\n"_s) << kSec << u"e_cus"_s << u"山田😀"_s;
        QTest::newRow("UTF-16LE file with LF line ends")
            << Utf16LeFile(u"[a]\nx=1\n[vz_Vez_1prn]\nE_CUS=東京\n"_s) << kSec << u"E_CUS"_s << u"東京"_s;
        QTest::newRow("empty file") << QByteArray() << kSec << u"E_CUS"_s << u"<def>"_s;
    }

    void readString()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        const QString path = freshPath();
        WriteBytes(path, file);
        const ProfileFile ini(path);
        QCOMPARE(ini.ReadString(section, key, u"<def>"_s), expected);
        QCOMPARE(ReadBytes(path), file); // reading never changes the file
    }

    void readMissingFileGivesTheDefault()
    {
        const ProfileFile ini(m_dir.filePath(u"missing.ini"_s));
        QCOMPARE(ini.ReadString(kSec, u"E_CUS"_s, u"<def>"_s), u"<def>"_s);
        QCOMPARE(ini.ReadInteger(kSec, u"Tab_My"_s, 42), 42);
        QCOMPARE(ini.ReadDate(kSec, u"TaxEnforDate"_s, QDate(1997, 4, 1)), QDate(1997, 4, 1));
        QVERIFY(!QFile::exists(ini.path()));
    }

    void readIsCappedAt2047_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("2046 characters come back whole") << 2046 << 2046;
        QTest::newRow("2047 characters come back whole") << 2047 << 2047;
        QTest::newRow("2048 characters lose the last one") << 2048 << 2047;
        QTest::newRow("3000 characters come back as 2047") << 3000 << 2047;
    }

    void readIsCappedAt2047()
    {
        QFETCH(int, stored);
        QFETCH(int, expected);
        QByteArray value;
        for (int i = 0; i < stored; ++i)
            value += static_cast<char>('a' + i % 26);
        const QString path = freshPath();
        WriteBytes(path, "[vz_Vez_1prn]\r\nE_AD1=" + value + "\r\n");
        const QString read = ProfileFile(path).ReadString(kSec, u"E_AD1"_s, QString());
        QCOMPARE(read.size(), expected);
        QCOMPARE(read, QString::fromLatin1(value.left(expected)));
    }

    void readCapNeverSplitsASurrogatePair()
    {
        const QString path = freshPath();
        const QString value = QString(2046, u'a') + u"😀😀"_s;
        ProfileFile(path).WriteString(kSec, u"E_AD1"_s, value);
        QCOMPARE(ProfileFile(path).ReadString(kSec, u"E_AD1"_s, QString()), QString(2046, u'a'));
    }

    void readInteger_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("expected");
        const int def = -7777;
        QTest::newRow("zero") << QByteArray("0") << 0;
        QTest::newRow("decimal") << QByteArray("3") << 3;
        QTest::newRow("plus sign") << QByteArray("+5") << 5;
        QTest::newRow("minus one") << QByteArray("-1") << -1;
        QTest::newRow("largest 32-bit value") << QByteArray("2147483647") << INT_MAX;
        QTest::newRow("first value above the range") << QByteArray("2147483648") << def;
        QTest::newRow("smallest 32-bit value") << QByteArray("-2147483648") << INT_MIN;
        QTest::newRow("first value below the range") << QByteArray("-2147483649") << def;
        QTest::newRow("hexadecimal with 0x") << QByteArray("0x3") << 3;
        QTest::newRow("hexadecimal with 0X and upper-case digits") << QByteArray("0X1F") << 31;
        QTest::newRow("hexadecimal with lower-case digits") << QByteArray("0xff") << 255;
        QTest::newRow("hexadecimal with dollar") << QByteArray("$10") << 16;
        QTest::newRow("eight hex digits, top bit clear") << QByteArray("0x7FFFFFFF") << INT_MAX;
        QTest::newRow("eight hex digits, top bit set, is negative") << QByteArray("0x80000000") << INT_MIN;
        QTest::newRow("all ones is minus one") << QByteArray("$FFFFFFFF") << -1;
        QTest::newRow("nine hex digits") << QByteArray("0x100000000") << def;
        QTest::newRow("leading zeros do not count as digits") << QByteArray("0x0000000001") << 1;
        QTest::newRow("hex prefix without digits") << QByteArray("0x") << def;
        QTest::newRow("dollar without digits") << QByteArray("$") << def;
        QTest::newRow("hex prefix with a letter that is no digit") << QByteArray("0x1G") << def;
        QTest::newRow("sign before a hex prefix") << QByteArray("-0x10") << def;
        QTest::newRow("letters") << QByteArray("abc") << def;
        QTest::newRow("digits followed by letters") << QByteArray("12abc") << def;
        QTest::newRow("decimal fraction") << QByteArray("1.5") << def;
        QTest::newRow("empty value") << QByteArray("") << def;
        QTest::newRow("lone minus") << QByteArray("-") << def;
        QTest::newRow("blanks around the number") << QByteArray(" \t 12 \t") << 12;
        QTest::newRow("quoted number") << QByteArray("\"7\"") << 7;
        QTest::newRow("full-width digits") << QByteArray("\x82\x50") << def;
    }

    void readInteger()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, expected);
        const QString path = freshPath();
        WriteBytes(path, "[vz_Vez_1prn]\r\nTab_My=" + stored + "\r\n");
        QCOMPARE(ProfileFile(path).ReadInteger(kSec, u"Tab_My"_s, -7777), expected);
    }

    void readIntegerOfMissingKeyGivesTheDefault()
    {
        const QString path = freshPath();
        WriteBytes(path, "[vz_Vez_1prn]\r\nOther=1\r\n");
        QCOMPARE(ProfileFile(path).ReadInteger(kSec, u"Sbr_12prnno"_s, -1), -1);
    }

    void readDate_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QDate>("expected");
        const QDate def(1997, 4, 1);
        QTest::newRow("short date") << QByteArray("2014/04/01") << QDate(2014, 4, 1);
        QTest::newRow("one-digit month and day") << QByteArray("2019/1/9") << QDate(2019, 1, 9);
        QTest::newRow("leap day") << QByteArray("2024/02/29") << QDate(2024, 2, 29);
        QTest::newRow("leap day of a common year") << QByteArray("2023/02/29") << def;
        QTest::newRow("month thirteen") << QByteArray("2023/13/01") << def;
        QTest::newRow("day zero") << QByteArray("2023/01/00") << def;
        QTest::newRow("blanks around the date") << QByteArray("  2020/12/31 ") << QDate(2020, 12, 31);
        QTest::newRow("empty") << QByteArray("") << def;
        QTest::newRow("garbage") << QByteArray("not a date") << def;
        QTest::newRow("dashes") << QByteArray("2014-04-01") << def;
        QTest::newRow("two-digit year") << QByteArray("14/04/01") << def;
        QTest::newRow("three-digit month") << QByteArray("2014/004/01") << def;
        QTest::newRow("four parts") << QByteArray("2014/04/01/1") << def;
        QTest::newRow("trailing text") << QByteArray("2014/04/01x") << def;
        QTest::newRow("full-width digits") << QByteArray("\x82\x51\x82\x4F\x82\x50\x82\x53/04/01") << def;
    }

    void readDate()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QDate, expected);
        const QString path = freshPath();
        WriteBytes(path, "[vz_Vez_1prn]\r\nTaxEnforDate=" + stored + "\r\n");
        QCOMPARE(ProfileFile(path).ReadDate(kSec, u"TaxEnforDate"_s, QDate(1997, 4, 1)), expected);
    }

    void writeDateWritesYearMonthDay_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("month and day padded to two digits")
            << QDate(1997, 4, 1) << QByteArray("TaxEnforDate=1997/04/01");
        QTest::newRow("two-digit month and day") << QDate(2019, 10, 31) << QByteArray("TaxEnforDate=2019/10/31");
        QTest::newRow("invalid date is written empty") << QDate() << QByteArray("TaxEnforDate=");
    }

    void writeDateWritesYearMonthDay()
    {
        QFETCH(QDate, date);
        QFETCH(QByteArray, line);
        const QString path = freshPath();
        ProfileFile ini(path);
        ini.WriteDate(kSec, u"TaxEnforDate"_s, date);
        QCOMPARE(ReadBytes(path), "[vz_Vez_1prn]\r\n" + line + "\r\n");
        QCOMPARE(ini.ReadDate(kSec, u"TaxEnforDate"_s, QDate(1, 2, 3)), date.isValid() ? date : QDate(1, 2, 3));
    }

    void writeIntegerRoundTrips_data()
    {
        QTest::addColumn<int>("value");
        QTest::newRow("zero") << 0;
        QTest::newRow("minus one") << -1;
        QTest::newRow("largest") << INT_MAX;
        QTest::newRow("smallest") << INT_MIN;
    }

    void writeIntegerRoundTrips()
    {
        QFETCH(int, value);
        const QString path = freshPath();
        ProfileFile ini(path);
        ini.WriteInteger(kSec, u"Tab_My"_s, value);
        QCOMPARE(ReadBytes(path), "[vz_Vez_1prn]\r\nTab_My=" + QByteArray::number(value) + "\r\n");
        QCOMPARE(ini.ReadInteger(kSec, u"Tab_My"_s, 12345), value);
    }

    void write_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("missing file is created with the section and the entry")
            << false << QByteArray() << kSec << u"E_CUS"_s << u"abc"_s << QByteArray("[vz_Vez_1prn]\r\nE_CUS=abc\r\n");
        QTest::newRow("empty file gets the section and the entry")
            << true << QByteArray() << kSec << u"E_CUS"_s << u"abc"_s << QByteArray("[vz_Vez_1prn]\r\nE_CUS=abc\r\n");
        QTest::newRow("names are written trimmed") << false << QByteArray() << u" vz_Vez_1prn "_s << u"OP023MyZIP "_s
                                                   << u"1"_s << QByteArray("[vz_Vez_1prn]\r\nOP023MyZIP=1\r\n");
        QTest::newRow("value is written unchanged, blanks and quotes included")
            << false << QByteArray() << kSec << u"E_CUS"_s << u" \"a b\" "_s
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS= \"a b\" \r\n");
        QTest::newRow("existing entry is replaced in place")
            << true << QByteArray("[vz_Vez_1prn]\r\nE_ZIP=1\r\nE_CUS=old\r\nE_TEL=2\r\n") << kSec << u"E_CUS"_s
            << u"new"_s << QByteArray("[vz_Vez_1prn]\r\nE_ZIP=1\r\nE_CUS=new\r\nE_TEL=2\r\n");
        QTest::newRow("replaced entry takes the key as passed")
            << true << QByteArray("[vz_Vez_1prn]\r\n  op023myzip = 100 \r\n") << kSec << u"OP023MyZip"_s << u"200"_s
            << QByteArray("[vz_Vez_1prn]\r\nOP023MyZip=200\r\n");
        QTest::newRow("key with upper-case ZIP and blank replaces the same entry")
            << true << QByteArray("[vz_Vez_1prn]\r\nOP023MyZip=100\r\n") << kSec << u"OP023MyZIP "_s << u"200"_s
            << QByteArray("[vz_Vez_1prn]\r\nOP023MyZIP=200\r\n");
        QTest::newRow("replaced line keeps its LF line end")
            << true << QByteArray("[vz_Vez_1prn]\nE_CUS=old\nE_TEL=2\n") << kSec << u"E_CUS"_s << u"new"_s
            << QByteArray("[vz_Vez_1prn]\nE_CUS=new\nE_TEL=2\n");
        QTest::newRow("replaced last line without a line end stays without one")
            << true << QByteArray("[vz_Vez_1prn]\r\nE_CUS=old") << kSec << u"E_CUS"_s << u"new"_s
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=new");
        QTest::newRow("new key goes after the section's last entry, before blank lines and the next section")
            << true << QByteArray("[vz_Vez_1prn]\r\nE_ZIP=1\r\n\r\n[other]\r\nx=1\r\n") << kSec << u"E_CUS"_s
            << u"abc"_s << QByteArray("[vz_Vez_1prn]\r\nE_ZIP=1\r\nE_CUS=abc\r\n\r\n[other]\r\nx=1\r\n");
        QTest::newRow("new key goes after the last entry even past lines without equals sign")
            << true << QByteArray("[vz_Vez_1prn]\r\nE_ZIP=1\r\nnoise\r\n[other]\r\n") << kSec << u"E_CUS"_s << u"abc"_s
            << QByteArray("[vz_Vez_1prn]\r\nE_ZIP=1\r\nE_CUS=abc\r\nnoise\r\n[other]\r\n");
        QTest::newRow("new key in a section without entries goes right after its header")
            << true << QByteArray("[vz_Vez_1prn]\r\n\r\n[other]\r\nx=1\r\n") << kSec << u"E_CUS"_s << u"abc"_s
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=abc\r\n\r\n[other]\r\nx=1\r\n");
        QTest::newRow("new key after a last line without a line end")
            << true << QByteArray("[vz_Vez_1prn]\r\nE_ZIP=1") << kSec << u"E_CUS"_s << u"abc"_s
            << QByteArray("[vz_Vez_1prn]\r\nE_ZIP=1\r\nE_CUS=abc\r\n");
        QTest::newRow("new key under a header that is the last line without a line end")
            << true << QByteArray("[vz_Vez_1prn]") << kSec << u"E_CUS"_s << u"abc"_s
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=abc\r\n");
        QTest::newRow("missing section is added at the end of the file")
            << true << QByteArray("; comment\r\n[other]\r\nx=1\r\n\r\n") << kSec << u"E_CUS"_s << u"abc"_s
            << QByteArray("; comment\r\n[other]\r\nx=1\r\n\r\n[vz_Vez_1prn]\r\nE_CUS=abc\r\n");
        QTest::newRow("missing section after a last line without a line end")
            << true << QByteArray("[other]\r\nx=1") << kSec << u"E_CUS"_s << u"abc"_s
            << QByteArray("[other]\r\nx=1\r\n[vz_Vez_1prn]\r\nE_CUS=abc\r\n");
        QTest::newRow("first of duplicate sections is written")
            << true << QByteArray("[vz_Vez_1prn]\r\nE_ZIP=1\r\n[vz_Vez_1prn]\r\nE_CUS=old\r\n") << kSec << u"E_CUS"_s
            << u"new"_s << QByteArray("[vz_Vez_1prn]\r\nE_ZIP=1\r\nE_CUS=new\r\n[vz_Vez_1prn]\r\nE_CUS=old\r\n");
        QTest::newRow("first of duplicate keys is written")
            << true << QByteArray("[vz_Vez_1prn]\r\nE_CUS=a\r\nE_CUS=b\r\n") << kSec << u"E_CUS"_s << u"new"_s
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=new\r\nE_CUS=b\r\n");
        QTest::newRow("comments, unknown keys and other sections stay untouched")
            << true
            << QByteArray(
                   ";top\r\n[a]\r\n k = v ; note\r\n[vz_Vez_1prn]\r\n;c=d\r\nZZZ=1\r\nE_CUS=old\r\n[b]\r\n\tq=\"x\"\n")
            << kSec << u"E_CUS"_s << u"new"_s
            << QByteArray(
                   ";top\r\n[a]\r\n k = v ; note\r\n[vz_Vez_1prn]\r\n;c=d\r\nZZZ=1\r\nE_CUS=new\r\n[b]\r\n\tq=\"x\"\n");
        QTest::newRow("CP932 value is written as CP932 bytes")
            << false << QByteArray() << kSec << u"E_021_0"_s << u"納品書　兼　請求書"_s
            << QByteArray("[vz_Vez_1prn]\r\nE_021_0=" + kNouhin + "\r\n");
        QTest::newRow("line breaks in a value are written as blanks")
            << false << QByteArray() << kSec << u"E_CUS"_s << u"a\r\n[x]\nb=c"_s
            << QByteArray("[vz_Vez_1prn]\r\nE_CUS=a  [x] b=c\r\n");
        QTest::newRow("UTF-16LE file stays UTF-16LE")
            << true << Utf16LeFile(u"[vz_Vez_1prn]\nE_ZIP=1\n[other]\r\n"_s) << kSec << u"E_CUS"_s << u"山田"_s
            << Utf16LeFile(u"[vz_Vez_1prn]\nE_ZIP=1\nE_CUS=山田\r\n[other]\r\n"_s);
        QTest::newRow("UTF-16LE entry replaced in place")
            << true << Utf16LeFile(u"[vz_Vez_1prn]\r\nE_CUS=old\r\nE_TEL=2"_s) << kSec << u"E_CUS"_s << u"😀"_s
            << Utf16LeFile(u"[vz_Vez_1prn]\r\nE_CUS=😀\r\nE_TEL=2"_s);
        QTest::newRow("UTF-16LE file with only a byte-order mark")
            << true << Utf16LeFile(QString()) << kSec << u"E_CUS"_s << u"a"_s
            << Utf16LeFile(u"[vz_Vez_1prn]\r\nE_CUS=a\r\n"_s);
    }

    void write()
    {
        QFETCH(bool, exists);
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        const QString path = freshPath();
        if (exists)
            WriteBytes(path, before);
        ProfileFile ini(path);
        ini.WriteString(section, key, value);
        QCOMPARE(ReadBytes(path), after);
    }

    void windowsFileIsRewrittenByteForByte_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("changedFrom");
        QTest::addColumn<QByteArray>("changedTo");
        // Rewriting a value with what it already holds changes nothing.
        QTest::newRow("same value written again") << u"E_ZIP"_s << u"100-0001"_s << QByteArray() << QByteArray();
        QTest::newRow("other entry changed")
            << u"E_ZIP"_s << u"200-0002"_s << QByteArray("E_ZIP=100-0001") << QByteArray("E_ZIP=200-0002");
        QTest::newRow("new entry added") << u"E_TEL"_s << u"03"_s << QByteArray("E_ZIP=100-0001\r\n")
                                         << QByteArray("E_ZIP=100-0001\r\nE_TEL=03\r\n");
    }

    void windowsFileIsRewrittenByteForByte()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, changedFrom);
        QFETCH(QByteArray, changedTo);
        const QByteArray file = "; written by Windows\r\n"
                                "[vz_Vez_1prn]\r\n"
                                "E_021_0=" +
                                kNouhin +
                                "\r\n"
                                "E_CUS = " +
                                kBecauseNec + kKouIbm +
                                " \r\n"
                                "E_AD1=" +
                                kSo + kHyou +
                                "\r\n"
                                "E_AD2=x" +
                                kInvalid +
                                "\x82\r\n"
                                "E_ZIP=100-0001\r\n"
                                "\r\n"
                                "[" +
                                kYamada +
                                "]\n"
                                "bad=\xFF\xFE\x01\x02\r\n";
        const QString path = freshPath();
        WriteBytes(path, file);
        ProfileFile ini(path);
        ini.WriteString(kSec, key, value);
        QByteArray expected = file;
        if (!changedFrom.isEmpty()) {
            QCOMPARE(expected.count(changedFrom), 1);
            expected.replace(changedFrom, changedTo);
        }
        QCOMPARE(ReadBytes(path), expected);
        QCOMPARE(ini.ReadString(kSec, u"E_CUS"_s, QString()), u"∵纊"_s);
        QCOMPARE(ini.ReadString(kSec, u"E_021_0"_s, QString()), u"納品書　兼　請求書"_s);
    }

    void unrepresentableTextSwitchesToUtf16_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("emoji") << u"山田😀"_s;
        QTest::newRow("kanji outside CP932") << u"丂"_s;
        QTest::newRow("lone high surrogate") << QString(QChar(0xD83D));
        QTest::newRow("lone low surrogate at the end") << u"a"_s + QChar(0xDE00);
    }

    void unrepresentableTextSwitchesToUtf16()
    {
        QFETCH(QString, value);
        const QString path = freshPath();
        WriteBytes(path,
                   "[vz_Vez_1prn]\r\nE_021_0=" + kNouhin + "\r\nE_TEL=03\n[" + kYamada + "]\r\nk=" + kTokyo + "\r\n");
        ProfileFile ini(path);
        ini.WriteString(kSec, u"E_CUS"_s, value);
        const QByteArray bytes = ReadBytes(path);
        QCOMPARE(bytes, Utf16LeFile(u"[vz_Vez_1prn]\r\nE_021_0=納品書　兼　請求書\r\nE_TEL=03\nE_CUS="_s + value +
                                    u"\r\n[山田太郎]\r\nk=東京都千代田区\r\n"_s));
        QCOMPARE(ini.ReadString(kSec, u"E_CUS"_s, u"<def>"_s), value);
        QCOMPARE(ini.ReadString(kSec, u"E_021_0"_s, u"<def>"_s), u"納品書　兼　請求書"_s);
        QCOMPARE(ini.ReadString(u"山田太郎"_s, u"K"_s, u"<def>"_s), u"東京都千代田区"_s);
        // Later writes keep the file in UTF-16LE, even of plain text.
        ini.WriteString(kSec, u"E_TEL"_s, u"06"_s);
        QVERIFY(ReadBytes(path).startsWith("\xFF\xFE"));
        QCOMPARE(ini.ReadString(kSec, u"E_TEL"_s, u"<def>"_s), u"06"_s);
    }

    void unrepresentableTextCreatesAUtf16File()
    {
        const QString path = freshPath();
        ProfileFile ini(path);
        ini.WriteString(kSec, u"E_CUS"_s, u"😀"_s);
        QCOMPARE(ReadBytes(path), Utf16LeFile(u"[vz_Vez_1prn]\r\nE_CUS=😀\r\n"_s));
        QCOMPARE(ini.ReadString(kSec, u"e_cus"_s, QString()), u"😀"_s);
    }

    void anObjectReadsItsFileOnceAndMergesItsWritesIntoLaterChanges()
    {
        const QString path = freshPath();
        ProfileFile writer(path);
        const ProfileFile reader(path);
        QCOMPARE(reader.ReadString(kSec, u"E_CUS"_s, u"<def>"_s), u"<def>"_s);
        writer.WriteString(kSec, u"E_CUS"_s, u"one"_s);
        // The reader answers from what it read; a new object reads the file as it is now.
        QCOMPARE(reader.ReadString(kSec, u"E_CUS"_s, u"<def>"_s), u"<def>"_s);
        QCOMPARE(ProfileFile(path).ReadString(kSec, u"E_CUS"_s, u"<def>"_s), u"one"_s);
        // Another program rewrites the file in place, with the same length.
        WriteBytes(path, "[vz_Vez_1prn]\r\nE_CUS=two\r\n");
        writer.WriteString(kSec, u"E_TEL"_s, u"3"_s);
        QCOMPARE(ReadBytes(path), QByteArray("[vz_Vez_1prn]\r\nE_CUS=two\r\nE_TEL=3\r\n"));
        QCOMPARE(writer.ReadString(kSec, u"E_CUS"_s, u"<def>"_s), u"two"_s);
    }

    void writeRefused_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("path under a regular file") << u"under-file"_s;
        QTest::newRow("missing directory") << u"missing-dir"_s;
        QTest::newRow("path is a directory") << u"is-dir"_s;
        QTest::newRow("read-only directory") << u"ro-dir"_s;
        QTest::newRow("read-only file") << u"ro-file"_s;
        QTest::newRow("unreadable file is not replaced") << u"unreadable"_s;
    }

    void writeRefused()
    {
        QFETCH(QString, how);
        const QString base = m_dir.filePath(u"refused-"_s + how);
        QVERIFY(QDir().mkpath(base));
        QString path;
        QString keep; // a file that must stay as it was
        const QByteArray original("[vz_Vez_1prn]\r\nE_CUS=old\r\n");
        if (how == u"under-file") {
            WriteBytes(base + u"/file"_s, "x");
            path = base + u"/file/sub/vuzo_Vez_1.ini"_s;
            keep = base + u"/file"_s;
        } else if (how == u"missing-dir") {
            path = base + u"/no/such/dir/vuzo_Vez_1.ini"_s;
        } else if (how == u"is-dir") {
            path = base + u"/dir.ini"_s;
            QVERIFY(QDir().mkpath(path));
        } else {
            if (IsRoot())
                QSKIP("permissions do not stop the superuser; the path under a regular file covers refusal");
            path = base + u"/vuzo_Vez_1.ini"_s;
            WriteBytes(path, original);
            keep = path;
            if (how == u"ro-dir")
                QVERIFY(QFile::setPermissions(base, QFile::ReadOwner | QFile::ExeOwner));
            else if (how == u"ro-file")
                QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
            else
                QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));
        }
        const QByteArray keptBytes = keep == path ? original : keep.isEmpty() ? QByteArray() : ReadBytes(keep);
        ProfileFile ini(path);
        bool thrown = false;
        try {
            ini.WriteString(kSec, u"E_CUS"_s, u"new"_s);
        } catch (const EProfileWriteError &e) {
            thrown = true;
            // The reason follows the message the operator has always seen.
            QVERIFY2(e.message().startsWith(path + u" に書き込めません: "_s), qPrintable(e.message()));
            QVERIFY(e.message().size() > path.size() + 12);
        }
        QFile::setPermissions(base, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (!keep.isEmpty() && keep == path)
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(thrown);
        if (!keep.isEmpty())
            QCOMPARE(ReadBytes(keep), keptBytes);
        // Nothing is left behind in the folder: no temporary file, no partial file.
        const QStringList left = QDir(base).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        QVERIFY2(left.size() <= 1, qPrintable(left.join(u", "_s)));
    }

    void writeReplacesTheFileAndKeepsItsPermissions()
    {
        const QString base = m_dir.filePath(u"perm"_s);
        QVERIFY(QDir().mkpath(base));
        const QString path = base + u"/vuzo_Vez_1.ini"_s;
        WriteBytes(path, "[vz_Vez_1prn]\r\nE_CUS=old\r\n");
        const QFile::Permissions perms = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(path, perms));
        ProfileFile(path).WriteString(kSec, u"E_CUS"_s, u"new"_s);
        QCOMPARE(ReadBytes(path), QByteArray("[vz_Vez_1prn]\r\nE_CUS=new\r\n"));
        QCOMPARE(QFile::permissions(path) & 0x7077, perms);
        QCOMPARE(QDir(base).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{u"vuzo_Vez_1.ini"_s});
    }

    void newFileGetsTheUsualPermissions()
    {
        const mode_t mask = umask(0);
        umask(mask);
        const QString path = freshPath();
        ProfileFile(path).WriteString(kSec, u"E_CUS"_s, u"a"_s);
        struct stat st
        {
        };
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0666 & ~mask);
    }

    void writeFollowsASymbolicLink()
    {
        const QString base = m_dir.filePath(u"link"_s);
        QVERIFY(QDir().mkpath(base));
        const QString target = base + u"/real.ini"_s;
        const QString link = base + u"/vuzo_Vez_1.ini"_s;
        WriteBytes(target, "[vz_Vez_1prn]\r\nE_CUS=old\r\n");
        QVERIFY(QFile::link(target, link));
        ProfileFile(link).WriteString(kSec, u"E_CUS"_s, u"new"_s);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(ReadBytes(target), QByteArray("[vz_Vez_1prn]\r\nE_CUS=new\r\n"));
    }

    void randomBytesNeitherCrashNorHang()
    {
        QRandomGenerator rng(20240401);
        for (int round = 0; round < 200; ++round) {
            const int size = static_cast<int>(rng.bounded(4096));
            QByteArray bytes(size, Qt::Uninitialized);
            for (char &c : bytes) {
                // Mostly bytes that matter to the parser, so that every path runs.
                static const char interesting[] = {'[',  ']', '=',    '\r',   '\n',   ' ',    '\t', '"',
                                                   '\'', 'a', '\x81', '\x82', '\xFF', '\xFE', '\0', '\x5C'};
                c = rng.bounded(2) ? interesting[rng.bounded(static_cast<quint32>(sizeof interesting))]
                                   : static_cast<char>(rng.bounded(256));
            }
            if (round % 4 == 0)
                bytes.prepend("\xFF\xFE");
            const QString path = m_dir.filePath(u"random.ini"_s);
            WriteBytes(path, bytes);
            ProfileFile ini(path);
            (void)ini.ReadString(kSec, u"a"_s, QString());
            (void)ini.ReadInteger(u"a"_s, u"a"_s, 0);
            (void)ini.ReadDate(u"[a"_s, u"a"_s, QDate());
            ini.WriteString(kSec, u"E_CUS"_s, u"value"_s);
            QCOMPARE(ini.ReadString(kSec, u"E_CUS"_s, QString()), u"value"_s);
        }
    }

    void hugeFileIsReadAndWritten()
    {
        QByteArray file("[first]\r\n");
        for (int i = 0; i < 100000; ++i)
            file += "Key" + QByteArray::number(i) + "=" + kTokyo + QByteArray::number(i) + "\r\n";
        file += "[vz_Vez_1prn]\r\nE_CUS=" + kYamada + "\r\n";
        const QString path = freshPath();
        WriteBytes(path, file);
        ProfileFile ini(path);
        QCOMPARE(ini.ReadString(u"first"_s, u"key99999"_s, QString()), u"東京都千代田区99999"_s);
        QCOMPARE(ini.ReadString(kSec, u"E_CUS"_s, QString()), u"山田太郎"_s);
        ini.WriteString(kSec, u"E_TEL"_s, u"1"_s);
        QCOMPARE(ReadBytes(path), file + "E_TEL=1\r\n");
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
