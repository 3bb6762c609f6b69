#include "settings/ProfileText.h"

#include "platform/JapaneseText.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace vuzo::profile {
namespace {

bool IsBlank(QChar c)
{
    return vuzo::IsSettingsPadding(c);
}

// A line that starts with "[" and has a "]" after it names a section (the text
// between "[" and the last "]"); a line with "=" is an entry; anything else
// (blank lines, text without "=") holds no entry. Comment lines need no rule of
// their own: ";x=y" is an entry whose key no caller asks for.
struct Parsed
{
    enum class Kind
    {
        Blank,
        Section,
        Entry,
        Other
    } kind = Kind::Blank;
    QStringView name;  // section or key name, trimmed
    QStringView value; // entry value, trimmed, quotes not removed
};

Parsed ParseLine(QStringView text)
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
            p.kind = Parsed::Kind::Section;
            p.name = TrimBlanks(text.sliced(b + 1, close - b - 1));
            return p;
        }
    }
    const qsizetype eq = text.indexOf(u'=', b);
    if (eq < 0) {
        p.kind = Parsed::Kind::Other;
        return p;
    }
    p.kind = Parsed::Kind::Entry;
    p.name = TrimBlanks(text.sliced(b, eq - b));
    p.value = TrimBlanks(text.sliced(eq + 1));
    return p;
}

// Simple case folding maps each character to one character, so folded names
// are equal exactly when QString::compare(Qt::CaseInsensitive) calls them equal.
QString Folded(QStringView name)
{
    return name.toString().toCaseFolded();
}

// Keeps the line of the first entry of a name, as the Windows functions do.
void InsertFirst(QHash<QString, qint32> &index, const QString &name, qint32 ref)
{
    if (!index.contains(name))
        index.insert(name, ref);
}

} // namespace

QStringView TrimBlanks(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.sliced(b, e - b);
}

Document::Document(const QByteArray &bytes) : m_bytes(bytes)
{
    m_sourceEncoding = codec::Detect(m_bytes);
    m_bomSize = codec::ByteOrderMark(m_sourceEncoding).size();
    m_encoding = m_sourceEncoding;

    const auto *body = reinterpret_cast<const unsigned char *>(m_bytes.constData()) + m_bomSize;
    if (codec::IsUtf16(m_sourceEncoding)) {
        const qsizetype units = (m_bytes.size() - m_bomSize) / 2;
        m_tail = m_bytes.sliced(m_bomSize + units * 2);
        if (m_sourceEncoding == Encoding::Utf16Le)
            split(units, [body](qsizetype i) { return static_cast<char16_t>(body[2 * i] | body[2 * i + 1] << 8); });
        else
            split(units, [body](qsizetype i) { return static_cast<char16_t>(body[2 * i] << 8 | body[2 * i + 1]); });
    } else {
        split(m_bytes.size() - m_bomSize, [body](qsizetype i) { return static_cast<char16_t>(body[i]); });
    }
}

// Splits the file at CR LF, lone LF and lone CR and classifies each line.
// unitAt(i) is the i-th code unit after the byte-order mark: a byte of CP932
// or UTF-8, whose ASCII bytes are never part of another character (CP932's
// second bytes are 40 or above), or a UTF-16 code unit.
template <typename UnitAt> void Document::split(qsizetype units, UnitAt unitAt)
{
    const qsizetype unitSize = codec::IsUtf16(m_sourceEncoding) ? 2 : 1;
    m_lines.reserve(static_cast<std::size_t>(units / 32));
    const auto add = [&](qsizetype start, qsizetype len, Eol eol) {
        Line line;
        line.bytePos = static_cast<qint32>(m_bomSize + start * unitSize);
        line.byteLen = static_cast<qint32>(len * unitSize);
        line.eol = eol;
        const std::optional<Kind> kind = classify(len, [&](qsizetype i) { return unitAt(start + i); });
        line.kind = kind ? *kind : classify(line);
        m_lines.push_back(line);
    };
    qsizetype start = 0;
    for (qsizetype i = 0; i < units; ++i) {
        const char16_t c = unitAt(i);
        if (c != u'\r' && c != u'\n')
            continue;
        if (c == u'\r' && i + 1 < units && unitAt(i + 1) == u'\n') {
            add(start, i - start, Eol::CrLf);
            ++i;
        } else {
            add(start, i - start, c == u'\r' ? Eol::Cr : Eol::Lf);
        }
        start = i + 1;
    }
    if (start < units)
        add(start, units - start, Eol::None);
}

