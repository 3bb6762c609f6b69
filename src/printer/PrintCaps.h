#pragma once
// What the selected printer can do, as TWbPrinter reports it: the device
// settings its device mode carries (TWbPrintCaps, from the dmFields word) and
// the lists the printer gives (TWbAvailInfos: paper sizes, bins, resolutions,
// the most copies).

#include <QFlags>
#include <cstdint>

enum TWbPrintCap
{
    wbPcOrientation,
    wbPcPaperSize,
    wbPcPaperlength,
    wbPcPaperWidth,
    wbPcScale,
    wbPcCopies,
    wbPcDefaultSource,
    wbPcPrintQuality,
    wbPcColor,
    wbPcDuplex,
    wbPcYResolution,
    wbPcTTOption,
    wbPcCollate,
    wbPcFormName,
    wbPcLogPixels,
    wbPcMediaType,
    wbPcDitherType,
};

// A set of TWbPrintCap.
class TWbPrintCaps
{
public:
    TWbPrintCaps() = default;
    static TWbPrintCaps FromFields(uint32_t dmFields);
    bool contains(TWbPrintCap cap) const { return (m_bits >> cap) & 1u; }
    void insert(TWbPrintCap cap) { m_bits |= 1u << cap; }
    bool isEmpty() const { return m_bits == 0; }
    friend bool operator==(const TWbPrintCaps &, const TWbPrintCaps &) = default;

private:
    uint32_t m_bits = 0;
};

// The dmFields flag of a capability.
uint32_t PrintCapFlag(TWbPrintCap cap);

enum TWbAvailInfo
{
    wbAvPaperSize = 0x1,
    wbAvBin = 0x2,
    wbAvQuality = 0x4,
    wbAvMaxCopies = 0x8
};
Q_DECLARE_FLAGS(TWbAvailInfos, TWbAvailInfo)
Q_DECLARE_OPERATORS_FOR_FLAGS(TWbAvailInfos)
