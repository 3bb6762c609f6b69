#include "settings/ProfileFile.h"

#include "platform/Cp932.h"
#include "platform/TextUtil.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The longest value a read returns, as the Windows functions with their
// 2048-character buffer return it.
constexpr qsizetype MaxValueLength = 2047;

enum class Encoding { Cp932, Utf16Le };

// One line of the file as it is on disk. Unchanged lines are written back from
// `raw` and `eol`, never re-encoded: CP932 has characters with two byte forms
// and files may hold bytes that are not CP932 at all, and both must survive.
struct Line
{
    QByteArray raw; // the line's bytes without its line end
    QByteArray eol; // "\r\n", "\n" or empty for a last line without one (in the file's encoding)
    QString text;   // raw, decoded
};

struct Document
{
    Encoding encoding = Encoding::Cp932;
    QList<Line> lines;
    QByteArray tail; // a stray odd byte at the end of a UTF-16 file, kept as it was
};

enum class Kind { Blank, Section, Entry, Other };

struct Parsed
{
    Kind kind = Kind::Blank;
    QString name;  // section or key name, trimmed
    QString value; // entry value, trimmed, quotes not yet removed
};

bool IsBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\r' || u == u'\n' || u == u'\v' || u == u'\f';
}

QString TrimBlanks(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.sliced(b, e - b).toString();
}

// A line that starts with "[" and has a "]" after it names a section (the text
// between "[" and the last "]"); a line with "=" is an entry; anything else
// (blank lines, text without "=") holds no entry. Comment lines need no rule of
// their own: ";x=y" is an entry whose key no caller asks for.
Parsed ParseLine(const QString &text)
{
    Parsed p;
    qsizetype b = 0;
    while (b < text.size() && IsBlank(text[b]))
        ++b;
    if (b == text.size())
        return p;
    if (text[b] == u'[') {
        const qsizetype close = text.lastIndexOf(u']');
        if (close > b) {
            p.kind = Kind::Section;
            p.name = TrimBlanks(QStringView(text).sliced(b + 1, close - b - 1));
            return p;
        }
    }
    const qsizetype eq = text.indexOf(u'=', b);
    if (eq < 0) {
        p.kind = Kind::Other;
        return p;
    }
    p.kind = Kind::Entry;
    p.name = TrimBlanks(QStringView(text).sliced(b, eq - b));
    p.value = TrimBlanks(QStringView(text).sliced(eq + 1));
    return p;
}

bool SameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString DecodeUtf16Le(const char *data, qsizetype bytes)
{
    // Built by hand so that lone surrogates come through as they are.
    const qsizetype n = bytes / 2;
    QString s(n, Qt::Uninitialized);
    QChar *out = s.data();
    for (qsizetype i = 0; i < n; ++i) {
        const auto lo = static_cast<unsigned char>(data[2 * i]);
        const auto hi = static_cast<unsigned char>(data[2 * i + 1]);
        out[i] = QChar(static_cast<char16_t>(lo | (hi << 8)));
    }
    return s;
}

QByteArray EncodeUtf16Le(QStringView s)
{
    QByteArray b(s.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t u = s[i].unicode();
        b[2 * i] = static_cast<char>(u & 0xFF);
        b[2 * i + 1] = static_cast<char>(u >> 8);
    }
    return b;
}

const QByteArray &Utf16LeBom()
{
    static const QByteArray bom("\xFF\xFE", 2);
    return bom;
}

Document ParseCp932(const QByteArray &bytes)
{
    Document doc;
    // Bytes 0x0A and 0x0D are never the second byte of a CP932 character, so the
    // file splits into lines before decoding.
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype lf = bytes.indexOf('\n', start);
        Line line;
        if (lf < 0) {
            line.raw = bytes.sliced(start);
            start = bytes.size();
        } else {
            qsizetype end = lf;
            if (end > start && bytes[end - 1] == '\r')
                --end;
            line.raw = bytes.sliced(start, end - start);
            line.eol = bytes.sliced(end, lf + 1 - end);
            start = lf + 1;
        }
        doc.lines.append(std::move(line));
    }
    // One decoding pass over the whole file is far cheaper than one per line.
    // Decoding keeps every LF (an invalid lead byte before it becomes U+FFFD on
    // its own), so the decoded text splits into the same lines.
    const QString all = vuzo::DecodeCp932(bytes);
    const QList<QStringView> texts = QStringView(all).split(u'\n');
    const bool aligned = texts.size() == doc.lines.size() + (bytes.endsWith('\n') ? 1 : 0);
    for (qsizetype i = 0; i < doc.lines.size(); ++i) {
        Line &line = doc.lines[i];
        if (aligned) {
            QStringView t = texts[i];
            if (!line.eol.isEmpty() && line.eol.size() == 2 && t.endsWith(u'\r'))
                t.chop(1);
            line.text = t.toString();
        } else {
            line.text = vuzo::DecodeCp932(line.raw);
        }
    }
    return doc;
}

