#pragma once
// The printer access layer: one object, WbPrinter(), through which the program
// lists the system's printers, selects one by a program-level index (hidden
// printers are not counted), reads and changes the selected printer's device
// settings, and runs print jobs.
//
// Failure: every member that reads or changes the index, the printer names or a
// device setting raises EWbPrinterNoPrinter "TWbPrinter.CheckNoPrinter: No
// Printer" when no visible printer exists, and EWbPrinter with "印刷システム(CUPS)
// に接続できません" when the print system cannot be reached. Other errors are
// the EWbPrinter descendants named at each member. Nothing is changed when an
// error is raised.
//
// Settings changed through the setters stay in a private copy until
// ApplySettings() hands them to the system printer; DiscardModification()
// drops them. The job members (BeginDoc ... Abort, Canvas, Printing) pass
// straight through to the system printer and apply nothing on their own.

#include "printer/CapabilityList.h"
#include "printer/PrintCaps.h"
#include "printer/PrinterSnapshot.h"
#include "printer/SystemPrinter.h"
#include "printer/WbPrinterErrors.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QObject;
class QPainter;
class QPaintDevice;

namespace vuzo {
class PrinterChangeWatch;
}

enum TWbPaperOrientation
{
    wbOrPortrait,
    wbOrLandScape
};
enum TWbDuplex
{
    wbDupSimplex,
    wbDupHorizontal,
    wbDupVertical
};

class TWbPrinter
{
public:
    explicit TWbPrinter(std::unique_ptr<SystemPrinter> system);
    ~TWbPrinter();
    TWbPrinter(const TWbPrinter &) = delete;
    TWbPrinter &operator=(const TWbPrinter &) = delete;

    // ---- Printer list and selection

    // The program-level index of the selected printer (visible printers from
    // 0), -1 when the system printer has no selection.
    // EWbPrinterIllegalIndex when the selection is a hidden printer;
    // EAssertionFailed when it is missing from the snapshot.
    int Index();
    // Selects the visible printer number value with its default settings; -1
    // selects the system's default printer. The value the index already has
    // changes nothing. Below -1 or beyond the visible printers:
    // EWBPrinterRangeError "TWbPrinter.SetIndex: Index is out of Range".
    void SetIndex(int value);
    // The visible printers' names in the system's order (the same list object,
    // refilled on every call).
    const QStringList &PrinterNames();
    // The system's ports, each name once (compared without regard to case).
    const QStringList &PortNames();

    QPainter *Canvas();
    QPaintDevice *Handle();
    bool Printing() const;
    void BeginDoc(const QString &title);
    void Newpage();
    void EndDoc();
    void Abort();
    // One whole job: begins it, has draw put its pages on the canvas and ends
    // it. A job the print system refuses raises one "not printing" error
    // before anything is drawn; an error while drawing cancels the job and is
    // passed on as it was (a failure of the cancel would hide the cause).
    void PrintDocument(const QString &title, const std::function<void()> &draw);

    // Why the selected printer would not take a job now (stopped, refusing
    // jobs), empty when it would; the print system's state, not cached.
    QString QueueProblem();
    // The last job handed over: settled once the print system is done with
    // it; a problem when the print system stopped it.
    SystemPrinter::JobStatus LastJobStatus() { return m_system->LastJobStatus(); }

    using TNotifyEvent = std::function<void(TWbPrinter *sender)>;
    const TNotifyEvent &OnSystemChanged() const { return FOnSystemChanged; }
    void SetOnSystemChanged(TNotifyEvent handler) { FOnSystemChanged = std::move(handler); }

    // Compares a fresh snapshot of the system's printers with the one in force.
    // When they differ the system printer is replaced (the next use selects
    // the default printer), the snapshot is replaced, the cache and any pending
    // settings are dropped and OnSystemChanged is called. When they are equal
    // OnSystemChanged is called once if the port list changed. While a job is
    // open the check waits for the next call.
    void CheckSystemChange();
    // The same over a listing of the system's printers and ports read
    // elsewhere: asks the print system nothing itself.
    void ApplySystemListing(const SystemPrinter::Listing &listing);
    // Whether the print system could be read for the last snapshot; asks
    // nothing (the members that select a printer ask it again when not).
    bool SystemReached() const;
    // Runs the change check whenever the window is activated and every
    // intervalMs milliseconds while the object lives, the print system asked
    // away from the window's thread (PrinterChangeWatch) and the answer taken
    // by ApplySystemListing. Calling it again moves the watch to the new
    // window.
    void StartChangeWatch(QObject *window, int intervalMs = 5000);
    void StopChangeWatch();

