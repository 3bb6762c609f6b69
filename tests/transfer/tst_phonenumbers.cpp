// Postal codes and telephone numbers as people write them.

#include "transfer/PhoneNumbers.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestPhoneNumbers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void formatsByTheNumberingPlan_data();
    void formatsByTheNumberingPlan();
    void findsNumbersInALine_data();
    void findsNumbersInALine();
    void foldingKeepsPositions();
};

void TestPhoneNumbers::formatsByTheNumberingPlan_data()
{
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Tokyo has a two-digit code") << u"0312345678"_s << u"03-1234-5678"_s;
    QTest::newRow("Osaka has a two-digit code") << u"0669411234"_s << u"06-6941-1234"_s;
    QTest::newRow("Yokohama has a three-digit code") << u"0451234567"_s << u"045-123-4567"_s;
    QTest::newRow("Sapporo has a three-digit code") << u"0112314567"_s << u"011-231-4567"_s;
    QTest::newRow("Odawara has a four-digit code") << u"0465123456"_s << u"0465-12-3456"_s;
    QTest::newRow("Hirosaki is four digits inside Aomori's 017") << u"0172123456"_s << u"0172-12-3456"_s;
    QTest::newRow("Tokorozawa is 04 and eight digits") << u"0429221234"_s << u"04-2922-1234"_s;
    QTest::newRow("an island has a five-digit code") << u"0499212345"_s << u"04992-1-2345"_s;
    QTest::newRow("an unlisted town reads as a four-digit code") << u"0995123456"_s << u"0995-12-3456"_s;
    QTest::newRow("mobile 090") << u"09012345678"_s << u"090-1234-5678"_s;
    QTest::newRow("mobile 070") << u"07012345678"_s << u"070-1234-5678"_s;
    QTest::newRow("IP phone 050") << u"05012345678"_s << u"050-1234-5678"_s;
    QTest::newRow("free dial 0120") << u"0120123456"_s << u"0120-123-456"_s;
    QTest::newRow("free dial 0800") << u"08001234567"_s << u"0800-123-4567"_s;
    QTest::newRow("a spreadsheet dropped the zero of a mobile") << u"9012345678"_s << u"090-1234-5678"_s;
    QTest::newRow("a spreadsheet dropped the zero of a Tokyo number") << u"312345678"_s << u"03-1234-5678"_s;
    QTest::newRow("nine digits with a zero are too short") << u"031234567"_s << QString();
    QTest::newRow("twelve digits are too long") << u"090123456789"_s << QString();
    QTest::newRow("a mobile needs eleven digits") << u"0901234567"_s << QString();
    QTest::newRow("00 is no Japanese number") << u"0012345678"_s << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestPhoneNumbers::formatsByTheNumberingPlan()
{
    QFETCH(QString, digits);
    QFETCH(QString, expected);
    QCOMPARE(transfer::FormatPhoneDigits(digits), expected);
}

void TestPhoneNumbers::findsNumbersInALine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("context");
    QTest::addColumn<QStringList>("found"); // "〒" + code or "TEL" + number, in order

    const int free = int(transfer::NumberContext::FreeText);
    QTest::newRow("a postal code with its mark") << u"〒123-4567"_s << free << QStringList{u"〒123-4567"_s};
    QTest::newRow("full-width digits and a long dash")
        << u"〒１２３ー４５６７"_s << free << QStringList{u"〒123-4567"_s};
    QTest::newRow("seven digits after the mark") << u"〒 1234567"_s << free << QStringList{u"〒123-4567"_s};
    QTest::newRow("a minus sign between the groups") << u"123−4567"_s << free << QStringList{u"〒123-4567"_s};
    QTest::newRow("code and number on one line")
        << u"123-4567 03-1234-5678"_s << free << QStringList{u"〒123-4567"_s, u"TEL03-1234-5678"_s};
    QTest::newRow("a number spaced in groups") << u"080 1234 5678"_s << free << QStringList{u"TEL080-1234-5678"_s};
    QTest::newRow("an area code in brackets") << u"(03)1234-5678"_s << free << QStringList{u"TEL03-1234-5678"_s};
    QTest::newRow("the local part in brackets") << u"086(224)2111"_s << free << QStringList{u"TEL086-224-2111"_s};
    QTest::newRow("the country code") << u"+81-90-1234-5678"_s << free << QStringList{u"TEL090-1234-5678"_s};
    QTest::newRow("the country code with the zero in brackets")
        << u"+81 (0)3-1234-5678"_s << free << QStringList{u"TEL03-1234-5678"_s};
    QTest::newRow("the writer's hyphens stay where the plan is unsure")
        << u"082-987-6543"_s << free << QStringList{u"TEL082-987-6543"_s};
    QTest::newRow("a number without hyphens is hyphenated")
        << u"0422211234"_s << free << QStringList{u"TEL0422-21-1234"_s};
    QTest::newRow("a date is neither") << u"2024-05-01 10:00"_s << free << QStringList{};
    QTest::newRow("a price is neither") << u"3,000円"_s << free << QStringList{};
    QTest::newRow("digits glued to letters are a product code") << u"ABC1234567"_s << free << QStringList{};
    QTest::newRow("nine digits in free text are nothing") << u"312345678"_s << free << QStringList{};
    QTest::newRow("nine digits in a telephone field lost their zero")
        << u"312345678"_s << int(transfer::NumberContext::PhoneField) << QStringList{u"TEL03-1234-5678"_s};
    QTest::newRow("six digits in a spreadsheet cell lost the zero of the code")
        << u"600001"_s << int(transfer::NumberContext::Cell) << QStringList{u"〒060-0001"_s};
    QTest::newRow("seven digits in a telephone field are no postal code")
        << u"1234567"_s << int(transfer::NumberContext::PhoneField) << QStringList{};
}

void TestPhoneNumbers::findsNumbersInALine()
{
    QFETCH(QString, line);
    QFETCH(int, context);
    QFETCH(QStringList, found);
    const QString folded = transfer::FoldForNumbers(line);
    QStringList got;
    for (const transfer::NumberMatch &m :
         transfer::FindNumbers(folded, static_cast<transfer::NumberContext>(context))) {
        got << (m.kind == transfer::NumberMatch::PostalCode ? u"〒"_s : u"TEL"_s) + m.value;
        QVERIFY(m.start >= 0 && m.start < m.end && m.end <= folded.size());
    }
    QCOMPARE(got, found);
}

void TestPhoneNumbers::foldingKeepsPositions()
{
    const QString text = u"ハイツ１０１　０９０ー１２３４ー５６７８━━"_s;
    const QString folded = transfer::FoldForNumbers(text);
    QCOMPARE(folded.size(), text.size());
    QCOMPARE(folded, u"ハイツ101 090-1234-5678━━"_s);
}

QTEST_GUILESS_MAIN(TestPhoneNumbers)
#include "tst_phonenumbers.moc"
