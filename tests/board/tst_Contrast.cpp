#include "board/Contrast.h"

#include <QTest>

class tst_Contrast : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ratio_data();
    void ratio();
    void readableOnEveryBackground();
};

void tst_Contrast::ratio_data()
{
    // Reference values of the WCAG formula.
    QTest::addColumn<uint>("a");
    QTest::addColumn<uint>("b");
    QTest::addColumn<double>("expected");
    QTest::newRow("black on white") << 0x000000u << 0xFFFFFFu << 21.0;
    QTest::newRow("same colour") << 0x00FF00u << 0x00FF00u << 1.0;
    QTest::newRow("#777 on white, just short of 4.5") << 0x777777u << 0xFFFFFFu << 4.478;
    QTest::newRow("white on pure red") << 0xFFFFFFu << 0xFF0000u << 3.998;
}

void tst_Contrast::ratio()
{
    QFETCH(uint, a);
    QFETCH(uint, b);
    QFETCH(double, expected);
    QVERIFY(qAbs(ContrastRatio(a, b) - expected) < 0.005);
    QCOMPARE(ContrastRatio(a, b), ContrastRatio(b, a));
}

void tst_Contrast::readableOnEveryBackground()
{
    // A grid through the colour cube: text and warning both read at 4.5:1, and the
    // warning differs from the text wherever the background leaves room for two colours.
    for (uint r = 0; r <= 0xFF; r += 0x33)
        for (uint g = 0; g <= 0xFF; g += 0x33)
            for (uint b = 0; b <= 0xFF; b += 0x33) {
                const uint background = (r << 16) | (g << 8) | b;
                QVERIFY(ContrastRatio(ReadableTextColour(background), background) >= 4.5);
                const uint warning = ReadableWarningColour(background);
                QVERIFY(ContrastRatio(warning, background) >= 4.5);
                const uint text = ReadableTextColour(background);
                QVERIFY(warning != text || ContrastRatio(text, background) < 5.0);
            }
}

QTEST_APPLESS_MAIN(tst_Contrast)
#include "tst_Contrast.moc"