// The rules of ParseLine() on code units, without decoding. A CP932 line that
// starts with "[" and holds bytes above 7F gets nullopt: its "]" bytes may be
// the second byte of a character, so only its decoded text can tell.
template <typename UnitAt> std::optional<Document::Kind> Document::classify(qsizetype units, UnitAt unitAt) const
{
    qsizetype b = 0;
    while (b < units && IsBlank(QChar(unitAt(b))))
        ++b;
    if (b == units)
        return Kind::Blank;
    if (unitAt(b) == u'[') {
        qsizetype close = -1;
        bool ascii = true;
        for (qsizetype i = b + 1; i < units; ++i) {
            const char16_t c = unitAt(i);
            if (c == u']')
                close = i;
            ascii = ascii && c < 0x80;
        }
        if (!ascii && m_sourceEncoding == Encoding::Cp932)
            return std::nullopt;
        if (close > b)
            return Kind::Section;
    }
    for (qsizetype i = b; i < units; ++i) {
        if (unitAt(i) == u'=')
            return Kind::Entry;
    }
    return Kind::Other;
}

Document::Kind Document::classify(const Line &line) const
{
    switch (ParseLine(text(line)).kind) {
    case Parsed::Kind::Blank: return Kind::Blank;
    case Parsed::Kind::Section: return Kind::Section;
    case Parsed::Kind::Entry: return Kind::Entry;
    case Parsed::Kind::Other: return Kind::Other;
    }
    return Kind::Other;
}

// The text of bytes of the file, in its own encoding.
QString Document::decode(qsizetype pos, qsizetype len) const
{
    return codec::Decode(m_sourceEncoding, QByteArrayView(m_bytes).sliced(pos, len));
}