    // ---- Device settings

    // Paper sizes (dmPaperSize, DMPAPER_* numbers) and bins (dmDefaultSource,
    // DMBIN_* numbers): the number in force, the printer's list of numbers and
    // names, and the position of the number in force in that list (its first
    // entry for paper sizes, its last for bins). A printer without the
    // setting: EWbPrinterNotSupported; without the list: EWbPrinterNoInfo; a
    // position outside the list in ...Numbers(): EWBPrinterRangeError; an
    // index that cannot be read or written: EWBPrinterPaperSizeError or
    // EWbPrinterBinError.
    int PaperSizeNumber() { return CurrentNumber(PaperSizeList); }
    void SetPaperSizeNumber(int value) { SetCurrentNumber(PaperSizeList, value); }
    const QStringList &PaperSizeNames() { return CheckedList(PaperSizeList, ListMember::Names).names(); }
    int NumPaperSizes() { return CheckedList(PaperSizeList, ListMember::Count).count(); }
    int PaperSizeNumbers(int index) { return GetPaperSizeNumbers(index); }
    int GetPaperSizeNumbers(int index) { return NumberAt(PaperSizeList, index); }
    bool HasPaperSizeNumber(int sizeNumber) { return CheckedList(PaperSizeList, ListMember::Has).contains(sizeNumber); }
    int PaperSizeIndex() { return CurrentIndex(PaperSizeList); }
    void SetPaperSizeIndex(int value) { SetCurrentIndex(PaperSizeList, value); }

    int BinNumber() { return CurrentNumber(BinList); }
    void SetBinNumber(int value) { SetCurrentNumber(BinList, value); }
    const QStringList &BinNames() { return CheckedList(BinList, ListMember::Names).names(); }
    int NumBins() { return CheckedList(BinList, ListMember::Count).count(); }
    int BinNumbers(int index) { return GetBinNumbers(index); }
    int GetBinNumbers(int index) { return NumberAt(BinList, index); }
    bool HasBinNumber(int binNumber) { return CheckedList(BinList, ListMember::Has).contains(binNumber); }
    int BinIndex() { return CurrentIndex(BinList); }
    void SetBinIndex(int value) { SetCurrentIndex(BinList, value); }

    // The print system's keyword of the paper size and of the bin in force
    // ("iso_a5_148x210mm", "tray-2"): what a registration stores, since
    // numbers and positions change with the printer's list. Empty when the
    // setting is not in the printer's list, the printer names no keywords or
    // does not have the setting. The setters choose the entry with that
    // keyword and return false (changing nothing) when the printer has none.
    QString PaperSizeKeyword() { return CurrentKeyword(PaperSizeList); }
    bool SetPaperSizeKeyword(const QString &keyword) { return SetCurrentKeyword(PaperSizeList, keyword); }
    QString BinKeyword() { return CurrentKeyword(BinList); }
    bool SetBinKeyword(const QString &keyword) { return SetCurrentKeyword(BinList, keyword); }
    // The resolution in force as the print system writes it ("600x600dpi"),
    // empty when the printer has none; the setter takes that writing (or
    // "600dpi") and returns false, changing nothing, for a resolution the
    // printer does not list.
    QString ResolutionKeyword();
    bool SetResolutionKeyword(const QString &keyword);

    TWbPaperOrientation Orientation();
    void SetOrientation(TWbPaperOrientation value);
    uint16_t Copies();
    void SetCopies(uint16_t value);
    uint16_t MaxCopies();
    bool Collate();
    void SetCollate(bool value);
    bool Color();
    void SetColor(bool value);
    TWbDuplex Duplex();
    void SetDuplex(TWbDuplex value);
    uint16_t Scale();
    void SetScale(uint16_t value);
    WbSize Quality();
    void SetQuality(WbSize value);
    int NumQualities();
    WbSize Qualities(int index) { return GetQualities(index); }
    WbSize GetQualities(int index);
    WbSize UserPaperExtent();
    void SetUserPaperExtent(WbSize value);
    QString Port();
    void SetPort(const QString &value);
    TWbPrintCaps PrintCaps();
    TWbAvailInfos AvailInfos();
    bool Modified() const { return FModified; }

