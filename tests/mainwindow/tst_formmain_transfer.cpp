// The address transfer through the real main window, offscreen: pasted mails
// go into the paste area, the transfer button is clicked and the delivery
// fields are read back; also the paste area's colour and clear button, the
// empty-paste message, the address warning and the half-width postal code and
// telephone fields.

#include "support/MainWindowFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using window_test::focusName;

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);

QColor memoColour(const MainWindowFixture &f)
{
    return f.w<QPlainTextEdit>(u"Memo1"_s)->palette().color(QPalette::Base);
}

void paste(const MainWindowFixture &f, const QString &text)
{
    f.w<QPlainTextEdit>(u"Memo1"_s)->setPlainText(text);
    QCoreApplication::processEvents();
}

// These tests are about the 従来方式 transfer; a new settings file chooses
// 自動判別.
void startClassic(MainWindowFixture &f)
{
    f.start();
    f.w<QComboBox>(u"ComboBox_TransferMode"_s)->setCurrentIndex(0);
}

void clickTransfer(const MainWindowFixture &f)
{
    QTest::mouseClick(f.w<QToolButton>(u"BitBtn_1"_s), Qt::LeftButton);
    QCoreApplication::processEvents();
}

// Types one character as a keyboard with an input method delivers it: a key
// event that carries the character.
void typeChar(QWidget *w, QChar c)
{
    QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QCoreApplication::processEvents();
}

// Fills the six delivery fields with text the transfer must replace.
void fillOldAddress(const MainWindowFixture &f)
{
    window_test::fillSlip(f.form, {.zip = u"999-9999"_s,
                                   .add1 = u"前の住所１"_s,
                                   .add2 = u"前の住所２"_s,
                                   .add3 = u"前の住所３"_s,
                                   .custo1 = u"前の名前"_s,
                                   .tel = u"000-0000-0000"_s});
}

const QString kSevenLines = u"お届け先\n〒123-4567\n東京都\n港区架空町1-2-3\n架空ハイツ101号室\n山田　太郎　様\n"
                            u"TEL：03-1234-5678"_s;

} // namespace

class TestFormMainTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pastedTextFillsTheAddress_data();
    void pastedTextFillsTheAddress();
    void pasteAreaShowsTheCleanedLines();
    void nothingToTransfer_data();
    void nothingToTransfer();
    void longFirstAddressLineWarns_data();
    void longFirstAddressLineWarns();
    void fullWidthTypedIntoZipAndTelephoneTurnsHalfWidth_data();
    void fullWidthTypedIntoZipAndTelephoneTurnsHalfWidth();
    void conversionKeepsTheCaretInPlace();
    void pasteAreaColourFollowsItsText();
    void clearButtonEmptiesThePasteAreas();
};

