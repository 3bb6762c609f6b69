// The print command end to end: F11 in the main window, through the printer
// layer and the real CUPS scheduler, into the cups-pdf queue that
// scripts/cups-test-env creates; the produced PDF is read back and every text
// item of the slip is found where the layout puts it.
//
// Without the queue the tests are skipped, unless VUZO_REQUIRE_CUPS=1 asks for
// it, in which case they fail. VUZO_KEEP_CUPS_JOBS=1 keeps the jobs and PDF
// files for a look afterwards.

#include "PdfText.h"
#include "controls/TZuNumEdit.h"
#include "print/FontFaces.h"
#include "print/SlipLayout.h"
#include "printer/PainterCanvas.h"
#include "settings/ProfileFile.h"
#include "support/CupsJobs.h"
#include "support/MainWindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTest>
#include <QToolButton>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// One text item of the slip as the layout places it, in device pixels.
struct Item
{
    QString name;
    QString face; // as the layout asks for it
    int points = 0;
    int x = 0; // left edge of the first character cell
    int y = 0; // top of the cells
    QString text;
    int advance = 0; // spaced drawing: the cell advance; 0 for natural advances
};

// Where the page's pixels start and how big they are.
struct Device
{
    int dpiX = 0;
    int dpiY = 0;
    WbSize origin; // printable area's corner on the sheet, in pixels
};

// The slip of every test: an address in both blocks and four sales lines, the
// second without quantity (not printed) and the fourth with a negative one.
const window_test::SlipText kSlip{.zip = u"100-0001"_s,
                                  .add1 = u"東京都千代田区千代田１－１"_s,
                                  .add2 = u"皇居前ビル３階"_s,
                                  .add3 = u"総務部受付"_s,
                                  .custo1 = u"山田太郎様"_s,
                                  .tel = u"03-1234-5678"_s,
                                  .lines = {
                                      {u"りんご"_s, u"箱"_s, u"3"_s, u"1500"_s},
                                      {u"みかん"_s, u"袋"_s, u"0"_s, u"0"_s},
                                      {u"ぶどう"_s, u"房"_s, u"2"_s, u"12345"_s},
                                      {u"もも"_s, u"個"_s, u"-1"_s, u"300"_s},
                                  }};

