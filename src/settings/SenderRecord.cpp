#include "settings/SenderRecord.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"

#include <QFile>

using namespace Qt::StringLiterals;

std::array<QString, 5> ReadSenderRecord(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (!f.exists())
            throw EInOutError(u"ファイル "_s + path + u" が見つかりません"_s);
        throw EInOutError(u"ファイル "_s + path + u" を開けません"_s);
    }

    std::array<QString, 5> lines;
    std::size_t n = 0;
    QByteArray current;
    // Reads byte by byte through Qt's buffer only as far as the fifth line: a
    // record file is five short lines, but a wrong file may be anything.
    char c = 0;
    bool pendingCr = false;
    while (n < lines.size() && f.getChar(&c)) {
        if (pendingCr) {
            pendingCr = false;
            if (c == '\n')
                continue; // the LF of a CRLF
        }
        if (c == '\r' || c == '\n') {
            lines[n++] = vuzo::DecodeCp932(current);
            current.clear();
            pendingCr = c == '\r';
            continue;
        }
        current.append(c);
    }
    if (f.error() != QFileDevice::NoError)
        throw EInOutError(u"ファイル "_s + path + u" を読み込めません"_s);
    // A last line without a line end still counts.
    if (n < lines.size() && !current.isEmpty())
        lines[n] = vuzo::DecodeCp932(current);
    return lines;
}