void TestFormMainTransfer::pastedTextFillsTheAddress_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("zip");
    QTest::addColumn<QString>("add1");
    QTest::addColumn<QString>("add2");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tel");

    QTest::newRow("seven labelled lines with the prefecture on its own line")
        << kSevenLines << u"123-4567"_s << u"東京都港区架空町1-2-3"_s << u"架空ハイツ101号室"_s << u"山田　太郎"_s
        << u"03-1234-5678"_s;
    QTest::newRow("an order mail with labels and an e-mail line")
        << u"\nお届け先：\nお名前：鈴木　花子　様\n郵便番号：〒５６０－００８２\n住所：大阪府豊中市架空町3-4-5\n"
           u"電話番号：06-6789-0123\nメール：hanako@example.co.jp\n"_s
        << u"560-0082"_s << u"大阪府豊中市架空町3-4-5"_s << QString() << u"鈴木　花子"_s << u"06-6789-0123"_s;
    QTest::newRow("full-width digits in postal code and telephone")
        << u"〒１２３－４５６７\n東京都千代田区架空１－２－３\n佐藤　一郎\n０３－１２３４－５６７８"_s << u"123-4567"_s
        << u"東京都千代田区架空１－２－３"_s << QString() << u"佐藤　一郎"_s << u"03-1234-5678"_s;
    QTest::newRow("postal code and address on one line are split")
        << u"〒１２３－４５６７東京都港区架空町1-2-3\n山田太郎"_s << u"123-4567"_s << u"東京都港区架空町1-2-3"_s
        << QString() << u"山田太郎"_s << QString();
    QTest::newRow("a long building line goes to the second address line")
        << u"〒150-0043\n東京都渋谷区架空坂2-3-4\n架空マンション305号室\n田中　次郎\n03-5555-1234"_s << u"150-0043"_s
        << u"東京都渋谷区架空坂2-3-4"_s << u"架空マンション305号室"_s << u"田中　次郎"_s << u"03-5555-1234"_s;
    QTest::newRow("a short building line before the name takes the name field")
        << u"〒150-0043\n東京都渋谷区架空坂2-3-4\n架空ビル5F\n田中　次郎\n03-5555-1234"_s << u"150-0043"_s
        << u"東京都渋谷区架空坂2-3-4"_s << QString() << u"架空ビル5F"_s << u"03-5555-1234"_s;
    QTest::newRow("of two telephone numbers the first is kept")
        << u"〒530-0001\n大阪府大阪市北区架空1-1-1\n高橋　三郎\n電話：06-1111-2222\n電話：090-3333-4444"_s
        << u"530-0001"_s << u"大阪府大阪市北区架空1-1-1"_s << QString() << u"高橋　三郎"_s << u"06-1111-2222"_s;
    QTest::newRow("a prefecture after the address still comes first")
        << u"〒900-0001\n那覇市架空町1-2\n沖縄県\n比嘉　四郎\n098-123-4567"_s << u"900-0001"_s
        << u"沖縄県那覇市架空町1-2"_s << QString() << u"比嘉　四郎"_s << u"098-123-4567"_s;
    QTest::newRow("e-mail and web lines reach no field")
        << u"山本　五郎\nyamamoto@example.com\n〒060-0001\n北海道札幌市中央区架空1条2丁目\nwww.example.ne.jp\n"
           u"011-222-3333"_s
        << u"060-0001"_s << u"北海道札幌市中央区架空1条2丁目"_s << QString() << u"山本　五郎"_s << u"011-222-3333"_s;
    QTest::newRow("a line after the seventh useful one is ignored")
        << u"〒100-0001\n東京都千代田区架空1-1\n伊藤　六郎\n\nご注文内容\n商品A　2個\n数量　1\n"
           u"お支払い　代金引換\n03-0000-1111"_s
        << u"100-0001"_s << u"東京都千代田区架空1-1"_s << QString() << u"伊藤　六郎"_s << QString();
    QTest::newRow("a third address line is dropped")
        << u"東京都港区架空一丁目2-3\n架空ハイツ101号室\n東京都港区別架空4-5-6\n山田花子"_s << QString()
        << u"東京都港区架空一丁目2-3"_s << u"架空ハイツ101号室"_s << u"山田花子"_s << QString();
    QTest::newRow("a postal code without hyphen counts as an address")
        << u"1234567\n山田太郎"_s << QString() << u"1234567"_s << QString() << u"山田太郎"_s << QString();
}

void TestFormMainTransfer::pastedTextFillsTheAddress()
{
    QFETCH(QString, pasted);
    QFETCH(QString, zip);
    QFETCH(QString, add1);
    QFETCH(QString, add2);
    QFETCH(QString, name);
    QFETCH(QString, tel);
    MainWindowFixture f;
    startClassic(f);
    fillOldAddress(f);
    f.w<QLabel>(u"Label_Warning"_s)->setText(u"old warning"_s);
    f.w<QPlainTextEdit>(u"Memo1"_s)->setFocus();
    paste(f, pasted);
    clickTransfer(f);
    QCOMPARE(f.w<QLineEdit>(u"Edit_Zip"_s)->text(), zip);
    QCOMPARE(f.w<QLineEdit>(u"Edit_Add1"_s)->text(), add1);
    QCOMPARE(f.w<QLineEdit>(u"Edit_Add2"_s)->text(), add2);
    QCOMPARE(f.w<QLineEdit>(u"Edit_Add3"_s)->text(), QString());
    QCOMPARE(f.w<QLineEdit>(u"Edit_Custo1"_s)->text(), name);
    QCOMPARE(f.w<QLineEdit>(u"Edit_tel"_s)->text(), tel);
    QCOMPARE(f.w<QLabel>(u"Label_Warning"_s)->text(), QString());
    QCOMPARE(focusName(), u"Edit_Zip"_s);
    QVERIFY(f.dialogs->shown().isEmpty());
}

