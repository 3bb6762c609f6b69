#include "settings/ProfileFile.h"

#include "platform/TextUtil.h"
#include "settings/DurableFile.h"
#include "settings/ProfileText.h"

#include <QList>

#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// The longest value a read returns, as the Windows functions with their
// 2048-character buffer return it.
constexpr qsizetype MaxValueLength = 2047;

// A settings file is a few kilobytes; a file far larger is not one, and
// reading it would only exhaust the memory. Positions in the model are 32-bit.
constexpr qint64 MaxFileSize = qint64(64) * 1024 * 1024;
static_assert(MaxFileSize < (qint64(1) << 31));

QString StripQuotes(const QString &v)
{
    if (v.size() >= 2) {
        const QChar first = v.front();
        if ((first == u'"' || first == u'\'') && v.back() == first)
            return v.sliced(1, v.size() - 2);
    }
    return v;
}

QString CapLength(const QString &v)
{
    if (v.size() <= MaxValueLength)
        return v;
    qsizetype n = MaxValueLength;
    // Never hand out half of a surrogate pair.
    if (v[n - 1].isHighSurrogate() && v[n].isLowSurrogate())
        --n;
    return v.left(n);
}

std::optional<int32_t> ParseHex(QStringView digits)
{
    while (!digits.isEmpty() && digits.front() == u'0' && digits.size() > 1)
        digits = digits.sliced(1);
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    uint32_t value = 0;
    for (const QChar c : digits) {
        const char16_t u = c.unicode();
        uint32_t d = 0;
        if (u >= u'0' && u <= u'9')
            d = u - u'0';
        else if (u >= u'a' && u <= u'f')
            d = u - u'a' + 10;
        else if (u >= u'A' && u <= u'F')
            d = u - u'A' + 10;
        else
            return std::nullopt;
        value = (value << 4) | d;
    }
    return static_cast<int32_t>(value);
}

// Two-digit month and day, or one digit; four-digit year.
std::optional<QDate> ParseDate(QStringView text)
{
    const QList<QStringView> parts = text.split(u'/');
    if (parts.size() != 3)
        return std::nullopt;
    auto number = [](QStringView s, qsizetype minLen, qsizetype maxLen) -> std::optional<int> {
        if (s.size() < minLen || s.size() > maxLen)
            return std::nullopt;
        int v = 0;
        for (const QChar c : s) {
            if (c < u'0' || c > u'9')
                return std::nullopt;
            v = v * 10 + (c.unicode() - u'0');
        }
        return v;
    };
    const auto y = number(parts[0], 4, 4);
    const auto m = number(parts[1], 1, 2);
    const auto d = number(parts[2], 1, 2);
    if (!y || !m || !d)
        return std::nullopt;
    const QDate date(*y, *m, *d);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

// A line break inside a name or value would split the entry into lines that
// read back as other entries or sections; it is written as a blank instead.
QString SingleLine(const QString &s)
{
    QString out = s;
    for (QChar &c : out) {
        if (c == u'\r' || c == u'\n')
            c = u' ';
    }
    return out;
}

} // namespace

using vuzo::durable::ReadResult;
using vuzo::profile::Document;
using vuzo::profile::TrimBlanks;

struct ProfileFile::State
{
    struct Write
    {
        QString section;
        QString key;
        QString value;
    };

    QString path;
    bool loaded = false;
    ReadResult::Status status = ReadResult::Status::Missing;
    QString refusal;             // why the file cannot be read, when Refused
    QByteArray disk;             // the content as last read or written
    std::optional<Document> doc; // the model, once loaded
    std::vector<Write> pending;  // the writes not yet on disk, for a merge
    int depth = 0;               // open batches
    bool abandoned = false;      // an inner batch was dropped

    EProfileWriteError refused(const QString &reason) const
    {
        return EProfileWriteError(path + u" に書き込めません: "_s + reason);
    }

    void take(const ReadResult &r)
    {
        status = r.status;
        refusal = r.reason;
        disk = status == ReadResult::Status::Read ? r.bytes : QByteArray();
        doc.emplace(disk);
        loaded = true;
    }

    Document &document()
    {
        if (!loaded)
            take(vuzo::durable::ReadRegularFile(path, MaxFileSize));
        return *doc;
    }

    // Forgets the model: the next call reads the file again, which is then
    // the old file whenever a write failed.
    void discard()
    {
        doc.reset();
        disk.clear();
        pending.clear();
        loaded = false;
    }

