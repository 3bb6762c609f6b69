// The 自動判別 transfer's gift orderer in the main window, offscreen: the
// guidance band names it and Ctrl+J swaps it with the recipient.

#include "support/MainWindowFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

void pasteAndTransfer(const MainWindowFixture &f, const QString &text)
{
    f.w<QPlainTextEdit>(u"Memo1"_s)->setPlainText(text);
    QTest::mouseClick(f.w<QToolButton>(u"BitBtn_1"_s), Qt::LeftButton);
    QCoreApplication::processEvents();
}

} // namespace

class TestFormMainSmartShapes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ctrlJSwapsRecipientAndOrderer();
};

void TestFormMainSmartShapes::ctrlJSwapsRecipientAndOrderer()
{
    MainWindowFixture f;
    f.start();
    pasteAndTransfer(f, u"ご依頼主\n〒9500087 新潟県新潟市中央区東大通3-2-1\n本間 修\n\nお届け先\n"
                        u"〒0600001 北海道札幌市中央区北一条西6-1\n本間 京子\n"_s);
    auto *name = f.w<QLineEdit>(u"Edit_Custo1"_s);
    QCOMPARE(name->text(), u"本間　京子"_s);
    QVERIFY(f.w<QLabel>(u"Panel_HelpMess"_s)->text().contains(u"Ctrl+J"_s));
    QTest::keyClick(f.w<QLineEdit>(u"Edit_Zip"_s), Qt::Key_J, Qt::ControlModifier);
    QCOMPARE(name->text(), u"本間　修"_s);
    QCOMPARE(f.w<QLineEdit>(u"Edit_Zip"_s)->text(), u"950-0087"_s);
    QTest::keyClick(f.w<QLineEdit>(u"Edit_Zip"_s), Qt::Key_J, Qt::ControlModifier);
    QCOMPARE(name->text(), u"本間　京子"_s);
    QCOMPARE(f.w<QLineEdit>(u"Edit_Add1"_s)->text(), u"北海道札幌市中央区北一条西6-1"_s);
}

QTEST_MAIN(TestFormMainSmartShapes)
#include "tst_formmain_smartshapes1.moc"
