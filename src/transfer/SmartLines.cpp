// The pasted text as items (lines, quotes, spreadsheet cells, columns side by
// side) and what each item names.

#include "transfer/SmartTransfer_p.h"

#include "platform/JapaneseText.h"
#include "transfer/Cleanup.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace transfer::smart {

namespace {

using namespace Qt::StringLiterals;

bool isSeparatorLine(QStringView fold)
{
    int marks = 0;
    for (QChar c : fold) {
        if (vuzo::IsWordBlank(c))
            continue;
        if (!isDecoration(c) && c != u'-' && c != u'*' && c != u'―' && c != u'—' && c != u'–')
            return false;
        ++marks;
    }
    return marks >= 2;
}

// The text without lone surrogates, which no field can show.
QString withoutLoneSurrogates(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            out += c;
            out += s[++i];
        } else if (!c.isSurrogate()) {
            out += c;
        }
    }
    return out;
}

struct Cell
{
    QString text;
    int column = 0;
};

// Cells of a line separated by tabs, runs of two or more blanks, or bars.
QList<Cell> cellsOf(const QString &line)
{
    QList<Cell> cells;
    int column = 0;
    QString current;
    int currentColumn = 0;
    qsizetype i = 0;
    auto flush = [&] {
        const QString t = vuzo::TrimBlanksAndControls(current);
        if (!t.isEmpty())
            cells.append({t, currentColumn});
        current.clear();
    };
    while (i < line.size()) {
        const QChar c = line[i];
        qsizetype j = i;
        int gapColumns = 0;
        while (j < line.size() && vuzo::IsWordBlank(line[j])) {
            gapColumns += line[j] == u'\t' ? 8 : vuzo::DisplayColumns(line[j]);
            ++j;
        }
        const bool tab = line.mid(i, j - i).contains(u'\t');
        if (j > i && (gapColumns >= 3 || tab || j - i >= 2)) {
            flush();
            column += gapColumns;
            i = j;
            currentColumn = column;
            continue;
        }
        if (c == u'|' || c == u'｜' || c == u'│') {
            flush();
            column += 1;
            ++i;
            currentColumn = column;
            continue;
        }
        if (current.isEmpty())
            currentColumn = column;
        current += c;
        column += vuzo::DisplayColumns(c);
        ++i;
    }
    flush();
    return cells;
}

// Quote marks of a reply ("> ", ">>", "｜").
int stripQuote(QString &line)
{
    int depth = 0;
    qsizetype i = 0;
    while (i < line.size()) {
        const QChar c = line[i];
        if (c == u'>' || c == u'＞' || c == u'|' || c == u'｜') {
            ++depth;
            ++i;
        } else if (c == u' ' && depth > 0) {
            ++i;
        } else {
            break;
        }
    }
    // A lone ">" that starts "> 10:00" is as much a quote as any.
    if (depth > 0)
        line = line.mid(i);
    return depth;
}

QStringList csvCells(const QString &line)
{
    QStringList cells;
    QString cur;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
                cur += c;
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == u',' && !quoted) {
            cells << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    cells << cur;
    return cells;
}

// Is a spreadsheet cell a column heading (a label alone)?
bool isHeadingCell(const QString &cell)
{
    const QString key = keyOf(FoldForNumbers(vuzo::TrimBlanksAndControls(cell)));
    if (key.isEmpty())
        return false;
    const LabelMatch m = labelAt(key, skipDecoration(key, 0));
    if (m.matched && m.valueStart >= key.size())
        return true;
    qsizetype len = 0;
    const Role r = roleWordAt(key, len);
    return r != Role::None && len == key.size();
}

// Splits a line of a side-by-side transcription at the run of blanks that
// ends nearest to the boundary column; a line without such a run belongs to
// the side it starts in.
void splitAtColumn(const QString &line, int boundary, QString &left, QString &right)
{
    left.clear();
    right.clear();
    int column = 0;
    int bestDistance = 9;
    qsizetype bestStart = -1;
    qsizetype bestEnd = -1;
    int firstColumn = -1;
    qsizetype i = 0;
    while (i < line.size()) {
        if (vuzo::IsWordBlank(line[i])) {
            qsizetype j = i;
            int c = column;
            while (j < line.size() && vuzo::IsWordBlank(line[j])) {
                c += line[j] == u'\t' ? 8 - c % 8 : vuzo::DisplayColumns(line[j]);
                ++j;
            }
            if (firstColumn >= 0 && j < line.size() && std::abs(c - boundary) < bestDistance) {
                bestDistance = std::abs(c - boundary);
                bestStart = i;
                bestEnd = j;
            }
            column = c;
            i = j;
        } else {
            if (firstColumn < 0)
                firstColumn = column;
            column += vuzo::DisplayColumns(line[i]);
            ++i;
        }
    }
    if (bestEnd >= 0) {
        left = line.left(bestStart);
        right = line.mid(bestEnd);
    } else if (firstColumn >= boundary - 4) {
        right = line;
    } else {
        left = line;
    }
}

