#pragma once
// The Windows paper size and paper source numbers of the names the print
// system uses for media (PWG 5101.1 self-describing names such as
// "iso_a5_148x210mm") and media sources ("auto", "manual", "tray-1").

#include "printer/SystemPrinter.h"

#include <QString>
#include <optional>
#include <utility>

namespace vuzo {

// The standard DMPAPER_* number of a media name, nullopt for media that have
// none (the caller numbers them from DMPAPER_USER + 1 on).
std::optional<int> PaperNumberForMedia(const QString &media);

// The standard DMPAPER_* number of a sheet of that size in 1/100 mm (within
// 1 mm, either way round), nullopt for sizes without one. Printers often name
// standard sheets by their size ("custom_148.52x209.9mm" for A5).
std::optional<int> PaperNumberForSize(int width, int length);

// The readable name of a standard paper size number ("A5"), empty for others.
QString PaperNameForNumber(int number);
// The width and length in 1/100 mm of a standard paper size number, nullopt
// for others.
std::optional<std::pair<int, int>> PaperSizeForNumber(int number);

// The readable name of a sheet that has no standard paper size number but a
// common name of its own ("iso_b5_176x250mm" -> "B5 (ISO)",
// "jpn_kaku2_240x332mm" -> "角形2号"), empty for others.
QString PaperNameForMedia(const QString &media);

// Whether a media name or the print system's readable name marks a borderless
// variant of a sheet ("iso_a4_210x297mm.borderless", "A4 (Borderless)").
bool IsBorderlessMedia(const QString &media, const QString &readableName);

// The DMBIN_* number of a media source: the standard numbers for the
// standard sources, DMBIN_USER + n for "tray-n", nullopt for the others (the
// caller numbers them above every tray).
std::optional<int> BinNumberForSource(const QString &source);

// The Japanese name of a standard media source ("auto" -> "自動", "tray-2" ->
// "トレイ2"), empty for sources without one.
QString SourceNameForKeyword(const QString &source);

// The media size of a self-describing name in 1/100 mm ("iso_a5_148x210mm" ->
// 14800 x 21000, "na_letter_8.5x11in" -> 21590 x 27940; a side beyond an int
// is INT_MAX); nullopt when the name carries no size.
std::optional<std::pair<int, int>> MediaSizeFromName(const QString &media);

// The name shown for a media name or a media source keyword when the
// printer's own list is not at hand: the readable names above, else the
// keyword itself.
QString MediaDisplayName(const QString &media);
QString SourceDisplayName(const QString &source);

// A resolution as the print system writes it: "600x600dpi". (WbSize is a
// pair of dots per inch, x then y.)
QString ResolutionKeyword(WbSize dpi);
// Reads "600dpi", "300x600dpi" or "118dpcm" / "118x236dpcm" (dots per
// centimetre, rounded to dots per inch); nullopt for anything else.
std::optional<WbSize> ParseResolutionKeyword(const QString &text);

} // namespace vuzo
