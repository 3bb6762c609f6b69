#pragma once
// A reader of the order files shops download from their mall or cart system:
// CSV (RFC 4180) or TSV, in UTF-8 (with or without a byte order mark) or CP932.
//
// The file is read as a stream, a megabyte at a time, so a file of any size is
// read in time linear in its size and in memory bounded by the limits below,
// not by the file: a field longer than kMaxFieldLength is cut there, a row of
// more than kMaxColumns fields is cut there, and either is reported with its
// line. A file that is no table at all (a spreadsheet's .xlsx, which is a ZIP
// archive; a file with NUL bytes; a folder, a device or a FIFO) is refused
// before any row is read, in a message that says what to do.
//
//     orders::CsvReader reader(path);
//     if (!reader.refusal().isEmpty()) ... tell it
//     orders::CsvRow row;
//     while (reader.next(row)) ... row.fields, row.line
//     reader.problems() ... ragged and over-long rows

#include <QChar>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <memory>

namespace orders {

enum class TextEncoding
{
    Auto,  // a byte order mark, else UTF-8 when the whole file is valid UTF-8, else CP932
    Utf8,  // UTF-8 (a byte order mark is skipped)
    Cp932, // Shift_JIS as Windows writes it
    Utf16, // UTF-16 with its byte order mark (a spreadsheet's 「Unicode テキスト」)
};

// The encoding's name as the window shows it: 「UTF-8」, 「UTF-8（BOM付き）」, 「Shift_JIS」.
QString EncodingName(TextEncoding encoding, bool withBom = false);

inline constexpr qsizetype kMaxFieldLength = 4096;
// A larger file is refused: no day's orders come near it.
inline constexpr qint64 kMaxFileBytes = 512LL * 1024 * 1024;
inline constexpr int kMaxColumns = 512;
// At most this many problems are kept (and the count of the others).
inline constexpr int kMaxProblems = 100;

struct CsvRow
{
    QStringList fields;
    qint64 line = 0; // the file's line (1-based) where the row starts
};

class CsvReader
{
public:
    explicit CsvReader(const QString &path, TextEncoding encoding = TextEncoding::Auto);
    ~CsvReader();
    CsvReader(const CsvReader &) = delete;
    CsvReader &operator=(const CsvReader &) = delete;

    // Why the file is not read (no such file, not a regular file, a ZIP or
    // .xlsx, binary data, unreadable), in Japanese; empty when it is read.
    QString refusal() const { return m_refusal; }
    // The encoding read with (Auto decided), and whether the file began with a BOM.
    TextEncoding encoding() const { return m_encoding; }
    bool hadBom() const { return m_bom; }
    // ',' or '\t', chosen from the header line: the one it holds more of
    // outside quotes (a comma when it holds neither).
    QChar separator() const { return m_separator; }
    // The first row, its fields trimmed of blanks and a BOM.
    const QStringList &header() const { return m_header; }

    // The next data row; false at the end of the file. An empty line (the
    // trailing one included) is no row. A row with more or fewer fields than
    // the header is still given (cut or padded to the header's width) and
    // reported.
    bool next(CsvRow &row);

    // What was wrong with the rows read so far, one line each, with the
    // file's line number: 「12行目：列の数がヘッダーと違います（8列、ヘッダーは10列）」.
    QStringList problems() const;
    // Rows given so far.
    qint64 rowCount() const { return m_rows; }

private:
    void start(const QString &path, TextEncoding encoding);
    bool fill();
    bool readRecord(QStringList &fields, qint64 &line);
    void chooseSeparator();
    void problem(qint64 line, const QString &text);

    QFile m_file;
    QString m_refusal;
    TextEncoding m_encoding = TextEncoding::Auto;
    bool m_bom = false;
    QChar m_separator = u',';
    QStringList m_header;
    std::unique_ptr<QStringDecoder> m_decoder; // UTF-8 and UTF-16; CP932 is decoded by whole characters
    QByteArray m_pending;                      // CP932 bytes of a character cut by a chunk's end
    QString m_buffer;
    qsizetype m_pos = 0;
    bool m_eof = false;
    qint64 m_line = 1;
    qint64 m_rows = 0;
    QStringList m_problems;
    int m_moreProblems = 0;
};

} // namespace orders
