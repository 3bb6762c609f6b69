// The print command of the main window (F11) over the in-memory printer: the
// calls it makes on the printer object, the pages of the job, what it tells
// the operator and what it leaves alone.

#include "controls/TZuNumEdit.h"
#include "support/MainWindowFixture.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const QString kNotPrinting = u"プリンタは現在印刷を行っていません"_s;

// The in-memory printer the window starts on (the first and default one).
const QString kPrinter = u"テストプリンタA"_s;

QList<DrawOp> textOps(const QList<DrawOp> &page)
{
    QList<DrawOp> out;
    for (const DrawOp &op : page) {
        if (op.kind == DrawOp::Text)
            out << op;
    }
    return out;
}

} // namespace

class TestFormMainPrint : public QObject
{
    Q_OBJECT

    // Fills the slip with an address and two sales lines, as an operator would.
    static void fillSlip(MainWindowFixture &f)
    {
        window_test::fillSlip(f.form, {.zip = u"123-4567"_s,
                                       .add1 = u"東京都千代田区千代田１－１"_s,
                                       .custo1 = u"山田　太郎"_s,
                                       .tel = u"03-1234-5678"_s,
                                       .lines = {{.item = u"りんご"_s, .qty = u"3"_s, .price = u"150"_s},
                                                 {.item = u"みかん"_s, .qty = u"2"_s, .price = u"80"_s}}});
    }

    static void pressF11(MainWindowFixture &f) { f.w<QToolButton>(u"SpeedButton_F11"_s)->click(); }

private Q_SLOTS:
    void copyCountGivesThatManyPagesInOneJob_data();
    void copyCountGivesThatManyPagesInOneJob();
    void effectiveResolutionFollowsDpiAndScale_data();
    void effectiveResolutionFollowsDpiAndScale();
    void jobTitleNamesPaperAndSlipNumber_data();
    void jobTitleNamesPaperAndSlipNumber();
    void answeringNoLeavesEverythingAndFocusesPasteArea();
    void refusedJobIsReportedOnce_data();
    void refusedJobIsReportedOnce();
    void offsetCaptionThatIsNoIntegerAbortsTheJob_data();
    void offsetCaptionThatIsNoIntegerAbortsTheJob();
    void amountThatDoesNotFitIsNotPrinted();
    void offsetsMoveEveryTextByThatManyPixels();
    void noPrinterBeginsNoJob();
    void whatWouldNotPrintAsShownIsAskedAboutFirst_data();
    void whatWouldNotPrintAsShownIsAskedAboutFirst();
    void unreadableRegistrationPrintsNothing();
};

void TestFormMainPrint::whatWouldNotPrintAsShownIsAskedAboutFirst_data()
{
    QTest::addColumn<bool>("firstStart");
    QTest::addColumn<int>("paper");
    QTest::addColumn<QString>("asked"); // a part of the first question
    QTest::newRow("a first start names the queue it would print on") << true << int(DMPAPER_A4) << kPrinter;
    QTest::newRow("A5 names the items it cuts off") << false << int(DMPAPER_A5) << u"ご依頼人（右）"_s;
}

void TestFormMainPrint::whatWouldNotPrintAsShownIsAskedAboutFirst()
{
    QFETCH(bool, firstStart);
    QFETCH(int, paper);
    QFETCH(QString, asked);

    MainWindowFixture f;
    f.firstStart = firstStart;
    f.usePrinters({kPrinter});
    f.memory->printer(kPrinter)->defaults.dmPaperSize = paper;
    f.start();
    fillSlip(f);
    QCOMPARE(f.w<QLabel>(u"Label_PrinterName2"_s)->text().startsWith(u"未登録"_s), firstStart);
    pressF11(f);
    // The default answer prints nothing, and nothing else is asked.
    QCOMPARE(f.dialogs->confirms().size(), 1);
    QVERIFY2(f.dialogs->confirms().first().contains(asked), qPrintable(f.dialogs->confirms().first()));
    QVERIFY(f.memory->jobs().isEmpty());
}

