#include "printer/DestinationCaps.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace vuzo {

namespace {

// The resolution assumed for a destination that reports none.
constexpr int FallbackDpi = 300;

bool HasUserSize(const DevMode &dm)
{
    return dm.dmPaperSize == DMPAPER_USER && (dm.dmFields & DM_PAPERWIDTH) && (dm.dmFields & DM_PAPERLENGTH) &&
           dm.dmPaperWidth > 0 && dm.dmPaperLength > 0;
}

} // namespace

PrinterCapabilities DestinationCaps::Lists() const
{
    PrinterCapabilities caps;
    for (const DestinationMedia &m : media) {
        caps.paperNumbers.append(m.number);
        caps.paperNames.append(m.name);
        caps.paperKeywords.append(m.pwg);
    }
    for (const DestinationSource &s : sources) {
        caps.binNumbers.append(s.number);
        caps.binNames.append(s.name);
        caps.binKeywords.append(s.keyword);
    }
    caps.resolutions = resolutions;
    caps.maxCopies = maxCopies;
    return caps;
}

DevMode DestinationCaps::Defaults(const QString &device) const
{
    DevMode dm;
    dm.dmDeviceName = device;
    dm.dmFields = DM_ORIENTATION | DM_COPIES | DM_COLLATE;
    dm.dmOrientation = 1;
    dm.dmCopies = 1;
    dm.dmCollate = 1;
    dm.dmScale = 100;
    if (!media.isEmpty()) {
        // As with the tray: a destination that names no default sheet
        // chooses none (0), so a job names none and the queue's own default
        // sheet is used rather than the first of its list.
        dm.dmFields |= DM_PAPERSIZE;
        dm.dmPaperSize = defaultMedia.isEmpty() ? 0 : MediaFor(DevMode{}).number;
    }
    if (!sources.isEmpty()) {
        // A destination that names no default source picks its tray itself
        // (a queue's own default tray): no source is chosen, so a job names
        // none and does not override it.
        dm.dmFields |= DM_DEFAULTSOURCE;
        dm.dmDefaultSource = 0;
        for (const DestinationSource &s : sources) {
            if (s.keyword == defaultSource) {
                dm.dmDefaultSource = s.number;
                break;
            }
        }
    }
    if (!resolutions.isEmpty()) {
        // Likewise no resolution is chosen (0) when the destination names no
        // default one.
        dm.dmFields |= DM_PRINTQUALITY | DM_YRESOLUTION;
        dm.dmPrintQuality = defaultResolution.cx > 0 ? defaultResolution.cx : 0;
        dm.dmYResolution = defaultResolution.cx > 0 ? defaultResolution.cy : 0;
    }
    if (color) {
        dm.dmFields |= DM_COLOR;
        dm.dmColor = defaultColor ? 2 : 1;
    } else {
        dm.dmColor = 1;
    }
    if (sides.size() > 1) {
        dm.dmFields |= DM_DUPLEX;
        dm.dmDuplex = defaultSides == u"two-sided-long-edge"_s ? 2 : defaultSides == u"two-sided-short-edge"_s ? 3 : 1;
    } else {
        dm.dmDuplex = 1;
    }
    return dm;
}

void DestinationCaps::Complete(DevMode &dm) const
{
    const DevMode defaults = Defaults(dm.dmDeviceName);
    if (dm.dmFields & DM_PAPERSIZE) {
        if (!HasUserSize(dm) && !FindMedia(dm.dmPaperSize))
            dm.dmPaperSize = defaults.dmPaperSize;
    }
    if (dm.dmFields & DM_DEFAULTSOURCE) {
        const bool known = std::any_of(sources.begin(), sources.end(),
                                       [&](const DestinationSource &s) { return s.number == dm.dmDefaultSource; });
        if (!known)
            dm.dmDefaultSource = defaults.dmDefaultSource;
    }
    if (dm.dmFields & DM_PRINTQUALITY) {
        const WbSize wanted{dm.dmPrintQuality, (dm.dmFields & DM_YRESOLUTION) ? dm.dmYResolution : dm.dmPrintQuality};
        if (!resolutions.contains(wanted) && !resolutions.isEmpty()) {
            dm.dmPrintQuality = defaults.dmPrintQuality;
            dm.dmYResolution = defaults.dmYResolution;
            dm.dmFields |= DM_YRESOLUTION;
        }
    }
    if (dm.dmOrientation != 1 && dm.dmOrientation != 2)
        dm.dmOrientation = 1;
    if (dm.dmCopies < 1)
        dm.dmCopies = 1;
    if (maxCopies > 0 && dm.dmCopies > maxCopies)
        dm.dmCopies = maxCopies;
    if (!color)
        dm.dmColor = 1;
    if (dm.dmDuplex < 1 || dm.dmDuplex > 3 || sides.size() < 2)
        dm.dmDuplex = 1;
}

const DestinationMedia *DestinationCaps::FindMedia(int number) const
{
    for (const DestinationMedia &m : media) {
        if (m.number == number)
            return &m;
    }
    return nullptr;
}

