#include "transfer/PhoneNumbers.h"

#include "platform/JapaneseText.h"

#include <algorithm>
#include <iterator>

namespace transfer {

namespace {

// A dash written for a hyphen, or a horizontal box-drawing line (─ ━) that
// stands for one between digits.
bool isDash(char16_t u)
{
    return vuzo::IsHyphenLike(u) || u == 0x2500 || u == 0x2501;
}

// Area codes by prefix, longest prefix first when looked up. Fixed-line codes
// of three digits, the four-digit codes that share their first three digits
// with them, the two-digit codes inside 04 and the five-digit codes. A fixed
// number whose prefix is not listed has a four-digit code, which is what most
// of the country's smaller towns have.
constexpr const char16_t *kTwoDigit[] = {u"03", u"06"};
constexpr const char16_t *kTwoDigitIn04[] = {u"0429", u"0470", u"0471"};
constexpr const char16_t *kThreeDigit[] = {
    u"011", u"017", u"018", u"019", u"022", u"023", u"024", u"025", u"026", u"027", u"028", u"029", u"042", u"043",
    u"044", u"045", u"046", u"047", u"048", u"049", u"052", u"053", u"054", u"055", u"058", u"059", u"072", u"073",
    u"075", u"076", u"077", u"078", u"079", u"082", u"083", u"084", u"086", u"087", u"088", u"089", u"092", u"093",
    u"095", u"096", u"097", u"098", u"099", u"020", u"050", u"060", u"070", u"080", u"090", u"010"};
constexpr const char16_t *kFourDigit[] = {
    u"0172", u"0173", u"0174", u"0175", u"0176", u"0178", u"0179", u"0182", u"0183", u"0184", u"0185", u"0186", u"0187",
    u"0191", u"0192", u"0193", u"0194", u"0195", u"0197", u"0198", u"0220", u"0223", u"0224", u"0225", u"0226", u"0228",
    u"0229", u"0233", u"0234", u"0235", u"0237", u"0238", u"0240", u"0241", u"0242", u"0243", u"0244", u"0246", u"0247",
    u"0248", u"0250", u"0254", u"0255", u"0256", u"0257", u"0258", u"0259", u"0260", u"0261", u"0263", u"0264", u"0265",
    u"0266", u"0267", u"0268", u"0269", u"0270", u"0274", u"0276", u"0277", u"0278", u"0279", u"0280", u"0282", u"0283",
    u"0284", u"0285", u"0287", u"0288", u"0289", u"0291", u"0293", u"0294", u"0295", u"0296", u"0297", u"0299", u"0422",
    u"0428", u"0436", u"0438", u"0439", u"0460", u"0463", u"0465", u"0466", u"0467", u"0475", u"0476", u"0478", u"0479",
    u"0480", u"0493", u"0494", u"0495", u"0531", u"0532", u"0533", u"0536", u"0537", u"0538", u"0539", u"0544", u"0545",
    u"0547", u"0548", u"0550", u"0551", u"0553", u"0554", u"0555", u"0556", u"0557", u"0558", u"0561", u"0562", u"0563",
    u"0564", u"0565", u"0566", u"0567", u"0568", u"0569", u"0572", u"0573", u"0574", u"0575", u"0576", u"0577", u"0578",
    u"0581", u"0584", u"0585", u"0586", u"0587", u"0594", u"0595", u"0596", u"0597", u"0598", u"0599", u"0721", u"0725",
    u"0735", u"0736", u"0737", u"0738", u"0739", u"0740", u"0742", u"0743", u"0744", u"0745", u"0746", u"0747", u"0748",
    u"0749", u"0761", u"0763", u"0765", u"0766", u"0767", u"0768", u"0770", u"0771", u"0772", u"0773", u"0774", u"0776",
    u"0778", u"0779", u"0790", u"0791", u"0794", u"0795", u"0796", u"0797", u"0798", u"0799", u"0820", u"0823", u"0824",
    u"0826", u"0827", u"0829", u"0833", u"0834", u"0835", u"0836", u"0837", u"0838", u"0845", u"0846", u"0847", u"0848",
    u"0849", u"0852", u"0853", u"0854", u"0855", u"0856", u"0857", u"0858", u"0859", u"0863", u"0865", u"0866", u"0867",
    u"0868", u"0869", u"0875", u"0877", u"0879", u"0880", u"0883", u"0884", u"0885", u"0887", u"0889", u"0892", u"0893",
    u"0894", u"0895", u"0896", u"0897", u"0898", u"0920", u"0930", u"0940", u"0942", u"0943", u"0944", u"0946", u"0947",
    u"0948", u"0949", u"0950", u"0952", u"0954", u"0955", u"0956", u"0957", u"0959", u"0964", u"0965", u"0966", u"0967",
    u"0968", u"0969", u"0972", u"0973", u"0974", u"0977", u"0978", u"0979", u"0980", u"0982", u"0983", u"0984", u"0985",
    u"0986", u"0987", u"0993", u"0994", u"0995", u"0996", u"0997"};
constexpr const char16_t *kFiveDigit[] = {
    u"01267", u"01372", u"01374", u"01377", u"01392", u"01397", u"01398", u"01456", u"01457", u"01466",
    u"01547", u"01558", u"01564", u"01586", u"01587", u"01632", u"01634", u"01635", u"01648", u"01654",
    u"01655", u"01656", u"01658", u"04992", u"04994", u"04996", u"04998", u"05769", u"05979", u"07468",
    u"08387", u"08388", u"08396", u"08477", u"08512", u"08514", u"09496", u"09802"};
// Four-digit service prefixes with their own grouping.
constexpr const char16_t *kService[] = {u"0120", u"0800", u"0570", u"0180"};

template <std::size_t N> bool hasPrefix(QStringView digits, const char16_t *const (&table)[N])
{
    return std::any_of(std::begin(table), std::end(table),
                       [&](const char16_t *p) { return digits.startsWith(QStringView(p)); });
}

// A kanji digit, or the circle people write for 〇 among them.
int kanjiDigit(QChar c)
{
    return c == u'○' ? 0 : vuzo::KanjiDigitValue(c);
}

// Kanji digits written for a postal code or a telephone number ("六三〇‐八二一五",
// "〇七四二‐五五‐〇三六一") become ASCII digits: a run of them, dashes or
// single blanks between, with seven digits or more. Shorter runs are the
// numbers of an address ("二丁目") or of a name and stay. A ・ between the
// groups reads as a hyphen.
void foldKanjiDigitRuns(QString &out)
{
    const qsizetype n = out.size();
    qsizetype i = 0;
    while (i < n) {
        if (kanjiDigit(out[i]) < 0) {
            ++i;
            continue;
        }
        qsizetype e = i;
        qsizetype lastDigit = i;
        int digits = 0;
        int nonZero = 0;
        while (e < n) {
            if (kanjiDigit(out[e]) >= 0) {
                ++digits;
                nonZero += kanjiDigit(out[e]) > 0 ? 1 : 0;
                lastDigit = e;
                ++e;
            } else if ((isDash(out[e].unicode()) || out[e] == u'-' || out[e] == u' ' || out[e] == u'・') && e + 1 < n &&
                       kanjiDigit(out[e + 1]) >= 0) {
                ++e;
            } else {
                break;
            }
        }
        // 十 or a digit glued on either side makes it a counted number.
        const bool glued = (i > 0 && (out[i - 1] == u'十' || vuzo::IsAsciiDigit(out[i - 1]))) ||
                           (lastDigit + 1 < n && out[lastDigit + 1] == u'十');
        // "〒○○○-○○○○" hides a code; it is none.
        if (digits >= 7 && nonZero >= 2 && !glued) {
            for (qsizetype k = i; k <= lastDigit; ++k) {
                if (const int v = kanjiDigit(out[k]); v >= 0)
                    out[k] = QChar(u'0' + v);
                else if (out[k] == u'・')
                    out[k] = u'-';
            }
        }
        i = lastDigit + 1;
    }
}

} // namespace

QString FoldForNumbers(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        char16_t f = u;
        if (vuzo::IsFullWidthAscii(u))
            f = vuzo::AsciiOfFullWidth(u);
        else if (vuzo::IsIdeographicSpace(u))
            f = u' ';
        out[i] = QChar(f);
    }
    foldKanjiDigitRuns(out);
    // A dash counts as a hyphen only between digits (or after a digit before a
    // blank and a digit), so ハイツ and ━━━ keep their marks.
    for (qsizetype i = 1; i + 1 < out.size(); ++i) {
        if (!isDash(out[i].unicode()) || !vuzo::IsAsciiDigit(out[i - 1]))
            continue;
        if (vuzo::IsAsciiDigit(out[i + 1]))
            out[i] = u'-';
    }
    for (qsizetype i = 0; i + 1 < out.size(); ++i) {
        // 〒 followed by a dash-like mark ("〒ー123") and dashes before a digit
        // after a bracket: "(03)ー1234" are rare enough to leave.
        if (out[i] == u'〒' && isDash(out[i + 1].unicode()))
            out[i + 1] = u' ';
    }
    return out;
}

