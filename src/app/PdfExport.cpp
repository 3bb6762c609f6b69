#include "app/PdfExport.h"

#include "numedit/ZuNumModel.h"
#include "platform/Errors.h"
#include "print/PrintCommand.h"
#include "print/SlipForm.h"
#include "printer/PwgNames.h"
#include "printer/SlipPage.h"
#include "settings/ProfileFile.h"
#include "settings/ValueLimits.h"
#include "slip/SlipCalc.h"
#include "transfer/Cleanup.h"

#include <QGuiApplication>
#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString kSection = u"vz_Vez_1prn"_s;
// The paper feeds of the settings tab's list, in its order.
const QStringList kFeeds = {u"手差し"_s, u"連続(４．５インチ)"_s};
const QDate kDefaultTaxEnforDate(2019, 10, 1);
constexpr int kDefaultDpi = 600;
// What the window's fields hold at most (their maximum lengths).
constexpr int kZipLength = 16, kNameLength = 80, kItemLength = 36, kUnitLength = 6, kLineEditLength = 32767;

zunum::NumFormat wholeNumbers()
{
    zunum::NumFormat f;
    f.integerLength = 9;
    f.decimalLength = 0;
    return f;
}

zunum::NumFormat rateFormat()
{
    zunum::NumFormat f;
    f.integerLength = 4;
    f.decimalLength = 1;
    f.rightMark = u"%"_s;
    return f;
}

// A line or total field's text after the window writes `text` into it.
QString lineField(const QString &text)
{
    return zunum::CanonicalText(text, wholeNumbers());
}

// A text field's text after the window writes `text` into it.
QString textField(const QString &text, int maxLength)
{
    return text.left(maxLength);
}

// The postal code and telephone fields turn what they are given half width.
QString halfWidthField(const QString &text, int maxLength)
{
    return textField(transfer::ToHalfWidth(textField(text, maxLength)), maxLength);
}

void printError(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

} // namespace

