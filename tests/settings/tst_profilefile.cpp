#include "settings/DurableFile.h"
#include "settings/ProfileFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <optional>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
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

// The text in the named encoding. CP932 comes from the byte constants above,
// so the fixture does not lean on the converter under test.
QByteArray Encoded(const QString &encoding, const QStringList &pieces)
{
    QByteArray out;
    if (encoding == u"UTF-8 with BOM")
        out = "\xEF\xBB\xBF";
    else if (encoding == u"UTF-16LE")
        out = "\xFF\xFE";
    else if (encoding == u"UTF-16BE")
        out = "\xFE\xFF";
    for (const QString &piece : pieces) {
        if (encoding == u"CP932") {
            const QHash<QString, QByteArray> cp932{
                {u"納品書　兼　請求書"_s, kNouhin}, {u"山田太郎"_s, kYamada}, {u"東京都千代田区"_s, kTokyo}};
            out += cp932.value(piece, piece.toLatin1());
        } else if (encoding == u"UTF-16LE") {
            out += QStringEncoder(QStringConverter::Utf16LE)(piece);
        } else if (encoding == u"UTF-16BE") {
            out += QStringEncoder(QStringConverter::Utf16BE)(piece);
        } else {
            out += piece.toUtf8();
        }
    }
    return out;
}

// Failures a test can inject into the writes and flushes of this process.
// The functions below take the place of the C library's write() and fsync()
// for the whole test program, so a save meets the failure on the very path it
// takes on a real disk. Unarmed, they pass every call on unchanged.
struct Injection
{
    int shortWriteCall = 0; // this write to a file writes half, the next one fails: the disk is full
    int writeCalls = 0;
    bool failFlush = false; // the next flush fails with an I/O error
};
Injection g_injection;

} // namespace

extern "C" ssize_t write(int fd, const void *buffer, size_t count)
{
    Injection &in = g_injection;
    if (in.shortWriteCall > 0 && fd > 2) {
        const int call = ++in.writeCalls;
        if (call == in.shortWriteCall && count > 1) {
            count /= 2;
        } else if (call > in.shortWriteCall) {
            in.shortWriteCall = 0;
            errno = ENOSPC;
            return -1;
        }
    }
    return syscall(SYS_write, fd, buffer, count);
}

extern "C" int fsync(int fd)
{
    if (g_injection.failFlush) {
        g_injection.failFlush = false;
        errno = EIO;
        return -1;
    }
    return static_cast<int>(syscall(SYS_fsync, fd));
}

