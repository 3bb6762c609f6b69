// The blank rules, the wide trims, the kana and kanji classes and the
// prefecture list that the transfer, the dictionary and the settings share.

#include "platform/JapaneseText.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestJapaneseText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void blankRules_data();
    void blankRules();
    void trimWide_data();
    void trimWide();
    void splitAtWordBlanks_data();
    void splitAtWordBlanks();
    void trimBlanksAndControls_data();
    void trimBlanksAndControls();
    void characterClasses_data();
    void characterClasses();
    void prefectureList();
    void prefectureLength_data();
    void prefectureLength();
};

void TestJapaneseText::blankRules_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("asciiPadding");
    QTest::addColumn<bool>("settingsPadding");
    QTest::addColumn<bool>("eitherWidth");
    QTest::addColumn<bool>("wordBlank");
    QTest::addColumn<bool>("blankOrControl");

    QTest::newRow("U+0020 is a blank to every rule") << 0x20 << true << true << true << true << true;
    QTest::newRow("U+3000 is a blank of text, never padding") << 0x3000 << false << false << true << true << true;
    QTest::newRow("U+00A0 separates words but pads nothing") << 0xA0 << false << false << false << true << true;
    QTest::newRow("a tab pads and separates words") << 0x09 << true << true << false << true << true;
    QTest::newRow("a line feed pads but separates no words") << 0x0A << true << true << false << false << true;
    QTest::newRow("another control character pads no settings value")
        << 0x01 << true << false << false << false << true;
    QTest::newRow("U+0021 is no blank to any rule") << 0x21 << false << false << false << false << false;
    QTest::newRow("U+3001 after the ideographic space is no blank")
        << 0x3001 << false << false << false << false << false;
}

void TestJapaneseText::blankRules()
{
    QFETCH(int, code);
    const QChar c = QChar(char16_t(code));
    QTEST(vuzo::IsAsciiBlankOrControl(c), "asciiPadding");
    QTEST(vuzo::IsSettingsPadding(c), "settingsPadding");
    QTEST(vuzo::IsSpaceOfEitherWidth(c), "eitherWidth");
    QTEST(vuzo::IsWordBlank(c), "wordBlank");
    QTEST(vuzo::IsBlankOrControl(c), "blankOrControl");
}

void TestJapaneseText::splitAtWordBlanks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("an ideographic space parts a name") << u"小野　里香"_s << QStringList{u"小野"_s, u"里香"_s};
    QTest::newRow("runs of mixed blanks give no empty words")
        << u" \t北町\u00A0\u3000 ２丁目 "_s << QStringList{u"北町"_s, u"２丁目"_s};
    QTest::newRow("a line feed is part of a word") << u"a\nb c"_s << QStringList{u"a\nb"_s, u"c"_s};
    QTest::newRow("only blanks give no words") << u"\u3000 \t"_s << QStringList();
}

void TestJapaneseText::splitAtWordBlanks()
{
    QFETCH(QString, text);
    QFETCH(QStringList, words);
    QCOMPARE(vuzo::SplitAtWordBlanks(text), words);
}

void TestJapaneseText::trimWide_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty text") << QString() << QString();
    QTest::newRow("only blanks of both kinds") << u" \u3000 \u3000"_s << QString();
    QTest::newRow("ideographic spaces around a name") << u"\u3000山田　太郎\u3000\u3000"_s << u"山田　太郎"_s;
    QTest::newRow("mixed runs") << u"\t \u3000 a \u3000"_s << u"a"_s;
    QTest::newRow("space inside stays") << u"a b"_s << u"a b"_s;
    QTest::newRow("control character behind an ideographic space stays") << u"\u3000\ta"_s << u"\ta"_s;
    QTest::newRow("control character at the end behind an ideographic space stays") << u"a\t\u3000"_s << u"a\t"_s;
}

void TestJapaneseText::trimWide()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(vuzo::TrimWide(text), expected);
}

void TestJapaneseText::trimBlanksAndControls_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("blanks of every kind and controls at both ends go")
        << u"\u00a0\u3000\t 架空\u0001 \u3000\u00a0"_s << u"架空"_s;
    QTest::newRow("blanks between the words stay") << u" 架空　花子 "_s << u"架空　花子"_s;
    QTest::newRow("only blanks give the empty text") << u"\u3000\r\n"_s << QString();
}

void TestJapaneseText::trimBlanksAndControls()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(vuzo::TrimBlanksAndControls(text), expected);
}

void TestJapaneseText::characterClasses_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<bool>("katakana");
    QTest::addColumn<bool>("hiragana");
    QTest::addColumn<bool>("kanji");
    QTest::addColumn<bool>("kanjiNumeral");

    QTest::newRow("the prolonged sound mark is katakana") << u"ー"_s << true << false << false << false;
    QTest::newRow("the middle dot is no katakana") << u"・"_s << false << false << false << false;
    QTest::newRow("a half-width kana is katakana") << u"ｶ"_s << true << false << false << false;
    QTest::newRow("the half-width full stop is no katakana") << u"｡"_s << false << false << false << false;
    QTest::newRow("the last hiragana mark is hiragana") << u"ゟ"_s << false << true << false << false;
    QTest::newRow("the repetition mark counts as a kanji") << u"々"_s << false << false << true << false;
    QTest::newRow("the small ke is both katakana and kanji") << u"ヶ"_s << true << false << true << false;
    QTest::newRow("the kanji zero is a numeral, not a kanji") << u"〇"_s << false << false << false << true;
    QTest::newRow("ten is a kanji and a numeral") << u"十"_s << false << false << true << true;
    QTest::newRow("a hundred is a kanji but no numeral of a street number")
        << u"百"_s << false << false << true << false;
}

void TestJapaneseText::characterClasses()
{
    QFETCH(QString, character);
    const QChar c = character.front();
    QTEST(vuzo::IsKatakana(c), "katakana");
    QTEST(vuzo::IsHiragana(c), "hiragana");
    QTEST(vuzo::IsKanji(c), "kanji");
    QTEST(vuzo::IsKanjiNumeral(c), "kanjiNumeral");
}

void TestJapaneseText::prefectureList()
{
    const QStringList &list = vuzo::PrefectureNameList();
    QCOMPARE(list.size(), 47);
    QCOMPARE(qsizetype(vuzo::PrefectureNames().size()), 47);
    QCOMPARE(list.first(), u"北海道"_s);
    QCOMPARE(list.last(), u"沖縄県"_s);
    for (qsizetype i = 0; i < list.size(); ++i) {
        QCOMPARE(QStringView(list.at(i)), QStringView(vuzo::PrefectureNames()[i]));
        QVERIFY2(vuzo::IsPrefectureName(list.at(i)), qPrintable(list.at(i)));
    }
}

void TestJapaneseText::prefectureLength_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");

    QTest::newRow("a three-character name before its city") << u"東京都港区"_s << 3;
    QTest::newRow("a four-character name before its city") << u"神奈川県架空市"_s << 4;
    QTest::newRow("Kyoto, whose name holds the 都 of Tokyo") << u"京都府京都市"_s << 3;
    QTest::newRow("the last name alone") << u"沖縄県"_s << 3;
    QTest::newRow("a name without its suffix is none") << u"東京港区"_s << 0;
    QTest::newRow("a blank before the name hides it") << u" 北海道"_s << 0;
    QTest::newRow("the empty text begins with none") << QString() << 0;
}

void TestJapaneseText::prefectureLength()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(vuzo::PrefectureLength(text), qsizetype(expected));
}

QTEST_GUILESS_MAIN(TestJapaneseText)
#include "tst_japanesetext.moc"
