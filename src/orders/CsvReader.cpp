#include "orders/CsvReader.h"

#include "platform/Cp932.h"
#include "settings/TextEncoding.h"

#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace orders {

namespace {

constexpr qint64 kChunkBytes = 1024 * 1024;
// The bytes looked at for signs of a binary file.
constexpr qint64 kSniffBytes = 64 * 1024;

bool isCp932Lead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The length of the bytes that end with a whole CP932 character.
qsizetype wholeCp932(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype step = isCp932Lead(p[i]) ? 2 : 1;
        if (i + step > n)
            break;
        i += step;
    }
    return i;
}

const QString kSaveAsCsv = u"表計算ソフトで「CSV（コンマ区切り）」の形式で保存し直してから開いてください。"_s;

} // namespace

QString EncodingName(TextEncoding encoding, bool withBom)
{
    switch (encoding) {
    case TextEncoding::Cp932: return u"Shift_JIS"_s;
    case TextEncoding::Utf8: return withBom ? u"UTF-8（BOM付き）"_s : u"UTF-8"_s;
    case TextEncoding::Utf16: return u"UTF-16"_s;
    case TextEncoding::Auto: break;
    }
    return u"自動判別"_s;
}

CsvReader::CsvReader(const QString &path, TextEncoding encoding) : m_file(path)
{
    start(path, encoding);
}

CsvReader::~CsvReader() = default;

void CsvReader::start(const QString &path, TextEncoding encoding)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        m_refusal = u"ファイル %1 が見つかりません。"_s.arg(path);
        return;
    }
    // A folder, a FIFO or a device is never opened: reading one could block
    // or never end.
    if (!info.isFile()) {
        m_refusal = u"%1 は普通のファイルではないため、読み込めません。"_s.arg(path);
        return;
    }
    if (info.size() > kMaxFileBytes) {
        m_refusal =
            u"ファイル %1 は大きすぎるため読み込めません（%2 MB まで）。注文を何日分かに分けて書き出してください。"_s
                .arg(path, QString::number(kMaxFileBytes / (1024 * 1024)));
        return;
    }
    if (!m_file.open(QIODevice::ReadOnly)) {
        m_refusal = u"ファイル %1 を開けません（%2）。"_s.arg(path, m_file.errorString());
        return;
    }
    const QByteArray head = m_file.peek(kSniffBytes);
    // A workbook is a ZIP archive (.xlsx, .ods) or an OLE file (.xls).
    if (head.startsWith("PK\x03\x04") || head.startsWith("\xD0\xCF\x11\xE0")) {
        m_refusal =
            u"%1 は表計算ソフトのファイル（.xlsx など）で、そのままでは読み込めません。"_s.arg(info.fileName()) +
            kSaveAsCsv;
        m_file.close();
        return;
    }
    qint64 skip = 0;
    if (head.startsWith("\xEF\xBB\xBF")) {
        m_bom = true;
        skip = 3;
        if (encoding == TextEncoding::Auto)
            encoding = TextEncoding::Utf8;
    } else if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF")) {
        m_bom = true;
        encoding = TextEncoding::Utf16;
        m_decoder = std::make_unique<QStringDecoder>(head.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                                                 : QStringConverter::Utf16BE);
        skip = 2;
    }
    if (encoding != TextEncoding::Utf16 && head.contains('\0')) {
        m_refusal = u"%1 はテキストのファイルではないため、読み込めません。"_s.arg(info.fileName()) + kSaveAsCsv;
        m_file.close();
        return;
    }
    if (encoding == TextEncoding::Auto) {
        // UTF-8 only when every byte of the file is: CP932 text is seldom
        // valid UTF-8, while a CP932 file read as UTF-8 would be garbled.
        vuzo::codec::Utf8Check check;
        bool valid = true;
        while (valid && !m_file.atEnd()) {
            const QByteArray chunk = m_file.read(kChunkBytes);
            if (chunk.isEmpty())
                break;
            valid = check.feed(chunk);
        }
        encoding = (valid && check.finish()) ? TextEncoding::Utf8 : TextEncoding::Cp932;
        m_file.seek(0);
    }
    m_file.seek(skip);
    m_encoding = encoding;
    if (encoding == TextEncoding::Utf8)
        m_decoder = std::make_unique<QStringDecoder>(QStringConverter::Utf8);

    chooseSeparator();
    qint64 line = 0;
    if (!readRecord(m_header, line)) {
        m_refusal = u"ファイル %1 には何も書かれていません。"_s.arg(info.fileName());
        return;
    }
    for (QString &name : m_header)
        name = name.remove(QChar(0xFEFF)).trimmed();
}