// "5-20-3 Sakae, Naka-ku, Nagoya, Aichi": an address in Western order has a
// blank after each of its commas, a spreadsheet row's cells do not.
bool isWesternAddressLine(const QString &line)
{
    for (qsizetype i = line.indexOf(u','); i >= 0; i = line.indexOf(u',', i + 1)) {
        if (i + 1 >= line.size() || !vuzo::IsWordBlank(line[i + 1]))
            return false;
    }
    return !line.contains(u'"');
}

struct TwoColumns
{
    int recipientColumn = -1;
    QList<QPair<int, Role>> columns; // start column and role of each heading cell
};

// A border line of a drawn table ("+----+----+", "|----|", "├──┼──┤"): no
// content, and no break between the rows it separates.
bool isTableRule(QStringView line)
{
    static const QString rules = u"+-=|｜│─━┼├┤┌┐└┘┬┴╋┣┫┏┓┗┛┳┻ \t"_s;
    const qsizetype first = std::find_if_not(line.begin(), line.end(), vuzo::IsWordBlank) - line.begin();
    if (first >= line.size() || !rules.contains(line[first]))
        return false;
    bool junction = false;
    bool any = false;
    for (QChar c : line) {
        if (!rules.contains(c) && !vuzo::IsWordBlank(c))
            return false;
        if (c == u'+' || c == u'|' || c == u'｜' || c == u'│' || (c.unicode() >= 0x2500 && c != u'─' && c != u'━'))
            junction = true;
        any = any || !vuzo::IsWordBlank(c);
    }
    return any && junction;
}

bool isBorder(QChar c)
{
    return c == u'|' || c == u'｜' || c == u'│' || c == u'┃';
}

// A row of a drawn table ("| 住所 | 東京都… |") as the line the transfer reads:
// a label cell and its value as "label：value", more cells as a tab row.
// Returns false for a line that is no such row (a quote mark "| " of a reply
// has no closing border).
bool tableRow(const QString &line, QString &out)
{
    const QString t = vuzo::TrimBlanksAndControls(line);
    if (t.size() < 3 || !isBorder(t.front()) || !isBorder(t.back()))
        return false;
    QStringList cells;
    QString cur;
    for (qsizetype i = 1; i + 1 < t.size(); ++i) {
        if (isBorder(t[i])) {
            cells << vuzo::TrimBlanksAndControls(cur);
            cur.clear();
        } else {
            cur += t[i];
        }
    }
    cells << vuzo::TrimBlanksAndControls(cur);
    cells.removeAll(QString());
    if (cells.isEmpty())
        out.clear();
    else if (cells.size() == 2 && isHeadingCell(cells[0]))
        out = cells[0] + u'：' + cells[1];
    else
        out = cells.join(u'\t');
    return true;
}

// Cells of a tab-separated row, a cell in double quotes keeping its tabs,
// line breaks and doubled quotes as a spreadsheet copies them.
QStringList tabCells(const QString &line)
{
    QStringList cells;
    QString cur;
    bool quoted = false;
    bool cellStart = true;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'"' && (quoted || cellStart)) {
            if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
                cur += c;
                ++i;
            } else {
                quoted = !quoted;
            }
            cellStart = false;
        } else if (c == u'\t' && !quoted) {
            cells << cur;
            cur.clear();
            cellStart = true;
        } else {
            cur += c;
            cellStart = cellStart && vuzo::IsWordBlank(c);
        }
    }
    cells << cur;
    return cells;
}

// A cell that opens a double quote it does not close: its text goes on over
// the next lines.
bool opensQuotedCell(const QString &line)
{
    bool quoted = false;
    bool cellStart = true;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'"' && (quoted || cellStart)) {
            if (quoted && i + 1 < line.size() && line[i + 1] == u'"')
                ++i;
            else
                quoted = !quoted;
            cellStart = false;
        } else if (c == u'\t' && !quoted) {
            cellStart = true;
        } else if (!vuzo::IsWordBlank(c)) {
            cellStart = false;
        }
    }
    return quoted;
}

