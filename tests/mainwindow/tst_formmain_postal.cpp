// Postal codes in the real main window, offscreen, over Debian's skkdic-extra
// dictionaries: Enter leaving a code fills おところ①, the choice list for a
// code of several addresses and for an address of several codes, F5 finding
// a code from the address, the warning when both disagree, and a missing
// dictionary.

#include "support/MainWindowFixture.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using window_test::focusName;
using window_test::press;

namespace {

QLineEdit *zip(const MainWindowFixture &f)
{
    return f.w<QLineEdit>(u"Edit_Zip"_s);
}

QLineEdit *add1(const MainWindowFixture &f)
{
    return f.w<QLineEdit>(u"Edit_Add1"_s);
}

QListWidget *choiceList(const MainWindowFixture &f)
{
    return f.w<QListWidget>(u"ListBox_PostalChoice"_s);
}

// The warning's whole text (the label elides what does not fit and keeps the
// whole text as its tool tip).
QString zipWarning(const MainWindowFixture &f)
{
    return f.w<QLabel>(u"Label_ZipWarning"_s)->toolTip();
}

// The window started with its dictionary loaded: what these tests look at is
// the dictionary's answer, not how long a busy machine takes to read it.
void startLoaded(MainWindowFixture &f)
{
    f.start();
    QVERIFY(f.form->postalDictionary() && f.form->postalDictionary()->waitForLoaded());
}

// The code typed into Edit_Zip and Enter pressed there.
void enterCode(const MainWindowFixture &f, const QString &code)
{
    window_test::focus(zip(f));
    zip(f)->setText(code);
    press(Qt::Key_Return);
}

QStringList listLines(const MainWindowFixture &f)
{
    QStringList lines;
    for (int i = 0; i < choiceList(f)->count(); ++i)
        lines << choiceList(f)->item(i)->text();
    return lines;
}

} // namespace

class TestFormMainPostal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void enterOnACodeFillsTheAddress_data();
    void enterOnACodeFillsTheAddress();
    void typedAddressIsKept();
    void severalAddressesAreOffered_data();
    void severalAddressesAreOffered();
    void windowClosesWithTheListOpen();
    void addressFindsItsCode();
    void f5ButtonFollowsTheFocus();
    void addressOfSeveralCodesOffersThem();
    void cityWithoutItsTownOffersTheTowns();
    void disagreementWarns_data();
    void disagreementWarns();
    void warningLeavesTheLengthWarningShown();
    void transferredAddressIsChecked();
    void missingDictionaryIsToldOnce();
};

void TestFormMainPostal::enterOnACodeFillsTheAddress_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("address");
    QTest::newRow("seven digits") << u"1000001"_s << u"東京都千代田区千代田"_s;
    QTest::newRow("with hyphen") << u"100-0001"_s << u"東京都千代田区千代田"_s;
    QTest::newRow("full width with postal mark") << u"〒１００－０００１"_s << u"東京都千代田区千代田"_s;
    QTest::newRow("business code") << u"001-8612"_s << u"北海道札幌市北区北二十四条西６丁目１番１号"_s;
}

void TestFormMainPostal::enterOnACodeFillsTheAddress()
{
    QFETCH(QString, code);
    QFETCH(QString, address);
    MainWindowFixture f;
    startLoaded(f);
    enterCode(f, code);
    QCOMPARE(add1(f)->text(), address);
    QCOMPARE(focusName(), u"Edit_Add1"_s);
    QCOMPARE(add1(f)->cursorPosition(), address.size());
    QVERIFY(!add1(f)->hasSelectedText());
    QVERIFY(choiceList(f)->isHidden());
    QCOMPARE(zipWarning(f), QString());
    QVERIFY(f.dialogs->shown().isEmpty());
}

void TestFormMainPostal::typedAddressIsKept()
{
    MainWindowFixture f;
    startLoaded(f);
    add1(f)->setText(u"東京都千代田区千代田１－１"_s);
    enterCode(f, u"1000001"_s);
    QCOMPARE(add1(f)->text(), u"東京都千代田区千代田１－１"_s);
    QCOMPARE(focusName(), u"Edit_Add1"_s);
}

void TestFormMainPostal::severalAddressesAreOffered_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("address");
    QTest::newRow("Enter takes the first") << QList<int>{Qt::Key_Return} << u"北海道石狩郡当別町ビトエ"_s;
    QTest::newRow("Down and Enter take the second")
        << QList<int>{Qt::Key_Down, Qt::Key_Return} << u"北海道石狩郡当別町ビトエ中島"_s;
    QTest::newRow("Escape keeps the field empty") << QList<int>{Qt::Key_Down, Qt::Key_Escape} << QString();
}