void TestFormMainTransfer::pasteAreaShowsTheCleanedLines()
{
    MainWindowFixture f;
    startClassic(f);
    paste(f, kSevenLines);
    clickTransfer(f);
    QCOMPARE(f.w<QPlainTextEdit>(u"Memo1"_s)->toPlainText(),
             u"\n123-4567\n東京都\n港区架空町1-2-3\n架空ハイツ101号室\n山田　太郎\n03-1234-5678"_s);
    QCOMPARE(memoColour(f), f.form->palette().color(QPalette::Base));
    QCOMPARE(f.w<QPlainTextEdit>(u"Memo1"_s)->textCursor().position(), 0);

    // A second transfer of the cleaned lines gives the same fields.
    clickTransfer(f);
    QCOMPARE(f.w<QLineEdit>(u"Edit_Zip"_s)->text(), u"123-4567"_s);
    QCOMPARE(f.w<QLineEdit>(u"Edit_Add1"_s)->text(), u"東京都港区架空町1-2-3"_s);
    QCOMPARE(f.w<QLineEdit>(u"Edit_Custo1"_s)->text(), u"山田　太郎"_s);
    QCOMPARE(f.w<QLineEdit>(u"Edit_tel"_s)->text(), u"03-1234-5678"_s);
}

void TestFormMainTransfer::nothingToTransfer_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<int>("add1Length");
    QTest::newRow("an empty paste area") << QString() << 10;
    QTest::newRow("only blank lines") << u"\n   \n\t\n"_s << 10;
    QTest::newRow("only e-mail lines") << u"taro@example.jp\nhttp://www.example.com\n"_s << 10;
    QTest::newRow("an empty paste area still checks a long first address line") << QString() << 41;
}

void TestFormMainTransfer::nothingToTransfer()
{
    QFETCH(QString, pasted);
    QFETCH(int, add1Length);
    MainWindowFixture f;
    startClassic(f);
    fillOldAddress(f);
    f.w<QLineEdit>(u"Edit_Add1"_s)->setText(QString(add1Length, u'架'));
    f.w<QLabel>(u"Label_Warning"_s)->setText(u"old warning"_s);
    f.w<QPlainTextEdit>(u"Memo1"_s)->setFocus();
    paste(f, pasted);
    clickTransfer(f);
    QCOMPARE(f.dialogs->notices(), QStringList{u"転送テキストがありません"_s});
    QCOMPARE(f.w<QLineEdit>(u"Edit_Zip"_s)->text(), u"999-9999"_s);
    QCOMPARE(f.w<QLineEdit>(u"Edit_Add1"_s)->text(), QString(add1Length, u'架'));
    QCOMPARE(f.w<QLineEdit>(u"Edit_Add2"_s)->text(), u"前の住所２"_s);
    QCOMPARE(f.w<QLineEdit>(u"Edit_Add3"_s)->text(), u"前の住所３"_s);
    QCOMPARE(f.w<QLineEdit>(u"Edit_Custo1"_s)->text(), u"前の名前"_s);
    QCOMPARE(f.w<QLineEdit>(u"Edit_tel"_s)->text(), u"000-0000-0000"_s);
    QCOMPARE(f.w<QPlainTextEdit>(u"Memo1"_s)->toPlainText(), QString());
    QCOMPARE(memoColour(f), kSilver);
    QCOMPARE(f.w<QLabel>(u"Label_Warning"_s)->text(),
             add1Length > 40 ? u"警告:おところ①の文字数が多すぎます。　おところ②へ分割してください"_s : QString());
    QCOMPARE(focusName(), u"Memo1"_s);
}

void TestFormMainTransfer::longFirstAddressLineWarns_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("warned");
    QTest::newRow("forty characters are no warning") << 40 << false;
    QTest::newRow("forty-one characters warn") << 41 << true;
}

void TestFormMainTransfer::longFirstAddressLineWarns()
{
    QFETCH(int, length);
    QFETCH(bool, warned);
    MainWindowFixture f;
    startClassic(f);
    // The prefecture line (3) and the address line (2 + n + 5) are joined.
    const QString address = u"港区"_s + QString(length - 10, u'架') + u"1-2-3"_s;
    paste(f, u"〒105-0011\n東京都\n"_s + address + u"\n山田太郎"_s);
    clickTransfer(f);
    QCOMPARE(f.w<QLineEdit>(u"Edit_Add1"_s)->text(), u"東京都"_s + address);
    QCOMPARE(f.w<QLineEdit>(u"Edit_Add1"_s)->text().size(), length);
    QCOMPARE(f.w<QLabel>(u"Label_Warning"_s)->text(),
             warned ? u"警告:おところ①の文字数が多すぎます。　おところ②へ分割してください"_s : QString());
}