// "14:03", "2024/09/04 21:02", "10/02(水)": a time stamp of a chat.
bool isTimeStamp(QStringView fold)
{
    const QStringView t = QStringView(fold).trimmed();
    if (t.isEmpty() || !vuzo::IsAsciiDigit(t.front()))
        return false;
    static const QString allowed = u"0123456789:/-.()年月日火水木金土曜午前後 "_s;
    bool mark = false;
    for (QChar c : t) {
        if (!allowed.contains(c) && !vuzo::IsWordBlank(c) && c != u'a' && c != u'p' && c != u'm' && c != u'A' &&
            c != u'P' && c != u'M')
            return false;
        mark = mark || c == u':' || c == u'/';
    }
    return mark;
}

// A line a chat export adds around the messages: the export's title, a date,
// or a speaker with the time ("[出品者] 2024/09/04 21:02").
bool isChatHeader(const QString &raw)
{
    const QString trimmed = vuzo::TrimBlanksAndControls(raw);
    if (trimmed.isEmpty() || (!trimmed.front().isDigit() && trimmed.front() != u'[' && trimmed.front() != u'【' &&
                              !trimmed.contains(u"トーク")))
        return false;
    const QString fold = FoldForNumbers(trimmed);
    if (fold.contains(u"トーク") && (fold.contains(u"履歴") || fold.contains(u"コピー") || fold.contains(u"保存")))
        return true;
    QStringView rest(fold);
    if (rest.startsWith(u'[') || rest.startsWith(u'【')) {
        const qsizetype close = rest.indexOf(rest.front() == u'[' ? u']' : u'】');
        if (close < 0 || close > 12)
            return false;
        rest = rest.mid(close + 1);
    }
    return isTimeStamp(rest);
}

} // namespace

Item makeItem(const QString &raw, int quote)
{
    Item it;
    // Half-width katakana ("ｱﾊﾟｰﾄ富山 203号") is read and written as full
    // width, so its building words are found and the fields get one width.
    it.raw = KatakanaToFullWidth(vuzo::TrimBlanksAndControls(withoutLoneSurrogates(raw)));
    it.fold = FoldForNumbers(it.raw);
    it.key = keyOf(it.fold);
    it.quote = quote;
    it.blank = it.raw.isEmpty();
    it.separator = !it.blank && (isSeparatorLine(it.fold) || isForwardMarker(it.key));
    return it;
}