int AreaCodeLength(QStringView digits)
{
    if (hasPrefix(digits, kService))
        return 4;
    if (hasPrefix(digits, kFiveDigit))
        return 5;
    if (hasPrefix(digits, kTwoDigitIn04))
        return 2;
    if (hasPrefix(digits, kFourDigit))
        return 4;
    if (hasPrefix(digits, kThreeDigit))
        return 3;
    if (hasPrefix(digits, kTwoDigit))
        return 2;
    return 4;
}

QString FormatPhoneDigits(const QString &input)
{
    QString digits = input;
    if (digits.isEmpty() || digits.size() > 11)
        return QString();
    if (digits.front() != u'0') {
        // A spreadsheet keeps numbers, not texts: 9012345678 was 090-1234-5678
        // and 312345678 was 03-1234-5678.
        const bool mobile =
            digits.size() == 10 && (digits.startsWith(u"90") || digits.startsWith(u"80") || digits.startsWith(u"70") ||
                                    digits.startsWith(u"50") || digits.startsWith(u"20"));
        if (digits.size() == 9 || mobile)
            digits.prepend(u'0');
        else
            return QString();
    }
    if (digits.size() < 10 || digits.startsWith(u"00"))
        return QString();
    const QStringView d(digits);
    if (d.startsWith(u"0120") || d.startsWith(u"0570") || d.startsWith(u"0180")) {
        if (digits.size() != 10)
            return QString();
        return digits.left(4) + u'-' + digits.mid(4, 3) + u'-' + digits.mid(7);
    }
    if (d.startsWith(u"0800")) {
        if (digits.size() != 11)
            return QString();
        return digits.left(4) + u'-' + digits.mid(4, 3) + u'-' + digits.mid(7);
    }
    const bool elevenDigits = d.startsWith(u"090") || d.startsWith(u"080") || d.startsWith(u"070") ||
                              d.startsWith(u"050") || d.startsWith(u"020") || d.startsWith(u"060");
    if (elevenDigits) {
        if (digits.size() != 11)
            return QString();
        return digits.left(3) + u'-' + digits.mid(3, 4) + u'-' + digits.mid(7);
    }
    if (digits.size() != 10)
        return QString();
    const int area = AreaCodeLength(d);
    return digits.left(area) + u'-' + digits.mid(area, 6 - area) + u'-' + digits.mid(6);
}

