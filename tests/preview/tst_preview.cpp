// F9: the preview window shows the slip F11 would print now, saves it as a
// PDF and prints it as F11 does.

#include "PdfText.h"
#include "preview/TForm_Preview.h"
#include "print/RecordingCanvas.h"
#include "support/MainWindowFixture.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

const window_test::SlipText kSlip{.zip = u"100-0001"_s,
                                  .add1 = u"東京都千代田区千代田１－１"_s,
                                  .custo1 = u"山田　太郎　様"_s,
                                  .tel = u"03-1234-5678"_s,
                                  .lines = {{u"りんご"_s, u"箱"_s, u"3"_s, u"1500"_s}}};

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> fx;

    void start()
    {
        fx->start();
        window_test::fillSlip(fx->form, kSlip);
    }

    // Presses F9 in the postal code field and runs `inside` on the preview
    // while it is open; the preview is closed afterwards if `inside` left it
    // open. False when no preview opened.
    bool withPreview(const std::function<void(TForm_Preview *)> &inside)
    {
        bool opened = false;
        QTimer::singleShot(0, fx->form, [&] {
            auto *preview = qobject_cast<TForm_Preview *>(QApplication::activeModalWidget());
            if (!preview)
                return;
            opened = true;
            inside(preview);
            if (preview->isVisible())
                preview->reject();
        });
        QTest::keyClick(fx->w<QWidget>(u"Edit_Zip"_s), Qt::Key_F9);
        QCoreApplication::processEvents();
        return opened;
    }