void TestFormMainPrint::copyCountGivesThatManyPagesInOneJob_data()
{
    QTest::addColumn<QString>("copies");
    QTest::addColumn<int>("drawnPages");

    QTest::newRow("zero copies begin and end the job with nothing drawn") << u"0"_s << 0;
    QTest::newRow("one copy, the initial count, is one page") << u"1"_s << 1;
    QTest::newRow("two copies are two pages") << u"2"_s << 2;
    QTest::newRow("three copies are three pages") << u"3"_s << 3;
    QTest::newRow("a negative count draws nothing") << u"-1"_s << 0;
    QTest::newRow("an empty count draws nothing") << QString() << 0;
    QTest::newRow("a count that is no integer draws nothing") << u"abc"_s << 0;
}

void TestFormMainPrint::copyCountGivesThatManyPagesInOneJob()
{
    QFETCH(QString, copies);
    QFETCH(int, drawnPages);

    MainWindowFixture f;
    f.start();
    fillSlip(f);
    f.w<TZuNumEdit>(u"ZuNumEdit_BUSUU"_s)->setText(copies);
    f.dialogs->answer({true});
    pressF11(f);

    QCOMPARE(f.dialogs->confirms(), QStringList{u"印刷しますか?"_s});
    QCOMPARE(f.dialogs->errors(), QStringList());
    QCOMPARE(f.memory->jobs().size(), 1);
    const MemorySystemPrinter::Job &job = f.memory->jobs().first();
    QVERIFY(job.ended);
    QVERIFY(!job.aborted);
    QVERIFY(!WbPrinter().Printing());
    // Begin and end with nothing between leave one empty page; otherwise every
    // page holds one whole slip.
    QCOMPARE(job.pages.size(), qMax(1, drawnPages));
    if (drawnPages == 0) {
        QVERIFY(job.pages.first().isEmpty());
        return;
    }
    const QList<DrawOp> first = textOps(job.pages.first());
    QVERIFY(!first.isEmpty());
    for (const QList<DrawOp> &page : job.pages) {
        const QList<DrawOp> texts = textOps(page);
        QCOMPARE(texts.size(), first.size());
        for (qsizetype i = 0; i < texts.size(); ++i) {
            QCOMPARE(texts.at(i).text, first.at(i).text);
            QCOMPARE(texts.at(i).pos, first.at(i).pos);
        }
    }
}

void TestFormMainPrint::effectiveResolutionFollowsDpiAndScale_data()
{
    QTest::addColumn<int>("dpiX");
    QTest::addColumn<int>("dpiY");
    QTest::addColumn<bool>("scaleField");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QString>("expectedX");
    QTest::addColumn<QString>("expectedY");

    QTest::newRow("600 dpi at 100 percent stays 600") << 600 << 600 << true << 100 << u"600"_s << u"600"_s;
    QTest::newRow("600 dpi at 50 percent is drawn at 1200") << 600 << 600 << true << 50 << u"1200"_s << u"1200"_s;
    QTest::newRow("300 dpi at 200 percent is drawn at 150") << 300 << 300 << true << 200 << u"150"_s << u"150"_s;
    QTest::newRow("a scale that does not divide truncates") << 600 << 600 << true << 70 << u"857"_s << u"857"_s;
    QTest::newRow("600 by 300 dpi keeps the directions apart") << 600 << 300 << true << 100 << u"600"_s << u"300"_s;
    QTest::newRow("a scale of 0 counts as 100 percent") << 600 << 600 << true << 0 << u"600"_s << u"600"_s;
    QTest::newRow("a printer without scaling prints at its resolution")
        << 300 << 300 << false << 0 << u"300"_s << u"300"_s;
}

