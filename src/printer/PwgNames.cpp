#include "printer/PwgNames.h"

#include "printer/SystemPrinter.h"

#include <QHash>
#include <QRegularExpression>

#include <climits>

using namespace Qt::StringLiterals;

namespace vuzo {

namespace {

// Media are matched by their class and size ("iso_a5_148x210mm" gives
// "iso_a5"), so that variants with other suffixes map alike.
const QHash<QString, int> &PaperTable()
{
    static const QHash<QString, int> table = {
        {u"na_letter"_s, DMPAPER_LETTER},
        {u"na_ledger"_s, DMPAPER_TABLOID},
        {u"na_legal"_s, DMPAPER_LEGAL},
        {u"na_invoice"_s, DMPAPER_STATEMENT},
        {u"na_executive"_s, DMPAPER_EXECUTIVE},
        {u"iso_a3"_s, DMPAPER_A3},
        {u"iso_a4"_s, DMPAPER_A4},
        {u"iso_a5"_s, DMPAPER_A5},
        {u"jis_b4"_s, DMPAPER_B4},
        {u"jis_b5"_s, DMPAPER_B5},
        {u"na_foolscap"_s, DMPAPER_FOLIO},
        {u"na_10x14"_s, DMPAPER_10X14},
        {u"na_number-10"_s, DMPAPER_ENV_10},
        {u"iso_dl"_s, DMPAPER_ENV_DL},
        {u"iso_c5"_s, DMPAPER_ENV_C5},
        {u"iso_c4"_s, DMPAPER_ENV_C4},
        {u"iso_c6"_s, DMPAPER_ENV_C6},
        {u"na_monarch"_s, DMPAPER_ENV_MONARCH},
        {u"jpn_hagaki"_s, DMPAPER_JAPANESE_POSTCARD},
        {u"iso_a2"_s, DMPAPER_A2},
        {u"jpn_oufuku"_s, DMPAPER_DBL_JAPANESE_POSTCARD},
        {u"iso_a6"_s, DMPAPER_A6},
        {u"jpn_chou3"_s, DMPAPER_JENV_CHOU3},
        {u"jpn_chou4"_s, DMPAPER_JENV_CHOU4},
        {u"jis_b6"_s, DMPAPER_B6_JIS},
    };
    return table;
}

const QHash<QString, int> &SourceTable()
{
    static const QHash<QString, int> table = {
        {u"auto"_s, DMBIN_AUTO},
        {u"main"_s, DMBIN_UPPER},
        {u"top"_s, DMBIN_UPPER},
        {u"upper"_s, DMBIN_UPPER},
        {u"bottom"_s, DMBIN_LOWER},
        {u"lower"_s, DMBIN_LOWER},
        {u"middle"_s, DMBIN_MIDDLE},
        {u"manual"_s, DMBIN_MANUAL},
        {u"envelope"_s, DMBIN_ENVELOPE},
        {u"by-pass-tray"_s, DMBIN_ENVMANUAL},
        {u"large-capacity"_s, DMBIN_LARGECAPACITY},
        {u"continuous"_s, DMBIN_TRACTOR},
        {u"form-source"_s, DMBIN_FORMSOURCE},
    };
    return table;
}

// Sheets without a DMPAPER_* number that still have a common name, matched
// by class and name like the table above.
const QHash<QString, QString> &OtherPaperNames()
{
    static const QHash<QString, QString> table = {
        {u"iso_b4"_s, u"B4 (ISO)"_s},   {u"iso_b5"_s, u"B5 (ISO)"_s},   {u"iso_b6"_s, u"B6 (ISO)"_s},
        {u"jpn_kaku2"_s, u"角形2号"_s}, {u"jpn_kaku3"_s, u"角形3号"_s}, {u"jpn_chou2"_s, u"長形2号"_s},
        {u"jpn_you4"_s, u"洋形4号"_s},
    };
    return table;
}

const QHash<QString, QString> &SourceNames()
{
    static const QHash<QString, QString> table = {
        {u"auto"_s, u"自動"_s},
        {u"main"_s, u"本体トレイ"_s},
        {u"top"_s, u"上段トレイ"_s},
        {u"upper"_s, u"上段トレイ"_s},
        {u"middle"_s, u"中段トレイ"_s},
        {u"bottom"_s, u"下段トレイ"_s},
        {u"lower"_s, u"下段トレイ"_s},
        {u"manual"_s, u"手差し"_s},
        {u"envelope"_s, u"封筒トレイ"_s},
        {u"by-pass-tray"_s, u"手差しトレイ"_s},
        {u"large-capacity"_s, u"大容量トレイ"_s},
        {u"rear"_s, u"背面トレイ"_s},
        {u"side"_s, u"側面トレイ"_s},
        {u"left"_s, u"左トレイ"_s},
        {u"right"_s, u"右トレイ"_s},
        {u"center"_s, u"中央トレイ"_s},
        {u"photo"_s, u"フォトトレイ"_s},
        {u"disc"_s, u"ディスクトレイ"_s},
        {u"continuous"_s, u"連続用紙"_s},
        {u"alternate"_s, u"予備トレイ"_s},
    };
    return table;
}

// "class_name" of a self-describing name, empty for names of fewer parts.
QString MediaClassAndName(const QString &media)
{
    const QStringList parts = media.split(u'_');
    if (parts.size() < 3)
        return QString();
    return parts.at(0) + u'_' + parts.at(1);
}

struct StandardSheet
{
    int number;
    int width; // 1/100 mm
    int length;
    const char16_t *name;
};

constexpr StandardSheet StandardSheets[] = {
    {DMPAPER_LETTER, 21590, 27940, u"レター"},
    {DMPAPER_TABLOID, 27940, 43180, u"タブロイド"},
    {DMPAPER_LEGAL, 21590, 35560, u"リーガル"},
    {DMPAPER_STATEMENT, 13970, 21590, u"ステートメント"},
    {DMPAPER_EXECUTIVE, 18415, 26670, u"エグゼクティブ"},
    {DMPAPER_A3, 29700, 42000, u"A3"},
    {DMPAPER_A4, 21000, 29700, u"A4"},
    {DMPAPER_A5, 14800, 21000, u"A5"},
    {DMPAPER_B4, 25700, 36400, u"B4 (JIS)"},
    {DMPAPER_B5, 18200, 25700, u"B5 (JIS)"},
    {DMPAPER_FOLIO, 21590, 33020, u"フォリオ"},
    {DMPAPER_10X14, 25400, 35560, u"10x14"},
    {DMPAPER_ENV_10, 10478, 24130, u"封筒 #10"},
    {DMPAPER_ENV_DL, 11000, 22000, u"封筒 DL"},
    {DMPAPER_ENV_C5, 16200, 22900, u"封筒 C5"},
    {DMPAPER_ENV_C4, 22900, 32400, u"封筒 C4"},
    {DMPAPER_ENV_C6, 11400, 16200, u"封筒 C6"},
    {DMPAPER_ENV_MONARCH, 9843, 19050, u"封筒 モナーク"},
    {DMPAPER_JAPANESE_POSTCARD, 10000, 14800, u"はがき"},
    {DMPAPER_A2, 42000, 59400, u"A2"},
    {DMPAPER_DBL_JAPANESE_POSTCARD, 20000, 14800, u"往復はがき"},
    {DMPAPER_A6, 10500, 14800, u"A6"},
    {DMPAPER_JENV_CHOU3, 12000, 23500, u"長形3号"},
    {DMPAPER_JENV_CHOU4, 9000, 20500, u"長形4号"},
    {DMPAPER_B6_JIS, 12800, 18200, u"B6 (JIS)"},
};

} // namespace

std::optional<int> PaperNumberForSize(int width, int length)
{
    constexpr int Tolerance = 100;
    for (const StandardSheet &s : StandardSheets) {
        if ((qAbs(s.width - width) <= Tolerance && qAbs(s.length - length) <= Tolerance) ||
            (qAbs(s.width - length) <= Tolerance && qAbs(s.length - width) <= Tolerance))
            return s.number;
    }
    return std::nullopt;
}

QString PaperNameForNumber(int number)
{
    for (const StandardSheet &s : StandardSheets) {
        if (s.number == number)
            return QString::fromUtf16(s.name);
    }
    return QString();
}

std::optional<std::pair<int, int>> PaperSizeForNumber(int number)
{
    for (const StandardSheet &s : StandardSheets) {
        if (s.number == number)
            return std::pair{s.width, s.length};
    }
    return std::nullopt;
}

std::optional<int> PaperNumberForMedia(const QString &media)
{
    // class_name_size: the first two parts name the paper.
    const QString key = MediaClassAndName(media);
    if (key.isEmpty())
        return std::nullopt;
    const auto it = PaperTable().constFind(key);
    if (it == PaperTable().constEnd())
        return std::nullopt;
    return it.value();
}

QString PaperNameForMedia(const QString &media)
{
    const QString key = MediaClassAndName(media);
    return key.isEmpty() ? QString() : OtherPaperNames().value(key);
}

bool IsBorderlessMedia(const QString &media, const QString &readableName)
{
    for (const QString &text : {media, readableName}) {
        if (text.contains(u"borderless"_s, Qt::CaseInsensitive) || text.contains(u"フチなし"_s) ||
            text.contains(u"縁なし"_s))
            return true;
    }
    return false;
}

QString SourceNameForKeyword(const QString &source)
{
    const auto it = SourceNames().constFind(source);
    if (it != SourceNames().constEnd())
        return it.value();
    static const QRegularExpression numbered(u"^(tray|roll)-([1-9][0-9]{0,2})$"_s);
    const auto match = numbered.match(source);
    if (!match.hasMatch())
        return QString();
    return (match.captured(1) == u"tray"_s ? u"トレイ"_s : u"ロール"_s) + match.captured(2);
}

std::optional<int> BinNumberForSource(const QString &source)
{
    const auto it = SourceTable().constFind(source);
    if (it != SourceTable().constEnd())
        return it.value();
    static const QRegularExpression tray(u"^tray-([1-9][0-9]{0,2})$"_s);
    const auto match = tray.match(source);
    if (match.hasMatch())
        return DMBIN_USER + match.captured(1).toInt();
    return std::nullopt;
}

std::optional<std::pair<int, int>> MediaSizeFromName(const QString &media)
{
    // The size part may be followed by the print system's suffixes
    // ("custom_148.52x209.9mm_148.52x209.9mm_borderless", ".borderless").
    static const QRegularExpression size(u"_([0-9]+(?:\\.[0-9]+)?)x([0-9]+(?:\\.[0-9]+)?)(mm|in)(?=$|[_.])"_s);
    const auto match = size.match(media);
    if (!match.hasMatch())
        return std::nullopt;
    const double factor = match.captured(3) == u"mm"_s ? 100.0 : 2540.0;
    // A side beyond any int is held at the largest one, so that such a paper
    // stays too large to use instead of wrapping round to a small or no size.
    const auto hundredths = [&](int n) { return qRound(qMin(match.captured(n).toDouble() * factor, double(INT_MAX))); };
    const int w = hundredths(1);
    const int h = hundredths(2);
    if (w <= 0 || h <= 0)
        return std::nullopt;
    return std::make_pair(w, h);
}

QString MediaDisplayName(const QString &media)
{
    if (const std::optional<int> number = PaperNumberForMedia(media)) {
        const QString name = PaperNameForNumber(*number);
        if (!name.isEmpty())
            return name;
    }
    const QString name = PaperNameForMedia(media);
    return name.isEmpty() ? media : name;
}

QString SourceDisplayName(const QString &source)
{
    const QString name = SourceNameForKeyword(source);
    return name.isEmpty() ? source : name;
}

QString ResolutionKeyword(WbSize dpi)
{
    return u"%1x%2dpi"_s.arg(dpi.cx).arg(dpi.cy);
}

std::optional<WbSize> ParseResolutionKeyword(const QString &text)
{
    static const QRegularExpression pattern(u"^([0-9]{1,6})(?:x([0-9]{1,6}))?(dpi|dpcm)$"_s);
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    int x = match.captured(1).toInt();
    int y = match.hasCaptured(2) ? match.captured(2).toInt() : x;
    if (match.captured(3) == u"dpcm"_s) {
        x = x * 254 / 100;
        y = y * 254 / 100;
    }
    if (x <= 0 || y <= 0)
        return std::nullopt;
    return WbSize{x, y};
}

} // namespace vuzo
