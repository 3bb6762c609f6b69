#pragma once
// What the smart transfer asks of a postal-code dictionary. The transfer works
// without one; with one it completes an address that starts below the city
// and warns when the postal code and the address disagree.

#include <QString>
#include <QStringList>

namespace transfer {

class PostalLookup
{
public:
    virtual ~PostalLookup();
    // The addresses (prefecture, city and town, as "東京都千代田区千代田") that
    // carry the postal code, given as seven ASCII digits. Empty for an unknown
    // code.
    virtual QStringList addressesOf(const QString &sevenDigitCode) const = 0;
    // The postal codes (seven ASCII digits) whose address begins with
    // addressPrefix. Empty when none does.
    virtual QStringList codesOf(const QString &addressPrefix) const = 0;
};

} // namespace transfer
