#include "postal/PostalDictionary.h"

#include "platform/JapaneseText.h"
#include "postal/PostalText.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <iconv.h>
#include <memory>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace postal {

struct PostalDictionary::Data
{
    struct Record
    {
        quint32 code = 0;
        quint32 address = 0; // offsets into text, and into folded for town codes
        quint32 folded = 0;
        quint32 office = 0;
        quint16 addressLength = 0;
        quint16 foldedLength = 0;
        quint16 officeLength = 0;
        bool isOffice = false;
    };
    std::u16string text;            // the addresses and the receivers
    std::u16string folded;          // FoldAddress of each town address
    std::vector<Record> records;    // by code; town codes before business codes
    std::vector<quint32> byAddress; // the town records, by folded address

    std::u16string_view foldedOf(quint32 index) const
    {
        const Record &r = records[index];
        return std::u16string_view(folded).substr(r.folded, r.foldedLength);
    }
    PostalEntry entry(const Record &r) const
    {
        PostalEntry e;
        e.code = u"%1"_s.arg(r.code, 7, 10, QChar(u'0'));
        e.address = QString::fromUtf16(text.data() + r.address, r.addressLength);
        e.office = QString::fromUtf16(text.data() + r.office, r.officeLength);
        e.isOffice = r.isOffice;
        return e;
    }
};

namespace {

using Data = PostalDictionary::Data;

// The dictionary files are a few megabytes; anything far larger is not one.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

// The file's EUC-JIS-2004 text as UTF-16 (glibc's iconv knows the encoding as
// EUC-JISX0213). A byte that does not decode becomes U+FFFD. nullopt when the
// file cannot be read.
std::optional<std::u16string> decodeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return std::nullopt;
    QByteArray bytes = file.readAll();
    const char *target = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? "UTF-16LE" : "UTF-16BE";
    iconv_t cd = iconv_open(target, "EUC-JISX0213");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    // A byte decodes to at most one UTF-16 unit (two-byte characters to one or
    // two, three-byte ones to a surrogate pair).
    const size_t capacity = size_t(bytes.size()) + 16;
    const auto buffer = std::make_unique_for_overwrite<char16_t[]>(capacity);
    char *in = bytes.data();
    size_t inLeft = size_t(bytes.size());
    char *o = reinterpret_cast<char *>(buffer.get());
    size_t outLeft = capacity * sizeof(char16_t);
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &o, &outLeft) != size_t(-1))
            break;
        if ((errno != EILSEQ && errno != EINVAL) || outLeft < sizeof(char16_t))
            break;
        const char16_t replacement = 0xFFFD;
        memcpy(o, &replacement, sizeof replacement);
        o += sizeof replacement;
        outLeft -= sizeof replacement;
        ++in;
        --inLeft;
    }
    iconv_close(cd);
    return std::u16string(buffer.get(), capacity - outLeft / sizeof(char16_t));
}

quint16 clampLength(size_t n)
{
    return quint16(std::min<size_t>(n, 0xFFFF));
}

// Lines "1234567 /candidate/candidate/"; ";" begins a comment line. Stops
// early, with false, once `cancel` is set.
bool parse(std::u16string_view text, bool office, Data &d, const std::atomic<bool> &cancel)
{
    size_t pos = 0;
    for (size_t lines = 0; pos < text.size(); ++lines) {
        if (lines % 4096 == 0 && cancel.load(std::memory_order_relaxed))
            return false;
        size_t end = text.find(u'\n', pos);
        if (end == std::u16string_view::npos)
            end = text.size();
        std::u16string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == u'\r')
            line.remove_suffix(1);
        if (line.size() < 10 || line[7] != u' ' || line[8] != u'/')
            continue;
        quint32 code = 0;
        bool digits = true;
        for (int i = 0; i < 7; ++i) {
            digits = digits && line[i] >= u'0' && line[i] <= u'9';
            code = code * 10 + quint32(line[i] - u'0');
        }
        if (!digits)
            continue;
        std::u16string_view rest = line.substr(9);
        while (!rest.empty()) {
            size_t slash = rest.find(u'/');
            if (slash == std::u16string_view::npos)
                slash = rest.size();
            std::u16string_view candidate = rest.substr(0, slash);
            rest = rest.substr(std::min(slash + 1, rest.size()));
            if (candidate.empty())
                continue;
            Data::Record r;
            r.code = code;
            r.isOffice = office;
            std::u16string_view address = candidate;
            if (office) {
                const size_t at = candidate.find(u" @ ");
                if (at != std::u16string_view::npos) {
                    r.office = quint32(d.text.size());
                    r.officeLength = clampLength(at);
                    d.text.append(candidate.substr(0, r.officeLength));
                    address = candidate.substr(at + 3);
                }
            }
            r.address = quint32(d.text.size());
            r.addressLength = clampLength(address.size());
            d.text.append(address.substr(0, r.addressLength));
            if (!office) {
                r.folded = quint32(d.folded.size());
                AppendFolded(d.folded, address);
                r.foldedLength = clampLength(d.folded.size() - r.folded);
            }
            d.records.push_back(r);
        }
    }
    return true;
}