    // Drops pending settings and reads the capability lists again.
    void ForceUpdate();
    // Hands pending settings to the system printer, which checks and completes
    // them; afterwards Modified() is false and the next read takes a fresh copy.
    void ApplySettings();
    void DiscardModification();

    // ---- Geometry of the system printer with its applied settings

    WbSize PageExtent();   // printable area in pixels
    WbSize MMPageExtent(); // printable area in 0.1 mm
    WbSize DPI();
    WbSize PaperExtent();   // sheet in pixels
    WbSize MMPaperExtent(); // sheet in 0.1 mm, scaled by Scale()
    WbSize Offset();        // printable area's corner on the sheet, in pixels
    int ColorBitCount();

    // The system printer object (tests and the dialogs look through it).
    SystemPrinter &System() { return *m_system; }

private:
    // The paper size and bin members are the same members over two lists.
    // What tells the lists apart is looked up by the list's kind (Traits),
    // each member's messages by the list and what the member does (Texts).
    enum ListKind
    {
        PaperSizeList,
        BinList
    };
    enum class ListMember
    {
        GetNumber,
        SetNumber,
        Names,
        Count,
        NumberAt,
        Has,
        GetIndex,
        SetIndex
    };
    struct ListTraits;
    struct ListTexts;
    static const ListTraits &Traits(ListKind list);
    static const ListTexts &Texts(ListKind list, ListMember member);
    int CurrentNumber(ListKind list);
    void SetCurrentNumber(ListKind list, int value);
    const vuzo::CapabilityList<int> &CheckedList(ListKind list, ListMember member);
    int NumberAt(ListKind list, int index);
    int CurrentIndex(ListKind list);
    void SetCurrentIndex(ListKind list, int value);
    QString CurrentKeyword(ListKind list);
    bool SetCurrentKeyword(ListKind list, const QString &keyword);

    void CheckNoPrinter();
    void RequireCap(TWbPrintCap cap, const QString &message);
    void RequireInfo(TWbAvailInfo info, const QString &message);
    DevMode &Settings();
    void ReadSettings();
    DeviceRecord LockDevice();
    void UpdateInfo();
    void ReplaceSnapshot(std::unique_ptr<TWbAllPrintersInfo> fresh);
    void TakePorts(const QStringList &ports);
    DeviceGeometry Geometry();

    std::unique_ptr<SystemPrinter> m_system;
    std::unique_ptr<TWbAllPrintersInfo> AllInfo;
    vuzo::CapabilityList<int> m_lists[2]; // by ListKind
    QStringList m_keywords[2];            // by ListKind, parallel to m_lists
    vuzo::CapabilityList<WbSize> m_resolutions;
    QStringList FPrinterNames;
    QStringList FPortNames;
    int FMaxCopies = 0;
    int FIndex = -1;
    TNotifyEvent FOnSystemChanged;
    TWbAvailInfos FAvailInfos;
    bool FModified = false;
    std::unique_ptr<DevMode> pSettings;
    QString PortName;
    std::unique_ptr<vuzo::PrinterChangeWatch> m_watch;
};

// The one printer object of the program. Created by InstallWbPrinter (the
// program installs the CUPS one before its first window); if nothing was
// installed, the first call installs the CUPS one.
TWbPrinter &WbPrinter();
// Replaces the printer object by one over the given system printer.
void InstallWbPrinter(std::unique_ptr<SystemPrinter> system);
// Replaces the printer object by the given one (one PreparePrinter made).
void InstallWbPrinter(std::unique_ptr<TWbPrinter> printer);
// The printer object when one exists; nullptr without creating one.
TWbPrinter *InstalledWbPrinter();

// A printer object made ready away from the program's thread: the printer
// list and ports read, the system's default printer and each named printer's
// offer fetched, so that selecting one of them afterwards asks the print
// system nothing more. unavailableMessage tells why the print system could
// not be read (empty when it could). The object has no thread of its own and
// is handed over to the program's thread as it is.
struct PreparedPrinter
{
    std::unique_ptr<TWbPrinter> printer;
    QString unavailableMessage;
};
PreparedPrinter PreparePrinter(std::unique_ptr<SystemPrinter> system, const QStringList &printerNames);
// Destroys the printer object (at exit, and between tests).
void ReleaseWbPrinter();
// The system printer over CUPS (defined with the CUPS code).
std::unique_ptr<SystemPrinter> CreateCupsSystemPrinter();