private Q_SLOTS:
    void init() { fx = std::make_unique<MainWindowFixture>(); }
    void cleanup() { fx.reset(); }

    void f9OpensThePreviewWithItsButtons()
    {
        start();
        const bool opened = withPreview([](TForm_Preview *p) {
            QCOMPARE(p->windowTitle(), u"印刷プレビュー"_s);
            QCOMPARE(p->objectName(), u"Form_Preview"_s);
            const QStringList names{u"BitBtn_Print"_s, u"BitBtn_SavePdf"_s, u"BitBtn_Close"_s};
            const QStringList captions{u"印刷"_s, u"PDF保存"_s, u"閉じる"_s};
            for (int i = 0; i < names.size(); ++i)
                QCOMPARE(p->findChild<QPushButton *>(names.at(i))->text(), captions.at(i));
            QCOMPARE(p->findChild<QToolButton *>(u"SpeedButton_ZoomFit"_s)->text(), u"全体表示"_s);
            QCOMPARE(p->findChild<QToolButton *>(u"SpeedButton_Zoom100"_s)->text(), u"100%"_s);
            QCOMPARE(p->findChild<QToolButton *>(u"SpeedButton_Zoom200"_s)->text(), u"200%"_s);
            QCOMPARE(p->zoom(), TForm_Preview::Zoom::Fit);
            // Escape closes it, nothing printed.
            QTest::keyClick(p, Qt::Key_Escape);
            QVERIFY(!p->isVisible());
            QCOMPARE(p->result(), int(TForm_Preview::Closed));
        });
        QVERIFY(opened);
        QVERIFY(fx->memory->jobs().isEmpty());
        QVERIFY(fx->dialogs->confirms().isEmpty());
    }

    void thePreviewShowsWhatF11Prints()
    {
        fx->usePrinters({u"テストプリンタA"_s});
        QFile reg(fx->path(u"vuzo_a500.ini"_s));
        QVERIFY(reg.open(QIODevice::WriteOnly));
        reg.write(u"[手差し]\r\nPrnNoIndex=0\r\ndenPrn_Top=20\r\ndenPrn_Left=-10\r\nPrnMedia=jis_b5_182x257mm\r\n"_s
                      .toUtf8());
        reg.close();
        start();
        PreviewRequest shown;
        QVERIFY(withPreview([&](TForm_Preview *p) { shown = p->request(); }));
        QCOMPARE(shown.sheetMm, QSizeF(182, 257));
        QCOMPARE(shown.pdfPath, fx->path(u"slip-1.pdf"_s));

        fx->dialogs->answer({true});
        QTest::keyClick(fx->w<QWidget>(u"Edit_Zip"_s), Qt::Key_F11);
        QCOMPARE(fx->memory->jobs().size(), 1);
        RecordingCanvas printed;
        SLIP97_Prn(printed, fx->d97Dot->Inputs());
        RecordingCanvas previewed;
        SLIP97_Prn(previewed, shown.inputs);
        QCOMPARE(previewed.transcript(), printed.transcript());
        QCOMPARE(shown.inputs.geometry.top, 20);
    }

    void zoomShowsThePaperAtItsSize()
    {
        start();
        QVERIFY(withPreview([](TForm_Preview *p) {
            const double actual = p->logicalDpiY() / 600.0;
            QTest::mouseClick(p->findChild<QToolButton *>(u"SpeedButton_Zoom100"_s), Qt::LeftButton);
            QCOMPARE(p->zoom(), TForm_Preview::Zoom::Actual);
            QCOMPARE(p->pageScale(), actual);
            // A4 at the screen's resolution.
            QCOMPARE(p->pageImage().width(), int(std::ceil(210 / 25.4 * 600 * actual)));
            QTest::mouseClick(p->findChild<QToolButton *>(u"SpeedButton_Zoom200"_s), Qt::LeftButton);
            QCOMPARE(p->pageScale(), 2 * actual);
            QTest::mouseClick(p->findChild<QToolButton *>(u"SpeedButton_ZoomFit"_s), Qt::LeftButton);
            QVERIFY(p->pageScale() < actual);
            QVERIFY(p->findChild<QLabel *>(u"Image_Page"_s)->size() == p->pageImage().size());
        }));
    }

    void windowSizeFitsTheRoom_data()
    {
        QTest::addColumn<QSize>("room");
        QTest::addColumn<QSizeF>("sheet");
        QTest::newRow("a full HD screen keeps the design") << QSize(1912, 1044) << QSizeF(210, 297);
        QTest::newRow("1024 x 600, A4") << QSize(1016, 564) << QSizeF(210, 297);
        QTest::newRow("1024 x 600, B5 across") << QSize(1016, 564) << QSizeF(257, 182);
        QTest::newRow("a narrow screen, A4") << QSize(632, 1000) << QSizeF(210, 297);
    }

    void windowSizeFitsTheRoom()
    {
        QFETCH(QSize, room);
        QFETCH(QSizeF, sheet);
        const QSize chrome(22, 96);
        const QSize size = TForm_Preview::fittedSize(room, chrome, sheet);
        if (room.width() >= 760 && room.height() >= 900) {
            QCOMPARE(size, QSize(760, 900));
            return;
        }
        QVERIFY(size.width() <= room.width() && size.height() <= room.height());
        // The page view has the paper's shape (within a pixel), filling the room one way.
        const QSize page = size - chrome - QSize(8, 8);
        QVERIFY(qAbs(page.width() - page.height() * sheet.width() / sheet.height()) <= 1.0);
        QVERIFY(size.width() == qMin(760, room.width()) || size.height() == qMin(900, room.height()));
    }

    void thePreviewFitsTheScreen()
    {
        start();
        QVERIFY(withPreview([](TForm_Preview *p) {
            const QRect available = p->screen()->availableGeometry();
            QVERIFY(available.height() < 900);
            QVERIFY(available.contains(p->geometry()));
            QVERIFY(p->findChild<QLabel *>(u"Image_Page"_s)->height() < available.height() - 60);
        }));
    }

    void pdfSaveWritesThePageWhereTheOperatorSays()
    {
        start();
        const QString path = fx->path(u"elsewhere.pdf"_s);
        fx->dialogs->answerSaveFile(path);
        QVERIFY(withPreview([](TForm_Preview *p) {
            QTest::mouseClick(p->findChild<QPushButton *>(u"BitBtn_SavePdf"_s), Qt::LeftButton);
            // The preview stays open after saving.
            QVERIFY(p->isVisible());
        }));
        const QList<ScriptedDialogs::Shown> shown = fx->dialogs->shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, ScriptedDialogs::Kind::SaveFile);
        QCOMPARE(shown.first().text, fx->path(u"slip-1.pdf"_s));
        QString error;
        QStringList texts;
        for (const pdftext::Word &w : pdftext::words(path, &error))
            texts << w.text;
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(texts.contains(u"100-0001"_s));
        QVERIFY(texts.contains(u"03-1234-5678"_s));
        QVERIFY(!QFile::exists(fx->path(u"slip-1.pdf"_s)));
    }

    // 「請求書」 shows the delivery note on the invoice's registered paper;
    // 「PDF保存」 then saves it.
    void theInvoiceIsOneButtonAway()
    {
        QFile reg(fx->path(u"vuzo_a500.ini"_s));
        QVERIFY(reg.open(QIODevice::WriteOnly));
        reg.write(
            "[\xe6\x89\x8b\xe5\xb7\xae\xe3\x81\x97]\r\nPrnNoIndex=0\r\n[Invoice]\r\nPrnMedia=iso_a5_148x210mm\r\n");
        reg.close();
        start();
        const QString path = fx->path(u"note.pdf"_s);
        fx->dialogs->answerSaveFile(path);
        QVERIFY(withPreview([](TForm_Preview *p) {
            auto *button = p->findChild<QToolButton *>(u"SpeedButton_Invoice"_s);
            QVERIFY(button->isVisibleTo(p));
            QTest::mouseClick(button, Qt::LeftButton);
            QVERIFY(p->showsInvoice());
            const QImage page = p->pageImage();
            QVERIFY(std::abs(double(page.width()) / page.height() - 148.0 / 210) < 0.01);
            QTest::mouseClick(p->findChild<QPushButton *>(u"BitBtn_SavePdf"_s), Qt::LeftButton);
        }));
        QCOMPARE(fx->dialogs->shown().first().text, fx->path(u"invoice-1.pdf"_s));
        QString error;
        QString text;
        for (const pdftext::Word &w : pdftext::words(path, &error))
            text += w.text;
        QVERIFY2(error.isEmpty(), qPrintable(error));
        // Without a registration number the sheet is a plain delivery note.
        QVERIFY2(text.startsWith(u"納品書"_s), qPrintable(text));
        QVERIFY(text.contains(u"りんご"_s));
    }

    void cancellingTheSaveWritesNothing()
    {
        start();
        QVERIFY(withPreview([](TForm_Preview *p) {
            QTest::mouseClick(p->findChild<QPushButton *>(u"BitBtn_SavePdf"_s), Qt::LeftButton);
        }));
        QCOMPARE(QDir(fx->dir.path()).entryList({u"*.pdf"_s}, QDir::Files), QStringList());
    }

    void printInThePreviewIsF11()
    {
        start();
        fx->dialogs->answer({true});
        QVERIFY(withPreview([](TForm_Preview *p) {
            QTest::mouseClick(p->findChild<QPushButton *>(u"BitBtn_Print"_s), Qt::LeftButton);
        }));
        QCOMPARE(fx->dialogs->confirms(), QStringList{u"印刷しますか?"_s});
        QCOMPARE(fx->memory->jobs().size(), 1);
    }

    void aSlipThatWouldNotPrintIsNotPreviewed()
    {
        start();
        window_test::fillSlip(fx->form, {.lines = {{u"x"_s, u"y"_s, u"999999999"_s, u"999999999"_s}}});
        QVERIFY(!withPreview([](TForm_Preview *) {}));
        QCOMPARE(fx->dialogs->notices().size(), 1);
        QVERIFY(fx->dialogs->notices().first().endsWith(u"印刷できません。"_s));
    }

    void theKeyIsOnlyOnTheSlipTab()
    {
        start();
        auto *f9 = fx->w<QToolButton>(u"SpeedButton_F9"_s);
        QCOMPARE(f9->text(), u"プレビュー"_s);
        QVERIFY(f9->isEnabled());
        fx->w<QTabWidget>(u"PageControl1"_s)->setCurrentIndex(1);
        QCOMPARE(f9->text(), u"F9"_s);
        QVERIFY(!f9->isEnabled());
        fx->w<QTabWidget>(u"PageControl1"_s)->setCurrentIndex(0);
        QVERIFY(f9->isEnabled());
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