// The tables of the two files; null when the town file cannot be read or the
// load was cancelled.
std::shared_ptr<const Data> load(const QString &directory, const std::atomic<bool> &cancel)
{
    if (cancel)
        return nullptr;
    const std::optional<std::u16string> area =
        decodeFile(QDir(directory).filePath(QString::fromUtf16(PostalDictionary::kAreaFile)));
    if (!area)
        return nullptr;
    const std::optional<std::u16string> offices =
        decodeFile(QDir(directory).filePath(QString::fromUtf16(PostalDictionary::kOfficeFile)));
    auto d = std::make_shared<Data>();
    d->text.reserve(area->size() + (offices ? offices->size() : 0));
    d->folded.reserve(area->size());
    d->records.reserve(area->size() / 16);
    if (!parse(*area, false, *d, cancel))
        return nullptr;
    const auto byCode = [](const Data::Record &a, const Data::Record &b) { return a.code < b.code; };
    // Each file lists its codes in order; the two lists are merged, a town's
    // addresses before the business ones of the same code.
    const auto towns = qsizetype(d->records.size());
    if (offices && !parse(*offices, true, *d, cancel))
        return nullptr;
    const auto townsEnd = d->records.begin() + towns;
    if (!std::is_sorted(d->records.begin(), townsEnd, byCode))
        std::stable_sort(d->records.begin(), townsEnd, byCode);
    if (!std::is_sorted(townsEnd, d->records.end(), byCode))
        std::stable_sort(townsEnd, d->records.end(), byCode);
    std::inplace_merge(d->records.begin(), townsEnd, d->records.end(), byCode);
    d->text.shrink_to_fit();
    d->folded.shrink_to_fit();
    d->records.shrink_to_fit();
    for (quint32 i = 0; i < d->records.size(); ++i) {
        if (!d->records[i].isOffice)
            d->byAddress.push_back(i);
    }
    d->byAddress.shrink_to_fit();
    std::sort(d->byAddress.begin(), d->byAddress.end(),
              [&d](quint32 a, quint32 b) { return d->foldedOf(a) < d->foldedOf(b); });
    return d;
}

std::u16string_view view(QStringView s)
{
    return {reinterpret_cast<const char16_t *>(s.utf16()), size_t(s.size())};
}

bool startsWith(std::u16string_view text, std::u16string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// The first town record whose folded address is not less than `key`.
std::vector<quint32>::const_iterator lowerBound(const Data &d, std::u16string_view key)
{
    return std::lower_bound(d.byAddress.begin(), d.byAddress.end(), key,
                            [&d](quint32 i, std::u16string_view k) { return d.foldedOf(i) < k; });
}

// The folded forms a typed address is searched under: the text itself when it
// names its prefecture, else the text after each prefecture's name. Each with
// the length of its prefecture part, which a match must go beyond.
struct SearchKey
{
    std::u16string text;
    size_t prefecture = 0;
};

std::vector<SearchKey> searchKeys(QStringView typed)
{
    typed = typed.trimmed();
    std::vector<SearchKey> keys;
    const std::u16string folded = FoldAddress(view(typed));
    if (folded.empty())
        return keys;
    if (const qsizetype p = vuzo::PrefectureLength(typed)) {
        keys.push_back({folded, FoldAddress(view(typed.left(p))).size()});
        return keys;
    }
    static const std::vector<std::u16string> prefectures = [] {
        std::vector<std::u16string> names;
        for (std::u16string_view n : vuzo::PrefectureNames())
            names.push_back(FoldAddress(n));
        return names;
    }();
    for (const std::u16string &p : prefectures)
        keys.push_back({p + folded, p.size()});
    return keys;
}

} // namespace

QString PostalDictionary::DefaultDirectory()
{
    return u"/usr/share/skk"_s;
}

PostalDictionary::PostalDictionary(const QString &directory, QObject *parent) : QObject(parent), m_directory(directory)
{
}

PostalDictionary::~PostalDictionary()
{
    // A program that ends at once does not wait for the whole load.
    m_cancel = true;
    if (m_thread.joinable())
        m_thread.join();
}

QString PostalDictionary::areaFilePath() const
{
    return QDir(m_directory).filePath(QString::fromUtf16(kAreaFile));
}

void PostalDictionary::startLoading() const
{
    std::lock_guard lock(m_mutex);
    if (m_state != State::NotLoaded)
        return;
    m_state = State::Loading;
    m_thread = std::thread([this, directory = m_directory] { finish(load(directory, m_cancel)); });
}

void PostalDictionary::finish(std::shared_ptr<const Data> data) const
{
    {
        std::lock_guard lock(m_mutex);
        m_state = data ? State::Loaded : State::Missing;
        m_data = std::move(data);
    }
    m_done.notify_all();
    Q_EMIT const_cast<PostalDictionary *>(this)->loadFinished();
}

