#include "print/PrintCommand.h"

#include "platform/TextUtil.h"

#include <cstdint>
#include <limits>

using namespace Qt::StringLiterals;

int EffectiveResolution(int dpi, int scale)
{
    const int64_t divisor = scale > 0 ? scale : 100;
    const int64_t value = int64_t(dpi) * 100 / divisor;
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

QString PrintJobTag()
{
    return u"YUBF"_s;
}

QString PrintJobTitle(int paperIndex, const QString &slipNo)
{
    return u"vuzo_Vez_1_"_s + QString::number(paperIndex) + u"_"_s + PrintJobTag() + u"-"_s + vuzo::Trim(slipNo);
}

QString AlignmentJobTitle()
{
    return u"vuzo_Vez_1_"_s + PrintJobTag() + u"-ALIGN"_s;
}

int PrintCopyCount(const QString &copiesText)
{
    return vuzo::StrToIntZero(copiesText);
}
