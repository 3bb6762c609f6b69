#include "settings/SenderRecord.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "settings/DurableFile.h"

using namespace Qt::StringLiterals;

namespace {

// Five lines of an address are a few hundred bytes; the limit only keeps a
// wrong file from filling the memory.
constexpr qint64 MaxRecordSize = qint64(1) << 20;

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
        lines[n++] = vuzo::DecodeCp932(bytes.sliced(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i; // the LF of a CRLF
        start = i + 1;
    }
    // A last line without a line end still counts.
    if (n < lines.size() && start < bytes.size())
        lines[n] = vuzo::DecodeCp932(bytes.sliced(start));
    return lines;
}
