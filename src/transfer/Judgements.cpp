#include "transfer/Judgements.h"

#include "platform/JapaneseText.h"
#include "platform/TextUtil.h"

#include <QStringView>

#include <climits>

using namespace Qt::StringLiterals;

namespace transfer {

const QStringList &DigitClassCharacters()
{
    static const QStringList list = {
        u"0"_s,  u"1"_s,  u"2"_s,  u"3"_s,  u"4"_s,  u"5"_s,  u"6"_s,  u"7"_s,  u"8"_s,  u"9"_s,  u"-"_s,
        u"０"_s, u"１"_s, u"２"_s, u"３"_s, u"４"_s, u"５"_s, u"６"_s, u"７"_s, u"８"_s, u"９"_s, u"－"_s,
    };
    return list;
}

const QStringList &EmailMarkers()
{
    static const QStringList list = {
        u"@"_s, u".com"_s, u".jp"_s, u".co"_s, u".org"_s, u".ne"_s, u".net"_s,
    };
    return list;
}

const QStringList &PrefectureNames()
{
    return vuzo::PrefectureNameList();
}

const QStringList &AddressKeywords()
{
    static const QStringList list = [] {
        QStringList words = DigitClassCharacters();
        // The half-width katakana words carry their voiced-sound marks as
        // separate characters, as half-width text always does.
        words << u"北海道"_s << u"都"_s << u"県"_s << u"府"_s << u"市"_s << u"区"_s << u"町"_s << u"村"_s << u"字"_s
              << u"番地"_s << u"丁目"_s << u"階"_s << u"号"_s << u"F"_s << u"Ｆ"_s << u"郵便局"_s << u"局留"_s
              << u"局止"_s << u"ビル"_s << u"ﾋﾞﾙ"_s << u"メゾン"_s << u"ﾒｿﾞﾝ"_s << u"マンション"_s << u"ﾏﾝｼｮﾝ"_s
              << u"ハイツ"_s << u"ﾊｲﾂ"_s << u"コーポ"_s << u"ｺｰﾎﾟ"_s << u"カーサ"_s << u"ｶｰｻ"_s << u"小学校"_s
              << u"中学"_s << u"中学校"_s << u"高校"_s << u"高等学校"_s;
        return words;
    }();
    return list;
}

int CountOccurrences(const QString &text, const QString &keyword)
{
    const qsizetype k = keyword.size();
    if (k == 0)
        return 0;
    // Each search starts after the previous match, so matches never overlap
    // and the text is walked once per keyword.
    int count = 0;
    qsizetype from = 0;
    const QStringView haystack(text);
    while (from <= haystack.size() - k) {
        const qsizetype at = haystack.indexOf(QStringView(keyword), from, Qt::CaseSensitive);
        if (at < 0)
            break;
        ++count;
        from = at + k;
    }
    return count;
}

namespace {

int SumOfCounts(const QString &text, const QStringList &keywords)
{
    // Keywords may count the same stretch more than once; the sum saturates
    // instead of wrapping on an absurdly long text.
    qint64 sum = 0;
    for (const QString &keyword : keywords)
        sum += CountOccurrences(text, keyword);
    return sum > INT_MAX ? INT_MAX : static_cast<int>(sum);
}

bool IsDigitClass(QChar c)
{
    return vuzo::IsAsciiDigit(c) || c == u'-' || vuzo::IsFullWidthDigit(c) || c == u'－';
}

} // namespace

int EmailMarkerCount(const QString &text)
{
    return SumOfCounts(text, EmailMarkers());
}

QString ZipTelVerdict(const QString &text)
{
    const qsizetype n = vuzo::Trim(text).size();
    // The sum of the 22 one-character counts is the number of digit-class
    // characters; blanks trimmed off the ends are never among them.
    qsizetype d = 0;
    for (const QChar c : text)
        if (IsDigitClass(c))
            ++d;
    const qsizetype o = n - d;
    if (n == 8 && o == 0)
        return QString::fromUtf16(kVerdictZip);
    if (n >= 10 && o <= 1)
        return QString::fromUtf16(kVerdictTel);
    if (n >= 10 && o >= 3)
        return QString::fromUtf16(kVerdictAddress);
    return QString::fromUtf16(kVerdictUndetermined);
}

bool IsPrefecture(const QString &text)
{
    return vuzo::IsPrefectureName(text);
}

QString PrefectureLabel(const QString &text)
{
    return IsPrefecture(text) ? u"0"_s : u"xxxx"_s;
}

int AddressScore(const QString &text)
{
    return SumOfCounts(vuzo::Trim(text), AddressKeywords());
}

} // namespace transfer
