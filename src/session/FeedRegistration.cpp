#include "session/FeedRegistration.h"

#include "platform/ProgramFiles.h"
#include "platform/TextUtil.h"
#include "print/PrintCommand.h"
#include "printer/PwgNames.h"
#include "printer/SlipPage.h"
#include "printer/WbPrinterErrors.h"
#include "settings/ProfileFile.h"
#include "settings/ValueLimits.h"

#include <functional>

using namespace Qt::StringLiterals;

namespace session {

QString RegistrationFileName()
{
    return vuzo::RegistrationFileName();
}

const QStringList &PaperFeeds()
{
    static const QStringList feeds = {u"手差し"_s, u"連続(４．５インチ)"_s};
    return feeds;
}

QString FeedSection(int feedIndex)
{
    const QStringList &feeds = PaperFeeds();
    return feedIndex >= 0 && feedIndex < feeds.size() ? feeds.at(feedIndex) : feeds.first();
}

FeedRegistration FeedRegistration::Read(const ProfileFile &ini, const QString &section)
{
    FeedRegistration r;
    r.printerName = ini.ReadString(section, u"PrnName"_s, QString());
    r.printerIndex = ini.ReadString(section, u"PrnNoIndex"_s, u"0"_s);
    r.top = limits::OffsetText(ini.ReadString(section, u"denPrn_Top"_s, u"0"_s), u"0"_s);
    r.left = limits::OffsetText(ini.ReadString(section, u"denPrn_Left"_s, u"0"_s), u"0"_s);
    r.media = vuzo::Trim(ini.ReadString(section, u"PrnMedia"_s, QString()));
    r.source = vuzo::Trim(ini.ReadString(section, u"PrnMediaSource"_s, QString()));
    r.resolution = vuzo::Trim(ini.ReadString(section, u"PrnResolution"_s, QString()));
    r.registered = !r.printerName.isEmpty() || !ini.ReadString(section, u"PrnNoIndex"_s, QString()).isEmpty();
    if (const QString refusal = ini.readRefusal(); !refusal.isEmpty())
        r.unreadable = ini.path() + u"（"_s + refusal + u"）"_s;
    return r;
}

void FeedRegistration::write(ProfileFile &ini, const QString &section, Part part) const
{
    ini.WriteString(section, u"PrnName"_s, printerName);
    ini.WriteString(section, u"PrnNoIndex"_s, printerIndex);
    ini.WriteString(section, u"denPrn_Top"_s, top);
    ini.WriteString(section, u"denPrn_Left"_s, left);
    if (part == Part::Position)
        return;
    ini.WriteString(section, u"PrnMedia"_s, media);
    ini.WriteString(section, u"PrnMediaSource"_s, source);
    ini.WriteString(section, u"PrnResolution"_s, resolution);
}

void FeedRegistration::takeSelectedPrinter(TWbPrinter &printer)
{
    printerName = printer.PrinterNames().value(printer.Index());
    registered = true;
    auto read = [](const std::function<QString()> &get) {
        try {
            return get();
        } catch (const EWbPrinter &) {
            return QString();
        }
    };
    media = read([&] { return printer.PaperSizeKeyword(); });
    source = read([&] { return printer.BinKeyword(); });
    resolution = read([&] { return printer.ResolutionKeyword(); });
}

QSizeF FeedRegistration::sheetMm() const
{
    return RegisteredSheetMm(media);
}

std::optional<WbSize> FeedRegistration::registeredResolution() const
{
    return vuzo::ParseResolutionKeyword(resolution);
}

namespace {

// Lays the registration's paper, tray and resolution over the printer's own
// defaults. What the printer no longer offers is not replaced by something
// else: it is named in the returned sentence, which stops printing until the
// feed is registered again. A setting the registration does not give is the
// printer's own default, even when the same printer stays selected from
// another feed.
QString applySettings(TWbPrinter &printer, const FeedRegistration &reg)
{
    const std::optional<DevMode> defaults = printer.System().DefaultSettings(printer.System().GetPrinter().device);
    // A setting the printer does not have raises; here that is an answer (not
    // done), not an error. No printer at all still is one.
    auto attempt = [](const std::function<bool()> &set) {
        try {
            return set();
        } catch (const EWbPrinterNoPrinter &) {
            throw;
        } catch (const EWbPrinter &) {
            return false;
        }
    };
    auto restore = [&](const std::function<void()> &set) {
        attempt([&] {
            set();
            return true;
        });
    };
    if (defaults) {
        if (reg.media.isEmpty() && (defaults->dmFields & DM_PAPERSIZE))
            restore([&] { printer.SetPaperSizeNumber(defaults->dmPaperSize); });
        if (reg.source.isEmpty() && (defaults->dmFields & DM_DEFAULTSOURCE))
            restore([&] { printer.SetBinNumber(defaults->dmDefaultSource); });
        if (reg.resolution.isEmpty() && (defaults->dmFields & DM_PRINTQUALITY))
            restore([&] {
                printer.SetQuality(WbSize{defaults->dmPrintQuality, defaults->dmYResolution > 0
                                                                        ? defaults->dmYResolution
                                                                        : defaults->dmPrintQuality});
            });
    }
    QStringList missing;
    auto apply = [&](const QString &wanted, const QString &what, const std::function<bool()> &set) {
        if (!wanted.isEmpty() && !attempt(set))
            missing.append(what);
    };
    apply(reg.media, u"用紙「"_s + vuzo::MediaDisplayName(reg.media) + u"」"_s,
          [&] { return printer.SetPaperSizeKeyword(reg.media); });
    apply(reg.source, u"給紙方法「"_s + vuzo::SourceDisplayName(reg.source) + u"」"_s,
          [&] { return printer.SetBinKeyword(reg.source); });
    apply(reg.resolution, u"解像度「"_s + reg.resolution + u"」"_s,
          [&] { return printer.SetResolutionKeyword(reg.resolution); });
    printer.ApplySettings();
    if (missing.isEmpty())
        return QString();
    return u"プリンタ「"_s + vuzo::Trim(printer.PrinterNames().value(printer.Index())) + u"」には、登録された"_s +
           missing.join(u'、') + u"がありません。"_s;
}

// The queue of the name wherever it sorts now; CUPS compares queue names
// without regard to case, so a name that differs only in case is the same
// queue when no exact one exists. -1 when there is none.
int queueIndex(const QStringList &names, const QString &wanted)
{
    const int exact = names.indexOf(wanted);
    if (exact >= 0)
        return exact;
    for (int i = 0; i < names.size(); ++i) {
        if (names.at(i).compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace

FeedSelection SelectFeed(TWbPrinter &printer, const FeedRegistration &registration)
{
    FeedSelection selection;
    if (!registration.printerName.isEmpty()) {
        const int found = queueIndex(printer.PrinterNames(), registration.printerName);
        if (found < 0) {
            // The registered printer is gone. Nothing is printed elsewhere:
            // printing is refused until it is back or another one is
            // registered.
            selection.outcome = FeedSelection::Outcome::PrinterMissing;
            return selection;
        }
        printer.SetIndex(found);
        selection.outcome = FeedSelection::Outcome::ByName;
        selection.index = found;
        selection.feedProblem = applySettings(printer, registration);
        return selection;
    }
    // A file that names no printer selects by position, as files of the
    // first versions did.
    const int v = vuzo::StrToIntStrict(registration.printerIndex);
    try {
        printer.SetIndex(v);
    } catch (const EVuzoError &) {
        printer.SetIndex(0);
    }
    try {
        printer.SetIndex(v);
    } catch (const EWBPrinterRangeError &) {
        // The registered printer is gone: the first one is selected and its
        // settings stay as they were.
        printer.SetIndex(0);
        selection.outcome = FeedSelection::Outcome::FellBack;
        return selection;
    }
    selection.outcome = FeedSelection::Outcome::ByIndex;
    selection.index = v;
    selection.feedProblem = applySettings(printer, registration);
    return selection;
}

QString RegistrationRefusal(const FeedRegistration &registration)
{
    if (!registration.unreadable.isEmpty())
        return u"プリンタの登録ファイル "_s + registration.unreadable +
               u" を読めないため、印刷しません。ファイルを読めるようにしてから、もう一度起動してください。"_s;
    if (const std::optional<WbSize> dpi = registration.registeredResolution()) {
        const auto fits = [](int v) { return v >= kMinDpi && v <= kMaxDpi; };
        if (!fits(dpi->cx) || !fits(dpi->cy))
            return u"登録された解像度「"_s + registration.resolution + u"」は使えません（"_s +
                   QString::number(kMinDpi) + u"～"_s + QString::number(kMaxDpi) +
                   u" dpi の範囲で登録してください）。印刷設定タブの「セットするプリンタを登録」で登録し直してください。"_s;
    }
    const QSizeF sheet = registration.sheetMm();
    const auto fits = [](double mm) { return mm >= kMinSheetMm && mm <= kMaxSheetMm; };
    if (!fits(sheet.width()) || !fits(sheet.height()))
        return u"登録された用紙「"_s + registration.media + u"」の大きさは使えません（一辺 "_s +
               QString::number(kMinSheetMm) + u"～"_s + QString::number(kMaxSheetMm) +
               u" mm の範囲で登録してください）。印刷設定タブの「セットするプリンタを登録」で登録し直してください。"_s;
    return QString();
}

QString SelectionRefusal(const FeedSelection &selection, const FeedRegistration &registration)
{
    if (const QString refusal = RegistrationRefusal(registration); !refusal.isEmpty())
        return refusal;
    if (selection.printerMissing())
        return u"登録されたプリンタ「"_s + registration.printerName +
               u"」が見つかりません。印刷設定タブの「セットするプリンタを登録」でプリンタを登録し直してください。"_s;
    if (!selection.feedProblem.isEmpty())
        return selection.feedProblem +
               u"印刷設定タブの「セットするプリンタを登録」で用紙と給紙方法を登録し直してください。"_s;
    return QString();
}

QString PrintRefusal(TWbPrinter &printer, const FeedSelection &selection, const FeedRegistration &registration)
{
    if (const QString refusal = SelectionRefusal(selection, registration); !refusal.isEmpty())
        return refusal;
    // An unreachable print system raises here and is told as it is.
    try {
        return printer.QueueProblem();
    } catch (const EWbPrinterNoPrinter &e) {
        return vuzo::NoPrinterMessage(e.message());
    }
}

WbSize EffectiveDpi(TWbPrinter &printer)
{
    WbSize out{kFallbackDpi, kFallbackDpi};
    try {
        const WbSize dpi = printer.DPI();
        const int scale = printer.Scale();
        if (dpi.cx > 0 && dpi.cy > 0)
            out = WbSize{EffectiveResolution(dpi.cx, scale), EffectiveResolution(dpi.cy, scale)};
    } catch (const EVuzoError &) {
        // No printer to ask: 600 dpi.
    }
    return out;
}

WbSize CurrentEffectiveDpi()
{
    try {
        return EffectiveDpi(WbPrinter());
    } catch (const EVuzoError &) {
        return WbSize{kFallbackDpi, kFallbackDpi};
    }
}

} // namespace session
