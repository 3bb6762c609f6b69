#pragma once
// What one print destination offers, once read from the print system (see
// CapabilityReader.h), and what that offer means for a device mode: the
// printer's default settings, the completion of settings it does not offer,
// the sheet and resolution a job prints on, the device metrics and the job's
// options. None of this talks to the print system, so it is the same for a
// real destination and for canned attributes in a test.

#include "printer/SystemPrinter.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

namespace vuzo {

// One sheet the destination offers. Sizes and margins in 1/100 mm.
struct DestinationMedia
{
    QString pwg;    // the print system's name ("iso_a5_148x210mm")
    QString name;   // the name shown to the operator
    int number = 0; // DMPAPER_* number, above DMPAPER_USER for sheets without one
    int width = 0;
    int length = 0;
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

// One paper source the destination offers.
struct DestinationSource
{
    QString keyword; // the print system's media-source keyword ("tray-1")
    QString name;    // the name shown to the operator
    int number = 0;  // DMBIN_* number
};

// A job option: the IPP attribute name and its value as text.
using JobOption = std::pair<QByteArray, QString>;

struct DestinationCaps
{
    QString driver; // printer-make-and-model
    QString port;   // the device URI without credentials
    QList<DestinationMedia> media;
    QString defaultMedia; // pwg of the default sheet; empty when none is listed
    QList<DestinationSource> sources;
    QString defaultSource; // keyword; empty when the destination names none
    QList<WbSize> resolutions;
    WbSize defaultResolution; // 0 x 0 when the destination names none
    int maxCopies = 0;        // 0 when the destination does not say
    bool color = false;
    bool defaultColor = false;
    QStringList sides; // sides-supported keywords
    QString defaultSides;

    // The lists the printer layer shows, in the destination's order.
    PrinterCapabilities Lists() const;
    // The destination's default settings for a device of that name.
    DevMode Defaults(const QString &device) const;
    // Replaces the settings the destination does not offer by its defaults
    // and brings the others into their ranges.
    void Complete(DevMode &dm) const;

    // The listed sheet with that number (the first of them); nullptr when
    // there is none.
    const DestinationMedia *FindMedia(int number) const;
    // The sheet a job with these settings prints on: a user-defined size, the
    // listed sheet of the chosen number, else the default sheet (A4 for a
    // destination that lists none).
    DestinationMedia MediaFor(const DevMode &dm) const;
    // The resolution a job with these settings prints at; never 0.
    WbSize DpiFor(const DevMode &dm) const;
    // The device metrics with these settings.
    DeviceGeometry GeometryFor(const DevMode &dm) const;
    // The options a job with these settings is created with, in the order
    // they are handed to the print system. Settings the destination does not
    // offer are left out.
    QList<JobOption> JobOptions(const DevMode &dm) const;
};

} // namespace vuzo
