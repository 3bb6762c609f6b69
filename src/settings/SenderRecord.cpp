#include "settings/SenderRecord.h"

#include "platform/Errors.h"
#include "settings/DurableFile.h"
#include "settings/TextEncoding.h"

using namespace Qt::StringLiterals;

namespace {

// Five lines of an address are a few hundred bytes; the limit only keeps a
// wrong file from filling the memory.
constexpr qint64 MaxRecordSize = qint64(1) << 20;

// The records are CP932 whatever their first bytes are: unlike a settings
// file, a record's encoding is not detected, so a byte-order mark or UTF-8
// bytes read as the CP932 characters (or U+FFFD) they make.
QString DecodeLine(QByteArrayView bytes)
{
    return vuzo::codec::Decode(vuzo::codec::Encoding::Cp932, bytes);
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

    std::array<QString, 5> lines;
    std::size_t n = 0;
    qsizetype start = 0;
    const QByteArray &bytes = r.bytes;
    for (qsizetype i = 0; i < bytes.size() && n < lines.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines[n++] = DecodeLine(bytes.sliced(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i; // the LF of a CRLF
        start = i + 1;
    }
    // A last line without a line end still counts.
    if (n < lines.size() && start < bytes.size())
        lines[n] = DecodeLine(bytes.sliced(start));
    return lines;
}