void TestFormMainTransfer::fullWidthTypedIntoZipAndTelephoneTurnsHalfWidth_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("a full-width postal code") << u"Edit_Zip"_s << u"１２３－４５６７"_s << u"123-4567"_s;
    QTest::newRow("a full-width mobile number")
        << u"Edit_tel"_s << u"０９０－１２３４－５６７８"_s << u"090-1234-5678"_s;
    QTest::newRow("a half-width number stays") << u"Edit_tel"_s << u"03-1234-5678"_s << u"03-1234-5678"_s;
    QTest::newRow("an ideographic space becomes a blank") << u"Edit_tel"_s << u"０３　１２３４"_s << u"03 1234"_s;
}

void TestFormMainTransfer::fullWidthTypedIntoZipAndTelephoneTurnsHalfWidth()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    MainWindowFixture f;
    f.start();
    auto *e = f.w<QLineEdit>(field);
    e->setFocus();
    QCoreApplication::processEvents();
    for (qsizetype i = 0; i < typed.size(); ++i) {
        typeChar(e, typed.at(i));
        // Each character is converted as soon as it is typed.
        QCOMPARE(e->text(), shown.left(i + 1));
        QCOMPARE(e->cursorPosition(), int(i + 1));
    }
    QCOMPARE(e->text(), shown);
}

void TestFormMainTransfer::conversionKeepsTheCaretInPlace()
{
    MainWindowFixture f;
    f.start();
    auto *zip = f.w<QLineEdit>(u"Edit_Zip"_s);
    zip->setText(u"123-567"_s);
    zip->setFocus();
    QCoreApplication::processEvents();
    zip->setCursorPosition(4);
    typeChar(zip, u'４');
    QCOMPARE(zip->text(), u"123-4567"_s);
    QCOMPARE(zip->cursorPosition(), 5);
    typeChar(zip, u'＃');
    QCOMPARE(zip->text(), u"123-4#567"_s);
    QCOMPARE(zip->cursorPosition(), 6);
}

void TestFormMainTransfer::pasteAreaColourFollowsItsText()
{
    MainWindowFixture f;
    f.start();
    const QColor window = f.form->palette().color(QPalette::Base);
    QVERIFY(window != kSilver);
    QCOMPARE(f.w<QPlainTextEdit>(u"Memo1"_s)->toPlainText(), QString());
    QCOMPARE(memoColour(f), kSilver);
    f.w<QPlainTextEdit>(u"Memo1"_s)->setFocus();
    QTest::keyClicks(f.w<QPlainTextEdit>(u"Memo1"_s), u"a"_s);
    QCOMPARE(memoColour(f), window);
    QTest::keyClick(f.w<QPlainTextEdit>(u"Memo1"_s), Qt::Key_Backspace);
    QCOMPARE(f.w<QPlainTextEdit>(u"Memo1"_s)->toPlainText(), QString());
    QCOMPARE(memoColour(f), kSilver);
    paste(f, u" "_s);
    QCOMPARE(memoColour(f), window);
}

void TestFormMainTransfer::clearButtonEmptiesThePasteAreas()
{
    MainWindowFixture f;
    f.start();
    fillOldAddress(f);
    paste(f, kSevenLines);
    f.w<QPlainTextEdit>(u"Memo2"_s)->setPlainText(u"作業中"_s);
    QTest::mouseClick(f.w<QToolButton>(u"BitBtn_MemoCLS"_s), Qt::LeftButton);
    QCOMPARE(f.w<QPlainTextEdit>(u"Memo1"_s)->toPlainText(), QString());
    QCOMPARE(f.w<QPlainTextEdit>(u"Memo2"_s)->toPlainText(), QString());
    QCOMPARE(memoColour(f), kSilver);
    // The delivery address is not touched.
    QCOMPARE(f.w<QLineEdit>(u"Edit_Zip"_s)->text(), u"999-9999"_s);
    QCOMPARE(f.w<QLineEdit>(u"Edit_Custo1"_s)->text(), u"前の名前"_s);
    QVERIFY(f.dialogs->shown().isEmpty());
}

QTEST_MAIN(TestFormMainTransfer)
#include "tst_formmain_transfer.moc"
