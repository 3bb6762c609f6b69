// The print position adjustment window: showing, keys, whole-number offsets,
// and storing into the registration file (read back as CP932 bytes) and the
// main window.

#include "PrintSetupTestUtil.h"
#include "controls/TZuNumEdit.h"
#include "print/SlipLayout.h"
#include "support/MainWindowFixture.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace printsetup_test;
using window_test::focusName;

namespace {

const QString kHand = u"手差し"_s;
const QString kQuestion = u"印字位置調整の余白を登録しますか?"_s;

} // namespace

class TestPrintPosition : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> fx;
    int beeps = 0;

    QString regPath() const { return fx->path(u"vuzo_a500.ini"_s); }
    TForm_SLIP97YPrn *window() const { return fx->slip97YPrn; }
    // The window's controls, by their names.
    QGroupBox *group() const { return window()->findChild<QGroupBox *>(u"GroupBox1"_s); }
    TZuNumEdit *topField() const { return window()->findChild<TZuNumEdit *>(u"ZuNumEdit_TOP"_s); }
    TZuNumEdit *leftField() const { return window()->findChild<TZuNumEdit *>(u"ZuNumEdit_LEFT"_s); }
    QPushButton *registerButton() const { return window()->findChild<QPushButton *>(u"BitBtn_MRGN"_s); }
    QPushButton *alignButton() const { return window()->findChild<QPushButton *>(u"BitBtn_Align"_s); }
    TZuNumEdit *topMm() const { return window()->findChild<TZuNumEdit *>(u"ZuNumEdit_TOPmm"_s); }
    TZuNumEdit *leftMm() const { return window()->findChild<TZuNumEdit *>(u"ZuNumEdit_LEFTmm"_s); }
    QLabel *dpiLabel() const { return window()->findChild<QLabel *>(u"Label_Dpi"_s); }

    // Starts the program with printer B registered for the hand feed, the
    // given offsets in the main window, and the window shown.
    void open(const QString &top, const QString &left)
    {
        fx->usePrinters({u"テストプリンタA"_s, u"Test Printer B"_s});
        writeCp932(regPath(),
                   u"[手差し]\r\nPrnName=Test Printer B\r\nPrnNoIndex=1\r\ndenPrn_Top=1\r\ndenPrn_Left=2\r\n"_s);
        fx->start();
        fx->form->setPrintOffsets(top, left);
        show();
    }

    void show()
    {
        window()->show();
        QApplication::setActiveWindow(window());
        QCoreApplication::processEvents();
    }

    void type(TZuNumEdit *field, const QString &keys)
    {
        field->setFocus();
        QTest::keyClicks(field, keys);
        QCoreApplication::processEvents();
    }