void TestFormMainPrint::effectiveResolutionFollowsDpiAndScale()
{
    QFETCH(int, dpiX);
    QFETCH(int, dpiY);
    QFETCH(bool, scaleField);
    QFETCH(int, scale);
    QFETCH(QString, expectedX);
    QFETCH(QString, expectedY);

    MainWindowFixture f;
    f.usePrinters({kPrinter});
    MemorySystemPrinter::Printer *p = f.memory->printer(kPrinter);
    p->defaults.dmPrintQuality = dpiX;
    p->defaults.dmYResolution = dpiY;
    p->defaults.dmScale = scale;
    if (!scaleField)
        p->defaults.dmFields &= ~DM_SCALE;
    f.start();
    fillSlip(f);
    f.w<QLabel>(u"Label_dpix"_s)->setText(u"sentinel"_s);
    f.w<QLabel>(u"Label_dpiy"_s)->setText(u"sentinel"_s);
    f.dialogs->answer({true});
    pressF11(f);

    QCOMPARE(f.dialogs->errors(), QStringList());
    QCOMPARE(f.w<QLabel>(u"Label_dpix"_s)->text(), expectedX);
    QCOMPARE(f.w<QLabel>(u"Label_dpiy"_s)->text(), expectedY);
    QCOMPARE(f.memory->jobs().size(), 1);
    QVERIFY(f.memory->jobs().first().ended);
    QVERIFY(!textOps(f.memory->jobs().first().pages.first()).isEmpty());
}

void TestFormMainPrint::jobTitleNamesPaperAndSlipNumber_data()
{
    QTest::addColumn<int>("paper");
    QTest::addColumn<QString>("slipNo");
    QTest::addColumn<QString>("title");

    QTest::newRow("paper 0 and slip 12") << 0 << u"12"_s << u"vuzo_Vez_1_0_YUBF-12"_s;
    QTest::newRow("the last paper choice") << 2 << u"7"_s << u"vuzo_Vez_1_2_YUBF-7"_s;
    QTest::newRow("no paper chosen gives -1") << -1 << u"1"_s << u"vuzo_Vez_1_-1_YUBF-1"_s;
    QTest::newRow("an empty slip number leaves the hyphen last") << 1 << QString() << u"vuzo_Vez_1_1_YUBF-"_s;
}

void TestFormMainPrint::jobTitleNamesPaperAndSlipNumber()
{
    QFETCH(int, paper);
    QFETCH(QString, slipNo);
    QFETCH(QString, title);

    MainWindowFixture f;
    // Without a history the slip prints under the number the window holds.
    QVERIFY(QDir().mkpath(f.path(u"vuzo_history.sqlite3"_s)));
    f.start();
    f.w<QComboBox>(u"ComboBox_Paper"_s)->setCurrentIndex(paper);
    // The slip-number field holds canonical numeric text (blanks around a
    // number are trimmed by the title, which the title's own tests cover).
    f.w<TZuNumEdit>(u"ZuNumEdit_Slipno"_s)->setText(slipNo);
    QCOMPARE(f.w<TZuNumEdit>(u"ZuNumEdit_Slipno"_s)->text(), slipNo);
    f.dialogs->answer({true});
    pressF11(f);

    QCOMPARE(f.memory->jobs().size(), 1);
    QCOMPARE(f.memory->jobs().first().title, title);
}

void TestFormMainPrint::answeringNoLeavesEverythingAndFocusesPasteArea()
{
    MainWindowFixture f;
    f.start();
    fillSlip(f);
    f.w<QLabel>(u"Label_dpix"_s)->setText(u"777"_s);
    f.w<QLabel>(u"Label_dpiy"_s)->setText(u"778"_s);
    f.w<TZuNumEdit>(u"ZuNumEdit_BUSUU"_s)->setText(u"3"_s);
    f.w<QLineEdit>(u"Edit_Zip"_s)->setFocus();
    QCOMPARE(f.form->focusWidget(), f.w(u"Edit_Zip"_s));
    const QString printerName = WbPrinter().PrinterNames().at(WbPrinter().Index());
    f.dialogs->answer({false});
    pressF11(f);

    QCOMPARE(f.dialogs->confirms(), QStringList{u"印刷しますか?"_s});
    QCOMPARE(f.dialogs->errors(), QStringList());
    QCOMPARE(f.w<QLabel>(u"Label_dpix"_s)->text(), u"777"_s);
    QCOMPARE(f.w<QLabel>(u"Label_dpiy"_s)->text(), u"778"_s);
    QCOMPARE(f.w<TZuNumEdit>(u"ZuNumEdit_BUSUU"_s)->text(), u"3"_s);
    QCOMPARE(WbPrinter().PrinterNames().at(WbPrinter().Index()), printerName);
    QCOMPARE(f.form->focusWidget(), f.w(u"Memo1"_s));
    QVERIFY(f.memory->jobs().isEmpty());
    // The recalculation still ran before the question.
    QCOMPARE(f.w<TZuNumEdit>(u"ZuNumEdit_sttl"_s)->text().isEmpty(), false);
}