// Decodes every line read from disk at once, for a change of encoding that
// writes them all again: one decoding pass over the whole file is far cheaper
// than one per line.
void Document::decodeAll()
{
    if (m_decoded)
        return;
    m_decoded = true;
    if (codec::IsUtf16(m_sourceEncoding)) {
        m_text = decode(m_bomSize, (m_bytes.size() - m_bomSize) / 2 * 2);
        for (Line &line : m_lines) {
            if (line.bytePos >= 0) {
                line.textPos = static_cast<qint32>((line.bytePos - m_bomSize) / 2);
                line.textLen = line.byteLen / 2;
            }
        }
        return;
    }
    // Both decoders keep every CR and LF (a broken sequence before one becomes
    // U+FFFD on its own), so the decoded text splits into the same lines; the
    // count is checked, and one line at a time is the way should it differ.
    m_text = decode(m_bomSize, m_bytes.size() - m_bomSize);
    std::vector<std::pair<qint32, qint32>> spans;
    spans.reserve(m_lines.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i < m_text.size(); ++i) {
        const char16_t c = m_text[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        spans.emplace_back(static_cast<qint32>(start), static_cast<qint32>(i - start));
        if (c == u'\r' && i + 1 < m_text.size() && m_text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < m_text.size())
        spans.emplace_back(static_cast<qint32>(start), static_cast<qint32>(m_text.size() - start));
    const auto fromDisk = static_cast<std::size_t>(
        std::count_if(m_lines.begin(), m_lines.end(), [](const Line &l) { return l.bytePos >= 0; }));
    if (spans.size() != fromDisk) {
        m_text.clear();
        spans.clear();
        for (const Line &line : m_lines) {
            if (line.bytePos < 0)
                continue;
            const QString t = decode(line.bytePos, line.byteLen);
            spans.emplace_back(static_cast<qint32>(m_text.size()), static_cast<qint32>(t.size()));
            m_text += t;
        }
    }
    std::size_t n = 0;
    for (Line &line : m_lines) {
        if (line.bytePos >= 0) {
            line.textPos = spans[n].first;
            line.textLen = spans[n].second;
            ++n;
        }
    }
}

QString Document::text(const Line &line) const
{
    if (line.edit >= 0)
        return m_edits[static_cast<std::size_t>(line.edit)];
    if (m_decoded)
        return m_text.sliced(line.textPos, line.textLen);
    return decode(line.bytePos, line.byteLen);
}

// The case-folded name of an entry line. Only the part before "=" is decoded:
// in a large section the names are plain ASCII while the values are not.
QString Document::keyName(const Line &line) const
{
    if (line.edit >= 0 || codec::IsUtf16(m_sourceEncoding))
        return Folded(ParseLine(text(line)).name);
    const qsizetype eq = QByteArrayView(m_bytes).sliced(line.bytePos, line.byteLen).indexOf('=');
    return Folded(TrimBlanks(decode(line.bytePos, eq)));
}

Document::Section &Document::section(const QString &foldedName) const
{
    auto it = m_sections.find(foldedName);
    if (it != m_sections.end())
        return it->second;
    Section s;
    const auto count = static_cast<qint32>(m_lines.size());
    for (qint32 i = 0; i < count; ++i) {
        if (m_lines[static_cast<std::size_t>(i)].kind != Kind::Section)
            continue;
        if (s.exists) {
            s.end = i;
            break;
        }
        const Parsed p = ParseLine(text(m_lines[static_cast<std::size_t>(i)]));
        if (p.name.compare(foldedName, Qt::CaseInsensitive) == 0) {
            s.exists = true;
            s.header = s.insertAfter = i;
            s.end = count;
        }
    }
    for (qint32 i = s.header + 1; s.exists && i < s.end; ++i) {
        if (m_lines[static_cast<std::size_t>(i)].kind == Kind::Entry)
            s.insertAfter = i;
    }
    return m_sections.emplace(foldedName, std::move(s)).first->second;
}

const QHash<QString, qint32> &Document::keys(Section &s) const
{
    if (s.keys)
        return *s.keys;
    QHash<QString, qint32> &index = s.keys.emplace();
    // The first entry of a name wins, as it does for the Windows functions;
    // added lines come after every entry of the section.
    for (qint32 i = s.header + 1; !s.isNew && i < s.end; ++i) {
        const Line &line = m_lines[static_cast<std::size_t>(i)];
        if (line.kind == Kind::Entry)
            InsertFirst(index, keyName(line), i);
    }
    for (std::size_t j = 0; j < s.added.size(); ++j) {
        if (s.added[j].kind == Kind::Entry)
            InsertFirst(index, keyName(s.added[j]), ~static_cast<qint32>(j));
    }
    return *s.keys;
}

Document::Line &Document::lineAt(Section &s, qint32 ref)
{
    return ref >= 0 ? m_lines[static_cast<std::size_t>(ref)] : s.added[static_cast<std::size_t>(~ref)];
}

std::optional<QString> Document::value(const QString &sectionName, const QString &key) const
{
    Section &s = section(Folded(sectionName));
    if (!s.exists)
        return std::nullopt;
    const QHash<QString, qint32> &index = keys(s);
    const auto it = index.constFind(Folded(key));
    if (it == index.cend())
        return std::nullopt;
    const Line &line = *it >= 0 ? m_lines[static_cast<std::size_t>(*it)] : s.added[static_cast<std::size_t>(~*it)];
    return ParseLine(text(line)).value.toString();
}

Document::Line Document::newLine(const QString &lineText)
{
    Line line;
    line.edit = static_cast<qint32>(m_edits.size());
    line.eol = Eol::CrLf;
    m_edits.push_back(lineText);
    line.kind = classify(line);
    return line;
}

void Document::setText(Line &line, const QString &lineText)
{
    if (line.edit >= 0) {
        m_edits[static_cast<std::size_t>(line.edit)] = lineText;
    } else {
        line.edit = static_cast<qint32>(m_edits.size());
        m_edits.push_back(lineText);
    }
    line.kind = classify(line);
}

// The line a new line follows must end, or the two would run together. Only
// the file's last line can lack a line end, and new lines follow it only when
// they go to the end of the file.
void Document::endLastLine()
{
    if (!m_lines.empty() && m_lines.back().eol == Eol::None)
        m_lines.back().eol = Eol::CrLf;
}

bool Document::makeEncodable(std::initializer_list<QStringView> texts, QString &reason)
{
    bool fits = true;
    for (QStringView t : texts)
        fits = fits && codec::EncodeExactly(m_encoding, t).has_value();
    if (fits)
        return true;
    // UTF-16 holds any text; only a file in CP932 or UTF-8 gets here. Its lines
    // are written again in UTF-16LE from their decoded text, so each unchanged
    // line must decode to a text that stands for its bytes exactly.
    decodeAll();
    int number = 0;
    for (const Line &line : m_lines) {
        if (line.bytePos < 0)
            continue; // a line a write added, moved here by restructure()
        ++number;
        if (line.edit >= 0)
            continue;
        const QStringView t = QStringView(m_text).sliced(line.textPos, line.textLen);
        const bool exact = m_sourceEncoding == Encoding::Cp932
                               ? !t.contains(QChar(QChar::ReplacementCharacter))
                               : t.toUtf8() == QByteArrayView(m_bytes).sliced(line.bytePos, line.byteLen);
        if (!exact) {
            reason = u"%1 で表せない文字を書くにはファイルを UTF-16LE に変える必要がありますが、"
                     u"%2 行目に %1 の文字でないバイトがあり、変えると失われます"_s.arg(codec::Name(m_encoding))
                         .arg(number);
            return false;
        }
    }
    m_encoding = Encoding::Utf16Le;
    m_modified = true;
    return true;
}

void Document::appendTo(Section &s, const QString &lineText)
{
    if (s.isNew || s.insertAfter + 1 == static_cast<qint32>(m_lines.size()))
        endLastLine();
    s.added.push_back(newLine(lineText));
    const Line &line = s.added.back();
    if (s.keys && line.kind == Kind::Entry)
        InsertFirst(*s.keys, keyName(line), ~static_cast<qint32>(s.added.size() - 1));
    m_modified = true;
}

bool Document::setValue(const QString &sectionName, const QString &key, const QString &value, QString &reason)
{
    const QString entry = key + u'=' + value;
    const QString folded = Folded(sectionName);
    Section &s = section(folded);
    if (!s.exists) {
        const QString header = u'[' + sectionName + u']';
        if (!makeEncodable({header, entry}, reason))
            return false;
        endLastLine();
        s.exists = true;
        s.isNew = true;
        s.newHeader = newLine(header);
        m_newSections.push_back(folded);
        appendTo(s, entry);
    } else {
        const QHash<QString, qint32> &index = keys(s);
        const auto it = index.constFind(Folded(key));
        if (it == index.cend()) {
            if (!makeEncodable({entry}, reason))
                return false;
            appendTo(s, entry);
        } else {
            Line &line = lineAt(s, *it);
            if (text(line) == entry)
                return true; // the line already says it: its bytes stay as they are
            if (!makeEncodable({entry}, reason))
                return false;
            setText(line, entry);
            m_modified = true;
        }
    }
    // A key that starts with "[" and a value with "]" make a line that reads
    // back as a section header: the sections are found again from the lines,
    // as the next read of the file would find them.
    if (ParseLine(entry).kind != Parsed::Kind::Entry)
        restructure();
    return true;
}

void Document::restructure()
{
    std::map<qint32, const Section *> insertions;
    for (const auto &[name, s] : m_sections) {
        if (s.exists && !s.isNew && !s.added.empty())
            insertions.emplace(s.insertAfter, &s);
    }
    std::vector<Line> lines;
    lines.reserve(m_lines.size() + m_edits.size());
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        lines.push_back(m_lines[i]);
        const auto it = insertions.find(static_cast<qint32>(i));
        if (it != insertions.end())
            lines.insert(lines.end(), it->second->added.begin(), it->second->added.end());
    }
    for (const QString &name : m_newSections) {
        const Section &s = m_sections.at(name);
        lines.push_back(s.newHeader);
        lines.insert(lines.end(), s.added.begin(), s.added.end());
    }
    m_lines = std::move(lines);
    m_sections.clear();
    m_newSections.clear();
}

void Document::appendLine(QByteArray &out, const Line &line) const
{
    static const char16_t *const ends[] = {u"", u"\r\n", u"\n", u"\r"};
    const QStringView end(ends[static_cast<int>(line.eol)]);
    if (line.edit < 0 && m_encoding == m_sourceEncoding) {
        out += QByteArrayView(m_bytes).sliced(line.bytePos, line.byteLen);
    } else if (codec::IsUtf16(m_encoding)) {
        codec::AppendUtf16(out, text(line), m_encoding == Encoding::Utf16Be);
    } else {
        out += codec::EncodeExactly(m_encoding, text(line)).value_or(QByteArray()); // setValue made sure it fits
    }
    if (codec::IsUtf16(m_encoding))
        codec::AppendUtf16(out, end, m_encoding == Encoding::Utf16Be);
    else
        out += end.toLatin1();
}

QByteArray Document::serialize() const
{
    // The sections that have lines added, by the line the added lines follow.
    std::vector<std::pair<qint32, const Section *>> insertions;
    for (const auto &[name, s] : m_sections) {
        if (s.exists && !s.isNew && !s.added.empty())
            insertions.emplace_back(s.insertAfter, &s);
    }
    std::sort(insertions.begin(), insertions.end());
    auto next = insertions.cbegin();

    QByteArray out;
    out.reserve(m_bytes.size() + m_bytes.size() / 8 + 4096);
    out += codec::ByteOrderMark(m_encoding);
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        appendLine(out, m_lines[i]);
        if (next != insertions.cend() && next->first == static_cast<qint32>(i)) {
            for (const Line &line : next->second->added)
                appendLine(out, line);
            ++next;
        }
    }
    for (const QString &name : m_newSections) {
        const Section &s = m_sections.at(name);
        appendLine(out, s.newHeader);
        for (const Line &line : s.added)
            appendLine(out, line);
    }
    out += m_tail;
    return out;
}

} // namespace vuzo::profile
