#pragma once
// A paper feed's registration: the section of vuzo_a500.ini that names the
// printer a feed prints on, its print offsets and the paper, tray and
// resolution chosen for it, and its selection on the printer object.
//
// A registration keeps to its printer by the queue's name (PrnName); the
// position (PrnNoIndex) counts only in a file that names no printer. A
// selection never prints elsewhere: a registered printer that is gone, or a
// paper, tray or resolution it no longer offers, is an outcome that refuses
// the print, with the sentence the operator is told.

#include "printer/WbPrinters.h"

#include <QSizeF>
#include <QString>
#include <QStringList>
#include <optional>

class ProfileFile;

namespace session {

// The resolution a slip is laid out at when neither the feed nor the printer
// gives one, in dots per inch.
inline constexpr int kFallbackDpi = 600;

// The registration file's name in the data folder.
QString RegistrationFileName();

// The paper feeds of the settings tab's list, in its order; each one's text
// is the name of its section in vuzo_a500.ini.
const QStringList &PaperFeeds();
// The section of a feed's list index; the first feed for an index outside
// the list.
QString FeedSection(int feedIndex);

struct FeedRegistration
{
    QString printerName;                        // PrnName: empty when the file gives only a position
    QString printerIndex = QStringLiteral("0"); // PrnNoIndex, as the file holds it
    QString top = QStringLiteral("0");          // denPrn_Top, device pixels
    QString left = QStringLiteral("0");         // denPrn_Left, device pixels
    // The paper (PWG media name), tray (media-source keyword) and resolution
    // ("600x600dpi"); empty leaves the setting to the queue.
    QString media, source, resolution;
    // Whether the file registers a printer for the feed at all (a name or a
    // position); false on a first start, when the first printer is selected
    // without anyone having chosen it.
    bool registered = false;
    // Why the registration file exists but could not be read; empty when it
    // was read or is missing. Nothing is printed on such a registration.
    QString unreadable;

    // The section's keys (and the file's readRefusal()); a missing key gives
    // the default above, an offset
    // outside ±32767 0, blanks around the paper, tray and resolution are
    // dropped.
    static FeedRegistration Read(const ProfileFile &ini, const QString &section);

    // Which keys a write covers.
    enum class Part
    {
        Position, // the printer's name and index and the offsets
        Whole     // those and the paper, tray and resolution
    };
    // Writes the keys in their stored order into the file or the caller's
    // open batch. Throws what ProfileFile's writes throw.
    void write(ProfileFile &ini, const QString &section, Part part = Part::Whole) const;

    // The printer selected now becomes the registration's, with the paper,
    // tray and resolution in force on it (the printer's own, or those chosen
    // in the printer dialog); what the printer cannot tell is left to the
    // queue.
    void takeSelectedPrinter(TWbPrinter &printer);

    // The sheet of the registered paper, A4 when none is registered.
    QSizeF sheetMm() const;
    // The registered resolution, nullopt when none (or no readable one) is.
    std::optional<WbSize> registeredResolution() const;
};

// What selecting a feed's registration on the printer object came to.
struct FeedSelection
{
    enum class Outcome
    {
        ByName,         // the registered queue, found by its name
        ByIndex,        // a registration without a name: the printer at its index
        FellBack,       // a registration without a name whose index is gone: the first printer
        PrinterMissing, // the registered queue is gone; nothing may be printed
    };
    Outcome outcome = Outcome::ByIndex;
    // The printer's place in the list when found by name.
    int index = -1;
    // Why the registered paper, tray or resolution cannot be used on the
    // selected printer; empty when they can.
    QString feedProblem;

    bool printerMissing() const { return outcome == Outcome::PrinterMissing; }
    // Whether the printer's settings follow the registration (its lists are
    // worth showing): not after a fall-back or with the printer missing.
    bool applied() const { return outcome == Outcome::ByName || outcome == Outcome::ByIndex; }
};

// Selects the registration's printer and lays its paper, tray and
// resolution over the printer's own defaults; a setting the registration
// leaves empty is the printer's default. An index that is not an integer
// raises EConvertError; errors of an unreachable print system pass on.
FeedSelection SelectFeed(TWbPrinter &printer, const FeedRegistration &registration);

// The registered resolution and paper a slip may be laid out on: from the
// coarsest printer resolution in use to the finest, and from a post card's
// short side to a wide roll.
inline constexpr int kMinDpi = 72;
inline constexpr int kMaxDpi = 2400;
inline constexpr double kMinSheetMm = 50.0;
inline constexpr double kMaxSheetMm = 1000.0;

// Why nothing may be printed (on a printer or to a PDF) on the registration
// itself: a file that could not be read, a registered resolution outside
// kMinDpi..kMaxDpi or a paper side outside kMinSheetMm..kMaxSheetMm; empty
// when it may.
QString RegistrationRefusal(const FeedRegistration &registration);

// Why nothing may be printed on the selection: RegistrationRefusal, the
// registered printer gone, its paper or tray missing; empty when it may.
QString SelectionRefusal(const FeedSelection &selection, const FeedRegistration &registration);

// SelectionRefusal, else what the queue says (stopped, refusing jobs), else
// the empty text. An unreachable print system is told in the words for it.
QString PrintRefusal(TWbPrinter &printer, const FeedSelection &selection, const FeedRegistration &registration);

// The resolution a print job hands to the layout now: the printer's dots
// per inch at its scale, or 600 dpi when the printer cannot tell.
WbSize EffectiveDpi(TWbPrinter &printer);
// The same for the program's printer object, 600 dpi when there is none.
WbSize CurrentEffectiveDpi();

} // namespace session
