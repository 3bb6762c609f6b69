// The 自動判別 transfer through the real main window, offscreen: the mode on
// 印刷設定 and in the settings file, the paste area kept as pasted, the
// question before typed delivery fields are overwritten and the dictionary's
// warning.

#include "settings/ProfileFile.h"
#include "support/MainWindowFixture.h"
#include "transfer/PostalLookup.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using window_test::focusName;

namespace {

const QString kMail = u"ご注文ありがとうございます。\n■ご注文者\n山田 太郎\n〒100-0001 東京都千代田区架空町1-1\n"
                      u"■お届け先\nお名前：佐藤 花子 様\n〒150-0043 東京都渋谷区道玄坂1-2-3 架空マンション201\n"
                      u"電話：０９０１２３４５６７８\n"_s;
const QString kQuestion = u"手で入力したお届け先を上書きしますか?"_s;

void writeSettings(const MainWindowFixture &f, const QByteArray &bytes)
{
    QFile file(f.path(u"vuzo_Vez_1.ini"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

void pasteAndTransfer(const MainWindowFixture &f, const QString &text)
{
    f.w<QPlainTextEdit>(u"Memo1"_s)->setPlainText(text);
    QTest::mouseClick(f.w<QToolButton>(u"BitBtn_1"_s), Qt::LeftButton);
    QCoreApplication::processEvents();
}

QString field(const MainWindowFixture &f, const QString &name)
{
    return f.w<QLineEdit>(name)->text();
}

class OneCodePostal : public transfer::PostalLookup
{
public:
    QStringList addressesOf(const QString &code) const override
    {
        return code == u"1500043"_s ? QStringList{u"大阪府大阪市北区梅田"_s} : QStringList{};
    }
    QStringList codesOf(const QString &) const override { return {}; }
};

} // namespace

class TestFormMainSmartTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void modeComesFromTheSettingsFile_data();
    void modeComesFromTheSettingsFile();
    void modeIsSavedAtExit();
    void pasteAreaHintsFollowTheMode_data();
    void pasteAreaHintsFollowTheMode();
    void transferKeepsThePasteAsPasted();
    void typedFieldAsksBeforeOverwriting_data();
    void typedFieldAsksBeforeOverwriting();
    void restoredFieldsAreNotTyped();
    void clearedDeliveryIsNotTyped_data();
    void clearedDeliveryIsNotTyped();
    void emptyPasteTellsAndKeepsTheFields();
    void textWithoutAddressEmptiesTheFields();
    void dictionaryDisagreementWarns();
};

void TestFormMainSmartTransfer::modeComesFromTheSettingsFile_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<int>("mode");
    QTest::newRow("no settings file chooses 自動判別") << QByteArray() << 1;
    QTest::newRow("a file without the key chooses 自動判別") << QByteArray("[vz_Vez_1prn]\r\nTab_My=0\r\n") << 1;
    QTest::newRow("0 chooses 従来方式") << QByteArray("[vz_Vez_1prn]\r\nTransferMode=0\r\n") << 0;
    QTest::newRow("1 chooses 自動判別") << QByteArray("[vz_Vez_1prn]\r\nTransferMode=1\r\n") << 1;
    QTest::newRow("an unknown value chooses 自動判別") << QByteArray("[vz_Vez_1prn]\r\nTransferMode=7\r\n") << 1;
}

void TestFormMainSmartTransfer::modeComesFromTheSettingsFile()
{
    QFETCH(QByteArray, settings);
    QFETCH(int, mode);
    MainWindowFixture f;
    if (!settings.isEmpty())
        writeSettings(f, settings);
    f.start();
    auto *list = f.w<QComboBox>(u"ComboBox_TransferMode"_s);
    QVERIFY(list);
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->itemText(0), u"従来方式"_s);
    QCOMPARE(list->itemText(1), u"自動判別"_s);
    QCOMPARE(list->currentIndex(), mode);
}

void TestFormMainSmartTransfer::pasteAreaHintsFollowTheMode_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<bool>("wholeText");
    QTest::newRow("自動判別 from the settings file says the whole text is read")
        << QByteArray("[vz_Vez_1prn]\r\nTransferMode=1\r\n") << -1 << true;
    QTest::newRow("従来方式 from the settings file keeps the line limit")
        << QByteArray("[vz_Vez_1prn]\r\nTransferMode=0\r\n") << -1 << false;
    QTest::newRow("switching to 従来方式 brings back the line limit")
        << QByteArray("[vz_Vez_1prn]\r\nTransferMode=1\r\n") << 0 << false;
    QTest::newRow("switching to 自動判別 drops the line limit")
        << QByteArray("[vz_Vez_1prn]\r\nTransferMode=0\r\n") << 1 << true;
}

