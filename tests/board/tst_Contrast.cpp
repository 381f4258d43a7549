// SPDX-License-Identifier: GPL-3.0-or-later
#include "board/Contrast.h"

#include <QTest>

class tst_Contrast : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readableOnEveryBackground();
};

void tst_Contrast::readableOnEveryBackground()
{
    // The measure itself, against WCAG's reference values.
    QCOMPARE(ContrastRatio(0x000000, 0xFFFFFF), 21.0);
    QVERIFY(qAbs(ContrastRatio(0xFFFFFF, 0x777777) - 4.478) < 0.005);
    // A grid through the colour cube: text and warning read at 4.5:1, and the warning
    // differs from the text wherever the background leaves room for two colours.
    for (uint r = 0; r <= 0xFF; r += 0x33)
        for (uint g = 0; g <= 0xFF; g += 0x33)
            for (uint b = 0; b <= 0xFF; b += 0x33) {
                const uint background = (r << 16) | (g << 8) | b;
                const uint text = ReadableTextColour(background);
                const uint warning = ReadableWarningColour(background);
                QVERIFY(ContrastRatio(text, background) >= 4.5);
                QVERIFY(ContrastRatio(warning, background) >= 4.5);
                QVERIFY(warning != text || ContrastRatio(text, background) < 5.0);
            }
}

QTEST_APPLESS_MAIN(tst_Contrast)
#include "tst_Contrast.moc"