// The items the slip should show, worked out from the layout's table and the
// window's fields as they were printed.
QList<Item> expectedItems(const MainWindowFixture &f, int dpiX, int dpiY, int top, int left)
{
    const int64_t sx = LayoutScale(dpiX);
    const int64_t sy = LayoutScale(dpiY);
    auto X = [&](int layout) { return LayoutToDevice(layout, sx, left); };
    auto Y = [&](int layout) { return LayoutToDevice(layout, sy, top); };
    auto W = [&](int layout) { return LayoutToDevice(layout, sx, 0); };
    const QString mincho = SlipFace::Mincho();
    const QString gothic = SlipFace::Gothic();
    const QString tahoma = SlipFace::Tahoma();

    QList<Item> items;
    const QString amount = BoxText(AmountText(f.w<TZuNumEdit>(u"ZuNumEdit_sttl"_s)->text()));
    items << Item{u"upper amount boxes"_s, mincho, 12, X(385), Y(77), amount, W(360) / 11}
          << Item{u"lower amount boxes"_s, mincho, 12, X(740), Y(277), amount, W(360) / 11}
          << Item{u"right block address 1"_s, mincho, 7, X(840), Y(340), f.w<QLineEdit>(u"Edit_Add1"_s)->text()}
          << Item{u"right block address 2"_s, mincho, 7, X(840), Y(365), f.w<QLineEdit>(u"Edit_Add2"_s)->text()}
          << Item{u"right block address 3"_s, mincho, 7, X(840), Y(390), f.w<QLineEdit>(u"Edit_Add3"_s)->text()}
          << Item{u"right block name"_s, mincho, 8, X(850), Y(430), f.w<QLineEdit>(u"Edit_Custo1"_s)->text()}
          << Item{u"left block postal code"_s, mincho, 8, X(80), Y(335), f.w<QLineEdit>(u"Edit_Zip"_s)->text()}
          << Item{u"left block address 1"_s, mincho, 8, X(80), Y(365), f.w<QLineEdit>(u"Edit_Add1"_s)->text()}
          << Item{u"left block address 2"_s, mincho, 8, X(80), Y(395), f.w<QLineEdit>(u"Edit_Add2"_s)->text()}
          << Item{u"left block address 3"_s, mincho, 8, X(80), Y(425), f.w<QLineEdit>(u"Edit_Add3"_s)->text()}
          << Item{u"left block name"_s, mincho, 8, X(100), Y(460), f.w<QLineEdit>(u"Edit_Custo1"_s)->text()}
          << Item{u"left block telephone"_s, mincho, 8, X(210), Y(500), f.w<QLineEdit>(u"Edit_tel"_s)->text()}
          << Item{u"heading item name"_s, gothic, 9, X(40), Y(195), u"商品名"_s}
          << Item{u"heading quantity"_s, gothic, 9, X(440), Y(195), u"数量"_s}
          << Item{u"heading unit price"_s, gothic, 9, X(535), Y(195), u"単価"_s}
          << Item{u"heading amount"_s, gothic, 9, X(630), Y(195), u"税抜金額"_s};
    int rowY = Y(230);
    const int step = LayoutToDevice(25, sy, 0);
    // A number cell as the window reads its field and the layout prints it.
    const auto cell = [](const QString &field) { return BoxText(GroupedNumberText(StrToCurrZero(field))); };
    for (int n = 1; n <= 4; ++n) {
        if (StrToCurrZero(f.line(n).qty->text()).isZero())
            continue;
        const QString row = u"line %1 "_s.arg(n);
        items << Item{row + u"item"_s, mincho, 8, X(40), rowY, f.line(n).item->text()}
              << Item{row + u"unit"_s, mincho, 6, X(588), rowY, f.line(n).unit->text()}
              << Item{row + u"quantity"_s, tahoma, 8, X(385), rowY, cell(f.line(n).qty->text()), W(99) / 11}
              << Item{row + u"unit price"_s, tahoma, 8, X(485), rowY, cell(f.line(n).price->text()), W(99) / 11}
              << Item{row + u"amount"_s, tahoma, 8, X(605), rowY, cell(f.line(n).sales->text()), W(99) / 11};
        rowY += step;
    }
    return items;
}

// The characters a device shows for an item: the yen mark of the Japanese
// faces is U+00A5 on paper.
QString shownText(const Item &item)
{
    QString t = item.text;
    if (SubstituteFor(item.face).yenForBackslash)
        t.replace(QChar(0x5C), QChar(0xA5));
    return t;
}

// The ascent, in device pixels, of the face that stands in for the requested
// one at the size the device maps the points to.
double ascentPx(const Item &item, int dpiY)
{
    QFont font(SubstituteFor(item.face).installed);
    font.setPixelSize(FontPixelSize(item.points, dpiY));
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    return QFontMetricsF(font).ascent();
}

double toPxX(double points, const Device &d)
{
    return points * d.dpiX / 72.0 - d.origin.cx;
}

double toPxY(double points, const Device &d)
{
    return points * d.dpiY / 72.0 - d.origin.cy;
}

// A character whose glyph lost its meaning on the way through the queue's
// filters (PDF to PostScript to PDF): it still stands where it was drawn.
bool unmapped(const QString &c)
{
    return c.size() == 1 && (c.at(0).unicode() < 0x20 || c.at(0).unicode() == 0xFFFD);
}

// How strictly the characters of a PDF are compared with the items' texts.
enum class Text
{
    Exact,     // the document the job sent: every character as drawn
    Positions, // the queue's output: characters whose glyphs lost their meaning match any
};

