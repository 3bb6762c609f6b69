#pragma once
// The publisher's web help page and support mail address, in one place.
// These are placeholders until the publisher names its real endpoints.

#include <QString>

namespace vuzo {
inline QString WebHelpAddress()
{
    return QStringLiteral("https://www.example.com/vuzo/help/");
}
inline QString SupportMailAddress()
{
    return QStringLiteral("support@example.com");
}
} // namespace vuzo
