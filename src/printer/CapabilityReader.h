#pragma once
// Turns what the print system says about one destination into what the
// printer layer offers: the sheets with their DMPAPER_* numbers and names,
// the paper sources with their DMBIN_* numbers, the resolutions, the copy
// limit, colour and sides, and the defaults among them.
//
// The input is plain text that the CUPS connection gathers (see
// CupsConnection::Describe), so the rules can be checked against canned
// attributes without a scheduler. Reading never fails: what cannot be read is
// left out, and a destination that says nothing offers empty lists.

#include "printer/DestinationCaps.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace vuzo {

// One sheet as the print system lists it. Sizes and margins in 1/100 mm.
struct IppMediaSize
{
    QString media; // PWG self-describing name ("iso_a5_148x210mm")
    int width = 0;
    int length = 0;
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    // The print system's readable name (the driver's translation of it, or
    // CUPS's own for the operator's language).
    QString localizedName;
};

struct IppAttributes
{
    // Attribute name -> values as text, in the destination's order. Read:
    //   printer-make-and-model, device-uri          (from the destination list)
    //   media-default
    //   media-source-supported, media-source-default
    //   printer-resolution-supported, printer-resolution-default
    //                                               ("300dpi", "300x600dpi", "118dpcm")
    //   copies-supported                            ("1-9999", or one number)
    //   print-color-mode-supported, print-color-mode-default
    //   sides-supported, sides-default
    QMap<QString, QStringList> values;
    // The destination's sheets (media-col-database or media-supported).
    QList<IppMediaSize> media;
    // The print system's default sheet, wanted only when media-default names
    // none.
    std::optional<IppMediaSize> defaultMediaSize;
    // media-source keyword -> readable name, where the print system has one.
    QHash<QString, QString> sourceNames;
};

// What the destination offers.
DestinationCaps ReadCapabilities(const IppAttributes &attributes);

// A device URI as a port name: without the credentials it may carry.
QString PortFromDeviceUri(const QString &uri);

} // namespace vuzo