// How far a character may stand from its place, in device pixels. The
// document the job sent is held to the layout's own precision. The queue turns
// it into PostScript and back (pdftocairo, then Ghostscript), which snaps
// glyph origins to its device grid, truncating: an origin at exactly 140
// pixels can come back at 139.
struct Tolerance
{
    double x;
    double top;
};

Tolerance toleranceFor(Text mode)
{
    return mode == Text::Exact ? Tolerance{0.5, 1.0} : Tolerance{1.0, 1.5};
}

bool sameChar(const QString &got, const QString &wanted, Text mode)
{
    return got == wanted || (mode == Text::Positions && unmapped(got));
}

// Checks one item on one page; returns an empty text when it stands where it
// should, else what is wrong.
QString checkItem(const Item &item, int page, const QList<pdftext::Char> &chars, const QList<pdftext::Word> &words,
                  const Device &d, Text mode)
{
    const QString shown = shownText(item);
    qsizetype first = 0;
    while (first < shown.size() && shown.at(first).isSpace())
        ++first;
    if (first == shown.size())
        return QString();
    const double ascent = ascentPx(item, d.dpiY);
    const double emPx = FontPixelSize(item.points, d.dpiY);
    const Tolerance tolerance = toleranceFor(mode);

    // Every visible character: its cell's left edge and top, from mutool.
    QString problems;
    const qsizetype last = item.advance > 0 ? shown.size() : first + 1;
    for (qsizetype k = first; k < last; ++k) {
        const QString c = shown.mid(k, 1);
        if (c.at(0).isSpace())
            continue;
        const double wantX = item.x + (item.advance > 0 ? double(k * item.advance) : 0.0);
        const pdftext::Char *best = nullptr;
        double bestDistance = 1e9;
        for (const pdftext::Char &ch : chars) {
            if (ch.page != page || !sameChar(ch.c, c, mode))
                continue;
            const double dist = std::hypot(toPxX(ch.x, d) - wantX, toPxY(ch.y, d) - ascent - item.y);
            if (dist < bestDistance) {
                bestDistance = dist;
                best = &ch;
            }
        }
        if (!best) {
            problems += u"%1: character %2 not on page %3; "_s.arg(item.name, c).arg(page + 1);
            continue;
        }
        const double gotX = toPxX(best->x, d);
        const double gotTop = toPxY(best->y, d) - ascent;
        const double gotEm = best->size * d.dpiY / 72.0;
        // The queue's output draws text at size 1 scaled by its matrix, so the
        // em height is compared in the sent document only.
        const bool emWrong = mode == Text::Exact && std::abs(gotEm - emPx) > 0.25;
        if (std::abs(gotX - wantX) > tolerance.x || std::abs(gotTop - item.y) > tolerance.top || emWrong)
            problems += u"%1: character %2 at x %3 top %4 em %5, expected x %6 top %7 em %8; "_s.arg(item.name, c)
                            .arg(gotX, 0, 'f', 2)
                            .arg(gotTop, 0, 'f', 2)
                            .arg(gotEm, 0, 'f', 2)
                            .arg(wantX)
                            .arg(item.y)
                            .arg(emPx);
    }

    // The left edge of the first character as pdftotext sees its word.
    const QString c = shown.mid(first, 1);
    const pdftext::Word *best = nullptr;
    double bestDistance = 1e9;
    for (const pdftext::Word &w : words) {
        if (w.page != page || w.text.isEmpty() || !sameChar(w.text.left(1), c, mode))
            continue;
        const double dist = std::hypot(toPxX(w.xMin, d) - item.x - (item.advance > 0 ? first * item.advance : 0),
                                       toPxY(w.yMin, d) - item.y);
        // In the queue's output a word whose first characters were lost
        // starts somewhere else; only a word near the place counts there.
        if (mode == Text::Positions &&
            std::abs(toPxX(w.xMin, d) - item.x - (item.advance > 0 ? first * item.advance : 0)) > 3)
            continue;
        if (dist < bestDistance) {
            bestDistance = dist;
            best = &w;
        }
    }
    const double wantX = item.x + (item.advance > 0 ? double(first * item.advance) : 0.0);
    // The queue's output may have lost the word's characters altogether;
    // its characters' places were checked above.
    if (!best && mode == Text::Exact)
        problems += u"%1: no word starting with %2; "_s.arg(item.name, c);
    else if (best && std::abs(toPxX(best->xMin, d) - wantX) > tolerance.x)
        problems += u"%1: word %2 starts at x %3, expected %4; "_s.arg(item.name, best->text)
                        .arg(toPxX(best->xMin, d), 0, 'f', 2)
                        .arg(wantX);
    // Natural advances keep the whole text together on its line.
    if (item.advance == 0 && best && mode == Text::Exact) {
        QString line;
        for (const pdftext::Word &w : words) {
            if (w.page == page && std::abs(w.yMin - best->yMin) < 0.5 && w.xMin >= best->xMin - 0.01)
                line += w.text;
        }
        QString wanted = shown.mid(first);
        wanted.remove(u' ');
        wanted.remove(QChar(0x3000));
        if (!line.startsWith(wanted))
            problems += u"%1: line reads %2, expected %3; "_s.arg(item.name, line, wanted);
    }
    return problems;
}

} // namespace