Parsed parse(const Item &it)
{
    Parsed p;
    const QStringView key(it.key);
    const qsizetype start = skipDecoration(key, 0);
    // Mail header lines carry addresses of mailboxes, never of the customer.
    if (key.contains(u'@') || key.contains(u"http://") || key.contains(u"https://") || key.contains(u"www.")) {
        const LabelMatch lm = labelAt(key, start);
        qsizetype rl = 0;
        const Role r = roleWordAt(key.mid(start), rl);
        if ((lm.matched && (lm.label == Label::Drop || lm.label == Label::None)) || r != Role::None || !lm.matched) {
            p.label = Label::Drop;
            // A web or mail address inside a data line is cut out later; a line
            // that is only a mail header or an address is dropped.
            if (lm.matched && isDataLabel(lm.label)) {
                p.label = lm.label;
                p.valueStart = lm.valueStart;
            }
            return p;
        }
    }
    qsizetype roleLength = 0;
    const Role role = roleWordAt(key.mid(start), roleLength);
    if (role != Role::None) {
        qsizetype q = start + roleLength;
        // "お届け先様のお名前", "配送先 電話番号", "ご依頼主・住所"
        qsizetype r = q;
        while (r < key.size() && (key[r] == u'様' || key[r] == u'の' || key[r] == u'・' || key[r] == u'/' ||
                                  vuzo::IsWordBlank(key[r]) || key[r] == u'ご' || key[r] == u'お'))
            ++r;
        // The polite prefix belongs to the label: step back over it.
        while (r > q && (key[r - 1] == u'ご' || key[r - 1] == u'お'))
            --r;
        const LabelMatch lm = labelAt(key, r);
        if (lm.matched && lm.label != Label::Drop) {
            p.role = role;
            p.label = lm.label;
            p.valueStart = lm.valueStart;
            if (p.valueStart >= key.size())
                p.heading = true; // "お届け先お名前:" with the value on the next line
            p.sameAs = isSameAs(key.mid(p.valueStart));
            return p;
        }
        if (!lm.matched) {
            const QStringView rest = key.mid(q);
            if (isHeadingRest(rest)) {
                p.role = role;
                p.heading = true;
                return p;
            }
            qsizetype v = q;
            bool separated = false;
            while (v < key.size() && isValueSeparator(key[v])) {
                separated = true;
                ++v;
            }
            if (separated) {
                p.role = role;
                p.valueStart = v;
                p.sameAs = isSameAs(key.mid(v));
                return p;
            }
        }
    }
    // "ギフトのお届け先", "今回の送り先": a role word at the end of a short heading.
    if (key.size() - start <= 16 && !std::any_of(key.begin(), key.end(), vuzo::IsAsciiDigit)) {
        for (qsizetype at = start + 1; at < key.size(); ++at) {
            qsizetype len = 0;
            const Role r = roleWordAt(key.mid(at), len);
            if (r != Role::None && isHeadingRest(key.mid(at + len)) && !key.mid(start, at - start).contains(u':')) {
                p.role = r;
                p.heading = true;
                return p;
            }
        }
    }
    // Headings of blocks without the customer's address.
    if (isOtherHeading(key, start)) {
        p.heading = true;
        p.otherHeading = true;
        return p;
    }
    const LabelMatch lm = labelAt(key, start);
    if (lm.matched) {
        p.label = lm.label;
        p.valueStart = lm.valueStart;
        // A bilingual form names the field twice: "Name / お名前:", "住所 Address:".
        for (int again = 0; again < 2; ++again) {
            const LabelMatch next = labelAt(key, skipDecoration(key, p.valueStart));
            if (!next.matched || next.label != lm.label || next.valueStart <= p.valueStart)
                break;
            p.valueStart = next.valueStart;
        }
        if (stripDecoration(key.mid(lm.valueStart)).isEmpty())
            p.heading = true;
        return p;
    }
    p.valueStart = start;
    return p;
}

