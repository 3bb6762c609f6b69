// The real dialog service's choice between going on and going back: going
// back is the default, so Enter or Escape on a box read in a hurry prints
// nothing.

#include "controls/DialogService.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestDialogService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void choiceDefaultsToGoingBack_data();
    void choiceDefaultsToGoingBack();
};

void TestDialogService::choiceDefaultsToGoingBack_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("click");
    QTest::addColumn<bool>("goesOn");
    QTest::newRow("Enter takes the default, going back") << int(Qt::Key_Return) << QString() << false;
    QTest::newRow("Escape goes back") << int(Qt::Key_Escape) << QString() << false;
    QTest::newRow("the proceed button goes on") << 0 << u"このまま印刷"_s << true;
    QTest::newRow("the back button goes back") << 0 << u"戻る"_s << false;
}

void TestDialogService::choiceDefaultsToGoingBack()
{
    QFETCH(int, key);
    QFETCH(QString, click);
    QFETCH(bool, goesOn);
    const auto dialogs = vuzo::MakeMessageBoxDialogs();
    QString defaultButton;
    QString title;
    QStringList buttons;
    // Answered from inside the box's own event loop, once it is shown.
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        title = box->windowTitle();
        defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        for (QAbstractButton *b : box->buttons()) {
            buttons << b->text();
            if (b->text() == click)
                b->click();
        }
        if (key != 0)
            QTest::keyClick(box, Qt::Key(key));
    });
    const bool answer = dialogs->choose(nullptr, u"6行目は印刷されません。"_s, u"このまま印刷"_s, u"戻る"_s);
    QCOMPARE(answer, goesOn);
    QCOMPARE(title, vuzo::ApplicationTitle());
    QCOMPARE(defaultButton, u"戻る"_s);
    buttons.sort();
    QCOMPARE(buttons, (QStringList{u"このまま印刷"_s, u"戻る"_s}));
}

QTEST_MAIN(TestDialogService)
#include "tst_dialogservice.moc"
