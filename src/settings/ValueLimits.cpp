#include "settings/ValueLimits.h"

#include "platform/TextUtil.h"

using namespace Qt::StringLiterals;

namespace limits {
namespace {

// The magnitude check needs no exactness: a number text that is a whole or
// decimal number of any length, read as a double, is compared with a bound.
std::optional<double> NumberOf(const QString &text)
{
    const QString t = vuzo::Trim(text);
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || t.contains(u'e', Qt::CaseInsensitive) || t.contains(u'n', Qt::CaseInsensitive))
        return std::nullopt;
    return value;
}

bool IsLoneSign(const QString &text)
{
    const QString t = vuzo::Trim(text);
    return t == u"-"_s || t == u"+"_s;
}

} // namespace

QString OffsetText(const QString &stored, const QString &def)
{
    if (IsLoneSign(stored))
        return def;
    const std::optional<double> value = NumberOf(stored);
    if (value && (*value > kMaxOffset || *value < -kMaxOffset))
        return def;
    return stored;
}

std::optional<int> TypedOffset(const QString &text)
{
    const QString t = vuzo::Trim(text);
    if (t.isEmpty())
        return 0;
    bool ok = false;
    const qlonglong value = t.toLongLong(&ok);
    if (!ok || value > kMaxOffset || value < -kMaxOffset)
        return std::nullopt;
    return int(value);
}

QString OffsetRangeMessage(const QString &caption)
{
    return caption + u"は -"_s + QString::number(kMaxOffset) + u" から "_s + QString::number(kMaxOffset) +
           u" までの整数で入力してください"_s;
}

QString TaxRateText(const QString &stored, const QString &def)
{
    const std::optional<double> value = NumberOf(stored);
    if (value && (*value < 0 || *value > 100))
        return def;
    return stored;
}

QDate TaxDate(const QDate &stored, const QDate &def)
{
    if (!stored.isValid() || stored.year() < 1900 || stored.year() > 2099)
        return def;
    return stored;
}

} // namespace limits