QString FormatPostalDigits(const QString &digits)
{
    if (digits.size() != 7 || !std::all_of(digits.begin(), digits.end(), vuzo::IsAsciiDigit))
        return QString();
    return digits.left(3) + u'-' + digits.mid(3);
}

namespace {

struct Group
{
    qsizetype start = 0;
    qsizetype end = 0;
    QChar sepBefore; // the separator between this group and the one before ('\0' for the first)
};

bool isJoiner(QChar c)
{
    return c == u'-' || c == u' ' || c == u'.' || c == u'(' || c == u')' || c == u'~';
}

bool phoneLike(const QString &digits, NumberContext context)
{
    if (digits.front() == u'0')
        return digits.size() == 10 || digits.size() == 11;
    if (context == NumberContext::PhoneField || context == NumberContext::Cell)
        return !FormatPhoneDigits(digits).isEmpty();
    return false;
}

} // namespace

QList<NumberMatch> FindNumbers(QStringView s, NumberContext context)
{
    QList<NumberMatch> found;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        if (!vuzo::IsAsciiDigit(s[i])) {
            ++i;
            continue;
        }
        // A run: digit groups joined by single separators ("(03) 1234" allows a
        // bracket and a blank together).
        const qsizetype runStart = i;
        QList<Group> groups;
        QChar sep;
        qsizetype j = i;
        while (j < n) {
            const qsizetype g = j;
            while (j < n && vuzo::IsAsciiDigit(s[j]))
                ++j;
            groups.append({g, j, sep});
            qsizetype k = j;
            int seps = 0;
            QChar lastSep;
            while (k < n && isJoiner(s[k]) && seps < 3) {
                if (!lastSep.isNull() && s[k] == lastSep && s[k] != u')')
                    break;
                lastSep = s[k];
                ++k;
                ++seps;
            }
            if (seps == 0 || k >= n || !vuzo::IsAsciiDigit(s[k]) || (seps > 1 && s[k - 1] == u'-' && s[k - 2] == u'-'))
                break;
            sep = lastSep;
            j = k;
        }
        i = groups.last().end;
        // A digit run glued to letters (order numbers, product codes) is no
        // postal code or number.
        // "TEL0196513111", "Fax:" without its colon: a number's own label is
        // no product code.
        const bool gluedBefore = [&] {
            if (runStart == 0 || !vuzo::IsAsciiLetter(s[runStart - 1]))
                return false;
            qsizetype b = runStart;
            while (b > 0 && vuzo::IsAsciiLetter(s[b - 1]))
                --b;
            const QString word = s.mid(b, runStart - b).toString().toLower();
            return word != u"tel" && word != u"fax" && word != u"phone" && word != u"mobile";
        }();
        if (gluedBefore)
            continue;
        bool plus81 = false;
        {
            qsizetype b = runStart;
            while (b > 0 && (s[b - 1] == u' ' || s[b - 1] == u'('))
                --b;
            plus81 = b > 0 && s[b - 1] == u'+';
        }
        const bool postalMark = [&] {
            qsizetype b = runStart;
            while (b > 0 && s[b - 1] == u' ')
                --b;
            return b > 0 && s[b - 1] == u'〒';
        }();

        qsizetype g = 0;
        while (g < groups.size()) {
            bool taken = false;
            // Longest telephone number first (up to five groups: +81 3 1234 5678).
            for (qsizetype count = std::min<qsizetype>(5, groups.size() - g); count >= 1 && !taken; --count) {
                QString digits;
                for (qsizetype k = g; k < g + count; ++k)
                    digits += s.mid(groups[k].start, groups[k].end - groups[k].start);
                if (g == 0 && plus81 && digits.startsWith(u"81")) {
                    digits = digits.mid(2);
                    if (!digits.startsWith(u'0'))
                        digits.prepend(u'0');
                }
                if (digits.size() > 11 || digits.size() < 7)
                    continue;
                // A postal code: 3 and 4 digits, or 7 digits in one group.
                const bool threeFour = count == 2 && groups[g].end - groups[g].start == 3 &&
                                       groups[g + 1].end - groups[g + 1].start == 4 &&
                                       (groups[g + 1].sepBefore == u'-' || groups[g + 1].sepBefore == u' ' ||
                                        groups[g + 1].sepBefore == u'.');
                const bool sevenAlone = count == 1 && digits.size() == 7;
                const bool mayBePostal =
                    threeFour || (sevenAlone && (postalMark || context != NumberContext::PhoneField));
                if (mayBePostal && !(g == 0 && plus81) && context != NumberContext::PhoneField) {
                    const bool lastGroup = g + count == groups.size();
                    // "123-4567" followed by more groups is part of something
                    // longer, unless it is followed by a telephone number.
                    if (lastGroup || threeFour || groups[g + count].sepBefore == u' ') {
                        NumberMatch m;
                        m.kind = NumberMatch::PostalCode;
                        m.start = groups[g].start;
                        m.end = groups[g + count - 1].end;
                        m.value = FormatPostalDigits(digits);
                        if (g == 0 && postalMark) {
                            m.start = runStart;
                            while (m.start > 0 && s[m.start - 1] == u' ')
                                --m.start;
                            --m.start;
                        }
                        found.append(m);
                        g += count;
                        taken = true;
                        break;
                    }
                }
                if (phoneLike(digits, context) && !(count == 1 && digits.size() == 7)) {
                    QString formatted = FormatPhoneDigits(digits);
                    // Three groups hyphenated by the writer, the first an area
                    // code of two to five digits, stay as written: the writer
                    // knows where the code of a small town ends.
                    if (count == 3 && !(g == 0 && plus81) && digits.front() == u'0') {
                        const qsizetype a = groups[g].end - groups[g].start;
                        const qsizetype b = groups[g + 1].end - groups[g + 1].start;
                        const qsizetype c = groups[g + 2].end - groups[g + 2].start;
                        const bool fixedLine = digits.size() == 10 && a >= 2 && a <= 5 && c == 4 && a + b == 6;
                        // "080-0000-4417" is a mobile whose writer knows it,
                        // though its digits begin as 0800 would.
                        const bool elevenDigits = digits.size() == 11 && a >= 3 && a <= 4 && c == 4 && a + b == 7;
                        if ((fixedLine || elevenDigits) && !formatted.isEmpty() && !digits.startsWith(u"0120") &&
                            !digits.startsWith(u"0570"))
                            formatted = QStringList{s.mid(groups[g].start, a).toString(),
                                                    s.mid(groups[g + 1].start, b).toString(),
                                                    s.mid(groups[g + 2].start, c).toString()}
                                            .join(u'-');
                    }
                    // "+81-80-0000-2931", "+81 (0)3-5555-1234": the groups after
                    // the country code (and its bracketed 0) as the writer set them.
                    if (g == 0 && plus81 && !formatted.isEmpty()) {
                        QStringList local;
                        for (qsizetype k = g + 1; k < g + count; ++k)
                            local << s.mid(groups[k].start, groups[k].end - groups[k].start).toString();
                        if (!local.isEmpty() && local.first() == u"0")
                            local.removeFirst();
                        if (local.size() == 3) {
                            if (!local.first().startsWith(u'0'))
                                local.first().prepend(u'0');
                            const qsizetype a = local[0].size();
                            const qsizetype b = local[1].size();
                            const bool fits = local[2].size() == 4 && ((digits.size() == 10 && a + b == 6 && a <= 5) ||
                                                                       (digits.size() == 11 && a + b == 7 && a <= 4));
                            if (fits && !digits.startsWith(u"0120") && !digits.startsWith(u"0570"))
                                formatted = local.join(u'-');
                        }
                    }
                    if (formatted.isEmpty())
                        continue;
                    NumberMatch m;
                    m.kind = NumberMatch::Phone;
                    m.start = groups[g].start;
                    m.end = groups[g + count - 1].end;
                    if (g == 0) {
                        while (m.start > 0 &&
                               (s[m.start - 1] == u'(' || s[m.start - 1] == u'+' || (plus81 && s[m.start - 1] == u' ')))
                            --m.start;
                    }
                    if (m.end < n && s[m.end] == u')')
                        ++m.end;
                    m.value = formatted;
                    found.append(m);
                    g += count;
                    taken = true;
                }
            }
            if (!taken) {
                // Six digits in a postal field: the spreadsheet dropped the 0 of
                // a Hokkaido code.
                const qsizetype len = groups[g].end - groups[g].start;
                if (groups.size() == 1 && len == 6 &&
                    (context == NumberContext::PostalField || context == NumberContext::Cell)) {
                    NumberMatch m;
                    m.kind = NumberMatch::PostalCode;
                    m.start = groups[g].start;
                    m.end = groups[g].end;
                    m.value = FormatPostalDigits(u'0' + s.mid(m.start, len).toString());
                    found.append(m);
                }
                ++g;
            }
        }
    }
    return found;
}

} // namespace transfer
