// SPDX-License-Identifier: GPL-3.0-or-later
#include "board/NumberReading.h"
#include "board/ZanvoError.h"

#include <QTest>

#include <string>

class tst_NumberReading : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reads_data();
    void reads();
    void overflows_data();
    void overflows();
    void scansFraction();
};

void tst_NumberReading::reads_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");

    QTest::newRow("empty") << QStringLiteral("") << 0;
    QTest::newRow("blanks only") << QStringLiteral("   ") << 0;
    QTest::newRow("plain") << QStringLiteral("7") << 7;
    QTest::newRow("leading blanks") << QStringLiteral("   7") << 7;
    QTest::newRow("leading tab") << QStringLiteral("\t42") << 42;
    QTest::newRow("digits then letters") << QStringLiteral("12abc") << 12;
    QTest::newRow("letters only") << QStringLiteral("abc") << 0;
    QTest::newRow("minus") << QStringLiteral("-3") << -3;
    QTest::newRow("plus") << QStringLiteral("+8") << 8;
    QTest::newRow("sign alone") << QStringLiteral("-") << 0;
    QTest::newRow("double sign") << QStringLiteral("+-1") << 0;
    QTest::newRow("half down to even") << QStringLiteral("2.5") << 2;
    QTest::newRow("half up to even") << QStringLiteral("3.5") << 4;
    QTest::newRow("negative half to even") << QStringLiteral("-2.5") << -2;
    QTest::newRow("negative half up to even") << QStringLiteral("-3.5") << -4;
    QTest::newRow("half to zero") << QStringLiteral("0.5") << 0;
    QTest::newRow("just above half") << QStringLiteral("2.5000001") << 3;
    QTest::newRow("below half") << QStringLiteral("2.49") << 2;
    QTest::newRow("exponent") << QStringLiteral("1e2") << 100;
    QTest::newRow("exponent capital") << QStringLiteral("1E2") << 100;
    QTest::newRow("exponent signed") << QStringLiteral("25e-1") << 2;
    QTest::newRow("exponent plus") << QStringLiteral("1e+3") << 1000;
    QTest::newRow("exponent without digits") << QStringLiteral("1e") << 1;
    QTest::newRow("exponent sign without digits") << QStringLiteral("4e+") << 4;
    QTest::newRow("trailing point") << QStringLiteral("5.") << 5;
    QTest::newRow("leading point") << QStringLiteral(".6") << 1;
    QTest::newRow("point alone") << QStringLiteral(".") << 0;
    QTest::newRow("second point stops") << QStringLiteral("1.2.3") << 1;
    QTest::newRow("blank inside stops") << QStringLiteral("1 2") << 1;
    QTest::newRow("hex prefix is not hex") << QStringLiteral("0x1F") << 0;
    QTest::newRow("basic hex is not hex") << QStringLiteral("&H10") << 0;
    QTest::newRow("inf is no number") << QStringLiteral("inf") << 0;
    QTest::newRow("nan is no number") << QStringLiteral("nan") << 0;
    QTest::newRow("infinity is no number") << QStringLiteral("-Infinity") << 0;
    QTest::newRow("leading zeros") << QStringLiteral("007") << 7;
    QTest::newRow("int max") << QStringLiteral("2147483647") << 2147483647;
    QTest::newRow("int min") << QStringLiteral("-2147483648") << int(-2147483647 - 1);
    QTest::newRow("int max plus fraction down") << QStringLiteral("2147483647.4") << 2147483647;
    QTest::newRow("int min half to even") << QStringLiteral("-2147483648.5") << int(-2147483647 - 1);
    QTest::newRow("underflow is zero") << QStringLiteral("1e-400") << 0;
    QTest::newRow("long zero fraction") << QStringLiteral("0.000000000000000000000000000000001") << 0;
    QTest::newRow("huge negative exponent on many digits") << QStringLiteral("123456789e-9999") << 0;
}

void tst_NumberReading::reads()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(ReadNumber(text.toStdString()), expected);
    QCOMPARE(ReadNumberInRange(text.toStdString()), std::optional<std::int32_t>(expected));
}

void tst_NumberReading::overflows_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("three thousand million") << QStringLiteral("3000000000");
    QTest::newRow("int max plus one") << QStringLiteral("2147483648");
    QTest::newRow("int max half rounds up") << QStringLiteral("2147483647.5");
    QTest::newRow("below int min") << QStringLiteral("-2147483649");
    QTest::newRow("exponent too large for a double") << QStringLiteral("1e400");
    QTest::newRow("negative exponent too large") << QStringLiteral("-1e400");
    QTest::newRow("large exponent") << QStringLiteral("1e10");
    QTest::newRow("many digits") << QString(400, QLatin1Char('9'));
    QTest::newRow("many digits, small exponent") << QString(400, QLatin1Char('9')) + QStringLiteral("e-5");
}

void tst_NumberReading::overflows()
{
    QFETCH(QString, text);
    QVERIFY(!ReadNumberInRange(text.toStdString()));
    try {
        ReadNumber(text.toStdString());
        QFAIL("no overflow raised");
    } catch (const ZanvoError& e) {
        QCOMPARE(e.Number(), ErrorNumber::Overflow);
    }
}

void tst_NumberReading::scansFraction()
{
    QCOMPARE(ScanNumber("  -12.75xyz"), -12.75);
    QCOMPARE(ScanNumber("1.5e1"), 15.0);
    QCOMPARE(ScanNumber("text"), 0.0);
}

QTEST_APPLESS_MAIN(tst_NumberReading)
#include "tst_NumberReading.moc"
