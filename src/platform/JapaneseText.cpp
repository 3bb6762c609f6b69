#include "platform/JapaneseText.h"

#include <QSet>

#include <array>

namespace vuzo {

namespace {

constexpr std::array<std::u16string_view, 47> kPrefectures = {
    u"北海道", u"青森県", u"岩手県", u"宮城県",   u"秋田県", u"山形県",   u"福島県", u"茨城県", u"栃木県", u"群馬県",
    u"埼玉県", u"千葉県", u"東京都", u"神奈川県", u"新潟県", u"富山県",   u"石川県", u"福井県", u"山梨県", u"長野県",
    u"岐阜県", u"静岡県", u"愛知県", u"三重県",   u"滋賀県", u"京都府",   u"大阪府", u"兵庫県", u"奈良県", u"和歌山県",
    u"鳥取県", u"島根県", u"岡山県", u"広島県",   u"山口県", u"徳島県",   u"香川県", u"愛媛県", u"高知県", u"福岡県",
    u"佐賀県", u"長崎県", u"熊本県", u"大分県",   u"宮崎県", u"鹿児島県", u"沖縄県"};

QStringView viewOf(std::u16string_view name)
{
    return QStringView(name.data(), qsizetype(name.size()));
}

} // namespace

QString TrimWide(const QString &s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && IsAsciiBlankOrControl(s.at(begin)))
        ++begin;
    while (end > begin && IsAsciiBlankOrControl(s.at(end - 1)))
        --end;
    while (begin < end && IsSpaceOfEitherWidth(s.at(begin)))
        ++begin;
    while (end > begin && IsSpaceOfEitherWidth(s.at(end - 1)))
        --end;
    return s.sliced(begin, end - begin);
}

QStringList SplitAtWordBlanks(QStringView s)
{
    QStringList words;
    QString cur;
    for (QChar c : s) {
        if (IsWordBlank(c)) {
            if (!cur.isEmpty())
                words << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.isEmpty())
        words << cur;
    return words;
}

QString TrimBlanksAndControls(QStringView s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && IsBlankOrControl(s[begin]))
        ++begin;
    while (end > begin && IsBlankOrControl(s[end - 1]))
        --end;
    return s.sliced(begin, end - begin).toString();
}

std::span<const std::u16string_view> PrefectureNames()
{
    return kPrefectures;
}

const QStringList &PrefectureNameList()
{
    static const QStringList list = [] {
        QStringList names;
        names.reserve(qsizetype(kPrefectures.size()));
        for (std::u16string_view name : kPrefectures)
            names.append(viewOf(name).toString());
        return names;
    }();
    return list;
}

bool IsPrefectureName(QStringView text)
{
    static const QSet<QStringView> names = [] {
        QSet<QStringView> set;
        for (std::u16string_view name : kPrefectures)
            set.insert(viewOf(name));
        return set;
    }();
    return names.contains(text);
}

qsizetype PrefectureLength(QStringView text)
{
    // Every name has three or four characters, and none begins another.
    if (IsPrefectureName(text.left(3)))
        return 3;
    if (IsPrefectureName(text.left(4)))
        return 4;
    return 0;
}

} // namespace vuzo
