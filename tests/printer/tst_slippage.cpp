// A slip page apart from a print job: the PDF and the preview image are drawn
// by the layout routine through the painter canvas, so every item stands where
// the recording canvas (the drawing list of a print) puts it.

#include "PdfText.h"
#include "platform/Errors.h"
#include "print/RecordingCanvas.h"
#include "print/SlipForm.h"
#include "print/SlipLayout.h"
#include "printer/PainterCanvas.h"
#include "printer/SlipPage.h"

#include <QFile>
#include <QFontMetricsF>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// One text item as the recording canvas lists it.
struct Item
{
    QString face;
    int points = 0;
    int x = 0, y = 0;
    QString text;
    int advance = 0; // 0 for natural advances
};

QList<Item> itemsOf(const RecordingCanvas &canvas)
{
    QList<Item> items;
    QString face;
    int points = 0;
    for (const CanvasCall &c : canvas.calls()) {
        switch (c.kind) {
        case CanvasCall::Kind::FontName: face = c.text; break;
        case CanvasCall::Kind::FontSize: points = c.x; break;
        case CanvasCall::Kind::TextOut: items << Item{face, points, c.x, c.y, c.text, 0}; break;
        case CanvasCall::Kind::TextOutSpaced:
            items << Item{face, points, c.x, c.y, c.text, int(c.width / c.text.size())};
            break;
        default: break;
        }
    }
    return items;
}

SlipInputs sampleSlip(const PrintGeometry &g)
{
    SlipInputs in;
    in.geometry = g;
    in.sttl = u"12345"_s;
    in.zip = u"100-0001"_s;
    in.add1 = u"東京都千代田区千代田１－１"_s;
    in.add2 = u"皇居前ビル３階"_s;
    in.custo1 = u"山田　太郎　様"_s;
    in.tel = u"03-1234-5678"_s;
    auto money = [](int v) { return Currency::fromRaw(int64_t(v) * Currency::Scale); };
    in.rows[0] = {u"りんご"_s, u"箱"_s, money(3), money(1500), money(4500)};
    in.rows[2] = {u"ぶどう"_s, u"房"_s, money(-1), money(300), money(-300)};
    return in;
}

double ascentPx(const Item &item, int dpiY)
{
    QFont font(SubstituteFor(item.face).installed);
    font.setPixelSize(FontPixelSize(item.points, dpiY));
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    return QFontMetricsF(font).ascent();
}

QString shownText(const Item &item)
{
    QString t = item.text;
    if (SubstituteFor(item.face).yenForBackslash)
        t.replace(QChar(0x5C), QChar(0xA5));
    return t;
}

bool isInk(QRgb pixel)
{
    return qGray(pixel) < 128;
}

} // namespace

