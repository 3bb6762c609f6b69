#include "settings/SenderRecord.h"

#include "platform/Errors.h"
#include "settings/DurableFile.h"
#include "settings/TextEncoding.h"

using namespace Qt::StringLiterals;

namespace {

// Five lines of an address are a few hundred bytes; the limit only keeps a
// wrong file from filling the memory.
constexpr qint64 MaxRecordSize = qint64(1) << 20;

char16_t Unit(char c)
{
    return static_cast<unsigned char>(c);
}
char16_t Unit(QChar c)
{
    return c.unicode();
}

// The first five lines of a text, as their units come (bytes or UTF-16
// units); each line goes through decode.
template <typename Text, typename Decode> std::array<QString, 5> FirstLines(const Text &text, Decode decode)
{
    std::array<QString, 5> lines;
    std::size_t n = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size() && n < lines.size(); ++i) {
        const char16_t c = Unit(text[i]);
        if (c != u'\r' && c != u'\n')
            continue;
        lines[n++] = decode(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && Unit(text[i + 1]) == u'\n')
            ++i; // the LF of a CRLF
        start = i + 1;
    }
    // A last line without a line end still counts.
    if (n < lines.size() && start < text.size())
        lines[n] = decode(text.sliced(start));
    return lines;
}

} // namespace

std::array<QString, 5> ReadSenderRecord(const QString &path)
{
    using vuzo::durable::ReadResult;
    const ReadResult r = vuzo::durable::ReadRegularFile(path, MaxRecordSize);
    if (r.status == ReadResult::Status::Missing)
        throw EInOutError(u"ファイル "_s + path + u" が見つかりません"_s);
    if (r.status == ReadResult::Status::Refused)
        throw EInOutError(u"ファイル "_s + path + u" を開けません（"_s + r.reason + u"）"_s);

    // The records follow the settings files' encoding rules: a byte-order
    // mark or well-formed UTF-8 (a record written in a Linux editor) is read
    // as such, anything else as CP932, as the Windows program wrote them.
    using namespace vuzo::codec;
    const Encoding encoding = Detect(r.bytes);
    const QByteArrayView bytes = QByteArrayView(r.bytes).sliced(ByteOrderMark(encoding).size());
    // UTF-16 is made of two-byte units: decoded whole, then split as text.
    if (IsUtf16(encoding))
        return FirstLines(Decode(encoding, bytes), [](const QString &line) { return line; });
    return FirstLines(bytes, [encoding](QByteArrayView line) { return Decode(encoding, line); });
}