void TestFormMainPostal::severalAddressesAreOffered()
{
    QFETCH(QList<int>, keys);
    QFETCH(QString, address);
    MainWindowFixture f;
    startLoaded(f);
    enterCode(f, u"002-8089"_s);
    QVERIFY(choiceList(f)->isVisible());
    QCOMPARE(focusName(), u"ListBox_PostalChoice"_s);
    QCOMPARE(listLines(f), (QStringList{u"北海道石狩郡当別町ビトエ"_s, u"北海道石狩郡当別町ビトエ中島"_s}));
    QCOMPARE(add1(f)->text(), QString());
    for (int key : keys)
        press(key);
    QVERIFY(choiceList(f)->isHidden());
    QCOMPARE(add1(f)->text(), address);
    QCOMPARE(focusName(), u"Edit_Add1"_s);
    QCOMPARE(add1(f)->cursorPosition(), address.size());
}

void TestFormMainPostal::windowClosesWithTheListOpen()
{
    MainWindowFixture f;
    startLoaded(f);
    enterCode(f, u"920-0381"_s);
    // A town's code that also names one receiver: its line says whose it is.
    QCOMPARE(choiceList(f)->count(), 2);
    QCOMPARE(choiceList(f)->item(0)->text(), u"石川県金沢市中屋"_s);
    QVERIFY(choiceList(f)->item(1)->text().startsWith(u"石川県金沢市古府３丁目１２（"_s));
    QCOMPARE(focusName(), u"ListBox_PostalChoice"_s);
    f.stop();
    QVERIFY(f.dialogs == nullptr);
}

void TestFormMainPostal::addressFindsItsCode()
{
    MainWindowFixture f;
    startLoaded(f);
    window_test::focus(add1(f));
    QVERIFY(f.w<QLabel>(u"Panel_HelpMess"_s)->text().contains(u"F5"_s));
    add1(f)->setText(u"千代田区千代田１－１"_s);
    press(Qt::Key_F5);
    QCOMPARE(zip(f)->text(), u"100-0001"_s);
    QCOMPARE(focusName(), u"Edit_Add1"_s);
    QCOMPARE(add1(f)->text(), u"千代田区千代田１－１"_s);

    // A code already there is not replaced.
    add1(f)->setText(u"北海道札幌市北区あいの里一条"_s);
    press(Qt::Key_F5);
    QCOMPARE(zip(f)->text(), u"100-0001"_s);
}

void TestFormMainPostal::f5ButtonFollowsTheFocus()
{
    MainWindowFixture f;
    startLoaded(f);
    auto *f5 = f.w<QToolButton>(u"SpeedButton_F5"_s);
    window_test::focus(add1(f));
    QVERIFY(f5->isEnabled());
    QCOMPARE(f5->text(), u"〒検索"_s);
    add1(f)->setText(u"千代田区千代田１－１"_s);
    QTest::mouseClick(f5, Qt::LeftButton);
    QCOMPARE(zip(f)->text(), u"100-0001"_s);
    QCOMPARE(focusName(), u"Edit_Add1"_s);
    window_test::focus(zip(f));
    QVERIFY(!f5->isEnabled());
    QCOMPARE(f5->text(), u"F5"_s);
}

void TestFormMainPostal::addressOfSeveralCodesOffersThem()
{
    MainWindowFixture f;
    startLoaded(f);
    window_test::focus(add1(f));
    add1(f)->setText(u"北海道札幌市北区あいの里"_s);
    press(Qt::Key_F5);
    QVERIFY(choiceList(f)->isVisible());
    QCOMPARE(choiceList(f)->count(), 5);
    QCOMPARE(choiceList(f)->item(2)->text(), u"002-8073　北海道札幌市北区あいの里三条"_s);
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    QCOMPARE(zip(f)->text(), u"002-8073"_s);
    QCOMPARE(focusName(), u"Edit_Add1"_s);
}

void TestFormMainPostal::cityWithoutItsTownOffersTheTowns()
{
    MainWindowFixture f;
    startLoaded(f);
    window_test::focus(add1(f));
    add1(f)->setText(u"東京都港区１丁目"_s);
    press(Qt::Key_F5);
    QVERIFY(choiceList(f)->isVisible());
    QVERIFY(f.w<QLabel>(u"Panel_HelpMess"_s)->text().contains(u"町名が郵便番号辞書に見つかりません"_s));
    QCOMPARE(choiceList(f)->item(0)->text(), u"105-0001　東京都港区虎ノ門"_s);
    press(Qt::Key_Return);
    QCOMPARE(zip(f)->text(), u"105-0001"_s);
}