class TestSlipPage : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private Q_SLOTS:
    void theItemsOffThePrintableAreaAreNamed_data()
    {
        QTest::addColumn<QSizeF>("sheetMm");
        QTest::addColumn<double>("marginMm");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("left");
        QTest::addColumn<QStringList>("outside");
        QTest::newRow("A4 holds the whole slip") << QSizeF(210, 297) << 5.0 << 0 << 0 << QStringList();
        QTest::newRow("A5 cuts off the second amount row and the right remitter block")
            << QSizeF(148, 210) << 5.0 << 0 << 0 << QStringList{u"金額（2段目）"_s, u"ご依頼人（右）"_s};
        QTest::newRow("an offset to the left pushes the message column off")
            << QSizeF(210, 297) << 0.0 << 0 << -200 << QStringList{u"通信欄"_s};
        QTest::newRow("an offset down to the foot of A5 landscape cuts off the left block's telephone")
            << QSizeF(210, 148) << 0.0 << 1800 << 0 << QStringList{u"ご依頼人（左）"_s};
    }
    void theItemsOffThePrintableAreaAreNamed()
    {
        QFETCH(QSizeF, sheetMm);
        QFETCH(double, marginMm);
        QFETCH(int, top);
        QFETCH(int, left);
        QFETCH(QStringList, outside);
        const PrintedSheet sheet{sheetMm,
                                 QRectF(QPointF(0, 0), sheetMm).adjusted(marginMm, marginMm, -marginMm, -marginMm)};
        const SlipInputs in = sampleSlip({600, 600, top, left});
        QCOMPARE(ItemsOffSheet(in, sheet), outside);
        const QString warning = SlipFitWarning(in, sheet);
        QCOMPARE(warning.isEmpty(), outside.isEmpty());
        for (const QString &name : outside)
            QVERIFY(warning.contains(name));
    }

    void aTextWiderThanItsCellIsNamed_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("notices");
        QTest::newRow("a unit of one character fits") << u"箱"_s << u"りんご"_s << QStringList();
        QTest::newRow("a unit of three characters runs into the amount")
            << u"パック"_s << u"りんご"_s << QStringList{u"1行目の単位「パック」が欄に入りません"_s};
        QTest::newRow("a long item name runs into the quantity")
            << u"箱"_s << u"とても長い名前の商品の詰め合わせ贈答用特選品"_s
            << QStringList{u"1行目の商品名「とても長い名前の商品の詰め合わせ贈答用特選品」が欄に入りません"_s};
    }
    void aTextWiderThanItsCellIsNamed()
    {
        QFETCH(QString, unit);
        QFETCH(QString, item);
        QFETCH(QStringList, notices);
        for (const int dpi : {600, 300}) {
            SlipInputs in = sampleSlip({dpi, dpi, 0, 0});
            in.rows[0].unit = unit;
            in.rows[0].item = item;
            QCOMPARE(OverfullTextNotices(in), notices);
        }
    }

    void thePdfHoldsEveryItemWhereThePrintHasIt_data()
    {
        QTest::addColumn<int>("dpiX");
        QTest::addColumn<int>("dpiY");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("left");
        QTest::addColumn<QSizeF>("sheet");
        QTest::newRow("600 dpi on A4") << 600 << 600 << 0 << 0 << QSizeF(210, 297);
        QTest::newRow("300 dpi on B5, 20 down and 10 left") << 300 << 300 << 20 << -10 << QSizeF(182, 257);
        QTest::newRow("600 x 300 dpi") << 600 << 300 << 7 << 13 << QSizeF(210, 297);
    }
    void thePdfHoldsEveryItemWhereThePrintHasIt()
    {
        QFETCH(int, dpiX);
        QFETCH(int, dpiY);
        QFETCH(int, top);
        QFETCH(int, left);
        QFETCH(QSizeF, sheet);
        const SlipInputs in = sampleSlip(PrintGeometry{dpiX, dpiY, top, left});
        RecordingCanvas recording;
        SLIP97_Prn(recording, in);
        const QString pdf = dir.filePath(u"slip.pdf"_s);
        WriteSlipPdf(pdf, in, sheet, u"slip"_s);

        QString error;
        const QList<pdftext::Char> chars = pdftext::chars(pdf, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(pdftext::pageCount(chars), 1);
        QString problems;
        int checked = 0;
        for (const Item &item : itemsOf(recording)) {
            const QString shown = shownText(item);
            const double ascent = ascentPx(item, dpiY);
            for (qsizetype k = 0; k < shown.size(); ++k) {
                if (shown.at(k).isSpace())
                    continue;
                // Natural advances: the first character's place is the item's.
                if (item.advance == 0 && k > 0)
                    break;
                const double wantX = item.x + k * item.advance;
                const pdftext::Char *best = nullptr;
                double bestDistance = 1e9;
                for (const pdftext::Char &ch : chars) {
                    if (ch.c != shown.mid(k, 1))
                        continue;
                    const double d = std::hypot(ch.x * dpiX / 72.0 - wantX, ch.y * dpiY / 72.0 - ascent - item.y);
                    if (d < bestDistance) {
                        bestDistance = d;
                        best = &ch;
                    }
                }
                ++checked;
                if (!best) {
                    problems += u"%1 missing; "_s.arg(shown.mid(k, 1));
                    continue;
                }
                const double gotX = best->x * dpiX / 72.0;
                const double gotTop = best->y * dpiY / 72.0 - ascent;
                if (std::abs(gotX - wantX) > 0.5 || std::abs(gotTop - item.y) > 0.5)
                    problems += u"%1 at %2,%3 instead of %4,%5; "_s.arg(shown.mid(k, 1))
                                    .arg(gotX, 0, 'f', 2)
                                    .arg(gotTop, 0, 'f', 2)
                                    .arg(wantX)
                                    .arg(item.y);
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
        QVERIFY(checked > 40);

        // The sheet is the one asked for, and the fonts travel with the file.
        const QString info = QString::fromUtf8(pdftext::run(u"pdfinfo"_s, {pdf}, &error));
        static const QRegularExpression pageSize(u"Page size: +([\\d.]+) x ([\\d.]+) pts"_s);
        const QRegularExpressionMatch m = pageSize.match(info);
        QVERIFY2(m.hasMatch(), qPrintable(info));
        QVERIFY(std::abs(m.captured(1).toDouble() - sheet.width() / 25.4 * 72) < 1);
        QVERIFY(std::abs(m.captured(2).toDouble() - sheet.height() / 25.4 * 72) < 1);
        const QStringList fonts =
            QString::fromUtf8(pdftext::run(u"pdffonts"_s, {pdf}, &error)).split(u'\n', Qt::SkipEmptyParts).mid(2);
        QVERIFY(!fonts.isEmpty());
        for (const QString &line : fonts)
            QVERIFY2(line.contains(u" yes "_s), qPrintable(line));
    }

    void aPdfThatCannotBeWrittenLeavesNothing()
    {
        const QString path = dir.filePath(u"no-such-folder/slip.pdf"_s);
        try {
            WriteSlipPdf(path, sampleSlip(PrintGeometry{600, 600, 0, 0}), DefaultSheetMm(), QString());
            QFAIL("no error");
        } catch (const EInOutError &e) {
            QCOMPARE(e.message(), path + u" に書き込めません"_s);
        }
        QVERIFY(!QFile::exists(path));
    }

    void thePreviewImageHasTheLayoutsCells()
    {
        const SlipInputs in = sampleSlip(PrintGeometry{600, 600, 20, -10});
        RecordingCanvas recording;
        SLIP97_Prn(recording, in);
        const QImage page = RenderSlipPage(in, DefaultSheetMm(), 1.0, false);
        QCOMPARE(page.size(), QSize(4961, 7016));
        // Every spaced character's ink starts inside its own cell.
        for (const Item &item : itemsOf(recording)) {
            if (item.advance == 0)
                continue;
            const int height = FontPixelSize(item.points, 600);
            for (qsizetype k = 0; k < item.text.size(); ++k) {
                const QRect cell(item.x + int(k) * item.advance, item.y, item.advance, height + height / 3);
                bool ink = false;
                for (int y = cell.top(); y <= cell.bottom() && !ink; ++y) {
                    for (int x = cell.left(); x <= cell.right() && !ink; ++x)
                        ink = isInk(page.pixel(x, y));
                }
                QCOMPARE(ink, !item.text.at(k).isSpace());
            }
        }
        // The header rule: from its start up to, not including, its end.
        const CanvasCall from = recording.calls().at(recording.calls().indexOf(
            *std::find_if(recording.calls().begin(), recording.calls().end(),
                          [](const CanvasCall &c) { return c.kind == CanvasCall::Kind::MoveTo; })));
        const CanvasCall to = *std::find_if(recording.calls().begin(), recording.calls().end(),
                                            [](const CanvasCall &c) { return c.kind == CanvasCall::Kind::LineTo; });
        QVERIFY(!isInk(page.pixel(from.x - 1, from.y)));
        QVERIFY(isInk(page.pixel(from.x, from.y)));
        QVERIFY(isInk(page.pixel(to.x - 1, to.y)));
        QVERIFY(!isInk(page.pixel(to.x, to.y)));
        QVERIFY(!isInk(page.pixel((from.x + to.x) / 2, from.y - 1)));
        QVERIFY(!isInk(page.pixel((from.x + to.x) / 2, from.y + 1)));
    }

    void theFormLiesUnderThePrint()
    {
        const SlipInputs in = sampleSlip(PrintGeometry{600, 600, 0, 0});
        const QImage plain = RenderSlipPage(in, DefaultSheetMm(), 1.0, false);
        const QImage withForm = RenderSlipPage(in, DefaultSheetMm(), 1.0, true);
        const slipform::FormReference form = slipform::SlipFormReference(in.geometry);
        // The message column's left edge shows on white paper, tinted.
        const QPoint edge = form.messageColumn.topLeft().toPoint() + QPoint(0, 40);
        QCOMPARE(plain.pixel(edge), qRgb(255, 255, 255));
        QVERIFY(withForm.pixel(edge) != qRgb(255, 255, 255));
        // Ink stays ink where the form runs under it, and the rest of the
        // page is the same.
        int differing = 0;
        for (int y = 0; y < plain.height(); y += 7) {
            for (int x = 0; x < plain.width(); x += 7) {
                if (isInk(plain.pixel(x, y)))
                    QVERIFY(isInk(withForm.pixel(x, y)));
                differing += plain.pixel(x, y) != withForm.pixel(x, y);
            }
        }
        QVERIFY(differing > 0);
    }

    void aSmallerScaleGivesASmallerPage()
    {
        const QImage page = RenderSlipPage(sampleSlip(PrintGeometry{600, 600, 0, 0}), QSizeF(148, 210), 0.25, true);
        QCOMPARE(page.size(), QSize(875, 1241));
    }

    void tenMillimetreMarksFromTheOrigin_data()
    {
        QTest::addColumn<int>("origin");
        QTest::addColumn<double>("extent");
        QTest::addColumn<QList<int>>("millimetres");
        QTest::newRow("from the page's corner") << 0 << 1000.0 << QList<int>{0, 10, 20, 30, 40};
        QTest::newRow("an origin 300 pixels in has one mark before it") << 300 << 800.0 << QList<int>{-10, 0, 10, 20};
        QTest::newRow("an origin before the page") << -50 << 500.0 << QList<int>{10, 20};
    }
    void tenMillimetreMarksFromTheOrigin()
    {
        QFETCH(int, origin);
        QFETCH(double, extent);
        QFETCH(QList<int>, millimetres);
        QList<int> got;
        for (const GridMark &m : TenMillimetreMarks(origin, 600, extent)) {
            got << m.millimetres;
            QCOMPARE(m.position, origin + m.millimetres * 600 / 25.4);
        }
        QCOMPARE(got, millimetres);
    }
};

QTEST_MAIN(TestSlipPage)
#include "tst_slippage.moc"