DestinationMedia DestinationCaps::MediaFor(const DevMode &dm) const
{
    const DestinationMedia *standard = nullptr;
    for (const DestinationMedia &m : media) {
        if (m.pwg == defaultMedia) {
            standard = &m;
            break;
        }
    }
    if (!standard && !media.isEmpty())
        standard = &media.first();
    DestinationMedia fallback;
    if (standard) {
        fallback = *standard;
    } else {
        // A destination without media information prints on A4.
        fallback.pwg = u"iso_a4_210x297mm"_s;
        fallback.name = u"A4"_s;
        fallback.number = DMPAPER_A4;
        fallback.width = 21000;
        fallback.length = 29700;
    }
    if (dm.dmFields & DM_PAPERSIZE) {
        if (HasUserSize(dm)) {
            DestinationMedia user = fallback;
            user.width = dm.dmPaperWidth * 10;
            user.length = dm.dmPaperLength * 10;
            user.pwg = u"custom_vuzo_%1x%2mm"_s.arg(dm.dmPaperWidth / 10.0).arg(dm.dmPaperLength / 10.0);
            user.name = QString();
            user.number = DMPAPER_USER;
            return user;
        }
        if (const DestinationMedia *m = FindMedia(dm.dmPaperSize))
            return *m;
    }
    return fallback;
}

WbSize DestinationCaps::DpiFor(const DevMode &dm) const
{
    WbSize dpi = defaultResolution;
    if ((dm.dmFields & DM_PRINTQUALITY) && dm.dmPrintQuality > 0) {
        dpi.cx = dm.dmPrintQuality;
        dpi.cy = ((dm.dmFields & DM_YRESOLUTION) && dm.dmYResolution > 0) ? dm.dmYResolution : dm.dmPrintQuality;
    }
    // With no resolution chosen or named the page is laid out at the first
    // one listed; the job itself leaves the resolution to the queue.
    if (dpi.cx <= 0 && !resolutions.isEmpty())
        dpi = resolutions.first();
    if (dpi.cx <= 0)
        dpi.cx = FallbackDpi;
    if (dpi.cy <= 0)
        dpi.cy = dpi.cx;
    return dpi;
}

DeviceGeometry DestinationCaps::GeometryFor(const DevMode &dm) const
{
    DeviceGeometry g;
    const WbSize dpi = DpiFor(dm);
    DestinationMedia m = MediaFor(dm);
    if ((dm.dmFields & DM_ORIENTATION) && dm.dmOrientation == 2) {
        // The page turned a quarter anticlockwise on the sheet: its left
        // edge lies along the sheet's bottom edge, its top along the left.
        DestinationMedia turned = m;
        turned.width = m.length;
        turned.length = m.width;
        turned.left = m.bottom;
        turned.right = m.top;
        turned.top = m.left;
        turned.bottom = m.right;
        m = turned;
    }
    auto px = [](int hundredthsMm, int dpiValue) { return int(int64_t(hundredthsMm) * dpiValue / 2540); };
    const int printableW = qMax(0, m.width - m.left - m.right);
    const int printableH = qMax(0, m.length - m.top - m.bottom);
    g.logPixelsX = dpi.cx;
    g.logPixelsY = dpi.cy;
    g.physicalWidth = px(m.width, dpi.cx);
    g.physicalHeight = px(m.length, dpi.cy);
    g.physicalOffsetX = px(m.left, dpi.cx);
    g.physicalOffsetY = px(m.top, dpi.cy);
    g.horzRes = px(printableW, dpi.cx);
    g.vertRes = px(printableH, dpi.cy);
    g.horzSizeMm = printableW / 100;
    g.vertSizeMm = printableH / 100;
    g.bitsPixel = color ? 24 : 1;
    g.planes = 1;
    return g;
}

QList<JobOption> DestinationCaps::JobOptions(const DevMode &dm) const
{
    QList<JobOption> options;
    auto add = [&](const char *name, const QString &value) {
        if (!value.isEmpty())
            options.append({QByteArray(name), value});
    };
    // Only a chosen sheet is named: a listed one or a user-defined size.
    // Without one the queue prints on its own default sheet.
    if ((dm.dmFields & DM_PAPERSIZE) && (HasUserSize(dm) || FindMedia(dm.dmPaperSize)))
        add("media", MediaFor(dm).pwg);
    if (dm.dmFields & DM_DEFAULTSOURCE) {
        for (const DestinationSource &s : sources) {
            if (s.number == dm.dmDefaultSource) {
                add("media-source", s.keyword);
                break;
            }
        }
    }
    // Only a chosen resolution the destination lists is named.
    if ((dm.dmFields & DM_PRINTQUALITY) && dm.dmPrintQuality > 0) {
        const WbSize dpi = DpiFor(dm);
        if (resolutions.contains(dpi))
            add("printer-resolution",
                dpi.cx == dpi.cy ? u"%1dpi"_s.arg(dpi.cx) : u"%1x%2dpi"_s.arg(dpi.cx).arg(dpi.cy));
    }
    // orientation-requested 3 is portrait, 4 landscape.
    if (dm.dmFields & DM_ORIENTATION)
        add("orientation-requested", dm.dmOrientation == 2 ? u"4"_s : u"3"_s);
    if ((dm.dmFields & DM_DUPLEX) && sides.size() > 1)
        add("sides", dm.dmDuplex == 3   ? u"two-sided-short-edge"_s
                     : dm.dmDuplex == 2 ? u"two-sided-long-edge"_s
                                        : u"one-sided"_s);
    if (dm.dmFields & DM_COLOR)
        add("print-color-mode", dm.dmColor == 2 ? u"color"_s : u"monochrome"_s);
    if ((dm.dmFields & DM_COPIES) && dm.dmCopies > 1) {
        add("copies", QString::number(dm.dmCopies));
        if (dm.dmFields & DM_COLLATE)
            add("multiple-document-handling", dm.dmCollate == 1 ? u"separate-documents-collated-copies"_s
                                                                : u"separate-documents-uncollated-copies"_s);
    }
    return options;
}

} // namespace vuzo