class TestPrintCups : public QObject
{
    Q_OBJECT

    QString m_queue;
    QString m_out;
    QList<int> m_jobs;   // to purge
    QStringList m_files; // to remove

    bool keep() const { return qEnvironmentVariable("VUZO_KEEP_CUPS_JOBS") == u"1"_s; }

    // Installs the CUPS printer and registers the PDF queue for the hand-fed
    // slip with the given offsets. False (the test then skipped or failed)
    // when the queue is missing.
    bool startOnPdfQueue(MainWindowFixture &f, int top, int left)
    {
        const QString problem = f.registerPdfQueue(top, left);
        if (!problem.isEmpty()) {
            if (qEnvironmentVariable("VUZO_REQUIRE_CUPS") == u"1"_s)
                QTest::qFail(qPrintable(problem), __FILE__, __LINE__);
            else
                QTest::qSkip(qPrintable(problem), __FILE__, __LINE__);
            return false;
        }
        f.start();
        return true;
    }

    // The newest job of the queue with this title, 0 when there is none.
    int jobByTitle(const QString &title) const
    {
        int id = 0;
        for (const vuzo::CupsJob &job : vuzo::CupsJobs(m_queue)) {
            if (job.title == title)
                id = qMax(id, job.id);
        }
        return id;
    }

    bool jobCompleted(int id) const
    {
        for (const vuzo::CupsJob &job : vuzo::CupsJobs(m_queue)) {
            if (job.id == id)
                return job.completed;
        }
        return false;
    }

    QString pdfOfJob(int id) const
    {
        const QString suffix = u"-job_%1.pdf"_s.arg(id);
        for (const QFileInfo &fi : QDir(m_out).entryInfoList({u"*.pdf"_s}, QDir::Files)) {
            if (fi.fileName().endsWith(suffix) && fi.size() > 0)
                return fi.absoluteFilePath();
        }
        return QString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_queue = qEnvironmentVariable("VUZO_CUPS_PDF_QUEUE");
        m_out = qEnvironmentVariable("VUZO_CUPS_PDF_OUT");
    }

    void cleanupTestCase()
    {
        if (keep())
            return;
        for (int id : std::as_const(m_jobs)) {
            try {
                vuzo::CupsPurgeJob(m_queue, id);
            } catch (const EWbPrinter &) {
            }
        }
        for (const QString &file : std::as_const(m_files))
            QFile::remove(file);
    }

    void everyItemStandsWhereTheLayoutPutsIt_data();
    void everyItemStandsWhereTheLayoutPutsIt();
    void theInvoicePrintsOnItsOwnRegistration();

private:
    // Every item of the slip on each of the copies' pages of one PDF.
    void verifyPages(const QString &pdf, Text mode, const QList<Item> &items, int copies, const Device &d);
};

