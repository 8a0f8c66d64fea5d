// The gradient: band step and levels from the screen's rows, and the colours
// that land in a window's persistent image.
#include "PaintGradient.h"
#include "PersistentImage.h"

#include <QTest>
#include <QWidget>

class tst_PaintGradient : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bandsFollowTheScreenRowsAndLandInTheImage()
    {
        QCOMPARE(gradientStep(480), 8);
        QCOMPARE(gradientStep(0), 1); // a step below 1 counts as 1
        const GradientLayout layout = gradientLayout(768, 0, 0, 1);
        QCOMPARE(layout.bands.size(), 65);
        QCOMPARE(layout.bands.first().colour, QColor(0, 0, 10));
        QCOMPARE(layout.bands.at(32).y, 384);
        QCOMPARE(layout.bands.at(32).colour, QColor(0, 0, 132));
        QCOMPARE(layout.bands.last().y, 768);
        QCOMPARE(layout.bands.last().colour, QColor(0, 0, 255));

        QWidget window;
        window.resize(300, 800);
        PersistentImage image(&window, QColor(0, 192, 192));
        PaintGradient(image, 0, 0, 1, {768 * 15.0, 1024 * 15.0, 15.0});
        const QImage &painted = image.image();
        QCOMPARE(painted.pixelColor(10, 0), QColor(0, 0, 10));
        QCOMPARE(painted.pixelColor(299, 384), QColor(0, 0, 132));
        QCOMPARE(painted.pixelColor(150, 770), QColor(0, 0, 255));
        // Below the last band (768 + 12 + 3) the background is untouched.
        QCOMPARE(painted.pixelColor(150, 790), QColor(0, 192, 192));
    }
};

QTEST_MAIN(tst_PaintGradient)
#include "tst_PaintGradient.moc"
