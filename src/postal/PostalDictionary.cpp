#include "postal/PostalDictionary.h"

#include "platform/JapaneseText.h"
#include "postal/PostalText.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QtEndian>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
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

using Problem = PostalDictionary::Problem;

// A file read whole, or why it was not.
struct FileRead
{
    QByteArray bytes;
    Problem problem = Problem::None;
    QString reason; // what is wrong, in words for the operator
};

// What kind of thing stands where a file was expected.
QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return u"フォルダー"_s;
    if (S_ISFIFO(mode))
        return u"名前付きパイプ"_s;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return u"デバイス"_s;
    if (S_ISSOCK(mode))
        return u"ソケット"_s;
    return u"特殊なファイル"_s;
}

QString errorText(int error)
{
    switch (error) {
    case EACCES:
    case EPERM: return u"読む権限がありません"_s;
    case EIO: return u"読み取りエラーです"_s;
    case ELOOP: return u"シンボリックリンクが循環しています"_s;
    case ENAMETOOLONG: return u"名前が長すぎます"_s;
    default: return u"エラー %1: %2"_s.arg(error).arg(QString::fromLocal8Bit(strerror(error)));
    }
}

FileRead refused(Problem problem, QString reason)
{
    return {QByteArray(), problem, std::move(reason)};
}

// Whether the status is of a regular file the size a dictionary can be.
std::optional<FileRead> unfit(const struct stat &st)
{
    if (!S_ISREG(st.st_mode))
        return refused(Problem::NotRegularFile, kindOf(st.st_mode));
    if (st.st_size > PostalDictionary::kMaxFileSize)
        return refused(Problem::TooLarge,
                       u"%1 MB。読めるのは %2 MB まで"_s.arg((st.st_size + 1024 * 1024 - 1) / (1024 * 1024))
                           .arg(PostalDictionary::kMaxFileSize / (1024 * 1024)));
    return std::nullopt;
}

// The whole file, read a megabyte at a time. The path is looked at before it
// is opened, and opened without blocking (a named pipe put there in between
// would otherwise wait for a writer); the open file is looked at again.
FileRead readFile(const QString &path, const std::atomic<bool> &cancel)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st = {};
    if (::stat(name.constData(), &st) != 0) {
        const int error = errno;
        return error == ENOENT || error == ENOTDIR ? refused(Problem::NotFound, QString())
                                                   : refused(Problem::Unreadable, errorText(error));
    }
    if (std::optional<FileRead> no = unfit(st))
        return *no;
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return refused(Problem::Unreadable, errorText(errno));
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    if (::fstat(fd, &st) != 0)
        return refused(Problem::Unreadable, errorText(errno));
    if (std::optional<FileRead> no = unfit(st))
        return *no;
    FileRead read;
    constexpr qsizetype kChunk = 1024 * 1024;
    read.bytes.reserve(qsizetype(st.st_size));
    for (;;) {
        if (cancel.load(std::memory_order_relaxed))
            return refused(Problem::Cancelled, QString());
        // The file may have grown since it was looked at.
        if (read.bytes.size() > PostalDictionary::kMaxFileSize)
            return refused(Problem::TooLarge,
                           u"%1 MB を超えました"_s.arg(PostalDictionary::kMaxFileSize / (1024 * 1024)));
        const qsizetype at = read.bytes.size();
        read.bytes.resize(at + kChunk);
        const ssize_t n = ::read(fd, read.bytes.data() + at, size_t(kChunk));
        if (n < 0 && errno == EINTR) {
            read.bytes.resize(at);
            continue;
        }
        if (n < 0)
            return refused(Problem::Unreadable, errorText(errno));
        read.bytes.resize(at + n);
        if (n == 0)
            return read;
    }
}