void TestFormMainPrint::refusedJobIsReportedOnce_data()
{
    QTest::addColumn<QString>("copies");
    QTest::newRow("one copy") << u"1"_s;
    QTest::newRow("three copies") << u"3"_s;
    QTest::newRow("no copies") << u"0"_s;
}

void TestFormMainPrint::refusedJobIsReportedOnce()
{
    QFETCH(QString, copies);

    MainWindowFixture f;
    f.start();
    fillSlip(f);
    f.w<TZuNumEdit>(u"ZuNumEdit_BUSUU"_s)->setText(copies);
    f.memory->setRefuseJobs(true);
    f.dialogs->answer({true});
    pressF11(f);

    QCOMPARE(f.dialogs->errors(), QStringList{kNotPrinting});
    QVERIFY(f.memory->jobs().isEmpty());
    QVERIFY(!WbPrinter().Printing());

    // The command can simply be repeated once the system takes jobs again.
    f.memory->setRefuseJobs(false);
    f.dialogs->clear();
    f.dialogs->answer({true});
    pressF11(f);
    QCOMPARE(f.dialogs->errors(), QStringList());
    QCOMPARE(f.memory->jobs().size(), 1);
    QVERIFY(f.memory->jobs().first().ended);
}

void TestFormMainPrint::offsetCaptionThatIsNoIntegerAbortsTheJob_data()
{
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("copies");
    QTest::addColumn<QString>("message");

    QTest::newRow("the top caption's design text, one copy")
        << u"Top"_s << u"0"_s << u"1"_s << u"''Top'' は整数ではありません"_s;
    QTest::newRow("the top caption's design text, three copies")
        << u"Top"_s << u"0"_s << u"3"_s << u"''Top'' は整数ではありません"_s;
    QTest::newRow("the left caption's design text")
        << u"0"_s << u"Left"_s << u"1"_s << u"''Left'' は整数ではありません"_s;
    QTest::newRow("a decimal offset") << u"1.5"_s << u"0"_s << u"2"_s << u"''1.5'' は整数ではありません"_s;
}

void TestFormMainPrint::offsetCaptionThatIsNoIntegerAbortsTheJob()
{
    QFETCH(QString, top);
    QFETCH(QString, left);
    QFETCH(QString, copies);
    QFETCH(QString, message);

    MainWindowFixture f;
    f.start();
    fillSlip(f);
    f.form->setPrintOffsets(top, left);
    f.w<TZuNumEdit>(u"ZuNumEdit_BUSUU"_s)->setText(copies);
    f.dialogs->answer({true});
    pressF11(f);

    QCOMPARE(f.dialogs->errors(), QStringList{message});
    QCOMPARE(f.memory->jobs().size(), 1);
    const MemorySystemPrinter::Job &job = f.memory->jobs().first();
    QVERIFY(job.aborted);
    QVERIFY(!job.ended);
    // The routine stops before its first drawing call.
    QCOMPARE(job.pages.size(), 1);
    QVERIFY(job.pages.first().isEmpty());
    QVERIFY(!WbPrinter().Printing());
    // The slip fields stay as they are.
    QCOMPARE(f.w<QLabel>(u"Label_Prn_Top"_s)->text(), top);
    QCOMPARE(f.w<QLineEdit>(u"Edit_Zip"_s)->text(), u"123-4567"_s);
}

