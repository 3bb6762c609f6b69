#include "orders/OrderNormalize.h"

#include "platform/JapaneseText.h"
#include "transfer/PhoneNumbers.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace orders {

namespace {

QString nfkc(const QString &s)
{
    return s.normalized(QString::NormalizationForm_KC);
}

// The runs of ASCII digits of folded text.
QStringList digitGroups(const QString &folded)
{
    QStringList groups;
    QString run;
    for (QChar c : folded) {
        if (vuzo::IsAsciiDigit(c)) {
            run.append(c);
        } else if (!run.isEmpty()) {
            groups.append(run);
            run.clear();
        }
    }
    if (!run.isEmpty())
        groups.append(run);
    return groups;
}

QString padLeft(const QString &digits, qsizetype width)
{
    return digits.size() >= width ? digits : QString(width - digits.size(), u'0') + digits;
}

} // namespace

QString FoldColumnName(const QString &name)
{
    const QString folded = nfkc(name).toLower();
    QString out;
    out.reserve(folded.size());
    for (QChar c : folded) {
        if (c.isSpace() || vuzo::IsSpaceOfEitherWidth(c))
            continue;
        switch (c.unicode()) {
        case u'(':
        case u')':
        case u'「':
        case u'」':
        case u'_':
        case u'-':
        case u'・':
        case u'･':
        case u':': continue;
        default: out.append(c);
        }
    }
    return out;
}

QString NormalizeName(const QString &family, const QString &given, const QString &full, bool givenNameFirst,
                      bool romanGivenFirst)
{
    // Each column's parts, blanks of either width and the honorific removed.
    const auto partsOf = [](const QString &text) {
        QStringList parts = vuzo::SplitAtWordBlanks(text);
        while (!parts.isEmpty() && (parts.last() == u"様"_s || parts.last() == u"さま"_s))
            parts.removeLast();
        if (!parts.isEmpty() && parts.last().size() > 1 && parts.last().endsWith(u'様'))
            parts.last().chop(1);
        return parts;
    };
    QStringList parts = partsOf(family) + partsOf(given);
    if (parts.isEmpty()) {
        parts = partsOf(full);
        const bool roman = std::all_of(full.cbegin(), full.cend(), [](QChar c) { return c.unicode() < 0x80; });
        if (parts.size() == 2 && (givenNameFirst || (romanGivenFirst && roman)))
            parts.swapItemsAt(0, 1);
    }
    return parts.join(u' ');
}

QString NormalizePhone(const QStringList &parts)
{
    QStringList groups;
    bool international = false;
    for (const QString &part : parts) {
        QString folded = transfer::FoldForNumbers(nfkc(part)).remove(u'\'').trimmed();
        if (groups.isEmpty() && folded.startsWith(u"+81"_s)) {
            international = true;
            folded = folded.mid(3);
            folded.remove(u"(0)"_s);
        }
        groups += digitGroups(folded);
    }
    if (groups.isEmpty()) {
        QStringList kept;
        for (const QString &part : parts) {
            if (!part.trimmed().isEmpty())
                kept.append(part.trimmed());
        }
        return kept.join(u'-');
    }
    QString digits = groups.join(QString());
    // +81 drops the trunk zero; a spreadsheet drops it from a number it took
    // for an integer. Either way the number has nine or ten digits left.
    if (!digits.startsWith(u'0') && (international || digits.size() == 9 || digits.size() == 10)) {
        digits.prepend(u'0');
        groups.first().prepend(u'0');
    }
    if (groups.size() > 1)
        return groups.join(u'-');
    const QString formatted = transfer::FormatPhoneDigits(digits);
    return formatted.isEmpty() ? digits : formatted;
}