PostalDictionary::State PostalDictionary::state() const
{
    std::lock_guard lock(m_mutex);
    return m_state;
}

bool PostalDictionary::waitForLoaded() const
{
    startLoading();
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [this] { return m_state == State::Loaded || m_state == State::Missing; });
    return m_state == State::Loaded;
}

const PostalDictionary::Data *PostalDictionary::data() const
{
    // After the load the data never changes, so the pointer stays good for
    // the dictionary's life.
    return waitForLoaded() ? m_data.get() : nullptr;
}

QList<PostalEntry> PostalDictionary::entries(QStringView code) const
{
    QList<PostalEntry> out;
    const Data *d = data();
    const QString digits = NormalizeCode(code);
    if (!d || digits.isEmpty())
        return out;
    const quint32 key = digits.toUInt();
    struct ByCode
    {
        bool operator()(const Data::Record &r, quint32 c) const { return r.code < c; }
        bool operator()(quint32 c, const Data::Record &r) const { return c < r.code; }
    };
    const auto [first, last] = std::equal_range(d->records.begin(), d->records.end(), key, ByCode());
    for (auto it = first; it != last; ++it)
        out << d->entry(*it);
    return out;
}

QStringList PostalDictionary::addresses(QStringView code) const
{
    QStringList out;
    for (const PostalEntry &e : entries(code))
        out << e.address;
    return out;
}

QStringList PostalDictionary::codes(QStringView addressPrefix, int limit) const
{
    QStringList out;
    const Data *d = data();
    if (!d)
        return out;
    std::vector<quint32> found;
    for (const SearchKey &key : searchKeys(addressPrefix)) {
        for (auto it = lowerBound(*d, key.text); it != d->byAddress.end() && startsWith(d->foldedOf(*it), key.text);
             ++it)
            found.push_back(d->records[*it].code);
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    for (size_t i = 0; i < found.size() && int(i) < limit; ++i)
        out << u"%1"_s.arg(found[i], 7, 10, QChar(u'0'));
    return out;
}

AddressMatch PostalDictionary::matchAddress(QStringView typed, int limit) const
{
    AddressMatch match;
    const Data *d = data();
    if (!d)
        return match;
    const std::vector<SearchKey> keys = searchKeys(typed);
    std::vector<quint32> found;
    // Equal to the text, or beginning with it.
    for (const SearchKey &key : keys) {
        for (auto it = lowerBound(*d, key.text); it != d->byAddress.end() && d->foldedOf(*it) == key.text; ++it)
            found.push_back(*it);
    }
    if (found.empty()) {
        for (const SearchKey &key : keys) {
            for (auto it = lowerBound(*d, key.text);
                 it != d->byAddress.end() && startsWith(d->foldedOf(*it), key.text) && int(found.size()) <= limit; ++it)
                found.push_back(*it);
        }
    }
    // The longest addresses the text begins with.
    if (found.empty()) {
        // An address that begins the text sorts before it, and every address
        // between the two begins with it too; so the address just before the
        // text (or before a shorter head of it) bounds the next head to try.
        size_t best = 0; // the length of the typed text that the best addresses cover
        for (const SearchKey &key : keys) {
            const std::u16string_view text(key.text);
            size_t k = text.size();
            while (k > key.prefecture && k - key.prefecture >= best) {
                const std::u16string_view head = text.substr(0, k);
                auto from = lowerBound(*d, head);
                std::u16string_view address;
                if (from != d->byAddress.end() && d->foldedOf(*from) == head) {
                    address = head;
                } else {
                    if (from == d->byAddress.begin())
                        break;
                    address = d->foldedOf(*(from - 1));
                    const auto common =
                        size_t(std::mismatch(address.begin(), address.end(), head.begin(), head.end()).first -
                               address.begin());
                    if (common < address.size()) {
                        k = common;
                        continue;
                    }
                    from = lowerBound(*d, address);
                }
                // The same town name in another prefecture (府中市 of Tokyo
                // and of Hiroshima) is offered beside it.
                if (address.size() > key.prefecture && address.size() - key.prefecture >= best) {
                    if (address.size() - key.prefecture > best)
                        found.clear();
                    best = address.size() - key.prefecture;
                    for (; from != d->byAddress.end() && d->foldedOf(*from) == address; ++from)
                        found.push_back(*from);
                }
                break;
            }
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    match.truncated = int(found.size()) > limit;
    for (size_t i = 0; i < found.size() && int(i) < limit; ++i)
        match.entries << d->entry(d->records[found[i]]);
    return match;
}

qsizetype PostalDictionary::entryCount() const
{
    const Data *d = data();
    return d ? qsizetype(d->records.size()) : 0;
}

size_t PostalDictionary::memoryBytes() const
{
    const Data *d = data();
    if (!d)
        return 0;
    return sizeof(Data) + d->text.capacity() * sizeof(char16_t) + d->folded.capacity() * sizeof(char16_t) +
           d->records.capacity() * sizeof(Data::Record) + d->byAddress.capacity() * sizeof(quint32);
}

} // namespace postal
