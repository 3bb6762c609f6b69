// vuzo_vez_1 --pdf FILE: the slip of the settings files, computed as the
// window computes it for F11, written without a display and without touching
// the settings files.

#include "PdfText.h"
#include "app/CommandLine.h"
#include "app/PdfExport.h"
#include "print/RecordingCanvas.h"
#include "support/HeadlessRun.h"
#include "support/MainWindowFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString program()
{
    return QStringLiteral(VUZO_PROGRAM);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A saved slip with what the pre-print pass has to mend: a full-width postal
// code and telephone, a price without quantity (row 2), a stale amount
// (row 3), a negative quantity and a long item name.
const QByteArray kSettings = u"[vz_Vez_1prn]\r\n"
                             "E_ZIP=１００－０００１\r\n"
                             "E_AD1=東京都千代田区千代田１－１\r\n"
                             "E_AD2=皇居前ビル３階\r\n"
                             "E_CUS=山田　太郎　様\r\n"
                             "E_TEL=０３－１２３４－５６７８\r\n"
                             "TaxOld=8\r\nTaxNew=10\r\nTaxEnforDate=2019/10/01\r\n"
                             "Edit_ITEM1=りんご\r\nEdit_QTY1=3\r\nEdit_Unit1=箱\r\nEdit_Price1=1500\r\n"
                             "Edit_ITEM2=みかん\r\nEdit_QTY2=0\r\nEdit_Price2=200\r\nEdit_Sales2=200\r\n"
                             "Edit_ITEM3=ぶどう\r\nEdit_QTY3=2\r\nEdit_Price3=12345\r\nEdit_Sales3=1\r\n"
                             "Edit_ITEM4=とても長い名前の商品とても長い名前の商品とても長い名前の商品とても長い\r\n"
                             "Edit_QTY4=-1\r\nEdit_Price4=300\r\n"_s.toUtf8();
const QByteArray kRegistration =
    "[\xe6\x89\x8b\xe5\xb7\xae\xe3\x81\x97]\r\nPrnNoIndex=0\r\ndenPrn_Top=20\r\ndenPrn_Left=-10\r\n"; // [手差し]

// No display of any kind: the export must not need one.
using headless::Run;

Run runPdf(const QString &dir, const QStringList &arguments)
{
    return headless::RunProgram(program(), dir, arguments);
}

} // namespace

class TestPdfExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theArgumentsThatAskForAPdf_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file"); // "-" for no request
        QTest::newRow("no arguments") << QStringList() << u"-"_s;
        QTest::newRow("the file after --pdf") << QStringList{u"--pdf"_s, u"a.pdf"_s} << u"a.pdf"_s;
        QTest::newRow("the file in --pdf=") << QStringList{u"--pdf=b c.pdf"_s} << u"b c.pdf"_s;
        QTest::newRow("after other options")
            << QStringList{u"--data-dir"_s, u"x"_s, u"--pdf"_s, u"ü.pdf"_s} << u"ü.pdf"_s;
        QTest::newRow("--pdf without a file") << QStringList{u"--pdf"_s} << QString();
        QTest::newRow("another option only") << QStringList{u"--pdfx"_s} << u"-"_s;
    }
    // The command line asks for the export; "--pdf" naming no file is its
    // error about --pdf.
    void theArgumentsThatAskForAPdf()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        const CommandLine c = ParseCommandLine(arguments);
        QString request = u"-"_s;
        if (c.action == CommandLine::Action::ExportPdf)
            request = c.pdfFile;
        else if (c.action == CommandLine::Action::Fail && c.error.startsWith(u"--pdf "_s))
            request = QString();
        QCOMPARE(request, file);
    }

    void theSavedSlipIsTheOneTheWindowPrints()
    {
        MainWindowFixture f;
        writeFile(f.path(u"vuzo_Vez_1.ini"_s), kSettings);
        writeFile(f.path(u"vuzo_a500.ini"_s), kRegistration);
        const SavedSlip saved = ReadSavedSlip(f.dir.path(), QDate::currentDate());
        QCOMPARE(saved.notices, QStringList{u"2行目　数量の入力がないので、単価を０にします"_s});
        QVERIFY(saved.refusal.isEmpty());
        QCOMPARE(saved.inputs.geometry.dpiX, 600);
        QCOMPARE(saved.inputs.geometry.top, 20);
        QCOMPARE(saved.inputs.geometry.left, -10);
        QCOMPARE(saved.sheetMm, QSizeF(210, 297));

        // The window: start-up, then F11 with its pre-print pass, printed on
        // the in-memory printer at 600 dpi.
        f.start();
        f.dialogs->answer({true});
        f.w<QWidget>(u"Edit_Zip"_s)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F11);
        QCOMPARE(f.dialogs->notices(), saved.notices);
        QCOMPARE(f.memory->jobs().size(), 1);
        RecordingCanvas window;
        SLIP97_Prn(window, f.d97Dot->Inputs());
        RecordingCanvas exported;
        SLIP97_Prn(exported, saved.inputs);
        QCOMPARE(exported.transcript(), window.transcript());
    }

    // Texts longer than their field's typing limit come from the file whole,
    // in the window and in the export alike.
    void aLongTextIsDrawnWholeAsTheWindowDrawsIt()
    {
        MainWindowFixture f;
        const QString item = QString(20, u'栗') + QString(20, u'柿');
        const QString unit = u"パック詰め合わせ"_s;
        const QString name = QString(45, u'森') + QString(45, u'林');
        writeFile(f.path(u"vuzo_Vez_1.ini"_s), (u"[vz_Vez_1prn]\r\nE_CUS="_s + name + u"\r\nEdit_ITEM1="_s + item +
                                                u"\r\nEdit_Unit1="_s + unit + u"\r\nEdit_QTY1=1\r\n"_s)
                                                   .toUtf8());
        const SavedSlip saved = ReadSavedSlip(f.dir.path(), QDate::currentDate());
        QCOMPARE(saved.inputs.rows[0].item, item);
        QCOMPARE(saved.inputs.rows[0].unit, unit);
        QCOMPARE(saved.inputs.custo1, name);
        f.start();
        QCOMPARE(f.w<QLineEdit>(u"Edit_item1"_s)->text(), item);
        QCOMPARE(f.w<QLineEdit>(u"Edit_unit1"_s)->text(), unit);
        QCOMPARE(f.w<QLineEdit>(u"Edit_Custo1"_s)->text(), name);
    }

    void aFigureThatDoesNotFitIsRefused()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(u"vuzo_Vez_1.ini"_s),
                  "[vz_Vez_1prn]\r\nEdit_QTY1=999999999\r\nEdit_Price1=999999999\r\n");
        const SavedSlip saved = ReadSavedSlip(dir.path(), QDate(2026, 1, 1));
        QVERIFY(saved.refusal.endsWith(u"\n印刷できません。"_s));
    }

    void theProgramWritesThePdfWithoutADisplay()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(u"vuzo_Vez_1.ini"_s), kSettings);
        writeFile(dir.filePath(u"vuzo_a500.ini"_s),
                  kRegistration + "PrnMedia=jis_b5_182x257mm\r\nPrnResolution=300x300dpi\r\n");
        const Run run = runPdf(dir.path(), {u"--pdf"_s, u"out.pdf"_s});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.errors.contains(u"2行目　数量の入力がないので、単価を０にします"_s), qPrintable(run.errors));
        // The settings are read, never written; nothing else appears.
        QCOMPARE(readFile(dir.filePath(u"vuzo_Vez_1.ini"_s)), kSettings);
        QCOMPARE(readFile(dir.filePath(u"vuzo_a500.ini"_s)),
                 kRegistration + "PrnMedia=jis_b5_182x257mm\r\nPrnResolution=300x300dpi\r\n");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
                 QStringList({u"out.pdf"_s, u"vuzo_Vez_1.ini"_s, u"vuzo_a500.ini"_s}));

        // The postal code, made half width, at its place at 300 dpi.
        QString error;
        const QList<pdftext::Word> words = pdftext::words(dir.filePath(u"out.pdf"_s), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const SavedSlip saved = ReadSavedSlip(dir.path(), QDate::currentDate());
        QCOMPARE(saved.inputs.geometry.dpiY, 300);
        const int zipX = LayoutToDevice(80, LayoutScale(300), -10);
        bool found = false;
        for (const pdftext::Word &w : words) {
            if (w.text == u"100-0001"_s) {
                found = true;
                QVERIFY(std::abs(w.xMin * 300 / 72 - zipX) < 1.0);
            }
        }
        QVERIFY(found);
    }

    // --invoice-pdf writes the slip's delivery note and invoice, on the A5
    // paper of the invoice's registration, with the per-rate figures.
    void theInvoiceIsWrittenWithoutADisplay()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(u"vuzo_Vez_1.ini"_s), kSettings + "TaxClass1=1\r\nInvoiceRegNo=T1234509876543\r\n");
        writeFile(dir.filePath(u"vuzo_a500.ini"_s), "[Invoice]\r\nPrnMedia=iso_a5_148x210mm\r\n");
        const Run run = runPdf(dir.path(), {u"--invoice-pdf"_s, u"invoice.pdf"_s});
        QCOMPARE(run.exitCode, 0);
        QString error;
        const QList<pdftext::Word> words = pdftext::words(dir.filePath(u"invoice.pdf"_s), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QString text;
        double bottom = 0;
        for (const pdftext::Word &w : words) {
            text += w.text;
            bottom = std::max(bottom, w.yMax);
        }
        for (const QString &part : {u"適格請求書"_s, u"T1234509876543"_s, u"りんご※"_s, u"8%対象¥4,500（消費税¥360）"_s,
                                    u"10%対象¥24,390（消費税¥2,439）"_s, u"¥31,689"_s})
            QVERIFY2(text.contains(part), qPrintable(part + u" in "_s + text));
        QVERIFY(bottom < 210 / 25.4 * 72); // on an A5 page
    }

    void theSlipOfTheDataFolderIsWrittenWhereTheProgramStarted()
    {
        QTemporaryDir start;
        QTemporaryDir data;
        writeFile(data.filePath(u"vuzo_Vez_1.ini"_s), kSettings);
        const Run run = runPdf(start.path(), {u"--data-dir"_s, data.path(), u"--pdf"_s, u"out.pdf"_s});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QDir(start.path()).entryList(QDir::Files), QStringList{u"out.pdf"_s});
        QCOMPARE(QDir(data.path()).entryList(QDir::Files), QStringList{u"vuzo_Vez_1.ini"_s});
        QString error;
        QStringList texts;
        for (const pdftext::Word &w : pdftext::words(start.filePath(u"out.pdf"_s), &error))
            texts << w.text;
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY2(texts.contains(u"100-0001"_s), qPrintable(texts.join(u' ')));
    }

    void aSlipThatWouldNotPrintGivesTheMessageAndExitCode1_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QByteArray>("registration");
        QTest::addColumn<QString>("message");
        QTest::newRow("an amount that does not fit")
            << QByteArray("[vz_Vez_1prn]\r\nEdit_QTY1=999999999\r\nEdit_Price1=999999999\r\n") << QByteArray()
            << u"印刷できません。"_s;
        QTest::newRow("an offset that is not a number")
            << kSettings << QByteArray("[\xe6\x89\x8b\xe5\xb7\xae\xe3\x81\x97]\r\ndenPrn_Top=abc\r\n")
            << u"''abc'' は整数ではありません"_s;
        const QByteArray feed = "[\xe6\x89\x8b\xe5\xb7\xae\xe3\x81\x97]\r\n";
        QTest::newRow("a resolution of 1 dpi") << kSettings << feed + "PrnResolution=1x1dpi\r\n"
                                               << u"登録された解像度「1x1dpi」は使えません"_s;
        QTest::newRow("a resolution of 999999 dpi") << kSettings << feed + "PrnResolution=999999x999999dpi\r\n"
                                                    << u"登録された解像度「999999x999999dpi」は使えません"_s;
        QTest::newRow("one of two directions out of bounds") << kSettings << feed + "PrnResolution=600x9999dpi\r\n"
                                                             << u"「600x9999dpi」は使えません"_s;
        QTest::newRow("a paper of 1 mm") << kSettings << feed + "PrnMedia=custom_1x1mm\r\n"
                                         << u"登録された用紙「custom_1x1mm」の大きさは使えません"_s;
        QTest::newRow("a paper of 99999 mm") << kSettings << feed + "PrnMedia=custom_210x99999mm\r\n"
                                             << u"用紙「custom_210x99999mm」の大きさは使えません"_s;
        QTest::newRow("a paper beyond any integer")
            << kSettings << feed + "PrnMedia=custom_99999999999x99999999999mm\r\n"
            << u"の大きさは使えません"_s;
    }
    void aSlipThatWouldNotPrintGivesTheMessageAndExitCode1()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QByteArray, registration);
        QFETCH(QString, message);
        QTemporaryDir dir;
        writeFile(dir.filePath(u"vuzo_Vez_1.ini"_s), settings);
        if (!registration.isEmpty())
            writeFile(dir.filePath(u"vuzo_a500.ini"_s), registration);
        const Run run = runPdf(dir.path(), {u"--pdf"_s, u"out.pdf"_s});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
        QVERIFY(!QFile::exists(dir.filePath(u"out.pdf"_s)));
    }

    void noFileNamedIsExitCode2()
    {
        QTemporaryDir dir;
        const Run run = runPdf(dir.path(), {u"--pdf"_s});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    }
};

QTEST_MAIN(TestPdfExport)
#include "tst_pdfexport.moc"