Document ParseUtf16Le(const QByteArray &bytes)
{
    Document doc;
    doc.encoding = Encoding::Utf16Le;
    const qsizetype size = bytes.size() - (bytes.size() % 2);
    if (size < bytes.size())
        doc.tail = bytes.sliced(size);
    const char *d = bytes.constData();
    auto unitAt = [d](qsizetype off) {
        return static_cast<char16_t>(static_cast<unsigned char>(d[off]) |
                                     (static_cast<unsigned char>(d[off + 1]) << 8));
    };
    qsizetype start = Utf16LeBom().size();
    while (start < size) {
        qsizetype lf = start;
        while (lf < size && unitAt(lf) != u'\n')
            lf += 2;
        Line line;
        if (lf >= size) {
            line.raw = bytes.sliced(start, size - start);
            start = size;
        } else {
            qsizetype end = lf;
            if (end > start && unitAt(end - 2) == u'\r')
                end -= 2;
            line.raw = bytes.sliced(start, end - start);
            line.eol = bytes.sliced(end, lf + 2 - end);
            start = lf + 2;
        }
        line.text = DecodeUtf16Le(line.raw.constData(), line.raw.size());
        doc.lines.append(std::move(line));
    }
    return doc;
}

Document ParseBytes(const QByteArray &bytes)
{
    if (bytes.startsWith(Utf16LeBom()))
        return ParseUtf16Le(bytes);
    return ParseCp932(bytes);
}

enum class Load { Missing, Loaded, Unreadable };

Load LoadFile(const QString &path, Document &doc)
{
    QFile f(path);
    if (!f.exists())
        return Load::Missing;
    if (!f.open(QIODevice::ReadOnly))
        return Load::Unreadable;
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return Load::Unreadable;
    doc = ParseBytes(bytes);
    return Load::Loaded;
}

// Index range [first, last) of the lines of the first section named `section`,
// the header excluded; `header` is the header's index, or -1 when missing.
struct SectionRange
{
    qsizetype header = -1;
    qsizetype first = 0;
    qsizetype last = 0;
};

SectionRange FindSection(const Document &doc, const QString &section)
{
    SectionRange r;
    for (qsizetype i = 0; i < doc.lines.size(); ++i) {
        const Parsed p = ParseLine(doc.lines[i].text);
        if (p.kind != Kind::Section)
            continue;
        if (r.header >= 0) {
            r.last = i;
            return r;
        }
        if (SameName(p.name, section)) {
            r.header = i;
            r.first = i + 1;
        }
    }
    if (r.header >= 0)
        r.last = doc.lines.size();
    return r;
}

std::optional<QString> FindValue(const Document &doc, const QString &section, const QString &key)
{
    const SectionRange r = FindSection(doc, section);
    if (r.header < 0)
        return std::nullopt;
    for (qsizetype i = r.first; i < r.last; ++i) {
        const Parsed p = ParseLine(doc.lines[i].text);
        if (p.kind == Kind::Entry && SameName(p.name, key))
            return p.value;
    }
    return std::nullopt;
}

