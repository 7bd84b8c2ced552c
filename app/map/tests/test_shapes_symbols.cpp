// Symbols (built-in and added from files, and the nine shipped AP symbol files) and shapes.
#include "MapTestSupport.h"
#include "map/Symbols.h"

#include <QCryptographicHash>
#include <QFontMetricsF>
#include <QImageReader>
#include <QSet>
#include <gtest/gtest.h>

using namespace aero;

TEST(Symbols, TheNineProgramSymbolsTakeNumbers336To344)
{
    auto map = maptest::europeMap();
    ASSERT_EQ(map->SymbolCount(), 336);
    int expected = 336;
    for (const QString& file : maptest::programSymbolFiles()) {
        SCOPED_TRACE(file.toStdString());
        EXPECT_EQ(map->AddSymbol(file), expected++);
    }
    EXPECT_EQ(map->SymbolCount(), 345);
    const MarkerId id = map->AddMarker({50, 10, 1}, QStringLiteral("ap"));
    map->setMarkerSymbol(id, 343);
    EXPECT_EQ(map->markerSymbol(id), 343);
    EXPECT_EQ(map->symbolImage(336).size(), QSize(16, 16)) << "the icon's 16 px image is used";
}

TEST(Symbols, UnreadableFilesAreRefusedAndCountNothing)
{
    auto map = maptest::europeMap();
    QTemporaryDir dir;
    const QString junk = testing_support::writeFile(dir.filePath(QStringLiteral("junk.ico")), "not an icon at all");
    struct Row { const char* legend; QString path; int code; };
    const Row rows[] = {
        {"missing file", dir.filePath(QStringLiteral("none.ico")), errors::FileNotFound},
        {"not a picture", junk, errors::InvalidFileFormat},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        try {
            map->AddSymbol(r.path);
            ADD_FAILURE() << "no error";
        } catch (const AppError& e) {
            EXPECT_EQ(e.code, r.code);
        }
        EXPECT_EQ(map->SymbolCount(), 336);
    }
}

TEST(Symbols, BuiltInSymbolsAreAllDifferentAndTheMarksStandOut)
{
    auto map = maptest::europeMap();
    QSet<QByteArray> seen;
    for (int s = 0; s < BuiltInSymbolCount; ++s) {
        const QImage img = map->symbolImage(s);
        ASSERT_FALSE(img.isNull()) << s;
        const QByteArray hash = QCryptographicHash::hash(
            QByteArrayView(reinterpret_cast<const char*>(img.constBits()), img.sizeInBytes()), QCryptographicHash::Sha1);
        EXPECT_FALSE(seen.contains(hash)) << "symbol " << s << " looks like another";
        seen.insert(hash);
    }
    auto dominant = [&](int symbol) {
        const QImage img = map->symbolImage(symbol).convertToFormat(QImage::Format_ARGB32);
        long r = 0, g = 0, b = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y);
                if (qAlpha(c) > 128 && !(qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200))
                    r += qRed(c), g += qGreen(c), b += qBlue(c);
            }
        return std::array<long, 3>{r, g, b};
    };
    const auto filtered = dominant(FilteredSymbol);
    EXPECT_GT(filtered[0], 2 * filtered[1]) << "the filtered mark is red";
    const auto position = dominant(PositionSymbol);
    EXPECT_GT(position[2], 2 * position[0]) << "the live position is blue";
}

TEST(Symbols, ShippedIconsHoldBothSizesAndTellKindsAndBandsApart)
{
    auto colourCount = [](const QImage& img, auto pred) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                n += pred(img.pixel(x, y)) ? 1 : 0;
        return n;
    };
    auto green = [](QRgb c) { return qAlpha(c) > 128 && qGreen(c) > 120 && qRed(c) < 100; };
    auto red = [](QRgb c) { return qAlpha(c) > 128 && qRed(c) > 150 && qGreen(c) < 80; };
    for (const char kind : {'O', 'W'}) {
        int lastFill = -1;
        for (int band = 1; band <= 4; ++band) {
            const QString path = maptest::shippedIcons() + QStringLiteral("/%1%2.ico").arg(QLatin1Char(kind)).arg(band);
            SCOPED_TRACE(path.toStdString());
            QImageReader reader(path);
            ASSERT_EQ(reader.imageCount(), 2);
            QSet<int> sizes;
            QImage big;
            for (int i = 0; i < 2; ++i) {
                reader.jumpToImage(i);
                const QImage img = reader.read().convertToFormat(QImage::Format_ARGB32);
                sizes.insert(img.width());
                if (img.width() == 32)
                    big = img;
            }
            EXPECT_EQ(sizes, (QSet<int>{16, 32}));
            const int fill = colourCount(big, kind == 'O' ? green : red);
            EXPECT_EQ(colourCount(big, kind == 'O' ? red : green), 0) << "open is green only, encrypted red only";
            EXPECT_GT(fill, lastFill + 10) << "a stronger band fills more";
            lastFill = fill;
        }
    }
    const QImage stumbler = loadSymbolImage(maptest::shippedIcons() + QStringLiteral("/Stumbler.bmp"));
    ASSERT_FALSE(stumbler.isNull());
    EXPECT_EQ(qAlpha(stumbler.pixel(0, 0)), 0) << "the bitmap's background is keyed out";
}