void TestFormMainSmartTransfer::pasteAreaHintsFollowTheMode()
{
    QFETCH(QByteArray, settings);
    QFETCH(int, chosen);
    QFETCH(bool, wholeText);
    MainWindowFixture f;
    writeSettings(f, settings);
    f.start();
    if (chosen >= 0)
        f.w<QComboBox>(u"ComboBox_TransferMode"_s)->setCurrentIndex(chosen);
    const QString caption = f.w<QLabel>(u"Label8"_s)->text();
    const QString tip = f.w(u"Memo1"_s)->toolTip();
    if (wholeText) {
        QCOMPARE(caption, u"↑↑ここにクリップボードから貼り付けが可能です（全文を読み取ります）↑↑"_s);
        QVERIFY2(tip.contains(u"全文を読み取ります"_s), qPrintable(tip));
        QVERIFY2(!tip.contains(u"行以内"_s), qPrintable(tip));
    } else {
        QCOMPARE(caption, u"↑↑ここクリップボードから貼り付けが、可能です　(　15行以内に収めてください　)↑↑"_s);
        QVERIFY2(tip.contains(u"15行以内"_s), qPrintable(tip));
    }
}

void TestFormMainSmartTransfer::modeIsSavedAtExit()
{
    MainWindowFixture f;
    f.start();
    f.w<QComboBox>(u"ComboBox_TransferMode"_s)->setCurrentIndex(0);
    f.stop();
    QCOMPARE(ProfileFile(f.path(u"vuzo_Vez_1.ini"_s)).ReadString(u"vz_Vez_1prn"_s, u"TransferMode"_s, u"none"_s),
             u"0"_s);
}

void TestFormMainSmartTransfer::transferKeepsThePasteAsPasted()
{
    MainWindowFixture f;
    f.start();
    pasteAndTransfer(f, kMail);
    QCOMPARE(field(f, u"Edit_Zip"_s), u"150-0043"_s);
    QCOMPARE(field(f, u"Edit_Add1"_s), u"東京都渋谷区道玄坂1-2-3"_s);
    QCOMPARE(field(f, u"Edit_Add2"_s), u"架空マンション201"_s);
    QCOMPARE(field(f, u"Edit_Add3"_s), QString());
    QCOMPARE(field(f, u"Edit_Custo1"_s), u"佐藤　花子"_s);
    QCOMPARE(field(f, u"Edit_tel"_s), u"090-1234-5678"_s);
    QCOMPARE(f.w<QPlainTextEdit>(u"Memo1"_s)->toPlainText(), kMail);
    QCOMPARE(focusName(), u"Edit_Zip"_s);
    QVERIFY(f.dialogs->shown().isEmpty());
}

void TestFormMainSmartTransfer::typedFieldAsksBeforeOverwriting_data()
{
    QTest::addColumn<QString>("typedInto");
    QTest::addColumn<bool>("answer");
    QTest::newRow("a typed name, answered Yes") << u"Edit_Custo1"_s << true;
    QTest::newRow("a typed name, answered No") << u"Edit_Custo1"_s << false;
    QTest::newRow("a typed postal code, answered No") << u"Edit_Zip"_s << false;
    QTest::newRow("a typed third address line, answered Yes") << u"Edit_Add3"_s << true;
}

void TestFormMainSmartTransfer::typedFieldAsksBeforeOverwriting()
{
    QFETCH(QString, typedInto);
    QFETCH(bool, answer);
    MainWindowFixture f;
    f.start();
    auto *typed = f.w<QLineEdit>(typedInto);
    typed->setFocus();
    QTest::keyClicks(typed, u"12"_s);
    const QString before = typed->text();
    f.dialogs->answer({answer});
    pasteAndTransfer(f, kMail);
    QCOMPARE(f.dialogs->confirms(), QStringList{kQuestion});
    if (answer) {
        QCOMPARE(field(f, u"Edit_Custo1"_s), u"佐藤　花子"_s);
        // Once overwritten, the next transfer asks nothing.
        f.dialogs->clear();
        pasteAndTransfer(f, kMail);
        QVERIFY(f.dialogs->confirms().isEmpty());
    } else {
        QCOMPARE(typed->text(), before);
        QCOMPARE(field(f, u"Edit_Add1"_s), QString());
    }
}

