#include "platform/TextUtil.h"

#include "platform/Errors.h"
#include "platform/JapaneseText.h"

using namespace Qt::StringLiterals;

namespace vuzo {

QString TrimLeft(const QString &s)
{
    qsizetype i = 0;
    while (i < s.size() && IsAsciiBlankOrControl(s.at(i)))
        ++i;
    return s.mid(i);
}

QString TrimRight(const QString &s)
{
    qsizetype n = s.size();
    while (n > 0 && IsAsciiBlankOrControl(s.at(n - 1)))
        --n;
    return s.left(n);
}

QString Trim(const QString &s)
{
    return TrimLeft(TrimRight(s));
}

std::optional<int32_t> ParseInt32(const QString &s)
{
    qsizetype i = 0;
    while (i < s.size() && s.at(i) == u' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s.at(i) == u'-' || s.at(i) == u'+')) {
        negative = s.at(i) == u'-';
        ++i;
    }
    if (i >= s.size())
        return std::nullopt;
    int64_t value = 0;
    for (; i < s.size(); ++i) {
        const char16_t c = s.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > int64_t(INT32_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

int32_t StrToIntZero(const QString &s)
{
    return ParseInt32(s).value_or(0);
}

QString NotAnIntegerMessage(const QString &s)
{
    return u"''"_s + s + u"'' は整数ではありません"_s;
}

int32_t StrToIntStrict(const QString &s)
{
    const auto v = ParseInt32(s);
    if (!v)
        throw EConvertError(NotAnIntegerMessage(s));
    return *v;
}

} // namespace vuzo