void TestPrintCups::everyItemStandsWhereTheLayoutPutsIt_data()
{
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("copies");

    QTest::newRow("one copy without offsets") << 0 << 0 << 1;
    QTest::newRow("offsets of 20 down and 10 left move every item") << 20 << -10 << 1;
    QTest::newRow("three copies are three pages of one job") << 0 << 0 << 3;
}

void TestPrintCups::everyItemStandsWhereTheLayoutPutsIt()
{
    QFETCH(int, top);
    QFETCH(int, left);
    QFETCH(int, copies);

    MainWindowFixture f;
    if (!startOnPdfQueue(f, top, left))
        return;
    QCOMPARE(WbPrinter().PrinterNames().at(WbPrinter().Index()), m_queue);
    QCOMPARE(f.w<QLabel>(u"Label_Prn_Top"_s)->text(), QString::number(top));
    QCOMPARE(f.w<QLabel>(u"Label_Prn_Left"_s)->text(), QString::number(left));

    window_test::fillSlip(f.form, kSlip);
    f.w<QComboBox>(u"ComboBox_Paper"_s)->setCurrentIndex(0);
    f.w<TZuNumEdit>(u"ZuNumEdit_BUSUU"_s)->setText(QString::number(copies));
    f.dialogs->answer({true});
    f.w<QToolButton>(u"SpeedButton_F11"_s)->click();
    // The number the history gave the slip.
    const QString slipNo = f.w<TZuNumEdit>(u"ZuNumEdit_Slipno"_s)->text();
    QCOMPARE(f.dialogs->errors(), QStringList());
    QCOMPARE(f.dialogs->confirms(), QStringList{u"印刷しますか?"_s});

    // One job, named for the paper and the slip number.
    const QString title = u"vuzo_Vez_1_0_YUBF-"_s + slipNo;
    const int id = jobByTitle(title);
    QVERIFY2(id > 0, qPrintable(u"no job titled "_s + title));
    m_jobs << id;
    QCOMPARE(vuzo::CupsJobAttributes(id).value(u"job-name"_s), title);
    QTRY_VERIFY_WITH_TIMEOUT(jobCompleted(id), 60000);
    QString pdf;
    QTRY_VERIFY_WITH_TIMEOUT(!(pdf = pdfOfJob(id)).isEmpty(), 30000);
    m_files << pdf;

    Device d;
    d.dpiX = f.w<QLabel>(u"Label_dpix"_s)->text().toInt();
    d.dpiY = f.w<QLabel>(u"Label_dpiy"_s)->text().toInt();
    QCOMPARE((WbSize{d.dpiX, d.dpiY}), WbPrinter().DPI());
    d.origin = WbPrinter().Offset();
    // The total reached the boxes: the slip is not empty.
    QVERIFY(StrToCurrZero(f.w<TZuNumEdit>(u"ZuNumEdit_sttl"_s)->text()) > Currency());
    const QList<Item> items = expectedItems(f, d.dpiX, d.dpiY, top, left);

    // The page as the queue produced it.
    verifyPages(pdf, Text::Positions, items, copies, d);
    if (QTest::currentTestFailed())
        return;
    // The document the job handed to the scheduler, kept in its spool folder,
    // holds the text exactly as drawn.
    const QString sent = u"/var/spool/cups/d%1-001"_s.arg(id, 5, 10, QLatin1Char('0'));
    if (!QFileInfo(sent).isReadable()) {
        qWarning("the job's document %s is not readable; its text is not compared", qPrintable(sent));
        return;
    }
    verifyPages(sent, Text::Exact, items, copies, d);
}