std::optional<QString> ReadRaw(const QString &path, const QString &section, const QString &key)
{
    Document doc;
    if (LoadFile(path, doc) != Load::Loaded)
        return std::nullopt;
    return FindValue(doc, TrimBlanks(section), TrimBlanks(key));
}

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
std::optional<QDate> ParseDate(const QString &text)
{
    const QList<QStringView> parts = QStringView(text).split(u'/');
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

QByteArray EncodeLine(Encoding enc, const QString &text, bool &ok)
{
    if (enc == Encoding::Utf16Le) {
        ok = true;
        return EncodeUtf16Le(text);
    }
    const std::optional<QByteArray> b = vuzo::EncodeCp932(text);
    ok = b.has_value();
    return b.value_or(QByteArray());
}

QByteArray NewLineEnd(Encoding enc)
{
    return enc == Encoding::Utf16Le ? EncodeUtf16Le(u"\r\n") : QByteArray("\r\n");
}

// A text CP932 cannot hold would be lost or turned into "?"; the file moves to
// UTF-16LE with a byte-order mark, which the Windows profile functions read as
// well. Lines that were not valid CP932 keep their U+FFFD replacements.
void ConvertToUtf16Le(Document &doc)
{
    doc.encoding = Encoding::Utf16Le;
    for (Line &line : doc.lines) {
        line.raw = EncodeUtf16Le(line.text);
        line.eol = EncodeUtf16Le(QString::fromLatin1(line.eol));
    }
}

QByteArray Serialize(const Document &doc)
{
    QByteArray out;
    qsizetype size = doc.encoding == Encoding::Utf16Le ? 2 : 0;
    for (const Line &line : doc.lines)
        size += line.raw.size() + line.eol.size();
    out.reserve(size + doc.tail.size());
    if (doc.encoding == Encoding::Utf16Le)
        out += Utf16LeBom();
    for (const Line &line : doc.lines) {
        out += line.raw;
        out += line.eol;
    }
    out += doc.tail;
    return out;
}

// Sets line i (existing or new) to text, switching the file to UTF-16LE when
// its CP932 form cannot hold the text.
void SetLineText(Document &doc, qsizetype i, const QString &text)
{
    Line &line = doc.lines[i];
    line.text = text;
    bool ok = false;
    QByteArray raw = EncodeLine(doc.encoding, text, ok);
    if (!ok) {
        ConvertToUtf16Le(doc);
        return; // ConvertToUtf16Le encoded every line from its text, this one included
    }
    line.raw = std::move(raw);
}

void InsertLine(Document &doc, qsizetype at, const QString &text)
{
    // The line before the new one must end, or the two would run together.
    if (at > 0 && doc.lines[at - 1].eol.isEmpty())
        doc.lines[at - 1].eol = NewLineEnd(doc.encoding);
    Line line;
    line.eol = NewLineEnd(doc.encoding);
    doc.lines.insert(at, std::move(line));
    SetLineText(doc, at, text);
}

void ApplyWrite(Document &doc, const QString &section, const QString &key, const QString &value)
{
    const QString entry = key + u'=' + value;
    const SectionRange r = FindSection(doc, section);
    if (r.header < 0) {
        const qsizetype at = doc.lines.size();
        InsertLine(doc, at, u'[' + section + u']');
        InsertLine(doc, at + 1, entry);
        return;
    }
    qsizetype lastEntry = r.header;
    for (qsizetype i = r.first; i < r.last; ++i) {
        const Parsed p = ParseLine(doc.lines[i].text);
        if (p.kind != Kind::Entry)
            continue;
        if (SameName(p.name, key)) {
            SetLineText(doc, i, entry);
            return;
        }
        lastEntry = i;
    }
    InsertLine(doc, lastEntry + 1, entry);
}

} // namespace

ProfileFile::ProfileFile(QString path) : m_path(std::move(path)) {}

const QString &ProfileFile::path() const
{
    return m_path;
}

QString ProfileFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    const std::optional<QString> raw = ReadRaw(m_path, section, key);
    if (!raw)
        return def;
    return CapLength(StripQuotes(*raw));
}

int32_t ProfileFile::ReadInteger(const QString &section, const QString &key, int32_t def) const
{
    const std::optional<QString> raw = ReadRaw(m_path, section, key);
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
    const std::optional<QString> raw = ReadRaw(m_path, section, key);
    if (!raw)
        return def;
    return ParseDate(TrimBlanks(CapLength(StripQuotes(*raw)))).value_or(def);
}

void ProfileFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    const auto refused = [this] { return EProfileWriteError(m_path + u" に書き込めません"_s); };

    Document doc;
    // A file that exists but cannot be read must not be replaced by one holding
    // only the new entry.
    if (LoadFile(m_path, doc) == Load::Unreadable)
        throw refused();
    ApplyWrite(doc, TrimBlanks(SingleLine(section)), TrimBlanks(SingleLine(key)), SingleLine(value));

    // Written beside the file, flushed to disk and renamed over it, so a crash or
    // a full disk leaves the old file or the new one, never a mix.
    QSaveFile out(m_path);
    if (!out.open(QIODevice::WriteOnly))
        throw refused();
    const QByteArray bytes = Serialize(doc);
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        throw refused();
    }
    if (!out.commit())
        throw refused();
}

void ProfileFile::WriteInteger(const QString &section, const QString &key, int32_t value)
{
    WriteString(section, key, QString::number(value));
}

void ProfileFile::WriteDate(const QString &section, const QString &key, const QDate &value)
{
    WriteString(section, key, value.isValid() ? value.toString(u"yyyy/MM/dd"_s) : QString());
}
