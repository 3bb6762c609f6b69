#pragma once
// The face names the slip asks for. Canvases keep these names as given; only a
// real device maps them to installed faces.

#include <QString>

namespace SlipFace {

// Full-width Ｍ, Ｓ and Ｐ, an ordinary space between Ｓ and Ｐ.
inline QString Mincho()
{
    return QStringLiteral("ＭＳ Ｐ明朝");
}

inline QString Gothic()
{
    return QStringLiteral("ＭＳ Ｐゴシック");
}

inline QString Tahoma()
{
    return QStringLiteral("Tahoma");
}

} // namespace SlipFace
