// Finding a file's encoding, decoding its bytes and encoding text back.

#include "settings/TextEncoding.h"

#include <QTest>

using namespace Qt::StringLiterals;
using vuzo::codec::Encoding;

namespace vuzo::codec {
// Names the encoding in a failed comparison.
char *toString(Encoding e)
{
    static const char *const names[] = {"CP932", "UTF-8", "UTF-8 with BOM", "UTF-16LE", "UTF-16BE"};
    return qstrdup(names[int(e)]);
}
} // namespace vuzo::codec

class TestTextEncoding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void bytesThatAreNoTextFallBack_data();
    void bytesThatAreNoTextFallBack();
};

void TestTextEncoding::roundTrip_data()
{
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<bool>("bom");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Encoding>("detected");

    const QString japanese = u"〒100-0001 東京都千代田区１－１　山田太郎"_s;
    const QString emoji = u"山田😀"_s;
    QTest::newRow("CP932 text is found as CP932") << Encoding::Cp932 << false << japanese << Encoding::Cp932;
    QTest::newRow("plain ASCII is taken for CP932")
        << Encoding::Cp932 << false << u"E_TEL=03\\1~2"_s << Encoding::Cp932;
    QTest::newRow("empty input is taken for CP932") << Encoding::Cp932 << false << QString() << Encoding::Cp932;
    QTest::newRow("UTF-8 without a byte-order mark is found by its bytes")
        << Encoding::Utf8 << false << emoji << Encoding::Utf8;
    QTest::newRow("UTF-8 with a byte-order mark is found by the mark")
        << Encoding::Utf8Bom << true << emoji << Encoding::Utf8Bom;
    QTest::newRow("ASCII after a UTF-8 byte-order mark stays UTF-8")
        << Encoding::Utf8Bom << true << u"x=1"_s << Encoding::Utf8Bom;
    QTest::newRow("UTF-16LE with a byte-order mark is found by the mark")
        << Encoding::Utf16Le << true << emoji << Encoding::Utf16Le;
    QTest::newRow("UTF-16BE with a byte-order mark is found by the mark")
        << Encoding::Utf16Be << true << emoji << Encoding::Utf16Be;
    QTest::newRow("a lone surrogate comes through UTF-16LE")
        << Encoding::Utf16Le << true << u"a\xD83D"_s << Encoding::Utf16Le;
    // Without a mark, UTF-16 is not recognised; its bytes still decode when
    // the encoding is known.
    QTest::newRow("UTF-16LE without a byte-order mark is taken for CP932")
        << Encoding::Utf16Le << false << u"山田"_s << Encoding::Cp932;
    QTest::newRow("UTF-16BE without a byte-order mark is taken for CP932")
        << Encoding::Utf16Be << false << u"山田"_s << Encoding::Cp932;
}

void TestTextEncoding::roundTrip()
{
    QFETCH(Encoding, encoding);
    QFETCH(bool, bom);
    QFETCH(QString, text);
    QFETCH(Encoding, detected);

    const std::optional<QByteArray> body = vuzo::codec::EncodeExactly(encoding, text);
    QVERIFY(body);
    const QByteArray mark = bom ? vuzo::codec::ByteOrderMark(encoding).toByteArray() : QByteArray();
    QCOMPARE(vuzo::codec::Detect(mark + *body), detected);
    QCOMPARE(vuzo::codec::Decode(encoding, *body), text);
}

void TestTextEncoding::bytesThatAreNoTextFallBack_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Encoding>("detected");
    QTest::addColumn<QString>("text");

    QTest::newRow("an overlong UTF-8 form is read as CP932 half-width katakana")
        << QByteArray("\xC0\xAF") << Encoding::Cp932 << u"ﾀｯ"_s;
    QTest::newRow("a UTF-8 sequence cut off at the end is read as CP932")
        << QByteArray("abc\xE3") << Encoding::Cp932 << u"abc\uFFFD"_s;
    QTest::newRow("a broken sequence after a UTF-8 byte-order mark becomes a replacement character")
        << QByteArray("\xEF\xBB\xBF"
                      "a\xFF"
                      "b")
        << Encoding::Utf8Bom << u"a\uFFFDb"_s;
    QTest::newRow("an odd last byte of UTF-16 is left out") << QByteArray("\xFF\xFE"
                                                                          "a\0b",
                                                                          5)
                                                            << Encoding::Utf16Le << u"a"_s;
}

void TestTextEncoding::bytesThatAreNoTextFallBack()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Encoding, detected);
    QFETCH(QString, text);

    QCOMPARE(vuzo::codec::Detect(bytes), detected);
    const qsizetype mark = vuzo::codec::ByteOrderMark(detected).size();
    QCOMPARE(vuzo::codec::Decode(detected, QByteArrayView(bytes).sliced(mark)), text);
}

QTEST_APPLESS_MAIN(TestTextEncoding)
#include "tst_textencoding.moc"