// EUC-JIS-2004 text as UTF-16 (glibc's iconv knows the encoding as
// EUC-JISX0213). A byte that does not decode becomes U+FFFD.
std::optional<std::u16string> decode(QByteArray &bytes)
{
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

// The tables of the two files, or why there are none.
struct Loaded
{
    std::shared_ptr<const Data> data;
    Problem problem = Problem::None;
    QString text;
};

Loaded load(const QString &directory, const std::atomic<bool> &cancel)
{
    const QString areaPath = QDir(directory).filePath(QString::fromUtf16(PostalDictionary::kAreaFile));
    FileRead areaFile = readFile(areaPath, cancel);
    if (areaFile.problem != Problem::None) {
        const QString file = QDir::toNativeSeparators(areaPath);
        QString text;
        switch (areaFile.problem) {
        case Problem::NotFound: text = u"郵便番号辞書がありません（%1）"_s.arg(file); break;
        case Problem::NotRegularFile:
            text = u"郵便番号辞書（%1）は通常のファイルではありません（%2）"_s.arg(file, areaFile.reason);
            break;
        case Problem::TooLarge: text = u"郵便番号辞書（%1）が大きすぎます（%2）"_s.arg(file, areaFile.reason); break;
        case Problem::Unreadable: text = u"郵便番号辞書（%1）を読めません（%2）"_s.arg(file, areaFile.reason); break;
        case Problem::None:
        case Problem::Cancelled: break;
        }
        return {nullptr, areaFile.problem, text};
    }
    const std::optional<std::u16string> area = decode(areaFile.bytes);
    areaFile.bytes = QByteArray();
    if (!area)
        return {nullptr, Problem::Unreadable,
                u"郵便番号辞書（%1）の文字コードを読めません"_s.arg(QDir::toNativeSeparators(areaPath))};
    // The office file is optional: whatever keeps it from being read, the
    // town codes are still there.
    FileRead officeFile = readFile(QDir(directory).filePath(QString::fromUtf16(PostalDictionary::kOfficeFile)), cancel);
    const std::optional<std::u16string> offices =
        officeFile.problem == Problem::None ? decode(officeFile.bytes) : std::nullopt;
    officeFile.bytes = QByteArray();
    const Loaded cancelled{nullptr, Problem::Cancelled, QString()};
    if (cancel)
        return cancelled;
    auto d = std::make_shared<Data>();
    d->text.reserve(area->size() + (offices ? offices->size() : 0));
    d->folded.reserve(area->size());
    d->records.reserve(area->size() / 16);
    if (!parse(*area, false, *d, cancel))
        return cancelled;
    const auto byCode = [](const Data::Record &a, const Data::Record &b) { return a.code < b.code; };
    // Each file lists its codes in order; the two lists are merged, a town's
    // addresses before the business ones of the same code.
    const auto towns = qsizetype(d->records.size());
    if (offices && !parse(*offices, true, *d, cancel))
        return cancelled;
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
    return {d, Problem::None, QString()};
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

// Whether a town record is the code of a whole city, ward, town or village
// (Japan Post's code for the addresses its list does not name, as 604-0000
// for 京都府京都市中京区): its code ends in 00, its address in the name of the
// municipality, and the towns of the municipality follow with their own
// codes.
bool isCityWide(const Data &d, quint32 index)
{
    const Data::Record &r = d.records[index];
    if (r.code % 100 != 0 || r.addressLength == 0 ||
        std::u16string_view(u"市区町村").find(d.text[r.address + r.addressLength - 1]) == std::u16string_view::npos)
        return false;
    const std::u16string_view city = d.foldedOf(index);
    for (auto it = lowerBound(d, city); it != d.byAddress.end() && startsWith(d.foldedOf(*it), city); ++it) {
        if (d.records[*it].code != r.code)
            return true;
    }
    return false;
}

// The towns of the cities that alone matched a typed address. The text after
// the city may still name one of its towns further on: after a Kyoto street
// and its direction (寺町通御池上る上本能寺前町), or after a 大字 the
// dictionary leaves out (or with one left out that it writes). The towns
// named there are the match, the one named last when several are; when none
// is, every town of the cities is, and `townNotFound` says so.
std::vector<quint32> townsOfCity(const Data &d, const std::vector<SearchKey> &keys, const std::vector<quint32> &cities,
                                 bool &townNotFound)
{
    static const std::u16string oaza = FoldAddress(std::u16string_view(u"大字"));
    static const std::u16string aza = FoldAddress(std::u16string_view(u"字"));
    struct Hit
    {
        quint32 record;
        size_t at;
        size_t end;
    };
    std::vector<Hit> hits;
    std::vector<quint32> towns;
    for (const quint32 city : cities) {
        const std::u16string_view name = d.foldedOf(city);
        for (auto it = lowerBound(d, name); it != d.byAddress.end() && startsWith(d.foldedOf(*it), name); ++it) {
            if (d.records[*it].code == d.records[city].code)
                continue;
            towns.push_back(*it);
            const std::u16string_view town = d.foldedOf(*it).substr(name.size());
            // A Kyoto address the dictionary writes with its street
            // (夷川通寺町西入丸屋町) is found by its town name alone.
            std::u16string_view street;
            if (town.find(u'通') != std::u16string_view::npos) {
                const size_t turn = town.find_last_of(u"る入");
                if (turn != std::u16string_view::npos)
                    street = town.substr(turn + 1);
            }
            for (const SearchKey &key : keys) {
                if (!startsWith(key.text, name))
                    continue;
                const std::u16string_view rest = std::u16string_view(key.text).substr(name.size());
                for (const std::u16string_view form : {town, street,
                                                       startsWith(town, oaza)  ? town.substr(oaza.size())
                                                       : startsWith(town, aza) ? town.substr(aza.size())
                                                                               : std::u16string_view()}) {
                    if (form.empty())
                        continue;
                    if (const size_t at = rest.rfind(form); at != std::u16string_view::npos)
                        hits.push_back({*it, at, at + form.size()});
                }
            }
        }
    }
    // A town whose name lies within a longer one found (本能寺前町 in
    // 上本能寺前町) is not meant; of the rest, the last named is.
    const auto within = [&hits](const Hit &h) {
        return std::any_of(hits.begin(), hits.end(), [&h](const Hit &o) {
            return o.at <= h.at && h.end <= o.end && o.end - o.at > h.end - h.at;
        });
    };
    std::vector<Hit> outer;
    std::copy_if(hits.begin(), hits.end(), std::back_inserter(outer), [&within](const Hit &h) { return !within(h); });
    size_t last = 0;
    for (const Hit &h : outer)
        last = std::max(last, h.at);
    std::vector<quint32> named;
    for (const Hit &h : outer) {
        if (h.at == last)
            named.push_back(h.record);
    }
    townNotFound = named.empty();
    // Each code once, under the first of its addresses.
    std::vector<quint32> &out = townNotFound ? towns : named;
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end(),
                          [&d](quint32 a, quint32 b) { return d.records[a].code == d.records[b].code; }),
              out.end());
    return out;
}

} // namespace