private Q_SLOTS:
    void init()
    {
        fx = std::make_unique<MainWindowFixture>();
        fx->firstStart = true; // the registrations are written here
        beeps = 0;
        TZuNumEdit::setBeepHandler([this] { ++beeps; });
    }
    void cleanup()
    {
        TZuNumEdit::setBeepHandler({});
        fx.reset();
    }

    void theWindowsControlsAndCaptions()
    {
        open(u"0"_s, u"0"_s);
        QCOMPARE(window()->objectName(), u"Form_SLIP97YPrn"_s);
        QCOMPARE(window()->windowTitle(), u"印字位置調整"_s);
        QVERIFY(window()->isModal());
        QCOMPARE(group()->title(), u"印字位置調整セット"_s);
        // The captions of the two offsets, top first.
        QStringList captions;
        for (const QLabel *label : group()->findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
            captions << label->text();
        QCOMPARE(captions, QStringList({u"TOPﾏｰｼﾞﾝ"_s, u"LEFTﾏｰｼﾞﾝ"_s}));
        QCOMPARE(registerButton()->text(), u"印字位置登録"_s);
        for (const QString &name : {u"ZuNumEdit_TOP"_s, u"ZuNumEdit_LEFT"_s, u"BitBtn_MRGN"_s})
            QVERIFY2(window()->findChild<QWidget *>(name), qPrintable(name));
    }

    void theOuterSizeIs300By190AndEverythingFits()
    {
        open(u"0"_s, u"0"_s);
        QCOMPARE(window()->frameGeometry().size(), QSize(300, 190));
        const QRect client = window()->rect();
        for (QWidget *w : {static_cast<QWidget *>(group()), static_cast<QWidget *>(registerButton()),
                           static_cast<QWidget *>(alignButton()), static_cast<QWidget *>(dpiLabel())})
            QVERIFY2(client.contains(w->geometry()), qPrintable(w->objectName()));
        for (QWidget *w : {static_cast<QWidget *>(topMm()), static_cast<QWidget *>(leftMm())})
            QVERIFY2(group()->rect().contains(w->mapTo(group(), w->rect().bottomRight())), qPrintable(w->objectName()));
        // Shown a second time, it keeps that size.
        window()->hide();
        show();
        QCOMPARE(window()->frameGeometry().size(), QSize(300, 190));
    }

    void theOffsetsAreShownInMillimetresToo_data()
    {
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("shownTopMm");
        QTest::addColumn<QString>("shownLeftMm");
        QTest::newRow("10 mm down and 5 mm left at 600 dpi") << u"236"_s << u"-118"_s << u"10"_s << u"-5"_s;
        QTest::newRow("an inch") << u"600"_s << u"0"_s << u"25.4"_s << u"0"_s;
        QTest::newRow("empty offsets show no millimetres") << QString() << QString() << QString() << QString();
    }
    void theOffsetsAreShownInMillimetresToo()
    {
        QFETCH(QString, top);
        QFETCH(QString, left);
        QFETCH(QString, shownTopMm);
        QFETCH(QString, shownLeftMm);
        open(top, left);
        QCOMPARE(topMm()->text(), shownTopMm);
        QCOMPARE(leftMm()->text(), shownLeftMm);
        QCOMPARE(dpiLabel()->text(), u"mm は 600 dpi で換算"_s);
    }

    void typingOneUnitSetsTheOther_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("topMmText");
        QTest::newRow("12.5 mm is 295 pixels") << u"ZuNumEdit_TOPmm"_s << u"12.5"_s << u"295"_s << u"12.5"_s;
        QTest::newRow("-0.5 mm is -12 pixels") << u"ZuNumEdit_TOPmm"_s << u"-0.5"_s << u"-12"_s << u"-0.5"_s;
        QTest::newRow("300 pixels are 12.7 mm") << u"ZuNumEdit_TOP"_s << u"300"_s << u"300"_s << u"12.7"_s;
        QTest::newRow("a lone minus in pixels shows no millimetres")
            << u"ZuNumEdit_TOP"_s << u"-"_s << u"-"_s << QString();
    }
    void typingOneUnitSetsTheOther()
    {
        QFETCH(QString, field);
        QFETCH(QString, keys);
        QFETCH(QString, top);
        QFETCH(QString, topMmText);
        open(QString(), u"0"_s);
        type(window()->findChild<TZuNumEdit *>(field), keys);
        QCOMPARE(topField()->text(), top);
        QCOMPARE(topMm()->text(), topMmText);
    }

    void millimetresAreStoredAsPixels()
    {
        open(u"20"_s, u"-10"_s);
        type(leftMm(), u"-4.2"_s);
        QCOMPARE(leftField()->text(), u"-99"_s);
        fx->dialogs->answer({true});
        registerButton()->click();
        QCOMPARE(sectionLines(regPath(), kHand).value(3), u"denPrn_Left=-99"_s);
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Left"_s)->text(), u"-99"_s);
    }

    void theAlignmentSheetPrintsAtTheTypedOffsets()
    {
        open(u"20"_s, u"-10"_s);
        type(topField(), u"100"_s);
        fx->dialogs->answer({true});
        alignButton()->click();
        QCOMPARE(fx->dialogs->confirms(), QStringList({u"位置合わせ用紙を印刷しますか?"_s}));
        QCOMPARE(fx->memory->jobs().size(), 1);
        const MemorySystemPrinter::Job &job = fx->memory->jobs().first();
        QCOMPARE(job.device, u"Test Printer B"_s);
        QCOMPARE(job.title, u"vuzo_Vez_1_YUBF-ALIGN"_s);
        QVERIFY(job.ended);
        QCOMPARE(job.pages.size(), 1);
        // A crosshair at the first amount box's corner: 10 mm across, on the
        // printable area of the page, at the offsets typed (not stored).
        const QPointF corner(LayoutToDevice(385, LayoutScale(600), -10) + job.geometry.physicalOffsetX,
                             LayoutToDevice(77, LayoutScale(600), 100) + job.geometry.physicalOffsetY);
        bool found = false;
        for (const DrawOp &op : job.pages.first()) {
            if (op.kind == DrawOp::Line && std::abs(op.line.y1() - corner.y()) < 0.01 &&
                std::abs(op.line.center().x() - corner.x()) < 0.01 && std::abs(op.line.length() - 600 / 2.54) < 0.01)
                found = true;
        }
        QVERIFY(found);
        // Nothing is stored and the window stays open.
        QVERIFY(window()->isVisible());
        QCOMPARE(sectionLines(regPath(), kHand).value(2), u"denPrn_Top=1"_s);
    }

    void theAlignmentSheetAsksFirstAndRefusesBadOffsets()
    {
        open(u"20"_s, u"-10"_s);
        alignButton()->click(); // answered No
        QVERIFY(fx->memory->jobs().isEmpty());
        type(topField(), u"-"_s);
        alignButton()->click();
        QCOMPARE(fx->dialogs->notices(), QStringList({u"TOPﾏｰｼﾞﾝは -32767 から 32767 までの整数で入力してください"_s}));
        QVERIFY(fx->memory->jobs().isEmpty());
    }

    void noAlignmentSheetWhenTheRegisteredPrinterIsGone()
    {
        fx->usePrinters({u"テストプリンタA"_s});
        writeCp932(regPath(), u"[手差し]\r\nPrnName=Gone Printer\r\nPrnNoIndex=0\r\n"_s);
        fx->start();
        show();
        fx->dialogs->answer({true});
        alignButton()->click();
        QCOMPARE(fx->dialogs->notices().size(), 1);
        QVERIFY(fx->dialogs->notices().first().contains(u"Gone Printer"_s));
        QVERIFY(fx->memory->jobs().isEmpty());
    }

    void showingTakesTheMainWindowsOffsets_data()
    {
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("shownTop");
        QTest::addColumn<QString>("shownLeft");
        QTest::newRow("20 and -10 are shown as they are") << u"20"_s << u"-10"_s << u"20"_s << u"-10"_s;
        QTest::newRow("zero offsets") << u"0"_s << u"0"_s << u"0"_s << u"0"_s;
        QTest::newRow("leading zeros are dropped") << u"007"_s << u"-00"_s << u"7"_s << u"-0"_s;
        QTest::newRow("empty labels give empty fields") << QString() << QString() << QString() << QString();
        QTest::newRow("nine digits fit") << u"999999999"_s << u"-999999999"_s << u"999999999"_s << u"-999999999"_s;
    }
    void showingTakesTheMainWindowsOffsets()
    {
        QFETCH(QString, top);
        QFETCH(QString, left);
        QFETCH(QString, shownTop);
        QFETCH(QString, shownLeft);
        open(top, left);
        QCOMPARE(topField()->text(), shownTop);
        QCOMPARE(leftField()->text(), shownLeft);
        QCOMPARE(focusName(), u"ZuNumEdit_TOP"_s);
    }

    void everyShowingStartsFromTheMainWindow()
    {
        open(u"20"_s, u"-10"_s);
        type(topField(), u"55"_s);
        window()->reject(); // closed without storing
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Top"_s)->text(), u"20"_s);
        show();
        QCOMPARE(topField()->text(), u"20"_s);
    }

    void storingWithoutChangesRewritesTheSameValues()
    {
        open(u"20"_s, u"-10"_s);
        fx->dialogs->answer({true});
        registerButton()->click();

        QCOMPARE(fx->dialogs->confirms(), QStringList({kQuestion}));
        QCOMPARE(sectionLines(regPath(), kHand), QStringList({u"PrnName=Test Printer B"_s, u"PrnNoIndex=1"_s,
                                                              u"denPrn_Top=20"_s, u"denPrn_Left=-10"_s}));
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Top"_s)->text(), u"20"_s);
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Left"_s)->text(), u"-10"_s);
        QVERIFY(!window()->isVisible());
        QCOMPARE(window()->result(), int(QDialog::Accepted));
    }

    void storingANewFileWritesTheKeysInOrder()
    {
        fx->usePrinters({u"テストプリンタA"_s});
        fx->start();
        fx->form->setPrintOffsets(u"3"_s, u"4"_s);
        show();
        fx->dialogs->answer({true});
        registerButton()->click();
        QCOMPARE(fileLines(regPath()), QStringList({u"[手差し]"_s, u"PrnName=テストプリンタA"_s, u"PrnNoIndex=0"_s,
                                                    u"denPrn_Top=3"_s, u"denPrn_Left=4"_s}));
    }

    void typing015StoresTheCanonical15()
    {
        open(u"20"_s, u"-10"_s);
        type(topField(), u"015"_s);
        QCOMPARE(topField()->text(), u"15"_s);
        fx->dialogs->answer({true});
        registerButton()->click();
        QCOMPARE(sectionLines(regPath(), kHand).value(2), u"denPrn_Top=15"_s);
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Top"_s)->text(), u"15"_s);
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Left"_s)->text(), u"-10"_s);
    }

    void answeringNoKeepsTheWindowOpenAndChangesNothing()
    {
        open(u"20"_s, u"-10"_s);
        const QByteArray before = readBytes(regPath());
        type(topField(), u"33"_s);
        fx->dialogs->answer({false});
        registerButton()->click();

        QCOMPARE(fx->dialogs->confirms(), QStringList({kQuestion}));
        QVERIFY(window()->isVisible());
        QCOMPARE(topField()->text(), u"33"_s);
        QCOMPARE(readBytes(regPath()), before);
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Top"_s)->text(), u"20"_s);
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Left"_s)->text(), u"-10"_s);
    }

    void theContinuousFeedLeavesTheHandFeedSectionAlone()
    {
        fx->usePrinters({u"テストプリンタA"_s, u"Test Printer B"_s});
        writeCp932(regPath(),
                   u"[手差し]\r\nPrnName=テストプリンタA\r\nPrnNoIndex=0\r\ndenPrn_Top=1\r\ndenPrn_Left=2\r\n"
                   u"[連続(４．５インチ)]\r\nPrnName=Test Printer B\r\nPrnNoIndex=1\r\ndenPrn_Top=5\r\n"
                   u"denPrn_Left=6\r\n"_s);
        fx->start();
        fx->w<QComboBox>(u"ComboBox_SEL"_s)->setCurrentIndex(1);
        fx->w<QTabWidget>(u"PageControl1"_s)->setCurrentIndex(1); // the page change loads the feed's registration
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Top"_s)->text(), u"5"_s);
        show();
        type(leftField(), u"-12"_s);
        fx->dialogs->answer({true});
        registerButton()->click();

        QCOMPARE(fileLines(regPath()),
                 QStringList({u"[手差し]"_s, u"PrnName=テストプリンタA"_s, u"PrnNoIndex=0"_s, u"denPrn_Top=1"_s,
                              u"denPrn_Left=2"_s, u"[連続(４．５インチ)]"_s, u"PrnName=Test Printer B"_s,
                              u"PrnNoIndex=1"_s, u"denPrn_Top=5"_s, u"denPrn_Left=-12"_s}));
    }

    void theOffsetsAreWholeNumbers_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("refused");
        QTest::newRow("a full stop is refused") << u"."_s << QString() << 1;
        QTest::newRow("a decimal point inside a number is refused") << u"1.5"_s << u"15"_s << 1;
        QTest::newRow("a minus sign is taken") << u"-7"_s << u"-7"_s << 0;
        QTest::newRow("nine digits are taken") << u"123456789"_s << u"123456789"_s << 0;
        QTest::newRow("a tenth digit is refused") << u"1234567890"_s << u"123456789"_s << 1;
        QTest::newRow("a letter is refused") << u"2a"_s << u"2"_s << 1;
    }
    void theOffsetsAreWholeNumbers()
    {
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(int, refused);
        open(QString(), QString());
        for (TZuNumEdit *field : {topField(), leftField()}) {
            QCOMPARE(field->decimalLength(), 0);
            QVERIFY(field->isMinus());
            beeps = 0;
            type(field, keys);
            QCOMPARE(field->text(), text);
            QCOMPARE(beeps, refused);
        }
    }

    void aDecimalOffsetFromTheFileShowsItsWholePart()
    {
        open(u"1.5"_s, u"-2.25"_s);
        QCOMPARE(topField()->text(), u"1"_s);
        QCOMPARE(leftField()->text(), u"-2"_s);
    }

    void enterAndUpMoveTheFocus_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("to");
        QTest::newRow("Enter in the top margin goes to the left margin")
            << u"ZuNumEdit_TOP"_s << int(Qt::Key_Return) << u"ZuNumEdit_LEFT"_s;
        QTest::newRow("keypad Enter in the top margin goes to the left margin")
            << u"ZuNumEdit_TOP"_s << int(Qt::Key_Enter) << u"ZuNumEdit_LEFT"_s;
        QTest::newRow("Up in the top margin stays") << u"ZuNumEdit_TOP"_s << int(Qt::Key_Up) << u"ZuNumEdit_TOP"_s;
        QTest::newRow("Up in the left margin goes to the top margin")
            << u"ZuNumEdit_LEFT"_s << int(Qt::Key_Up) << u"ZuNumEdit_TOP"_s;
        QTest::newRow("Enter in the left margin goes to the button")
            << u"ZuNumEdit_LEFT"_s << int(Qt::Key_Return) << u"BitBtn_MRGN"_s;
        QTest::newRow("Down in the left margin stays")
            << u"ZuNumEdit_LEFT"_s << int(Qt::Key_Down) << u"ZuNumEdit_LEFT"_s;
    }
    void enterAndUpMoveTheFocus()
    {
        QFETCH(QString, from);
        QFETCH(int, key);
        QFETCH(QString, to);
        open(u"20"_s, u"-10"_s);
        auto *field = window()->findChild<TZuNumEdit *>(from);
        field->setFocus();
        QCoreApplication::processEvents();
        QTest::keyClick(field, Qt::Key(key));
        QCoreApplication::processEvents();
        QCOMPARE(focusName(), to);
        QCOMPARE(beeps, 0);
        // Moving on does not store or close.
        QVERIFY(window()->isVisible());
        QVERIFY(fx->dialogs->confirms().isEmpty());
        QCOMPARE(topField()->text(), u"20"_s);
        QCOMPARE(leftField()->text(), u"-10"_s);
    }

    void keysOnTheRegisterButtonPressIt_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter presses the button") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter presses the button") << int(Qt::Key_Enter);
        QTest::newRow("Space presses the button") << int(Qt::Key_Space);
    }
    void keysOnTheRegisterButtonPressIt()
    {
        QFETCH(int, key);
        open(u"20"_s, u"-10"_s);
        registerButton()->setFocus();
        QCoreApplication::processEvents();
        fx->dialogs->answer({true});
        QTest::keyClick(registerButton(), Qt::Key(key));
        QCoreApplication::processEvents();

        QCOMPARE(fx->dialogs->confirms(), QStringList({kQuestion}));
        QCOMPARE(sectionLines(regPath(), kHand).value(2), u"denPrn_Top=20"_s);
        QVERIFY(!window()->isVisible());
    }

    void anEmptyFieldStoresAnEmptyValue()
    {
        open(u"20"_s, u"-10"_s);
        topField()->setFocus();
        QTest::keyClick(topField(), Qt::Key_Backspace); // all selected on entering: empties it
        QCOMPARE(topField()->text(), QString());
        fx->dialogs->answer({true});
        registerButton()->click();
        QCOMPARE(sectionLines(regPath(), kHand).value(2), u"denPrn_Top="_s);
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Top"_s)->text(), QString());
    }

    void anOffsetOutOfRangeIsRefused_data()
    {
        QTest::addColumn<QString>("topKeys");
        QTest::addColumn<QString>("leftKeys");
        QTest::addColumn<QString>("message");
        QTest::newRow("a top offset beyond 32767")
            << u"32768"_s << u"5"_s << u"TOPﾏｰｼﾞﾝは -32767 から 32767 までの整数で入力してください"_s;
        QTest::newRow("a lone minus sign on the left")
            << u"5"_s << u"-"_s << u"LEFTﾏｰｼﾞﾝは -32767 から 32767 までの整数で入力してください"_s;
    }
    void anOffsetOutOfRangeIsRefused()
    {
        QFETCH(QString, topKeys);
        QFETCH(QString, leftKeys);
        QFETCH(QString, message);
        open(u"20"_s, u"-10"_s);
        const QByteArray before = readBytes(regPath());
        type(topField(), topKeys);
        type(leftField(), leftKeys);
        fx->dialogs->answer({true});
        registerButton()->click();

        QCOMPARE(fx->dialogs->notices(), QStringList{message});
        QVERIFY(fx->dialogs->confirms().isEmpty());
        QCOMPARE(readBytes(regPath()), before);
        QVERIFY(window()->isVisible());
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Top"_s)->text(), u"20"_s);
    }

    void aRefusedWriteKeepsTheWindowOpenAndTheMainWindowUnchanged()
    {
        open(u"20"_s, u"-10"_s);
        // A folder in the file's place: the write cannot succeed, whoever runs the test.
        QVERIFY(QFile::remove(regPath()));
        QVERIFY(QDir(fx->dir.path()).mkdir(u"vuzo_a500.ini"_s));
        type(topField(), u"33"_s);
        fx->dialogs->answer({true});
        registerButton()->click();

        QCOMPARE(fx->dialogs->errors().size(), 1);
        QVERIFY(window()->isVisible());
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Top"_s)->text(), u"20"_s);
    }

    void theFileGoesIntoTheCurrentDirectory()
    {
        open(u"20"_s, u"-10"_s);
        QTemporaryDir other;
        QVERIFY(QDir::setCurrent(other.path()));
        fx->dialogs->answer({true});
        registerButton()->click();
        QVERIFY(QDir::setCurrent(fx->dir.path()));
        QCOMPARE(sectionLines(other.filePath(u"vuzo_a500.ini"_s), kHand).value(2), u"denPrn_Top=20"_s);
    }
};

QTEST_MAIN(TestPrintPosition)
#include "tst_printposition.moc"
