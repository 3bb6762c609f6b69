// The form's reference geometry from the layout's own positions, and the
// units of the print position window and the registration.

#include "print/RecordingCanvas.h"
#include "print/SlipForm.h"
#include "print/SlipLayout.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QList<CanvasCall> callsOf(const RecordingCanvas &canvas, CanvasCall::Kind kind)
{
    QList<CanvasCall> out;
    for (const CanvasCall &c : canvas.calls()) {
        if (c.kind == kind)
            out << c;
    }
    return out;
}

SlipInputs fullSlip(const PrintGeometry &g)
{
    SlipInputs in;
    in.geometry = g;
    in.sttl = u"12345"_s;
    in.zip = u"100-0001"_s;
    in.add1 = u"東京都千代田区"_s;
    for (SlipRow &row : in.rows)
        row = {u"品"_s, u"個"_s, Currency::fromRaw(1 * Currency::Scale), Currency::fromRaw(2 * Currency::Scale),
               Currency::fromRaw(2 * Currency::Scale)};
    return in;
}

} // namespace

class TestSlipForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theFormSitsWhereTheLayoutDraws_data()
    {
        QTest::addColumn<int>("dpiX");
        QTest::addColumn<int>("dpiY");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("left");
        QTest::newRow("600 dpi without offsets") << 600 << 600 << 0 << 0;
        QTest::newRow("600 x 300 dpi, 20 down and 10 left") << 600 << 300 << 20 << -10;
        QTest::newRow("203 dpi, odd offsets") << 203 << 203 << -7 << 33;
    }
    void theFormSitsWhereTheLayoutDraws()
    {
        QFETCH(int, dpiX);
        QFETCH(int, dpiY);
        QFETCH(int, top);
        QFETCH(int, left);
        const PrintGeometry g{dpiX, dpiY, top, left};
        RecordingCanvas canvas;
        SLIP97_Prn(canvas, fullSlip(g));
        const slipform::FormReference form = slipform::SlipFormReference(g);

        // Each amount character lands at the left edge of its cell.
        const QList<CanvasCall> spaced = callsOf(canvas, CanvasCall::Kind::TextOutSpaced);
        QCOMPARE(form.amountCells.size(), 22);
        for (int box = 0; box < 2; ++box) {
            const CanvasCall &amount = spaced.at(box);
            for (int k = 0; k < 11; ++k) {
                const QRectF cell = form.amountCells.at(box * 11 + k);
                QCOMPARE(cell.left(), double(amount.x + k * (amount.width / 11)));
                QCOMPARE(cell.top(), double(amount.y));
            }
        }
        // The header rule is the first line of the message column.
        const CanvasCall moveTo = callsOf(canvas, CanvasCall::Kind::MoveTo).first();
        const CanvasCall lineTo = callsOf(canvas, CanvasCall::Kind::LineTo).first();
        QCOMPARE(form.messageLines.first(), QLineF(moveTo.x, moveTo.y, lineTo.x, lineTo.y));
        QCOMPARE(form.referencePoints.at(4), QPointF(moveTo.x, moveTo.y));
        QCOMPARE(form.referencePoints.at(5), QPointF(lineTo.x, lineTo.y));
        // Every printed sales line starts inside the column, above its foot.
        const QList<CanvasCall> texts = callsOf(canvas, CanvasCall::Kind::TextOut);
        int row = 0;
        for (const CanvasCall &t : texts) {
            if (t.text != u"品"_s)
                continue;
            ++row;
            QVERIFY(form.messageColumn.contains(QPointF(t.x, t.y)));
            QVERIFY(t.y < form.messageLines.at(row).y1());
        }
        QCOMPARE(row, 4);
        // The postal code opens the left remitter block; the first right
        // address line opens the right one.
        const CanvasCall zip = texts.at(4);
        QCOMPARE(zip.text, u"100-0001"_s);
        QCOMPARE(form.remitterBlocks.at(0).topLeft(), QPointF(zip.x, zip.y));
        QCOMPARE(form.referencePoints.at(2), QPointF(zip.x, zip.y));
        QCOMPARE(form.remitterBlocks.at(1).topLeft(), QPointF(texts.at(0).x, texts.at(0).y));
        QCOMPARE(form.referencePoints.at(0), QPointF(spaced.at(0).x, spaced.at(0).y));
        QCOMPARE(form.referencePoints.at(1), QPointF(spaced.at(1).x, spaced.at(1).y));
    }

    void pixelsAndTenthsOfAMillimetre_data()
    {
        QTest::addColumn<int>("pixels");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("tenths");
        QTest::newRow("nothing is nothing") << 0 << 600 << 0;
        QTest::newRow("one pixel at 600 dpi is 0.04 mm, shown as 0.0") << 1 << 600 << 0;
        QTest::newRow("two pixels at 600 dpi round up to 0.1 mm") << 2 << 600 << 1;
        QTest::newRow("an inch at 600 dpi is 25.4 mm") << 600 << 600 << 254;
        QTest::newRow("half away from zero, negative") << -3 << 254 << -3;
        QTest::newRow("an inch at 203 dpi") << 203 << 203 << 254;
        QTest::newRow("no resolution gives nothing") << 100 << 0 << 0;
    }
    void pixelsAndTenthsOfAMillimetre()
    {
        QFETCH(int, pixels);
        QFETCH(int, dpi);
        QFETCH(int, tenths);
        QCOMPARE(PixelsToTenthMm(pixels, dpi), tenths);
    }

    void tenthsOfAMillimetreToPixels_data()
    {
        QTest::addColumn<int>("tenths");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("pixels");
        QTest::newRow("10 mm at 600 dpi") << 100 << 600 << 236;
        QTest::newRow("-10 mm at 600 dpi") << -100 << 600 << -236;
        QTest::newRow("0.1 mm at 300 dpi rounds to 1") << 1 << 300 << 1;
        QTest::newRow("25.4 mm at 180 dpi is exact") << 254 << 180 << 180;
        QTest::newRow("huge values stop at the int range") << 2147483647 << 2147483647 << 2147483647;
        QTest::newRow("no resolution gives nothing") << 100 << -5 << 0;
    }
    void tenthsOfAMillimetreToPixels()
    {
        QFETCH(int, tenths);
        QFETCH(int, dpi);
        QFETCH(int, pixels);
        QCOMPARE(TenthMmToPixels(tenths, dpi), pixels);
    }

    void millimetreTexts_data()
    {
        QTest::addColumn<int>("tenths");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole millimetres without decimal") << 120 << u"12"_s;
        QTest::newRow("one decimal") << 123 << u"12.3"_s;
        QTest::newRow("below one millimetre, negative") << -5 << u"-0.5"_s;
        QTest::newRow("zero") << 0 << u"0"_s;
    }
    void millimetreTexts()
    {
        QFETCH(int, tenths);
        QFETCH(QString, text);
        QCOMPARE(TenthMmText(tenths), text);
        QCOMPARE(ParseTenthMm(text), std::optional<int>(tenths));
    }

    void readingMillimetres_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("tenths"); // -99999 for none
        QTest::newRow("second decimal rounds half away from zero") << u"-0.25"_s << -3;
        QTest::newRow("second decimal below half is dropped") << u"1.24"_s << 12;
        QTest::newRow("a trailing point") << u"7."_s << 70;
        QTest::newRow("empty is no number") << QString() << -99999;
        QTest::newRow("a lone minus is no number") << u"-"_s << -99999;
    }
    void readingMillimetres()
    {
        QFETCH(QString, text);
        QFETCH(int, tenths);
        const std::optional<int> parsed = ParseTenthMm(text);
        QCOMPARE(parsed.value_or(-99999), tenths);
    }
};

QTEST_GUILESS_MAIN(TestSlipForm)
#include "tst_slipform.moc"
