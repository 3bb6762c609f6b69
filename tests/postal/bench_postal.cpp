// Measures the postal dictionary over Debian's skkdic-extra files: the load
// (median of 5), the memory it takes, a code's lookup and an address's search.
// Prints one "name value" line per measurement.

#include "postal/PostalDictionary.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <random>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

long residentKb()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

double median(std::vector<double> v)
{
    std::nth_element(v.begin(), v.begin() + qsizetype(v.size() / 2), v.end());
    return v[v.size() / 2];
}

} // namespace

int main()
{
    QTextStream out(stdout);
    std::vector<double> loads;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        postal::PostalDictionary d;
        if (!d.waitForLoaded()) {
            out << "postal_dictionary_missing 1\n";
            return 1;
        }
        loads.push_back(double(timer.nsecsElapsed()) / 1e6);
    }

    const long before = residentKb();
    postal::PostalDictionary dictionary;
    dictionary.waitForLoaded();
    const long after = residentKb();

    // Codes drawn at random from every number, existing or not, and the
    // addresses of existing ones for the search.
    std::mt19937 random(20230109);
    std::uniform_int_distribution<int> anyCode(0, 9999999);
    std::vector<QString> codes;
    for (int i = 0; i < 100000; ++i)
        codes.push_back(u"%1"_s.arg(anyCode(random), 7, 10, QChar(u'0')));
    std::vector<QString> typed;
    for (const QString &code : codes) {
        const QStringList a = dictionary.addresses(code);
        if (!a.isEmpty())
            typed.push_back(a.first() + u"１－２－３"_s);
        if (typed.size() == 2000)
            break;
    }

    qsizetype sink = 0;
    QElapsedTimer timer;
    timer.start();
    for (const QString &code : codes)
        sink += dictionary.entries(code).size();
    const double lookupUs = double(timer.nsecsElapsed()) / 1e3 / double(codes.size());

    timer.restart();
    for (const QString &t : typed)
        sink += dictionary.matchAddress(t).entries.size();
    const double searchUs = double(timer.nsecsElapsed()) / 1e3 / double(std::max<size_t>(typed.size(), 1));

    out << "postal_load_median_ms " << median(loads) << '\n';
    out << "postal_memory_mb " << QString::number(double(after - before) / 1024.0, 'f', 1) << '\n';
    out << "postal_tables_mb " << QString::number(double(dictionary.memoryBytes()) / 1048576.0, 'f', 1) << '\n';
    out << "postal_entries " << dictionary.entryCount() << '\n';
    out << "postal_code_lookup_mean_us " << lookupUs << '\n';
    out << "postal_address_search_mean_us " << searchUs << '\n';
    return sink < 0 ? 1 : 0;
}