void TestFormMainSmartTransfer::restoredFieldsAreNotTyped()
{
    MainWindowFixture f;
    writeSettings(f, "[vz_Vez_1prn]\r\nE_ZIP=999-9999\r\nE_AD1=old\r\nE_CUS=old\r\n");
    f.start();
    QCOMPARE(field(f, u"Edit_Zip"_s), u"999-9999"_s);
    pasteAndTransfer(f, kMail);
    QVERIFY(f.dialogs->shown().isEmpty());
    QCOMPARE(field(f, u"Edit_Zip"_s), u"150-0043"_s);
}

void TestFormMainSmartTransfer::clearedDeliveryIsNotTyped_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("clearQuestion");
    QTest::newRow("a typed name cleared with 新規 is no longer typed")
        << u"SpeedButton_F4"_s << u"新しい伝票にしますか?"_s;
}

// Fields emptied by the program hold nothing typed by hand, so the next
// transfer fills them without asking.
void TestFormMainSmartTransfer::clearedDeliveryIsNotTyped()
{
    QFETCH(QString, button);
    QFETCH(QString, clearQuestion);
    MainWindowFixture f;
    f.start();
    auto *name = f.w<QLineEdit>(u"Edit_Custo1"_s);
    name->setFocus();
    QTest::keyClicks(name, u"Suzuki"_s);
    f.dialogs->answer({true});
    f.w<QToolButton>(button)->click();
    QCOMPARE(field(f, u"Edit_Custo1"_s), QString());
    pasteAndTransfer(f, kMail);
    QCOMPARE(f.dialogs->confirms(), QStringList{clearQuestion});
    QCOMPARE(field(f, u"Edit_Custo1"_s), u"佐藤　花子"_s);
}

void TestFormMainSmartTransfer::emptyPasteTellsAndKeepsTheFields()
{
    MainWindowFixture f;
    f.start();
    window_test::fillSlip(f.form, {.zip = u"999-9999"_s, .add1 = u"前の住所"_s});
    pasteAndTransfer(f, u"taro@example.jp\n\n"_s);
    QCOMPARE(f.dialogs->notices(), QStringList{u"転送テキストがありません"_s});
    QCOMPARE(field(f, u"Edit_Zip"_s), u"999-9999"_s);
    QCOMPARE(field(f, u"Edit_Add1"_s), u"前の住所"_s);
    QCOMPARE(f.w<QPlainTextEdit>(u"Memo1"_s)->toPlainText(), u"taro@example.jp\n\n"_s);
}

void TestFormMainSmartTransfer::textWithoutAddressEmptiesTheFields()
{
    MainWindowFixture f;
    f.start();
    window_test::fillSlip(f.form, {.zip = u"999-9999"_s, .add1 = u"前の住所"_s, .custo1 = u"前の客"_s});
    pasteAndTransfer(f, u"いつもお世話になっております。\n来週また連絡します。\n"_s);
    for (const QString &name : {u"Edit_Zip"_s, u"Edit_Add1"_s, u"Edit_Custo1"_s})
        QCOMPARE(field(f, name), QString());
    QVERIFY(f.dialogs->shown().isEmpty());
    QVERIFY(f.w<QLabel>(u"Panel_HelpMess"_s)->text().contains(u"住所が見つかりませんでした"_s));
}

void TestFormMainSmartTransfer::dictionaryDisagreementWarns()
{
    MainWindowFixture f;
    f.start();
    const OneCodePostal postal;
    f.form->setPostalLookup(&postal);
    // A name too long for its field adds a second warning.
    pasteAndTransfer(f, QString(kMail).replace(u"佐藤 花子"_s, QString(85, u'森')));
    auto *label = f.w<QLabel>(u"Label_Warning"_s);
    const QString warning = label->toolTip();
    QVERIFY2(warning.contains(u"150-0043"_s) && warning.contains(u"大阪府大阪市北区梅田"_s), qPrintable(warning));
    // The label shows as much as its width holds; the tool tip holds it all.
    QVERIFY(warning.endsWith(u"続きをおところ③に入れました"_s));
    QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width());
    QVERIFY(label->text().endsWith(u"…"_s));
    f.form->setPostalLookup(nullptr);
}

QTEST_MAIN(TestFormMainSmartTransfer)
#include "tst_formmain_smarttransfer.moc"