QString PostalDictionary::DefaultDirectory()
{
    return u"/usr/share/skk"_s;
}

struct PostalDictionary::Shared
{
    std::mutex mutex;
    std::condition_variable done;
    State state = State::NotLoaded;
    std::shared_ptr<const Data> data;
    Problem problem = Problem::None;
    QString problemText;
    std::atomic<bool> cancel = false;
    // The object to tell that the load has ended; null once it is gone.
    std::mutex ownerMutex;
    PostalDictionary *owner = nullptr;

    bool ended() const { return state == State::Loaded || state == State::Missing; }
};

PostalDictionary::PostalDictionary(const QString &directory, QObject *parent)
    : QObject(parent), m_directory(directory), m_shared(std::make_shared<Shared>())
{
    m_shared->owner = this;
}

PostalDictionary::~PostalDictionary()
{
    // A program that ends does not wait for the load: it is asked to stop, and
    // a load that does not stop in time (a file on a hung network share) is
    // left to end by itself.
    m_shared->cancel = true;
    {
        std::lock_guard lock(m_shared->ownerMutex);
        m_shared->owner = nullptr;
    }
    if (!m_thread.joinable())
        return;
    bool ended = false;
    {
        std::unique_lock lock(m_shared->mutex);
        ended = m_shared->done.wait_for(lock, kExitWait, [this] { return m_shared->ended(); });
    }
    if (ended)
        m_thread.join();
    else
        m_thread.detach();
}

QString PostalDictionary::areaFilePath() const
{
    return QDir(m_directory).filePath(QString::fromUtf16(kAreaFile));
}

void PostalDictionary::startLoading() const
{
    std::lock_guard lock(m_shared->mutex);
    if (m_shared->state != State::NotLoaded)
        return;
    m_shared->state = State::Loading;
    m_thread = std::thread([shared = m_shared, directory = m_directory] {
        Loaded loaded = load(directory, shared->cancel);
        {
            std::lock_guard stored(shared->mutex);
            shared->state = loaded.data ? State::Loaded : State::Missing;
            shared->data = std::move(loaded.data);
            shared->problem = loaded.problem;
            shared->problemText = loaded.text;
        }
        shared->done.notify_all();
        std::lock_guard told(shared->ownerMutex);
        if (shared->owner)
            Q_EMIT shared->owner->loadFinished();
    });
}

void PostalDictionary::cancelLoading()
{
    m_shared->cancel = true;
}

PostalDictionary::State PostalDictionary::state() const
{
    std::lock_guard lock(m_shared->mutex);
    return m_shared->state;
}

PostalDictionary::Problem PostalDictionary::problem() const
{
    std::lock_guard lock(m_shared->mutex);
    return m_shared->problem;
}

QString PostalDictionary::problemText() const
{
    std::lock_guard lock(m_shared->mutex);
    return m_shared->problemText;
}

bool PostalDictionary::waitForLoaded() const
{
    startLoading();
    std::unique_lock lock(m_shared->mutex);
    m_shared->done.wait(lock, [this] { return m_shared->ended(); });
    return m_shared->state == State::Loaded;
}

bool PostalDictionary::waitForLoaded(std::chrono::milliseconds timeout) const
{
    startLoading();
    std::unique_lock lock(m_shared->mutex);
    m_shared->done.wait_for(lock, timeout, [this] { return m_shared->ended(); });
    return m_shared->state == State::Loaded;
}

const PostalDictionary::Data *PostalDictionary::data() const
{
    // After the load the data never changes, so the pointer stays good for
    // the dictionary's life.
    return waitForLoaded() ? m_shared->data.get() : nullptr;
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
                 it != d->byAddress.end() && startsWith(d->foldedOf(*it), key.text) && int(found.size()) <= limit;
                 ++it) {
                // A city's own code is not offered beside its towns.
                if (!isCityWide(*d, *it))
                    found.push_back(*it);
            }
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
    if (!found.empty() && std::all_of(found.begin(), found.end(), [&d](quint32 i) { return isCityWide(*d, i); }))
        found = townsOfCity(*d, keys, found, match.townNotFound);
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
