#include "orders/CsvReader.h"

using namespace Qt::StringLiterals;

namespace orders {

QString EncodingName(TextEncoding encoding, bool withBom)
{
    switch (encoding) {
    case TextEncoding::Cp932: return u"Shift_JIS"_s;
    case TextEncoding::Utf8: return withBom ? u"UTF-8（BOM付き）"_s : u"UTF-8"_s;
    case TextEncoding::Auto: break;
    }
    return u"自動判別"_s;
}

} // namespace orders