void TestFormMainPostal::disagreementWarns_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("warning");
    QTest::newRow("code and address agree") << u"100-0001"_s << u"東京都千代田区千代田1-1"_s << QString();
    QTest::newRow("address without prefecture agrees") << u"100-0001"_s << u"千代田区千代田1-1"_s << QString();
    QTest::newRow("another ward") << u"100-0001"_s << u"東京都港区芝公園4-2-8"_s
                                  << u"警告:郵便番号とおところ①が合いません（〒100-0001は東京都千代田区千代田）"_s;
    QTest::newRow("code of several addresses") << u"0028089"_s << u"北海道札幌市北区"_s
                                               << u"警告:郵便番号とおところ①が合いません（〒002-8089は"
                                                  u"北海道石狩郡当別町ビトエなど）"_s;
    QTest::newRow("code not in the dictionary")
        << u"000-0000"_s << QString() << u"警告:〒000-0000は郵便番号辞書にありません"_s;
    QTest::newRow("unfinished code") << u"100-000"_s << u"東京都港区芝公園"_s << QString();
}

void TestFormMainPostal::disagreementWarns()
{
    QFETCH(QString, code);
    QFETCH(QString, address);
    QFETCH(QString, warning);
    MainWindowFixture f;
    startLoaded(f);
    window_test::fillSlip(f.form, {.zip = code, .add1 = address});
    QCOMPARE(zipWarning(f), warning);
    QCOMPARE(f.w<QLabel>(u"Label_ZipWarning"_s)->text().isEmpty(), warning.isEmpty());
    // Putting it right takes the warning away.
    add1(f)->clear();
    zip(f)->clear();
    QCOMPARE(zipWarning(f), QString());
}

void TestFormMainPostal::warningLeavesTheLengthWarningShown()
{
    MainWindowFixture f;
    startLoaded(f);
    window_test::fillSlip(f.form, {.zip = u"100-0001"_s,
                                   .add1 = u"東京都港区芝公園四丁目二番八号架空ビルディング東館二十三階"
                                           u"二三〇一号室架空商事株式会社"_s});
    window_test::focus(f.w(u"Edit_Add3"_s));
    auto *length = f.w<QLabel>(u"Label_Warning"_s);
    auto *code = f.w<QLabel>(u"Label_ZipWarning"_s);
    QVERIFY(!length->text().isEmpty());
    QVERIFY(!code->text().isEmpty());
    QVERIFY(length->isVisible());
    QVERIFY(code->isVisible());
    QVERIFY(!length->geometry().intersects(code->geometry()));
}

void TestFormMainPostal::transferredAddressIsChecked()
{
    MainWindowFixture f;
    startLoaded(f);
    f.w<QPlainTextEdit>(u"Memo1"_s)->setPlainText(u"〒100-0001\n東京都港区芝公園4-2-8\n山田　太郎　様"_s);
    QTest::mouseClick(f.w<QToolButton>(u"BitBtn_1"_s), Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(add1(f)->text(), u"東京都港区芝公園4-2-8"_s);
    QVERIFY(zipWarning(f).startsWith(u"警告:郵便番号とおところ①が合いません"_s));
}

void TestFormMainPostal::missingDictionaryIsToldOnce()
{
    MainWindowFixture f;
    {
        QFile ini(f.path(u"vuzo_Vez_1.ini"_s));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[vz_Vez_1prn]\r\nZipDictDir=no-such-folder\r\n");
    }
    f.start();
    enterCode(f, u"1000001"_s);
    QCOMPARE(f.dialogs->notices().size(), 1);
    QVERIFY(f.dialogs->notices().first().contains(f.path(u"no-such-folder/SKK-JISYO.zipcode"_s)));
    QVERIFY(f.dialogs->notices().first().contains(u"sudo apt install skkdic-extra"_s));
    QCOMPARE(add1(f)->text(), QString());
    QCOMPARE(focusName(), u"Edit_Add1"_s);
    QCOMPARE(zipWarning(f), QString());

    enterCode(f, u"1000001"_s);
    zip(f)->clear();
    add1(f)->setText(u"東京都千代田区千代田"_s);
    press(Qt::Key_F5);
    QCOMPARE(f.dialogs->notices().size(), 1);
    QCOMPARE(zip(f)->text(), QString());
}

QTEST_MAIN(TestFormMainPostal)
#include "tst_formmain_postal.moc"