void TestFormMainPrint::amountThatDoesNotFitIsNotPrinted()
{
    MainWindowFixture f;
    f.start();
    fillSlip(f);
    // 99999 x 99999 has ten digits; a line amount holds nine.
    f.line(2).qty->setText(u"99999"_s);
    f.line(2).price->setText(u"99999"_s);
    f.dialogs->answer({true});
    pressF11(f);

    QCOMPARE(f.dialogs->confirms(), QStringList());
    QCOMPARE(f.dialogs->pendingAnswers(), 1);
    const QStringList notices = f.dialogs->notices();
    QVERIFY(!notices.isEmpty());
    QVERIFY2(notices.last().contains(u"2行目の金額が大きすぎます"_s), qPrintable(notices.join(u" | "_s)));
    QVERIFY2(notices.last().contains(u"印刷できません"_s), qPrintable(notices.last()));
    QCOMPARE(f.dialogs->errors(), QStringList());
    QVERIFY(f.memory->jobs().isEmpty());

    // Once the line fits again, the slip prints.
    f.line(2).qty->setText(u"2"_s);
    f.dialogs->clear();
    pressF11(f);
    QCOMPARE(f.dialogs->confirms(), QStringList{u"印刷しますか?"_s});
    QCOMPARE(f.memory->jobs().size(), 1);
    QVERIFY(f.memory->jobs().first().ended);
}

void TestFormMainPrint::offsetsMoveEveryTextByThatManyPixels()
{
    MainWindowFixture f;
    f.start();
    fillSlip(f);
    f.form->setPrintOffsets(u"0"_s, u"0"_s);
    f.dialogs->answer({true, true});
    pressF11(f);
    f.form->setPrintOffsets(u"20"_s, u"-10"_s);
    pressF11(f);

    QCOMPARE(f.dialogs->errors(), QStringList());
    QCOMPARE(f.memory->jobs().size(), 2);
    const QList<DrawOp> plain = textOps(f.memory->jobs().at(0).pages.first());
    const QList<DrawOp> moved = textOps(f.memory->jobs().at(1).pages.first());
    QVERIFY(plain.size() > 10);
    QCOMPARE(moved.size(), plain.size());
    for (qsizetype i = 0; i < plain.size(); ++i) {
        QCOMPARE(moved.at(i).text, plain.at(i).text);
        QCOMPARE(moved.at(i).pos - plain.at(i).pos, QPointF(-10, 20));
    }
}

void TestFormMainPrint::noPrinterBeginsNoJob()
{
    MainWindowFixture f;
    f.start();
    fillSlip(f);
    f.memory->printer(kPrinter)->attributes |= PRINTER_ATTRIBUTE_HIDDEN;
    f.memory->printer(u"Test Printer B"_s)->attributes |= PRINTER_ATTRIBUTE_HIDDEN;
    WbPrinter().CheckSystemChange();
    f.dialogs->clear();
    f.dialogs->answer({true});
    pressF11(f);

    QCOMPARE(f.dialogs->errors(), QStringList());
    QCOMPARE(f.dialogs->notices(), QStringList{vuzo::NoPrinterMessage(u"TWbPrinter.CheckNoPrinter: No Printer"_s)});
    QVERIFY(f.memory->jobs().isEmpty());
}

// A registration file that could not be read is told at start-up, and F11
// refuses to print on defaults in its place.
void TestFormMainPrint::unreadableRegistrationPrintsNothing()
{
    MainWindowFixture f;
    QVERIFY(QDir(f.dir.path()).mkdir(u"vuzo_a500.ini"_s));
    f.start();
    QCOMPARE(f.dialogs->notices().size(), 1);
    QVERIFY2(f.dialogs->notices().first().startsWith(u"プリンタの登録ファイル "_s + f.path(u"vuzo_a500.ini"_s)),
             qPrintable(f.dialogs->notices().first()));
    fillSlip(f);
    f.dialogs->clear();
    f.dialogs->answer({true});
    pressF11(f);
    QCOMPARE(f.dialogs->confirms(), QStringList());
    QCOMPARE(f.dialogs->notices().size(), 1);
    QVERIFY2(f.dialogs->notices().first().contains(u"を読めないため、印刷しません"_s),
             qPrintable(f.dialogs->notices().first()));
    QVERIFY(f.memory->jobs().isEmpty());
    QVERIFY(QFileInfo(f.path(u"vuzo_a500.ini"_s)).isDir());
}

QTEST_MAIN(TestFormMainPrint)
#include "tst_formmainprint.moc"
