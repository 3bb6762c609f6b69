#include "printer/PrintCaps.h"

#include "printer/SystemPrinter.h"

uint32_t PrintCapFlag(TWbPrintCap cap)
{
    switch (cap) {
    case wbPcOrientation: return DM_ORIENTATION;
    case wbPcPaperSize: return DM_PAPERSIZE;
    case wbPcPaperlength: return DM_PAPERLENGTH;
    case wbPcPaperWidth: return DM_PAPERWIDTH;
    case wbPcScale: return DM_SCALE;
    case wbPcCopies: return DM_COPIES;
    case wbPcDefaultSource: return DM_DEFAULTSOURCE;
    case wbPcPrintQuality: return DM_PRINTQUALITY;
    case wbPcColor: return DM_COLOR;
    case wbPcDuplex: return DM_DUPLEX;
    case wbPcYResolution: return DM_YRESOLUTION;
    case wbPcTTOption: return DM_TTOPTION;
    case wbPcCollate: return DM_COLLATE;
    case wbPcFormName: return DM_FORMNAME;
    case wbPcLogPixels: return DM_LOGPIXELS;
    case wbPcMediaType: return DM_MEDIATYPE;
    case wbPcDitherType: return DM_DITHERTYPE;
    }
    return 0;
}

TWbPrintCaps TWbPrintCaps::FromFields(uint32_t dmFields)
{
    TWbPrintCaps caps;
    for (int c = wbPcOrientation; c <= wbPcDitherType; ++c) {
        const auto cap = static_cast<TWbPrintCap>(c);
        if (dmFields & PrintCapFlag(cap))
            caps.insert(cap);
    }
    return caps;
}