TEST(Shapes, AreKeptInCreationOrderWithTheirStyle)
{
    auto map = maptest::europeMap();
    const ShapeId line = map->AddLine({48, 2, 0}, {51.5, -0.1, 0});
    const ShapeId track = map->AddPolyline({{48, 2, 0}, {48.1, 2.1, 0}, {48.2, 2.0, 0}});
    const ShapeId box = map->AddShape(ShapeKind::Figure, {50, 5, 0}, 0.1, 0.1);
    ASSERT_EQ(map->ShapeCount(), 3);
    EXPECT_EQ(map->ShapeAt(1), line);
    EXPECT_EQ(map->ShapeAt(2), track);
    EXPECT_EQ(map->ShapeAt(3), box);
    map->setShapeLineColor(track, 0x0000FF);
    map->setShapeLineSetting(track, 1);
    map->setShapeText(box, QStringLiteral("L1"));
    EXPECT_EQ(map->shape(track).lineColor, 0x0000FF);
    EXPECT_EQ(map->shape(track).points.size(), 3u);
    EXPECT_EQ(map->shape(box).text, QStringLiteral("L1"));
    EXPECT_EQ(map->shape(box).kind, ShapeKind::Figure);
    EXPECT_DOUBLE_EQ(map->shape(box).width, 0.1);
    for (int bad : {0, 4, -1}) {
        SCOPED_TRACE(bad);
        try {
            map->ShapeAt(bad);
            ADD_FAILURE() << "no error";
        } catch (const AppError& e) {
            EXPECT_EQ(e.code, errors::SubscriptOutOfRange);
        }
    }
    EXPECT_THROW(map->AddPolyline({{1, 1, 0}}), AppError);
    map->removeShape(track);
    EXPECT_EQ(map->ShapeCount(), 2);
    EXPECT_EQ(map->ShapeAt(2), box);
    EXPECT_THROW(map->setShapeText(track, QStringLiteral("gone")), AppError);
}

TEST(Shapes, FigureLabelsReadOnAnyMapOneLineOfTextEachAndCanBeRemoved)
{
    auto map = maptest::europeMap();
    map->CentreOn({50, 5, 20});
    const ShapeId s = map->AddShape(ShapeKind::Figure, {50, 5, 0}, 0.1, 0.1);
    map->setShapeLineColor(s, 0x00FFFF);   // yellow, as weak signals are drawn
    map->setShapeText(s, QStringLiteral("home\r\nomni"));
    EXPECT_EQ(map->shapeText(s), QStringLiteral("home\r\nomni"));
    const QImage image = map->CopyView().convertToFormat(QImage::Format_RGB32);
    // The label's box sits above and right of the figure, one text line per line of the text.
    const int x0 = map->ToScreenX({50, 5, 0}) + 8, bottom = map->ToScreenY({50, 5, 0}) - 7;
    const int top = bottom - 2 * static_cast<int>(QFontMetricsF(QFont()).height());
    int darkRows = 0, bands = 0;
    bool inBand = false;
    for (int y = top; y < bottom; ++y) {
        bool dark = false;
        for (int x = x0; x < x0 + 30; ++x)
            dark = dark || qGray(image.pixel(x, y)) < 80;
        darkRows += dark;
        bands += dark && !inBand;
        inBand = dark;
    }
    EXPECT_EQ(bands, 2) << "dark text, SSID and log name on lines of their own";
    EXPECT_GT(darkRows, 6);
    map->RemoveShape(s);
    EXPECT_EQ(map->ShapeCount(), 0);
    EXPECT_TRUE(map->shapeText(s).isEmpty());
    map->RemoveShape(s);   // already gone: nothing happens
}

TEST(Shapes, FigureSizeFollowsTheUnitAndHitTestsFindShapes)
{
    auto map = maptest::europeMap();
    map->setUnits(MapUnit::Miles);
    const ShapeId box = map->AddShape(ShapeKind::Figure, {50, 5, 0}, 1.0, 1.0);
    EXPECT_DOUBLE_EQ(map->shape(box).width, 1.609344) << "kept in kilometres";
    map->CentreOn({50, 5, 20});
    const ShapeId line = map->AddLine({49.95, 4.9, 0}, {49.95, 5.1, 0});
    const Location onLine{49.95, 5.0, 0};
    EXPECT_EQ(map->shapeAtScreen(QPointF(map->ToScreenX(onLine), map->ToScreenY(onLine) + 2)), line);
    EXPECT_EQ(map->shapeAtScreen(QPointF(map->ToScreenX({50, 5, 0}), map->ToScreenY({50, 5, 0}))), box);
    EXPECT_EQ(map->shapeAtScreen(QPointF(5, 5)), std::nullopt);
}