namespace {

// A file system of 64 KiB, so that a save runs out of space for real. Only
// the superuser may mount one; mounted() says whether it worked.
class SmallDisk
{
public:
    explicit SmallDisk(const QString &folder) : m_folder(QFile::encodeName(folder))
    {
        QDir().mkpath(folder);
        m_mounted = ::mount("tmpfs", m_folder.constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;
    bool mounted() const { return m_mounted; }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};

// A folder in which no file may be created, while its files may still be
// written. Permissions do not stop the superuser, so for root the folder is
// made immutable instead, which stops new entries and leaves the files alone.
class FolderRefusingNewFiles
{
public:
    explicit FolderRefusingNewFiles(const QString &folder) : m_folder(folder)
    {
        if (IsRoot())
            m_ok = setImmutable(true);
        else
            m_ok = QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    }
    ~FolderRefusingNewFiles()
    {
        if (IsRoot())
            setImmutable(false);
        else
            QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    FolderRefusingNewFiles(const FolderRefusingNewFiles &) = delete;
    FolderRefusingNewFiles &operator=(const FolderRefusingNewFiles &) = delete;
    bool ok() const { return m_ok; }

private:
    bool setImmutable(bool on)
    {
        const int fd = ::open(QFile::encodeName(m_folder).constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }

    QString m_folder;
    bool m_ok = false;
};

QStringList FolderEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// The writes of an exit save: 107 keys of one section, in one batch.
void SaveManyKeys(ProfileFile &ini, const QString &value)
{
    ProfileFile::Batch batch(ini);
    for (int k = 0; k < 107; ++k)
        ini.WriteString(kSec, u"Key%1"_s.arg(k), value);
    batch.commit();
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
        QTest::newRow("UTF-16BE file with byte-order mark")
            << QByteArray("\xFE\xFF" + QStringEncoder(QStringConverter::Utf16BE)(u"[vz_Vez_1prn]\r\nE_CUS=山田😀\r\n"_s))
            << kSec << u"E_CUS"_s << u"山田😀"_s;
        QTest::newRow("UTF-8 file without byte-order mark")
            << u"[vz_Vez_1prn]\nE_CUS=山田太郎\n"_s.toUtf8() << kSec << u"E_CUS"_s << u"山田太郎"_s;
        QTest::newRow("UTF-8 file with byte-order mark")
            << "\xEF\xBB\xBF" + u"[vz_Vez_1prn]\r\nE_CUS=山田太郎\r\n"_s.toUtf8() << kSec << u"E_CUS"_s
            << u"山田太郎"_s;
        QTest::newRow("lone CR line ends")
            << QByteArray("[vz_Vez_1prn]\rE_TEL=1\rE_CUS=abc\r") << kSec << u"E_CUS"_s << u"abc"_s;
        QTest::newRow("lone CR, LF and CR LF in one file")
            << QByteArray("[a]\rE_CUS=x\n[vz_Vez_1prn]\r\nE_TEL=1\rE_CUS=abc") << kSec << u"E_CUS"_s << u"abc"_s;
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
        QTest::newRow("entry replaced in a file of lone CR line ends")
            << true << QByteArray("[vz_Vez_1prn]\rE_CUS=old\rE_TEL=2\r[other]\rx=1\r") << kSec << u"E_CUS"_s << u"new"_s
            << QByteArray("[vz_Vez_1prn]\rE_CUS=new\rE_TEL=2\r[other]\rx=1\r");
        QTest::newRow("new key joins its section in a file of lone CR line ends")
            << true << QByteArray("[vz_Vez_1prn]\rE_TEL=2\r[other]\rx=1\r") << kSec << u"E_CUS"_s << u"abc"_s
            << QByteArray("[vz_Vez_1prn]\rE_TEL=2\rE_CUS=abc\r\n[other]\rx=1\r");
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
        // CP932's converter writes these as characters that read back otherwise.
        QTest::newRow("yen sign, written as a backslash") << u"¥100"_s;
        QTest::newRow("wave dash, read back as a full-width tilde") << u"10〜20"_s;
        QTest::newRow("minus sign, read back as a full-width hyphen-minus") << u"−5"_s;
        QTest::newRow("cent sign, read back as a full-width cent sign") << u"50¢"_s;
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
        QCOMPARE(ProfileFile(path).ReadString(kSec, u"E_CUS"_s, u"<def>"_s), value);
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

    void encodingSwitchThatWouldLoseALineIsRefused()
    {
        const QString path = freshPath();
        const QByteArray file = "[vz_Vez_1prn]\r\nE_CUS=old\r\n[other]\r\nbad=" + kInvalid + "\r\n";
        WriteBytes(path, file);
        ProfileFile ini(path);
        try {
            ini.WriteString(kSec, u"E_CUS"_s, u"¥100"_s);
            QFAIL("the write was not refused");
        } catch (const EProfileWriteError &e) {
            QVERIFY2(e.message().startsWith(path + u" に書き込めません: "_s), qPrintable(e.message()));
            QVERIFY2(e.message().contains(u"4 行目"_s), qPrintable(e.message()));
        }
        QCOMPARE(ReadBytes(path), file);
        QCOMPARE(ini.ReadString(kSec, u"E_CUS"_s, QString()), u"old"_s);
        // A value CP932 holds is still written.
        ini.WriteString(kSec, u"E_CUS"_s, u"new"_s);
        QCOMPARE(ReadBytes(path), QByteArray(file).replace("=old", "=new"));
    }

    void eachEncodingIsWrittenBackAsItWasRead_data()
    {
        QTest::addColumn<QString>("encoding");
        for (const QString &e : {u"CP932"_s, u"UTF-8"_s, u"UTF-8 with BOM"_s, u"UTF-16LE"_s, u"UTF-16BE"_s})
            QTest::newRow(qPrintable(e + u" file stays "_s + e)) << e;
    }

    void eachEncodingIsWrittenBackAsItWasRead()
    {
        QFETCH(QString, encoding);
        const QString path = freshPath();
        const QString note = u"納品書　兼　請求書"_s;
        const QString yamada = u"山田太郎"_s;
        const QString tokyo = u"東京都千代田区"_s;
        WriteBytes(path, Encoded(encoding, {u"; "_s, note, u"\r\n[vz_Vez_1prn]\r\nE_CUS="_s, yamada,
                                            u"\r\nE_TEL=03-0000-0000\n["_s, yamada, u"]\rk="_s, tokyo, u"\r\n"_s}));
        ProfileFile ini(path);
        QCOMPARE(ini.ReadString(kSec, u"E_CUS"_s, QString()), yamada);
        ProfileFile::Batch batch(ini);
        ini.WriteString(kSec, u"E_CUS"_s, tokyo);
        ini.WriteString(kSec, u"E_AD1"_s, yamada);
        batch.commit();
        QCOMPARE(ReadBytes(path), Encoded(encoding, {u"; "_s, note, u"\r\n[vz_Vez_1prn]\r\nE_CUS="_s, tokyo,
                                                     u"\r\nE_TEL=03-0000-0000\nE_AD1="_s, yamada, u"\r\n["_s, yamada,
                                                     u"]\rk="_s, tokyo, u"\r\n"_s}));
        const ProfileFile again(path);
        QCOMPARE(again.ReadString(kSec, u"E_AD1"_s, QString()), yamada);
        QCOMPARE(again.ReadString(yamada, u"k"_s, QString()), tokyo);
    }

    void batchReachesTheDiskOnceAtCommit()
    {
        const QByteArray file = "; note\r\n[vz_Vez_1prn]\r\nKey3=old\nZZZ=1\r\n\r\n[other]\r\nx=1\r\n";
        const QString oneByOne = freshPath();
        WriteBytes(oneByOne, file);
        ProfileFile single(oneByOne);
        for (int k = 0; k < 107; ++k)
            single.WriteString(kSec, u"Key%1"_s.arg(k), u"v"_s);

        const QString batched = freshPath();
        WriteBytes(batched, file);
        struct stat before
        {
        };
        QCOMPARE(::stat(QFile::encodeName(batched).constData(), &before), 0);
        ProfileFile ini(batched);
        {
            ProfileFile::Batch batch(ini);
            for (int k = 0; k < 107; ++k)
                ini.WriteString(kSec, u"Key%1"_s.arg(k), u"v"_s);
            // Reads see the batch's writes; the disk does not yet.
            QCOMPARE(ini.ReadString(kSec, u"Key3"_s, QString()), u"v"_s);
            QCOMPARE(ReadBytes(batched), file);
            batch.commit();
        }
        QCOMPARE(ReadBytes(batched), ReadBytes(oneByOne));
        struct stat after
        {
        };
        QCOMPARE(::stat(QFile::encodeName(batched).constData(), &after), 0);
        QVERIFY(after.st_ino != before.st_ino); // replaced, not rewritten in place
    }

    void droppedBatchLeavesTheFileAsItWas()
    {
        const QString path = freshPath();
        const QByteArray file("[vz_Vez_1prn]\r\nE_CUS=old\r\n");
        WriteBytes(path, file);
        ProfileFile ini(path);
        try {
            ProfileFile::Batch batch(ini);
            ini.WriteString(kSec, u"E_CUS"_s, u"new"_s);
            ini.WriteString(kSec, u"E_TEL"_s, u"03"_s);
            throw EVuzoError(u"the action fails half way"_s);
        } catch (const EVuzoError &) {
        }
        QCOMPARE(ReadBytes(path), file);
        QCOMPARE(ini.ReadString(kSec, u"E_CUS"_s, QString()), u"old"_s);
        QCOMPARE(ini.ReadString(kSec, u"E_TEL"_s, u"<def>"_s), u"<def>"_s);
    }

    void innerBatchJoinsTheOuterOne()
    {
        const QString path = freshPath();
        ProfileFile ini(path);
        ProfileFile::Batch outer(ini);
        {
            ProfileFile::Batch inner(ini);
            ini.WriteString(kSec, u"E_CUS"_s, u"a"_s);
            inner.commit();
        }
        QVERIFY(!QFile::exists(path));
        {
            ProfileFile::Batch dropped(ini);
            ini.WriteString(kSec, u"E_TEL"_s, u"b"_s);
        }
        QVERIFY_THROWS_EXCEPTION(EProfileWriteError, outer.commit());
        QVERIFY(!QFile::exists(path));
    }

    void unchangedValuesLeaveTheFileAlone()
    {
        const QString path = freshPath();
        WriteBytes(path, "[vz_Vez_1prn]\r\nE_CUS=same\r\n");
        struct stat before
        {
        };
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);
        ProfileFile ini(path);
        ProfileFile::Batch batch(ini);
        ini.WriteString(kSec, u"E_CUS"_s, u"same"_s);
        batch.commit();
        struct stat after
        {
        };
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
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

    void failedSaveLeavesTheFileAsItWas_data()
    {
        QTest::addColumn<bool>("inPlace");   // the folder refuses a temporary file
        QTest::addColumn<bool>("smallDisk"); // on a 64 KiB disk, when one can be mounted
        QTest::addColumn<int>("shortWrite"); // else the write that comes up short before ENOSPC
        QTest::addColumn<bool>("failFlush"); // the flush fails with EIO
        QTest::addColumn<int>("error");
        QTest::newRow("disk full while the new file is written") << false << true << 1 << false << ENOSPC;
        QTest::newRow("disk full while the file is rewritten in place") << true << true << 1 << false << ENOSPC;
        QTest::newRow("write cut short in place after the old end was written")
            << true << false << 2 << false << ENOSPC;
        QTest::newRow("flush of the new file refused") << false << false << 0 << true << EIO;
        QTest::newRow("flush of the file rewritten in place refused") << true << false << 0 << true << EIO;
    }

    void failedSaveLeavesTheFileAsItWas()
    {
        QFETCH(bool, inPlace);
        QFETCH(bool, smallDisk);
        QFETCH(int, shortWrite);
        QFETCH(bool, failFlush);
        QFETCH(int, error);
        const QString folder = m_dir.filePath(u"failed-%1"_s.arg(++m_counter));
        std::optional<SmallDisk> disk;
        if (smallDisk)
            disk.emplace(folder);
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + u"/vuzo_Vez_1.ini"_s;
        const QByteArray file = "; kept\r\n[vz_Vez_1prn]\r\nKey0=old\r\n[" + kYamada + "]\nk=" + kInvalid + "\r\n";
        WriteBytes(path, file);
        std::optional<FolderRefusingNewFiles> refusing;
        if (inPlace) {
            refusing.emplace(folder);
            if (!refusing->ok())
                QSKIP("this file system cannot make a folder refuse new files");
        }
        if (!disk || !disk->mounted()) {
            g_injection.shortWriteCall = shortWrite;
            g_injection.writeCalls = 0;
        }
        g_injection.failFlush = failFlush;

        ProfileFile ini(path);
        QString message;
        try {
            SaveManyKeys(ini, QString(1000, u'x')); // about 100 KiB, more than the small disk holds
        } catch (const EProfileWriteError &e) {
            message = e.message();
        }
        g_injection = Injection();
        refusing.reset();

        QCOMPARE(message, path + u" に書き込めません: "_s + qt_error_string(error));
        QCOMPARE(ReadBytes(path), file);
        QCOMPARE(FolderEntries(folder), QStringList{u"vuzo_Vez_1.ini"_s});
        QCOMPARE(ini.ReadString(kSec, u"Key0"_s, QString()), u"old"_s);
    }

    void killedSaveLeavesTheOldOrTheNewFile()
    {
        const QString folder = m_dir.filePath(u"killed"_s);
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + u"/vuzo_Vez_1.ini"_s;
        QByteArray oldFile = "; written by Windows\r\n[vz_Vez_1prn]\r\n";
        for (int k = 0; k < 107; ++k)
            oldFile += "Key" + QByteArray::number(k) + "=" + kTokyo + "\r\n";
        oldFile += "[other]\r\nx=" + kInvalid + "\r\n";
        const QString value = u"山田太郎 100-0001 "_s.repeated(5);

        WriteBytes(path, oldFile);
        QElapsedTimer clock;
        clock.start();
        {
            ProfileFile ini(path);
            SaveManyKeys(ini, value);
        }
        const qint64 saveMicros = std::max<qint64>(clock.nsecsElapsed() / 1000, 1000);
        const QByteArray newFile = ReadBytes(path);
        QVERIFY(newFile != oldFile);

        QRandomGenerator rng(20260401);
        int old = 0;
        int fresh = 0;
        for (int round = 0; round < 60; ++round) {
            WriteBytes(path, oldFile);
            const pid_t child = ::fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                try {
                    ProfileFile ini(path);
                    SaveManyKeys(ini, value);
                } catch (...) {
                    ::_exit(1);
                }
                ::_exit(0);
            }
            // Anywhere from before the child starts to after its save ends.
            ::usleep(static_cast<useconds_t>(rng.bounded(static_cast<quint32>(3 * saveMicros))));
            ::kill(child, SIGKILL);
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            const QByteArray now = ReadBytes(path);
            QVERIFY2(now == oldFile || now == newFile, qPrintable(u"round %1: a mix of old and new"_s.arg(round)));
            (now == oldFile ? old : fresh)++;
        }
        qInfo("old file %d times, new file %d times", old, fresh);
    }

    void fileThatIsNoRegularFileReadsAsDefaults_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO without a writer") << u"fifo"_s;
        QTest::newRow("link to /dev/zero") << u"zero"_s;
        QTest::newRow("file one byte over 64 MiB") << u"large"_s;
    }

    void fileThatIsNoRegularFileReadsAsDefaults()
    {
        QFETCH(QString, kind);
        const QString path = freshPath();
        const QByteArray name = QFile::encodeName(path);
        if (kind == u"fifo") {
            QCOMPARE(::mkfifo(name.constData(), 0600), 0);
        } else if (kind == u"zero") {
            QVERIFY(QFile::link(u"/dev/zero"_s, path));
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.write("[vz_Vez_1prn]\r\nE_CUS=abc\r\n") > 0);
            QVERIFY(f.resize(64 * 1024 * 1024 + 1)); // sparse: quick to make
        }
        QElapsedTimer clock;
        clock.start();
        ProfileFile ini(path);
        QCOMPARE(ini.ReadString(kSec, u"E_CUS"_s, u"<def>"_s), u"<def>"_s);
        QVERIFY_THROWS_EXCEPTION(EProfileWriteError, ini.WriteString(kSec, u"E_CUS"_s, u"new"_s));
        QVERIFY(clock.elapsed() < 5000);
        struct stat st
        {
        };
        QCOMPARE(::lstat(name.constData(), &st), 0);
        QCOMPARE(S_ISFIFO(st.st_mode), kind == u"fifo");
        QCOMPARE(S_ISLNK(st.st_mode), kind == u"zero");
        if (kind == u"large")
            QCOMPARE(st.st_size, 64 * 1024 * 1024 + 1);
    }

    void writeKeepsTheOwner()
    {
        if (!IsRoot())
            QSKIP("only the superuser can give a file to another user");
        const QString path = freshPath();
        WriteBytes(path, "[vz_Vez_1prn]\r\nE_CUS=old\r\n");
        const QByteArray name = QFile::encodeName(path);
        QCOMPARE(::chown(name.constData(), 4242, 4343), 0);
        ProfileFile(path).WriteString(kSec, u"E_CUS"_s, u"new"_s);
        struct stat st
        {
        };
        QCOMPARE(::stat(name.constData(), &st), 0);
        QCOMPARE(st.st_uid, uid_t(4242));
        QCOMPARE(st.st_gid, gid_t(4343));
        QCOMPARE(ReadBytes(path), QByteArray("[vz_Vez_1prn]\r\nE_CUS=new\r\n"));
    }

    void fileInAFolderRefusingNewFilesIsRewrittenInPlace()
    {
        const QString folder = m_dir.filePath(u"in-place"_s);
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + u"/vuzo_Vez_1.ini"_s;
        WriteBytes(path, "[vz_Vez_1prn]\r\nE_CUS=a rather long old value\r\nE_TEL=1\r\n");
        struct stat before
        {
        };
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);
        {
            FolderRefusingNewFiles refusing(folder);
            if (!refusing.ok())
                QSKIP("this file system cannot make a folder refuse new files");
            ProfileFile ini(path);
            ini.WriteString(kSec, u"E_CUS"_s, u"short"_s);
            ini.WriteString(kSec, u"E_ZIP"_s, u"100-0001 and more text than the file had before"_s);
        }
        QCOMPARE(ReadBytes(path),
                 QByteArray("[vz_Vez_1prn]\r\nE_CUS=short\r\nE_TEL=1\r\nE_ZIP=100-0001 and more text than the "
                            "file had before\r\n"));
        struct stat after
        {
        };
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(FolderEntries(folder), QStringList{u"vuzo_Vez_1.ini"_s});
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

    // At start only the program's own temporaries whose writer is gone go.
    void staleTemporariesOfDeadWritersAreRemoved_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("removed");
        QTest::newRow("own file, writer gone") << u".vuzo_Vez_1.ini.2147483646.k3x9.tmp"_s << true;
        QTest::newRow("own file, live writer") << u".vuzo_Vez_1.ini.%1.k3x9.tmp"_s.arg(::getpid()) << false;
        QTest::newRow("another program's name") << u".notes.txt.2147483646.k3x9.tmp"_s << false;
    }
    void staleTemporariesOfDeadWritersAreRemoved()
    {
        QFETCH(QString, name);
        QFETCH(bool, removed);
        QTemporaryDir dir;
        WriteBytes(dir.filePath(name), "x");
        QCOMPARE(vuzo::durable::RemoveStaleTemporaries(dir.path()), removed ? QStringList{name} : QStringList());
        QCOMPARE(QFile::exists(dir.filePath(name)), !removed);
    }

    // A file that exists but cannot be read says why.
    void unreadableFileTellsWhy()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"vuzo_Vez_1.ini"_s));
        QVERIFY(!ProfileFile(dir.filePath(u"vuzo_Vez_1.ini"_s)).readRefusal().isEmpty());
        QVERIFY(ProfileFile(dir.filePath(u"missing.ini"_s)).readRefusal().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