bool CsvReader::fill()
{
    if (m_eof)
        return false;
    // What has been parsed is dropped before more is read, so the buffer
    // never holds much more than a chunk.
    if (m_pos > 0) {
        m_buffer.remove(0, m_pos);
        m_pos = 0;
    }
    const QByteArray chunk = m_file.read(kChunkBytes);
    if (chunk.isEmpty()) {
        m_eof = true;
        if (!m_pending.isEmpty()) {
            m_buffer += vuzo::DecodeCp932(m_pending);
            m_pending.clear();
        }
        if (m_decoder)
            m_buffer += m_decoder->decode(QByteArrayView());
        return !m_buffer.isEmpty();
    }
    if (m_decoder) {
        m_buffer += m_decoder->decode(chunk);
    } else {
        m_pending += chunk;
        const qsizetype whole = wholeCp932(m_pending);
        m_buffer += vuzo::DecodeCp932(m_pending.left(whole));
        m_pending.remove(0, whole);
    }
    return true;
}

void CsvReader::chooseSeparator()
{
    // The header's first line, outside quotes.
    int commas = 0, tabs = 0;
    bool quoted = false;
    for (qsizetype i = 0;; ++i) {
        while (i >= m_buffer.size()) {
            if (i > 64 * 1024 || !fill())
                goto decided;
        }
        const QChar c = m_buffer.at(i);
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u'\n' || c == u'\r'))
            break;
        else if (!quoted && c == u',')
            ++commas;
        else if (!quoted && c == u'\t')
            ++tabs;
    }
decided:
    m_separator = tabs > commas ? u'\t' : u',';
}