QString NormalizeZip(const QString &first, const QString &second)
{
    // Shopify and spreadsheets write 「'0600001」 so that the zero stays.
    const QString a = transfer::FoldForNumbers(nfkc(first)).remove(u'〒').remove(u'\'').trimmed();
    const QString b = transfer::FoldForNumbers(nfkc(second)).remove(u'〒').remove(u'\'').trimmed();
    QStringList groups = digitGroups(a) + digitGroups(b);
    const QString rest = QString(a + b).remove(u'-').remove(u' ');
    bool onlyDigits = !rest.isEmpty();
    for (QChar c : rest)
        onlyDigits = onlyDigits && vuzo::IsAsciiDigit(c);
    if (onlyDigits) {
        if (groups.size() == 2 && groups[0].size() <= 3 && groups[1].size() <= 4)
            return padLeft(groups[0], 3) + u'-' + padLeft(groups[1], 4);
        if (groups.size() == 1 && (groups[0].size() == 7 || groups[0].size() == 6))
            return transfer::FormatPostalDigits(padLeft(groups[0], 7));
    }
    return second.trimmed().isEmpty() ? first.trimmed() : first.trimmed() + u'-' + second.trimmed();
}

std::optional<qint64> ParseYen(const QString &text)
{
    QString s = nfkc(text);
    s.remove(u','), s.remove(u'¥'), s.remove(u'\\'), s.remove(u'円'), s.remove(u' ');
    s = s.trimmed();
    if (s.endsWith(u"jpy"_s, Qt::CaseInsensitive))
        s.chop(3);
    if (const qsizetype dot = s.indexOf(u'.'); dot >= 0) {
        for (qsizetype i = dot + 1; i < s.size(); ++i) {
            if (s[i] != u'0')
                return std::nullopt;
        }
        s.truncate(dot);
    }
    if (s.isEmpty() || s.size() > 15)
        return std::nullopt;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (!vuzo::IsAsciiDigit(s[i]) && !(i == 0 && s[i] == u'-' && s.size() > 1))
            return std::nullopt;
    }
    return s.toLongLong();
}

int TaxClassOf(const QString &rate)
{
    const QString s = nfkc(rate).remove(u'%').remove(u' ').trimmed();
    if (s.contains(u"軽減"_s))
        return 1;
    bool ok = false;
    const double value = s.toDouble(&ok);
    return ok && (qFuzzyCompare(value, 8.0) || qFuzzyCompare(value, 0.08)) ? 1 : 0;
}

std::optional<bool> PricesIncludeTaxOf(const QString &kind)
{
    const QString s = nfkc(kind).trimmed();
    if (s == u"0"_s || s.contains(u"税込"_s) || s.contains(u"内税"_s))
        return true;
    if (s == u"1"_s || s.contains(u"税別"_s) || s.contains(u"外税"_s) || s.contains(u"税抜"_s))
        return false;
    return std::nullopt;
}

QString PrefectureOfCode(const QString &text)
{
    const QString s = nfkc(text).trimmed().toUpper();
    if (s.size() == 5 && s.startsWith(u"JP-"_s) && vuzo::IsAsciiDigit(s[3]) && vuzo::IsAsciiDigit(s[4])) {
        const int code = s.mid(3).toInt();
        const auto names = vuzo::PrefectureNames();
        if (code >= 1 && code <= int(names.size()))
            return QString::fromUtf16(names[size_t(code - 1)].data(), qsizetype(names[size_t(code - 1)].size()));
    }
    return text.trimmed();
}

QString JoinAddress(const QString &prefecture, const QString &city, const QString &street)
{
    const QString p = prefecture.trimmed(), c = city.trimmed(), s = street.trimmed();
    const QString all = p + c + s;
    if (std::all_of(all.begin(), all.end(), [](QChar ch) { return ch.unicode() < 0x80; })) {
        QStringList parts;
        for (const QString &part : {s, c, p}) {
            if (!part.isEmpty())
                parts << part;
        }
        return parts.join(u", "_s);
    }
    QString out = s;
    if (!c.isEmpty() && !out.startsWith(c))
        out = c + out;
    if (!p.isEmpty() && !out.startsWith(p))
        out = p + out;
    return out;
}

} // namespace orders
