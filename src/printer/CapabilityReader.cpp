#include "printer/CapabilityReader.h"

#include "printer/PwgNames.h"

#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace vuzo {

namespace {

QString First(const IppAttributes &attributes, const QString &name)
{
    return attributes.values.value(name).value(0);
}

// The standard number of a sheet: by its name, else by its size.
std::optional<int> StandardNumber(const IppMediaSize &size)
{
    std::optional<int> number = PaperNumberForMedia(size.media);
    if (!number)
        number = PaperNumberForSize(size.width, size.length);
    return number;
}

// A resolution as IPP writes it; 0 x 0 for anything else.
WbSize ParseResolution(const QString &text)
{
    return ParseResolutionKeyword(text).value_or(WbSize{});
}

// The upper end of "lower-upper", or the one number; 0 for anything else.
int ParseCopiesLimit(const QString &text)
{
    static const QRegularExpression pattern(u"^(?:-?[0-9]+-)?(-?[0-9]+)$"_s);
    const QRegularExpressionMatch match = pattern.match(text);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

bool IsBorderless(const IppMediaSize &size)
{
    return IsBorderlessMedia(size.media, size.localizedName);
}

// A name of the print system's with letters beyond ASCII is its translation
// into the operator's language, and is preferred to the names of our own.
bool IsLocalised(const QString &name)
{
    return std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() > 0x7f; });
}

void ReadMedia(const IppAttributes &attributes, DestinationCaps &caps)
{
    // Borderless variants are listed only by a destination that has no
    // other sheets.
    const bool onlyBorderless =
        std::all_of(attributes.media.begin(), attributes.media.end(),
                    [](const IppMediaSize &s) { return s.width <= 0 || s.length <= 0 || IsBorderless(s); });
    // Sheets without a standard number are numbered from DMPAPER_USER + 1
    // on, one number per name, in the order they first appear.
    QHash<QString, int> otherSizes;
    for (const IppMediaSize &size : attributes.media) {
        DestinationMedia m;
        m.pwg = size.media;
        m.width = size.width;
        m.length = size.length;
        m.left = size.left;
        m.right = size.right;
        m.top = size.top;
        m.bottom = size.bottom;
        // The print system's name where it is in the operator's language
        // (the driver's own translation), else ours, else the print system's
        // in any language, else the media name.
        if (IsLocalised(size.localizedName))
            m.name = size.localizedName;
        if (const std::optional<int> number = StandardNumber(size)) {
            m.number = *number;
            if (m.name.isEmpty())
                m.name = PaperNameForNumber(m.number);
        } else {
            auto found = otherSizes.constFind(m.pwg);
            if (found == otherSizes.constEnd())
                found = otherSizes.insert(m.pwg, DMPAPER_USER + 1 + int(otherSizes.size()));
            m.number = found.value();
            if (m.name.isEmpty())
                m.name = PaperNameForMedia(m.pwg);
        }
        if (m.name.isEmpty())
            m.name = size.localizedName.isEmpty() ? m.pwg : size.localizedName;
        // A sheet without an extent cannot be printed on, and a borderless
        // variant is left out beside ordinary sheets; both still took their
        // numbers above, so the others keep theirs.
        if (m.width > 0 && m.length > 0 && (onlyBorderless || !IsBorderless(size)))
            caps.media.append(m);
    }

    // The default sheet: the entry of that name, else the first of the same
    // paper size number.
    QString defaultName = First(attributes, u"media-default"_s);
    int defaultNumber = -1;
    if (!defaultName.isEmpty()) {
        defaultNumber = PaperNumberForMedia(defaultName).value_or(-1);
        if (const auto sz = MediaSizeFromName(defaultName); defaultNumber < 0 && sz)
            defaultNumber = PaperNumberForSize(sz->first, sz->second).value_or(-1);
    } else if (attributes.defaultMediaSize) {
        const IppMediaSize &size = *attributes.defaultMediaSize;
        defaultName = size.media;
        defaultNumber =
            PaperNumberForMedia(defaultName).value_or(PaperNumberForSize(size.width, size.length).value_or(-1));
    }
    for (const DestinationMedia &m : std::as_const(caps.media)) {
        if (m.pwg == defaultName) {
            caps.defaultMedia = m.pwg;
            break;
        }
    }
    for (const DestinationMedia &m : std::as_const(caps.media)) {
        if (caps.defaultMedia.isEmpty() && m.number == defaultNumber)
            caps.defaultMedia = m.pwg;
    }
}

void ReadSources(const IppAttributes &attributes, DestinationCaps &caps)
{
    const QStringList keywords = attributes.values.value(u"media-source-supported"_s);
    for (int position = 0; position < keywords.size(); ++position) {
        DestinationSource s;
        s.keyword = keywords.at(position);
        // The print system's name where it is in the operator's language,
        // else ours for the standard sources, else the print system's in
        // any language, else the keyword.
        const QString localized = attributes.sourceNames.value(s.keyword);
        if (IsLocalised(localized))
            s.name = localized;
        if (s.name.isEmpty())
            s.name = SourceNameForKeyword(s.keyword);
        if (s.name.isEmpty())
            s.name = localized.isEmpty() ? s.keyword : localized;
        // Sources without a standard number are numbered above every tray,
        // by their position in the list.
        s.number = BinNumberForSource(s.keyword).value_or(DMBIN_USER + 1000 + position);
        caps.sources.append(s);
    }
    caps.defaultSource = First(attributes, u"media-source-default"_s);
}

void ReadResolutions(const IppAttributes &attributes, DestinationCaps &caps)
{
    for (const QString &text : attributes.values.value(u"printer-resolution-supported"_s)) {
        const WbSize r = ParseResolution(text);
        if (r.cx > 0 && r.cy > 0 && !caps.resolutions.contains(r))
            caps.resolutions.append(r);
    }
    const QStringList defaults = attributes.values.value(u"printer-resolution-default"_s);
    if (!defaults.isEmpty())
        caps.defaultResolution = ParseResolution(defaults.first());
}

} // namespace

DestinationCaps ReadCapabilities(const IppAttributes &attributes)
{
    DestinationCaps caps;
    caps.driver = First(attributes, u"printer-make-and-model"_s);
    caps.port = PortFromDeviceUri(First(attributes, u"device-uri"_s));
    ReadMedia(attributes, caps);
    ReadSources(attributes, caps);
    ReadResolutions(attributes, caps);
    caps.maxCopies = ParseCopiesLimit(First(attributes, u"copies-supported"_s));
    caps.color = attributes.values.value(u"print-color-mode-supported"_s).contains(u"color"_s);
    caps.defaultColor = First(attributes, u"print-color-mode-default"_s) == u"color"_s;
    caps.sides = attributes.values.value(u"sides-supported"_s);
    caps.defaultSides = First(attributes, u"sides-default"_s);
    return caps;
}

QString PortFromDeviceUri(const QString &uri)
{
    const QUrl url(uri);
    if (!url.isValid() || url.userInfo().isEmpty())
        return uri;
    return url.adjusted(QUrl::RemoveUserInfo).toString();
}

} // namespace vuzo