bool CsvReader::readRecord(QStringList &fields, qint64 &line)
{
    fields.clear();
    // Blank lines between records are skipped.
    for (;;) {
        if (m_pos >= m_buffer.size() && !fill())
            return false;
        const QChar c = m_buffer.at(m_pos);
        if (c == u'\n') {
            ++m_line;
            ++m_pos;
        } else if (c == u'\r') {
            ++m_pos;
            if ((m_pos < m_buffer.size() || fill()) && m_buffer.at(m_pos) == u'\n')
                ++m_pos;
            ++m_line;
        } else
            break;
    }
    line = m_line;
    QString field;
    bool quoted = false;     // inside a quoted part
    bool fieldStart = true;  // nothing of the field read yet
    bool longField = false;  // a field of this record was cut
    bool manyFields = false; // the record was cut after kMaxColumns fields
    const auto endField = [&] {
        if (fields.size() < kMaxColumns)
            fields.append(field);
        else
            manyFields = true;
        field.clear();
        fieldStart = true;
    };
    const auto add = [&](QChar c) {
        if (field.size() < kMaxFieldLength)
            field.append(c);
        else
            longField = true;
    };
    // A run of ordinary characters is taken at once, up to the field's limit.
    const auto addRun = [&](qsizetype from, qsizetype to) {
        const qsizetype room = kMaxFieldLength - field.size();
        if (to - from > room) {
            longField = true;
            to = from + qMax<qsizetype>(room, 0);
        }
        if (to > from)
            field.append(QStringView(m_buffer).mid(from, to - from));
    };
    const QChar separator = m_separator;
    for (;;) {
        if (m_pos >= m_buffer.size() && !fill()) {
            if (quoted)
                problem(line, u"引用符（\"）が閉じられないまま、ファイルが終わっています"_s);
            endField();
            break;
        }
        {
            // The characters up to the next one that matters in this state.
            const QChar *data = m_buffer.constData();
            const qsizetype size = m_buffer.size();
            qsizetype end = m_pos;
            if (quoted) {
                while (end < size && data[end] != u'"' && data[end] != u'\r' && data[end] != u'\n')
                    ++end;
            } else if (!fieldStart || data[end] != u'"') {
                while (end < size && data[end] != separator && data[end] != u'\r' && data[end] != u'\n')
                    ++end;
            }
            if (end > m_pos) {
                fieldStart = false;
                addRun(m_pos, end);
                m_pos = end;
                continue;
            }
        }
        const QChar c = m_buffer.at(m_pos++);
        if (quoted) {
            if (c == u'"') {
                if (m_pos >= m_buffer.size())
                    fill();
                if (m_pos < m_buffer.size() && m_buffer.at(m_pos) == u'"') {
                    add(c);
                    ++m_pos;
                } else
                    quoted = false;
                continue;
            }
            if (c == u'\r') {
                if ((m_pos < m_buffer.size() || fill()) && m_buffer.at(m_pos) == u'\n')
                    ++m_pos;
                ++m_line;
                add(u'\n');
                continue;
            }
            if (c == u'\n')
                ++m_line;
            add(c);
            continue;
        }
        if (c == m_separator) {
            endField();
            continue;
        }
        if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && (m_pos < m_buffer.size() || fill()) && m_buffer.at(m_pos) == u'\n')
                ++m_pos;
            ++m_line;
            endField();
            break;
        }
        if (c == u'"' && fieldStart) {
            quoted = true;
            fieldStart = false;
            continue;
        }
        fieldStart = false;
        add(c);
    }
    if (longField)
        problem(line, u"長すぎる値があります（%1文字までを読みました）"_s.arg(kMaxFieldLength));
    if (manyFields)
        problem(line, u"列が多すぎます（%1列までを読みました）"_s.arg(kMaxColumns));
    return true;
}

bool CsvReader::next(CsvRow &row)
{
    if (!m_refusal.isEmpty())
        return false;
    // A row of empty fields only (a spreadsheet's trailing 「,,,,」) is no row.
    const auto blank = [](const QStringList &fields) {
        return std::all_of(fields.cbegin(), fields.cend(), [](const QString &f) { return f.trimmed().isEmpty(); });
    };
    do {
        if (!readRecord(row.fields, row.line))
            return false;
    } while (blank(row.fields));
    ++m_rows;
    const qsizetype width = m_header.size();
    if (row.fields.size() != width) {
        // Empty fields after the last column (a trailing separator) are no
        // fault; anything else that does not match the header is told.
        qsizetype used = row.fields.size();
        while (used > width && row.fields.at(used - 1).trimmed().isEmpty())
            --used;
        if (used != width)
            problem(row.line, u"列の数がヘッダーと違います（%1列、ヘッダーは%2列）"_s.arg(used).arg(width));
        while (row.fields.size() > width)
            row.fields.removeLast();
        while (row.fields.size() < width)
            row.fields.append(QString());
    }
    return true;
}

void CsvReader::problem(qint64 line, const QString &text)
{
    if (m_problems.size() < kMaxProblems)
        m_problems.append(u"%1行目：%2"_s.arg(line).arg(text));
    else
        ++m_moreProblems;
}

QStringList CsvReader::problems() const
{
    QStringList out = m_problems;
    if (m_moreProblems > 0)
        out.append(u"ほかに %1 件の問題があります"_s.arg(m_moreProblems));
    return out;
}

} // namespace orders