QList<Item> itemsOf(const QString &text)
{
    QList<Item> items;
    items.reserve(std::min<qsizetype>(text.count(u'\n') + 1, kSmartMaxLines));
    qsizetype pos = 0;
    const qsizetype n = text.size();
    QStringList headingRow;
    std::optional<TwoColumns> twoColumns;
    while (pos <= n && items.size() < kSmartMaxLines) {
        qsizetype e = pos;
        while (e < n && text[e] != u'\n' && text[e] != u'\r')
            ++e;
        QString line = text.mid(pos, std::min(e - pos, kSmartMaxLineLength));
        if (e < n && text[e] == u'\r' && e + 1 < n && text[e + 1] == u'\n')
            ++e;
        pos = e + 1;
        // A drawn table: its rules vanish, its rows become labelled lines.
        if (isTableRule(line))
            continue;
        if (QString row; tableRow(line, row))
            line = row;
        const int quote = stripQuote(line);
        // A quoted cell of a chat export or a spreadsheet goes on over the
        // next lines: read them as part of it.
        for (int more = 0; more < 50 && pos <= n && line.contains(u'\t') && opensQuotedCell(line); ++more) {
            qsizetype e2 = pos;
            while (e2 < n && text[e2] != u'\n' && text[e2] != u'\r')
                ++e2;
            line += u'\n' + text.mid(pos, std::min(e2 - pos, kSmartMaxLineLength));
            if (e2 < n && text[e2] == u'\r' && e2 + 1 < n && text[e2 + 1] == u'\n')
                ++e2;
            pos = e2 + 1;
        }
        if (isChatHeader(line)) {
            items.append(makeItem(QString(), quote));
            continue;
        }

        // A fax or form with the orderer and the recipient side by side.
        const QList<Cell> cells = cellsOf(line);
        if (cells.size() >= 2) {
            QList<QPair<int, Role>> roles;
            for (const Cell &c : cells) {
                const QString key = keyOf(FoldForNumbers(c.text));
                qsizetype len = 0;
                const Role r = roleWordAt(key.mid(skipDecoration(key, 0)), len);
                if (r != Role::None && isHeadingRest(QStringView(key).mid(skipDecoration(key, 0) + len)))
                    roles.append({c.column, r});
            }
            const bool both =
                std::any_of(roles.begin(), roles.end(), [](auto &r) { return r.second == Role::Recipient; }) &&
                std::any_of(roles.begin(), roles.end(), [](auto &r) { return r.second == Role::Orderer; });
            if (both) {
                twoColumns = TwoColumns{};
                twoColumns->columns = roles;
                continue;
            }
        }
        if (twoColumns) {
            if (vuzo::TrimBlanksAndControls(line).isEmpty() || isSeparatorLine(FoldForNumbers(line))) {
                twoColumns.reset();
            } else {
                auto columns = twoColumns->columns;
                std::sort(columns.begin(), columns.end());
                const int firstColumn = columns.first().first;
                const int boundary = columns.last().first;
                // A row label at the left ("お名前", "ご住所") is blanked out so
                // the columns stay where they are, and prefixed to both sides.
                QString label;
                QString rest = line;
                if (!cells.isEmpty() && cells.first().column + 2 < firstColumn && isHeadingCell(cells.first().text)) {
                    label = cells.first().text;
                    const qsizetype at = rest.indexOf(label);
                    for (qsizetype k = at; k < at + label.size(); ++k)
                        rest[k] = vuzo::DisplayColumns(rest[k]) == 2 ? QChar(vuzo::kIdeographicSpace) : QChar(u' ');
                }
                QString left;
                QString right;
                splitAtColumn(rest, boundary, left, right);
                const QList<QPair<QString, Role>> sides = {{left, columns.first().second},
                                                           {right, columns.last().second}};
                for (const auto &side : sides) {
                    const QString t = vuzo::TrimBlanksAndControls(side.first);
                    if (t.isEmpty())
                        continue;
                    Item it = makeItem(label.isEmpty() ? t : label + u'：' + t, quote);
                    it.forced = side.second;
                    items.append(std::move(it));
                }
                continue;
            }
        }

        // Spreadsheet rows: tab or comma separated cells.
        QStringList parts;
        if (line.contains(u'\t'))
            parts = tabCells(line);
        // A chat export's row: time, speaker, message. The message is read
        // as lines of its own; the time and the speaker are no data.
        if (parts.size() >= 2 && parts[0].contains(u':') && isTimeStamp(FoldForNumbers(parts[0]))) {
            const QStringList message = parts.mid(parts.size() >= 3 ? 2 : 1).join(u'\t').split(u'\n');
            for (const QString &m : message)
                items.append(makeItem(m, quote));
            items.append(makeItem(QString(), quote));
            continue;
        } else if (line.count(u',') >= 3 && !line.contains(u'。') && !isWesternAddressLine(line))
            parts = csvCells(line);
        if (parts.size() >= 2) {
            int headings = 0;
            int nonEmpty = 0;
            for (const QString &c : std::as_const(parts)) {
                if (!vuzo::TrimBlanksAndControls(c).isEmpty()) {
                    ++nonEmpty;
                    headings += isHeadingCell(c) ? 1 : 0;
                }
            }
            if (headings >= 2 && headings * 2 >= nonEmpty) {
                headingRow = parts;
                continue;
            }
            for (qsizetype k = 0; k < parts.size(); ++k) {
                const QString cell = vuzo::TrimBlanksAndControls(parts[k]);
                if (cell.isEmpty())
                    continue;
                const bool labelled =
                    headingRow.size() == parts.size() && !vuzo::TrimBlanksAndControls(headingRow[k]).isEmpty();
                // A cell written over several lines gives one item a line.
                const QStringList cellLines = cell.split(u'\n');
                for (qsizetype l = 0; l < cellLines.size(); ++l) {
                    const QString part = vuzo::TrimBlanksAndControls(cellLines[l]);
                    if (part.isEmpty())
                        continue;
                    Item it = makeItem(
                        labelled && l == 0 ? vuzo::TrimBlanksAndControls(headingRow[k]) + u'：' + part : part, quote);
                    it.cell = true;
                    items.append(std::move(it));
                }
            }
            // One row is one customer.
            items.append(makeItem(QString(), quote));
            continue;
        }
        items.append(makeItem(line, quote));
    }
    return items;
}

bool isSignatureBlock(const QList<const Item *> &block)
{
    bool signature = false;
    for (const Item *it : block) {
        const QStringView k(it->key);
        if (hasSignatureWord(k))
            signature = true;
        qsizetype len = 0;
        if (roleWordAt(k.mid(skipDecoration(k, 0)), len) != Role::None)
            return false;
        if (labelAt(k, skipDecoration(k, 0)).label == Label::Name)
            return false;
    }
    return signature;
}

} // namespace transfer::smart
