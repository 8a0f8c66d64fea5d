// The gradient: band arithmetic against known figures, the calls made on the
// target, and the colours that land in a window's persistent image.
#include "PaintGradient.h"
#include "PersistentImage.h"

#include <QTest>
#include <QWidget>

namespace {

GradientScreen screenOfRows(int rows, int widthPixels = 1024)
{
    return {rows * 15.0, widthPixels * 15.0, 15.0};
}

// Records every call, and the target's state at each fill.
class RecordingTarget : public GradientTarget
{
public:
    struct Fill
    {
        QPoint corner1, corner2;
        QColor colour;
        ScaleMode mode;
        DrawStyle style;
        bool redraw;
    };

    ScaleMode scaleMode() const override { return mode; }
    void setScaleMode(ScaleMode m) override { mode = m; }
    DrawStyle drawStyle() const override { return style; }
    void setDrawStyle(DrawStyle s) override { style = s; }
    bool autoRedraw() const override { return redraw; }
    void setAutoRedraw(bool on) override { redraw = on; }
    void fillBox(QPoint c1, QPoint c2, const QColor &colour) override
    {
        fills.append({c1, c2, colour, mode, style, redraw});
    }

    ScaleMode mode = ScaleMode::Twips;
    DrawStyle style = DrawStyle::Solid;
    bool redraw = false;
    QList<Fill> fills;
};

} // namespace