SavedSlip ReadSavedSlip(const QString &dir, const QDate &slipDate)
{
    SavedSlip out;
    const ProfileFile ini(dir + u"/vuzo_Vez_1.ini"_s);

    // The delivery address as start-up fills it.
    SlipInputs &in = out.inputs;
    in.zip = halfWidthField(ini.ReadString(kSection, u"E_ZIP"_s, QString()), kZipLength);
    in.add1 = textField(ini.ReadString(kSection, u"E_AD1"_s, QString()), kLineEditLength);
    in.add2 = textField(ini.ReadString(kSection, u"E_AD2"_s, QString()), kLineEditLength);
    in.add3 = textField(ini.ReadString(kSection, u"E_AD3"_s, QString()), kLineEditLength);
    in.custo1 = textField(ini.ReadString(kSection, u"E_CUS"_s, QString()), kNameLength);
    in.tel = halfWidthField(ini.ReadString(kSection, u"E_TEL"_s, QString()), kLineEditLength);

    // The rate in force on the slip date.
    const QString taxOld =
        zunum::CanonicalText(limits::TaxRateText(ini.ReadString(kSection, u"TaxOld"_s, u"8"_s), u"8"_s), rateFormat());
    const QString taxNew = zunum::CanonicalText(
        limits::TaxRateText(ini.ReadString(kSection, u"TaxNew"_s, u"10"_s), u"10"_s), rateFormat());
    const QDate enforcement =
        limits::TaxDate(ini.ReadDate(kSection, u"TaxEnforDate"_s, kDefaultTaxEnforDate), kDefaultTaxEnforDate);
    const slip::TaxRate rate = slip::TAX_RATE_CHK(StrToCurrZero(taxOld), StrToCurrZero(taxNew), enforcement, slipDate);

    // The saved sales lines, then the pre-print line pass and the totals.
    struct Line
    {
        QString item, unit, qty, price, sales;
    };
    std::array<Line, slip::kRows> lines;
    slip::Rows rows;
    for (int n = 1; n <= slip::kRows; ++n) {
        const QString num = QString::number(n);
        Line &l = lines[n - 1];
        l.item = textField(ini.ReadString(kSection, u"Edit_ITEM"_s + num, QString()), kItemLength);
        l.unit = textField(ini.ReadString(kSection, u"Edit_Unit"_s + num, QString()), kUnitLength);
        l.qty = lineField(ini.ReadString(kSection, u"Edit_QTY"_s + num, QString()));
        l.price = lineField(ini.ReadString(kSection, u"Edit_Price"_s + num, QString()));
        l.sales = lineField(ini.ReadString(kSection, u"Edit_Sales"_s + num, QString()));
        rows[n - 1] = {slip::ReadFieldValue(l.qty), slip::ReadFieldValue(l.price), slip::ReadFieldValue(l.sales)};
    }
    const slip::LinePass pass =
        slip::DEN_SALS_2(rows, [&](int row) { out.notices << slip::RowPriceWithoutQtyMessage(row); });
    QStringList overflow;
    for (int row : pass.overflowRows)
        overflow << slip::RowOverflowMessage(row);
    for (int n = 1; n <= slip::kRows; ++n) {
        const slip::RowUpdate &update = pass.rows[n - 1];
        Line &l = lines[n - 1];
        if (update.clearPrice)
            l.price.clear();
        switch (update.sales) {
        case slip::RowUpdate::Amount::Keep: break;
        case slip::RowUpdate::Amount::Clear: l.sales.clear(); break;
        case slip::RowUpdate::Amount::Set: l.sales = lineField(NumberText(update.amount)); break;
        }
        rows[n - 1] = {slip::ReadFieldValue(l.qty), slip::ReadFieldValue(l.price), slip::ReadFieldValue(l.sales)};
    }
    // The rounding code is not kept between runs: a fresh window truncates.
    const slip::Totals totals = slip::DEN_SUM(rows, StrToCurrZero(NumberText(rate.rate)), slip::ParseRounding(u"0"_s));
    for (const QString &field : totals.overflowFields)
        overflow << slip::TotalOverflowMessage(slip::TotalFieldCaption(field));
    if (!overflow.isEmpty())
        out.refusal = overflow.join(u'\n') + u"\n印刷できません。"_s;
    in.sttl = lineField(slip::FieldText(totals.sttl));
    for (int n = 1; n <= 4; ++n) {
        const Line &l = lines[n - 1];
        in.rows[n - 1] = {l.item, l.unit, StrToCurrZero(l.qty), StrToCurrZero(l.price), StrToCurrZero(l.sales)};
    }

    // The registration of the stored paper feed.
    const int feedIndex = ini.ReadInteger(kSection, u"ComboBox_SEL"_s, 0);
    const QString feed = feedIndex >= 0 && feedIndex < kFeeds.size() ? kFeeds.at(feedIndex) : kFeeds.first();
    const ProfileFile registration(dir + u"/vuzo_a500.ini"_s);
    const QString top = limits::OffsetText(registration.ReadString(feed, u"denPrn_Top"_s, u"0"_s), u"0"_s);
    const QString left = limits::OffsetText(registration.ReadString(feed, u"denPrn_Left"_s, u"0"_s), u"0"_s);
    const std::optional<WbSize> dpi =
        vuzo::ParseResolutionKeyword(registration.ReadString(feed, u"PrnResolution"_s, QString()));
    const int dpiX = dpi ? dpi->cx : kDefaultDpi;
    const int dpiY = dpi ? dpi->cy : kDefaultDpi;
    in.geometry = ParsePrintGeometry(QString::number(dpiX), QString::number(dpiY), top, left);
    out.sheetMm = RegisteredSheetMm(registration.ReadString(feed, u"PrnMedia"_s, QString()));
    out.title = PrintJobTitle(ini.ReadInteger(kSection, u"Comb_Paper"_s, 0), QString());
    return out;
}

int RunPdfExport(const QString &dataDir, const QString &file)
{
    try {
        const SavedSlip slip = ReadSavedSlip(dataDir, QDate::currentDate());
        for (const QString &notice : slip.notices)
            printError(notice);
        if (!slip.refusal.isEmpty()) {
            printError(slip.refusal);
            return 1;
        }
        WriteSlipPdf(file, slip.inputs, slip.sheetMm, slip.title);
    } catch (const EVuzoError &e) {
        printError(e.message());
        return 1;
    }
    return 0;
}

int PdfExportMain(int argc, char *argv[], const QString &dataDir, const QString &file)
{
    // No display is needed or wanted: the page is drawn offscreen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return RunPdfExport(dataDir, file);
}
