// Times the settings file as the program uses it and prints, one per line:
//   settings_exit_save_median_ms      the exit save of a typical file: 107 keys
//                                     written in one batch and committed,
//                                     median of 21 runs
//   settings_50mb_start_and_save_ms   a 50 MB file: the start-up reads (two
//                                     objects, 105 keys) and the exit save
// The files live in a folder under the current directory, so the flushes to
// the disk are those of a real disk rather than of a memory file system.

#include "platform/Cp932.h"
#include "settings/ProfileFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString kSection = u"vz_Vez_1prn"_s;

// The keys of the exit save, in its order: the shut-down table, then the sales lines.
QStringList ExitKeys()
{
    QStringList keys{u"TaxOld"_s,       u"TaxEnforDate"_s, u"TaxNew"_s, u"Addr_Font"_s, u"Addr_FontMy"_s,
                     u"G13_FontSize"_s, u"G16_FontName"_s, u"E_ZIP"_s,  u"E_AD1"_s,     u"E_AD2"_s,
                     u"E_AD3"_s,        u"E_CUS"_s,        u"E_TEL"_s};
    for (int k = 1; k <= 6; ++k)
        keys << u"E_G%1"_s.arg(k);
    for (int k = 1; k <= 9; ++k)
        keys << u"E_Rm%1"_s.arg(k);
    for (int k = 0; k <= 5; ++k)
        keys << u"E_021_%1"_s.arg(k);
    keys << u"KOSUU"_s << u"OP023My"_s << u"OP023MyZip"_s << u"OP023MyADD1"_s << u"OP023MyADD2"_s << u"OP023MyTEL"_s
         << u"ComboBox_SEL"_s << u"Tab_My"_s << u"ime_Itemno"_s << u"ime_Item"_s << u"ime_Unit"_s << u"NewPage"_s
         << u"Comb_Paper"_s;
    for (const char16_t *column :
         {u"Edit_ITEMNO", u"Edit_ITEM", u"Edit_QTY", u"Edit_Unit", u"Edit_Price", u"Edit_Sales"})
        for (int n = 1; n <= 10; ++n)
            keys << QString::fromUtf16(column) + QString::number(n);
    return keys;
}

void Save(const QString &path, const QStringList &keys, int run)
{
    ProfileFile ini(path);
    ProfileFile::Batch batch(ini);
    for (const QString &key : keys)
        ini.WriteString(kSection, key, u"東京都千代田区一番町%1-%2"_s.arg(run).arg(key.size()));
    batch.commit();
}

qint64 StartUp(const QString &path, const QStringList &keys)
{
    // Start-up reads the settings table through one object and the sales
    // lines through another.
    qint64 sink = 0;
    {
        const ProfileFile ini(path);
        for (qsizetype i = 0; i < 45; ++i)
            sink += ini.ReadString(kSection, keys[i], QString()).size();
    }
    {
        const ProfileFile ini(path);
        for (qsizetype i = 47; i < keys.size(); ++i)
            sink += ini.ReadString(kSection, keys[i], QString()).size();
    }
    return sink;
}

} // namespace

int main()
{
    QTemporaryDir dir(QDir::currentPath() + u"/bench_profilefile-XXXXXX"_s);
    if (!dir.isValid())
        return 1;
    const QStringList keys = ExitKeys();

    // A typical file: a comment, the program's section, a printer section.
    const QString typical = dir.filePath(u"vuzo_Vez_1.ini"_s);
    Save(typical, keys, 0);
    {
        ProfileFile ini(typical);
        ini.WriteString(u"printers"_s, u"PrnName"_s, u"事務所のプリンター"_s);
    }
    std::vector<double> millis;
    for (int run = 1; run <= 21; ++run) {
        QElapsedTimer clock;
        clock.start();
        Save(typical, keys, run);
        millis.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::nth_element(millis.begin(), millis.begin() + 10, millis.end());
    std::printf("settings_exit_save_median_ms %.2f\n", millis[10]);

    // 50 MB: a large section no one asks for, then the program's section.
    const QString large = dir.filePath(u"large.ini"_s);
    {
        QFile f(large);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        // In CP932, as the Windows program writes it: the slowest file to decode.
        const QByteArray address = vuzo::EncodeCp932(u"東京都千代田区一番町"_s).value_or(QByteArray());
        QByteArray content = "; a large file\r\n[archive]\r\n";
        content.reserve(50 * 1000 * 1000 + 100);
        for (int n = 0; content.size() < 50 * 1000 * 1000; ++n)
            content += "Entry" + QByteArray::number(n) + "=" + address + QByteArray::number(n) + "\r\n";
        if (f.write(content) != content.size())
            return 1;
    }
    Save(large, keys, 0);
    QElapsedTimer clock;
    clock.start();
    const qint64 sink = StartUp(large, keys);
    Save(large, keys, 1);
    std::printf("settings_50mb_start_and_save_ms %lld\n", static_cast<long long>(clock.elapsed()));
    return sink > 0 ? 0 : 1;
}
