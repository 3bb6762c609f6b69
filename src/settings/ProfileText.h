#pragma once
// The text of one settings file held in memory: its lines in their order, each
// kept as the bytes it had on disk until a write changes it, with the lookup
// rules of the Windows profile functions.
//
// Any bytes are some text, so building a Document never fails. The file's
// encoding is found from its first bytes (codec::Detect): a byte-order mark,
// else UTF-8 for well-formed UTF-8 with non-ASCII bytes, else CP932.
//
// A CR LF pair, a lone LF and a lone CR each end a line; every line keeps its
// own line end when the file is written. New lines end in CR LF.

#include "settings/TextEncoding.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace vuzo::profile {

using Encoding = codec::Encoding;

// Without blanks, tabs, CR, LF, VT and FF at either end (the ideographic space
// is text, not a blank).
QStringView TrimBlanks(QStringView s);

class Document
{
public:
    explicit Document(const QByteArray &bytes = QByteArray());

    // The encoding the file is written in: its own, or UTF-16LE once a write
    // needed it.
    Encoding encoding() const { return m_encoding; }

    // The text after the first "=" of the first entry named `key` in the first
    // section named `section`, without blanks around it (quotes are kept).
    // Names match regardless of case. `section` and `key` come trimmed.
    std::optional<QString> value(const QString &section, const QString &key) const;

    // Makes "key=value" the first entry named key of the first section named
    // section: replaces that line, or adds the line after the section's last
    // entry, or adds the section at the end. `section` and `key` come trimmed
    // and, like `value`, without line breaks.
    //
    // A text the file's encoding cannot hold exactly (CP932 has no emoji, and
    // maps "¥" to the byte of "\" on the way out) moves the whole file to
    // UTF-16LE with a byte-order mark, which holds any text. Returns false with
    // the reason, and changes nothing, when that move would lose a line of the
    // file: a line whose bytes are no text in its encoding.
    bool setValue(const QString &section, const QString &key, const QString &value, QString &reason);

    // Whether the text differs from the bytes it was built from or last saved as.
    bool isModified() const { return m_modified; }
    void markSaved() { m_modified = false; }

    // The file's bytes: unchanged lines exactly as they were read while the
    // encoding is unchanged, changed and new lines encoded.
    QByteArray serialize() const;

private:
    enum class Eol : quint8
    {
        None,
        CrLf,
        Lf,
        Cr
    };
    enum class Kind : quint8
    {
        Blank,
        Section,
        Entry,
        Other
    };

    // One line of the file. A line read from disk is its bytes in m_bytes and
    // is decoded only when its text is needed: most lines of a large file are
    // never asked for. Positions fit 32 bits: the files read are limited far
    // below 2 GiB.
    struct Line
    {
        qint32 bytePos = -1; // the line's bytes in m_bytes, line end excluded; -1 for a line a write added
        qint32 byteLen = 0;
        qint32 edit = -1;   // the index of its text in m_edits, once a write set it
        qint32 textPos = 0; // its decoded text in m_text, once the whole file is decoded
        qint32 textLen = 0;
        Eol eol = Eol::None;
        Kind kind = Kind::Blank;
    };

    // A section some call asked for, found on first use. Lines a write adds
    // to an existing section all go right after its last entry, one after the
    // other, so they are kept in `added` and placed there on output.
    struct Section
    {
        bool exists = false;     // false: no such section (yet)
        bool isNew = false;      // added at the end of the file by a write
        qint32 header = -1;      // index in m_lines of the header line
        qint32 insertAfter = -1; // index in m_lines of the last entry, or of the header
        qint32 end = 0;          // index in m_lines after the section's last line
        Line newHeader;          // the header of a new section
        std::vector<Line> added;
        // Case-folded key name to line: >= 0 an index in m_lines, < 0 ~index in `added`.
        std::optional<QHash<QString, qint32>> keys;
    };

    template <typename UnitAt> void split(qsizetype units, UnitAt unitAt);
    template <typename UnitAt> std::optional<Kind> classify(qsizetype units, UnitAt unitAt) const;
    Kind classify(const Line &line) const;
    QString decode(qsizetype pos, qsizetype len) const;
    void decodeAll();

    QString text(const Line &line) const;
    QString keyName(const Line &line) const;
    Section &section(const QString &foldedName) const;
    const QHash<QString, qint32> &keys(Section &s) const;
    Line &lineAt(Section &s, qint32 ref);

    Line newLine(const QString &text);
    void setText(Line &line, const QString &text);
    void endLastLine();
    bool makeEncodable(std::initializer_list<QStringView> texts, QString &reason);
    void appendTo(Section &s, const QString &text);
    void restructure();
    void appendLine(QByteArray &out, const Line &line) const;

    QByteArray m_bytes; // the bytes read
    qsizetype m_bomSize = 0;
    QString m_text; // their decoded text, once a change of encoding needed all of it
    bool m_decoded = false;
    QByteArray m_tail; // a stray odd byte at the end of a UTF-16 file, kept
    Encoding m_sourceEncoding = Encoding::Cp932;
    Encoding m_encoding = Encoding::Cp932;
    std::vector<Line> m_lines;
    std::vector<QString> m_edits;
    mutable std::map<QString, Section> m_sections; // by case-folded name
    std::vector<QString> m_newSections;            // case-folded names, in the order added
    bool m_modified = false;
};

} // namespace vuzo::profile
