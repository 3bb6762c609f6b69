// Values that cannot have been meant are read as the key's default, and a
// typed offset outside the range is refused.

#include "settings/ValueLimits.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestValueLimits : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void storedOffset_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << u"0"_s << u"0"_s;
        QTest::newRow("the largest offset") << u"32767"_s << u"32767"_s;
        QTest::newRow("the smallest offset") << u"-32767"_s << u"-32767"_s;
        QTest::newRow("one beyond the largest") << u"32768"_s << u"DEF"_s;
        QTest::newRow("one beyond the smallest") << u"-32768"_s << u"DEF"_s;
        QTest::newRow("the int maximum") << u"2147483647"_s << u"DEF"_s;
        QTest::newRow("a huge decimal") << u"99999999999.5"_s << u"DEF"_s;
        QTest::newRow("a lone minus sign") << u"-"_s << u"DEF"_s;
        QTest::newRow("an empty offset stays empty") << QString() << QString();
        QTest::newRow("a decimal within range stays") << u"12.5"_s << u"12.5"_s;
        QTest::newRow("text that is no number stays") << u"abc"_s << u"abc"_s;
    }
    void storedOffset()
    {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        QCOMPARE(limits::OffsetText(stored, u"DEF"_s), expected);
    }

    void typedOffset_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // -1000000 = refused
        QTest::newRow("empty is 0") << QString() << 0;
        QTest::newRow("the largest") << u"32767"_s << 32767;
        QTest::newRow("the smallest") << u"-32767"_s << -32767;
        QTest::newRow("one beyond the largest") << u"32768"_s << -1000000;
        QTest::newRow("nine digits") << u"-999999999"_s << -1000000;
        QTest::newRow("a lone minus sign") << u"-"_s << -1000000;
        QTest::newRow("a decimal") << u"1.5"_s << -1000000;
    }
    void typedOffset()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(limits::TypedOffset(text).value_or(-1000000), expected);
    }

    void storedRate_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << u"0"_s << u"0"_s;
        QTest::newRow("one hundred") << u"100"_s << u"100"_s;
        QTest::newRow("a decimal rate") << u"8.5"_s << u"8.5"_s;
        QTest::newRow("just above one hundred") << u"100.01"_s << u"DEF"_s;
        QTest::newRow("just below zero") << u"-0.01"_s << u"DEF"_s;
        QTest::newRow("below the int range") << u"-2147483649"_s << u"DEF"_s;
    }
    void storedRate()
    {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        QCOMPARE(limits::TaxRateText(stored, u"DEF"_s), expected);
    }

    void storedDate_data()
    {
        QTest::addColumn<QDate>("stored");
        QTest::addColumn<bool>("kept");
        QTest::newRow("the first day of 1900") << QDate(1900, 1, 1) << true;
        QTest::newRow("the last day of 2099") << QDate(2099, 12, 31) << true;
        QTest::newRow("the last day of 1899") << QDate(1899, 12, 31) << false;
        QTest::newRow("the first day of 2100") << QDate(2100, 1, 1) << false;
        QTest::newRow("before the calendar reform") << QDate(1700, 5, 1) << false;
        QTest::newRow("an invalid date") << QDate() << false;
    }
    void storedDate()
    {
        QFETCH(QDate, stored);
        QFETCH(bool, kept);
        const QDate def(2019, 10, 1);
        QCOMPARE(limits::TaxDate(stored, def), kept ? stored : def);
    }
};

QTEST_GUILESS_MAIN(TestValueLimits)
#include "tst_valuelimits.moc"