class tst_PaintGradient : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stepFollowsTheScreenRows_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("step");
        QTest::newRow("480") << 480 << 8;
        QTest::newRow("600") << 600 << 10;
        QTest::newRow("768, 12.5 rounds to even") << 768 << 12;
        QTest::newRow("800") << 800 << 13;
        QTest::newRow("1024, 16.5 rounds to even") << 1024 << 16;
        QTest::newRow("1080") << 1080 << 17;
        QTest::newRow("no rows: at least 1") << 0 << 1;
        QTest::newRow("31 rows: 0.98 rounds to 1") << 31 << 1;
    }
    void stepFollowsTheScreenRows()
    {
        QFETCH(int, rows);
        QFETCH(int, step);
        QCOMPARE(gradientStep(static_cast<qint16>(rows)), step);
    }

    void rowsComeFromTheScreenInTwips_data()
    {
        QTest::addColumn<double>("heightTwips");
        QTest::addColumn<double>("perPixel");
        QTest::addColumn<int>("rows");
        QTest::newRow("768 at 15") << 11520.0 << 15.0 << 768;
        QTest::newRow("1024 at 12") << 12288.0 << 12.0 << 1024;
        QTest::newRow("10.5 rounds to even, down") << 21.0 << 2.0 << 10;
        QTest::newRow("11.5 rounds to even, up") << 23.0 << 2.0 << 12;
        QTest::newRow("no screen") << 0.0 << 15.0 << 0;
    }
    void rowsComeFromTheScreenInTwips()
    {
        QFETCH(double, heightTwips);
        QFETCH(double, perPixel);
        QFETCH(int, rows);
        QCOMPARE(int(gradientRows({heightTwips, 0, perPixel})), rows);
    }

    void levelsRunFromTenToFullBrightness_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("level");
        QTest::newRow("top") << 768 << 0 << 10;
        QTest::newRow("middle of 768, 117.5 rounds to 118") << 768 << 384 << 132;
        QTest::newRow("bottom") << 768 << 768 << 255;
        QTest::newRow("480 at 96") << 480 << 96 << 59;
        QTest::newRow("splash bottom on 768") << 768 << 408 << 140;
    }
    void levelsRunFromTenToFullBrightness()
    {
        QFETCH(int, rows);
        QFETCH(int, y);
        QFETCH(int, level);
        QCOMPARE(gradientLevel(y, static_cast<qint16>(rows)), level);
    }

    void blueFactorsGiveBlueBandsOverTheScreenHeight()
    {
        const GradientLayout layout = gradientLayout(768, 0, 0, 1);
        QCOMPARE(layout.step, 12);
        QCOMPARE(layout.bands.size(), 65);
        QCOMPARE(layout.bands.first().y, 0);
        QCOMPARE(layout.bands.last().y, 768);
        QCOMPARE(layout.bands.first().colour, QColor(0, 0, 10));
        QCOMPARE(layout.bands.last().colour, QColor(0, 0, 255));
        QCOMPARE(layout.bands.at(32).y, 384);
        QCOMPARE(layout.bands.at(32).colour, QColor(0, 0, 132));
        int previous = -1;
        for (const GradientBand &band : layout.bands) {
            QVERIFY(band.level >= previous);
            previous = band.level;
            QCOMPARE(band.colour.red(), 0);
            QCOMPARE(band.colour.green(), 0);
        }
    }

    void otherFactorsMixTheChannels()
    {
        const GradientLayout layout = gradientLayout(480, 1, 0, 1);
        QCOMPARE(layout.bands.size(), 61);
        QCOMPARE(layout.bands.first().colour, QColor(10, 0, 10));
        QCOMPARE(layout.bands.last().colour, QColor(255, 0, 255));
    }

    void paintsOverlappingBandsAndRestoresTheTarget()
    {
        RecordingTarget target;
        PaintGradient(target, 0, 0, 1, screenOfRows(480, 640));
        QCOMPARE(target.fills.size(), 61);
        for (int i = 0; i < target.fills.size(); ++i) {
            const auto &fill = target.fills.at(i);
            const int y = i * 8;
            QCOMPARE(fill.corner1, QPoint(-2, y - 2));
            QCOMPARE(fill.corner2, QPoint(640 * 15 + 2, y + 8 + 3));
            QCOMPARE(fill.mode, GradientTarget::ScaleMode::Pixels);
            QCOMPARE(fill.style, GradientTarget::DrawStyle::Invisible);
            QVERIFY(fill.redraw);
        }
        QCOMPARE(target.mode, GradientTarget::ScaleMode::Twips);
        QCOMPARE(target.style, GradientTarget::DrawStyle::Solid);
        QVERIFY(!target.redraw);

        target.mode = GradientTarget::ScaleMode::Pixels;
        target.style = GradientTarget::DrawStyle::Invisible;
        target.redraw = true;
        PaintGradient(target, 0, 0, 1, screenOfRows(480));
        QCOMPARE(target.mode, GradientTarget::ScaleMode::Pixels);
        QCOMPARE(target.style, GradientTarget::DrawStyle::Invisible);
        QVERIFY(target.redraw);
    }

    void thePersistentImageKeepsTheGradient()
    {
        QWidget window;
        window.resize(300, 800);
        PersistentImage image(&window, QColor(0, 192, 192));
        PaintGradient(image, 0, 0, 1, screenOfRows(768));
        const QImage &painted = image.image();
        QVERIFY(painted.height() >= 800);
        // Each row shows the last band drawn over it: the one starting at
        // the largest y with y - 2 <= row.
        QCOMPARE(painted.pixelColor(10, 0), QColor(0, 0, 10));
        QCOMPARE(painted.pixelColor(299, 384), QColor(0, 0, 132));
        QCOMPARE(painted.pixelColor(150, 768), QColor(0, 0, 255));
        QCOMPARE(painted.pixelColor(150, 770), QColor(0, 0, 255));
        // Below the last band (768 + 12 + 3) the background is untouched.
        QCOMPARE(painted.pixelColor(150, 790), QColor(0, 192, 192));
    }

    void drawingWithoutPersistenceIsNotKept()
    {
        QWidget window;
        window.resize(100, 100);
        PersistentImage image(&window, QColor(0, 192, 192));
        image.setScaleMode(GradientTarget::ScaleMode::Pixels);
        image.fillBox(QPoint(0, 0), QPoint(50, 50), Qt::red);
        QCOMPARE(image.image().pixelColor(10, 10), QColor(0, 192, 192));
        image.setAutoRedraw(true);
        image.fillBox(QPoint(0, 0), QPoint(50, 50), Qt::red);
        QCOMPARE(image.image().pixelColor(10, 10), QColor(Qt::red));
        QCOMPARE(image.image().pixelColor(50, 50), QColor(0, 192, 192));
    }
};

QTEST_MAIN(tst_PaintGradient)
#include "tst_PaintGradient.moc"