    void write(const QString &section, const QString &key, const QString &value)
    {
        Document &model = document();
        // A file that exists but cannot be read must not be replaced by one
        // holding only the new entries.
        if (status == ReadResult::Status::Refused)
            throw refused(refusal);
        QString reason;
        if (!model.setValue(section, key, value, reason))
            throw refused(reason);
        pending.push_back({section, key, value});
        if (depth == 0)
            commit();
    }

    void commit()
    {
        if (!doc || !doc->isModified()) {
            pending.clear();
            return;
        }
        const bool existed = status == ReadResult::Status::Read;
        if (!vuzo::durable::FileHolds(path, existed ? std::optional<QByteArrayView>(disk) : std::nullopt)) {
            // Someone else wrote the file since it was read: their content is
            // taken and this object's writes are made again on top of it.
            std::vector<Write> writes = std::move(pending);
            take(vuzo::durable::ReadRegularFile(path, MaxFileSize));
            if (status == ReadResult::Status::Refused) {
                const QString reason = refusal;
                discard();
                throw refused(reason);
            }
            for (const Write &w : writes) {
                QString reason;
                if (!doc->setValue(w.section, w.key, w.value, reason)) {
                    discard();
                    throw refused(reason);
                }
            }
            if (!doc->isModified())
                return;
        }
        const QByteArray bytes = doc->serialize();
        QString reason;
        if (!vuzo::durable::ReplaceFile(path, bytes, reason)) {
            discard();
            throw refused(reason);
        }
        status = ReadResult::Status::Read;
        disk = bytes;
        doc->markSaved();
        pending.clear();
    }

    void closeBatch(bool commitIt)
    {
        --depth;
        if (depth > 0) {
            abandoned = abandoned || !commitIt;
            return;
        }
        const bool partial = abandoned;
        abandoned = false;
        if (!commitIt || partial) {
            if (doc && doc->isModified())
                discard();
            pending.clear();
            if (partial && commitIt)
                throw refused(u"一部の変更が取り消されたため、どの変更も書き込みません"_s);
            return;
        }
        commit();
    }
};

ProfileFile::ProfileFile(QString path) : d(std::make_unique<State>())
{
    d->path = std::move(path);
}

ProfileFile::~ProfileFile() = default;

const QString &ProfileFile::path() const
{
    return d->path;
}

QString ProfileFile::readRefusal() const
{
    d->document();
    return d->status == ReadResult::Status::Refused ? d->refusal : QString();
}

namespace {

std::optional<QString> ReadRaw(Document &doc, const QString &section, const QString &key)
{
    return doc.value(TrimBlanks(section).toString(), TrimBlanks(key).toString());
}

} // namespace

QString ProfileFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    const std::optional<QString> raw = ReadRaw(d->document(), section, key);
    if (!raw)
        return def;
    return CapLength(StripQuotes(*raw));
}

int32_t ProfileFile::ReadInteger(const QString &section, const QString &key, int32_t def) const
{
    const std::optional<QString> raw = ReadRaw(d->document(), section, key);
    if (!raw)
        return def;
    const QString text = CapLength(StripQuotes(*raw));
    std::optional<int32_t> v;
    if (text.startsWith(u"0x"_s) || text.startsWith(u"0X"_s))
        v = ParseHex(QStringView(text).sliced(2));
    else if (text.startsWith(u'$'))
        v = ParseHex(QStringView(text).sliced(1));
    else
        v = vuzo::ParseInt32(text);
    return v.value_or(def);
}

QDate ProfileFile::ReadDate(const QString &section, const QString &key, const QDate &def) const
{
    const std::optional<QString> raw = ReadRaw(d->document(), section, key);
    if (!raw)
        return def;
    return ParseDate(TrimBlanks(CapLength(StripQuotes(*raw)))).value_or(def);
}

void ProfileFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    d->write(TrimBlanks(SingleLine(section)).toString(), TrimBlanks(SingleLine(key)).toString(), SingleLine(value));
}

void ProfileFile::WriteInteger(const QString &section, const QString &key, int32_t value)
{
    WriteString(section, key, QString::number(value));
}

void ProfileFile::WriteDate(const QString &section, const QString &key, const QDate &value)
{
    WriteString(section, key, value.isValid() ? value.toString(u"yyyy/MM/dd"_s) : QString());
}

ProfileFile::Batch::Batch(ProfileFile &file) : m_file(file)
{
    ++m_file.d->depth;
}

ProfileFile::Batch::~Batch()
{
    if (m_open) {
        m_open = false;
        m_file.d->closeBatch(false); // drops the writes; never throws
    }
}

void ProfileFile::Batch::commit()
{
    if (!m_open)
        return;
    m_open = false;
    m_file.d->closeBatch(true);
}