// F10 prints the delivery note and invoice on the queue and paper of its own
// registration, with the figures per rate.
void TestPrintCups::theInvoicePrintsOnItsOwnRegistration()
{
    MainWindowFixture f;
    const QString problem = f.registerPdfQueue(0, 0);
    if (!problem.isEmpty()) {
        if (qEnvironmentVariable("VUZO_REQUIRE_CUPS") == u"1"_s)
            QFAIL(qPrintable(problem));
        QSKIP(qPrintable(problem));
    }
    {
        ProfileFile registration(f.path(u"vuzo_a500.ini"_s));
        registration.WriteString(u"Invoice"_s, u"PrnName"_s, m_queue);
        registration.WriteString(u"Invoice"_s, u"PrnMedia"_s, u"iso_a4_210x297mm_borderless"_s);
        ProfileFile settings(f.path(u"vuzo_Vez_1.ini"_s));
        settings.WriteString(u"vz_Vez_1prn"_s, u"InvoiceRegNo"_s, u"T5550001112223"_s);
    }
    f.start();
    window_test::fillSlip(f.form, kSlip);
    f.w<QCheckBox>(u"CheckBox_Reduced1"_s)->setChecked(true);
    const int before = jobByTitle(u"適格請求書（納品書兼請求書）"_s);
    f.dialogs->answer({true});
    f.w<QToolButton>(u"SpeedButton_F10"_s)->click();
    QVERIFY2(f.dialogs->notices().isEmpty(), qPrintable(f.dialogs->notices().join(u"|"_s)));
    QCOMPARE(f.dialogs->errors(), QStringList());
    QCOMPARE(f.dialogs->confirms(), QStringList{u"納品書兼請求書を印刷しますか?"_s});
    const int id = jobByTitle(u"適格請求書（納品書兼請求書）"_s);
    QVERIFY(id > before);
    m_jobs << id;
    QVERIFY(vuzo::CupsJobAttributes(id).value(u"media"_s).startsWith(u"iso_a4_210x297mm"_s));
    QTRY_VERIFY_WITH_TIMEOUT(jobCompleted(id), 60000);
    QString pdf;
    QTRY_VERIFY_WITH_TIMEOUT(!(pdf = pdfOfJob(id)).isEmpty(), 30000);
    m_files << pdf;
    QString error;
    QString text;
    for (const pdftext::Word &w : pdftext::words(pdf, &error))
        text += w.text;
    QVERIFY2(error.isEmpty(), qPrintable(error));
    for (const QString &part :
         {u"登録番号T5550001112223"_s, u"山田太郎様"_s, u"りんご※"_s, u"8%対象¥4,500（消費税¥360）"_s,
          u"10%対象¥24,390（消費税¥2,439）"_s, u"※は軽減税率（8%）対象です"_s, u"¥31,689"_s})
        QVERIFY2(text.contains(QString(part).remove(u' ')), qPrintable(part + u" in "_s + text));
    // The slip's own feed is selected again.
    QCOMPARE(WbPrinter().PrinterNames().at(WbPrinter().Index()), m_queue);
}

void TestPrintCups::verifyPages(const QString &pdf, Text textMode, const QList<Item> &items, int copies,
                                const Device &d)
{
    QString error;
    const QList<pdftext::Char> chars = pdftext::chars(pdf, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QList<pdftext::Word> words = pdftext::words(pdf, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(pdftext::pageCount(chars), copies);

    for (int page = 0; page < copies; ++page) {
        QString problems;
        for (const Item &item : items)
            problems += checkItem(item, page, chars, words, d, textMode);
        QVERIFY2(problems.isEmpty(), qPrintable(pdf + u" page %1: "_s.arg(page + 1) + problems));

        // The amount's mark is a yen sign in the text, never a backslash.
        int yen = 0;
        for (const pdftext::Char &ch : chars) {
            if (ch.page != page)
                continue;
            QVERIFY2(ch.c != u"\\"_s, "a backslash was printed");
            if (ch.c == u"¥"_s)
                ++yen;
        }
        QCOMPARE(yen, 2);
    }
}

QTEST_MAIN(TestPrintCups)
#include "tst_printcups.moc"
