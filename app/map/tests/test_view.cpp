// The widget, offscreen: toolbars, mouse signals, drawing, zoom and pan, and what is painted.
#include "MapTestSupport.h"
#include "map/MapRenderer.h"
#include "map/MapView.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>
#include <random>

using namespace aero;

namespace {

struct ShownMap {
    std::unique_ptr<MapControl> map = maptest::europeMap();
    MapView* view = nullptr;
    ShownMap()
    {
        view = map->mapView();
        view->resize(800, 600);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view));
    }
};

int differingPixels(const QImage& a, const QImage& b)
{
    int n = 0;
    for (int y = 0; y < a.height(); y += 2)
        for (int x = 0; x < a.width(); x += 2)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

} // namespace

TEST(MapViewWidget, TheViewSizeFollowsTheWidget)
{
    ShownMap m;
    EXPECT_EQ(m.map->viewWidth(), 800);
    EXPECT_EQ(m.map->viewHeight(), 600);
    EXPECT_EQ(m.map->CopyView().size(), QSize(800, 600));
}

TEST(MapViewWidget, ToolbarsTwoAndThreeShowAndHide)
{
    ShownMap m;
    EXPECT_FALSE(m.view->navigationToolbar()->isVisible());
    EXPECT_FALSE(m.view->drawingToolbar()->isVisible());
    m.map->setToolbarVisible(NavigationToolbar, true);
    EXPECT_TRUE(m.view->navigationToolbar()->isVisible());
    EXPECT_TRUE(m.map->toolbarVisible(2));
    m.map->setToolbarVisible(DrawingToolbar, true);
    EXPECT_TRUE(m.view->drawingToolbar()->isVisible());
    EXPECT_GT(m.view->drawingToolbar()->y(), m.view->navigationToolbar()->y());
    m.map->setToolbarVisible(NavigationToolbar, false);
    EXPECT_FALSE(m.view->navigationToolbar()->isVisible());
    EXPECT_THROW(m.map->setToolbarVisible(1, true), AppError);
    QStringList tips;
    for (QAction* a : m.view->drawingToolbar()->actions())
        tips << a->toolTip();
    EXPECT_EQ(tips.size(), 5) << tips.join(QLatin1Char('|')).toStdString();
}

TEST(MapViewWidget, MousePressAndReleaseAreSignalled)
{
    ShownMap m;
    QSignalSpy pressed(m.view, &MapView::mousePressed);
    QSignalSpy released(m.view, &MapView::mouseReleased);
    QTest::mousePress(m.view, Qt::RightButton, Qt::ShiftModifier, QPoint(120, 340));
    QTest::mouseRelease(m.view, Qt::RightButton, Qt::ShiftModifier, QPoint(120, 340));
    ASSERT_EQ(pressed.count(), 1);
    ASSERT_EQ(released.count(), 1);
    EXPECT_EQ(pressed[0][0].value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(pressed[0][1].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
    EXPECT_EQ(pressed[0][2].toInt(), 120);
    EXPECT_EQ(pressed[0][3].toInt(), 340);
}

TEST(MapViewWidget, DraggingPansAndWheelAndKeysZoom)
{
    ShownMap m;
    const Location before = m.map->FromScreen(400, 300);
    QTest::mousePress(m.view, Qt::LeftButton, {}, QPoint(400, 300));
    QMouseEvent move(QEvent::MouseMove, QPointF(300, 250), m.view->mapToGlobal(QPointF(300, 250)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m.view, &move);
    QTest::mouseRelease(m.view, Qt::LeftButton, {}, QPoint(300, 250));
    const Location after = m.map->FromScreen(300, 250);
    EXPECT_NEAR(after.lat, before.lat, 1e-9) << "the grabbed point follows the pointer";
    EXPECT_NEAR(after.lon, before.lon, 1e-9);

    const double altitude = m.map->ViewAltitude();
    const Location underPointer = m.map->FromScreen(200, 150);
    QWheelEvent wheel(QPointF(200, 150), m.view->mapToGlobal(QPointF(200, 150)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(m.view, &wheel);
    EXPECT_LT(m.map->ViewAltitude(), altitude);
    EXPECT_EQ(m.map->ToScreenX(underPointer), 200) << "wheel zoom keeps the point under the pointer";
    EXPECT_EQ(m.map->ToScreenY(underPointer), 150);
    const double zoomed = m.map->ViewAltitude();
    QTest::keyClick(m.view, Qt::Key_Minus);
    EXPECT_GT(m.map->ViewAltitude(), zoomed);
    QTest::keyClick(m.view, Qt::Key_Plus);
    EXPECT_NEAR(m.map->ViewAltitude(), zoomed, 1e-9 * zoomed);
}

TEST(MapViewWidget, DrawnShapesGoIntoTheDocumentAndAreSaved)
{
    ShownMap m;
    m.map->setToolbarVisible(DrawingToolbar, true);
    m.view->setTool(MapView::Tool::Line);
    QTest::mousePress(m.view, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseRelease(m.view, Qt::LeftButton, {}, QPoint(500, 400));
    ASSERT_EQ(m.map->ShapeCount(), 1);
    const Shape& line = m.map->shape(m.map->ShapeAt(1));
    EXPECT_EQ(line.kind, ShapeKind::Line);
    EXPECT_EQ(m.map->ToScreenX(line.points[1]), 500);
    EXPECT_EQ(m.map->ToScreenY(line.points[1]), 400);

    m.view->setTool(MapView::Tool::Polyline);
    for (const QPoint p : {QPoint(50, 50), QPoint(80, 60), QPoint(120, 40)})
        QTest::mouseClick(m.view, Qt::LeftButton, {}, p);
    QTest::mouseDClick(m.view, Qt::LeftButton, {}, QPoint(120, 40));
    ASSERT_EQ(m.map->ShapeCount(), 2);
    EXPECT_EQ(m.map->shape(m.map->ShapeAt(2)).points.size(), 3u);

    m.view->setTextPrompt([] { return QStringLiteral("Base camp"); });
    m.view->setTool(MapView::Tool::Text);
    QTest::mouseClick(m.view, Qt::LeftButton, {}, QPoint(600, 100));
    ASSERT_EQ(m.map->ShapeCount(), 3);
    EXPECT_EQ(m.map->shape(m.map->ShapeAt(3)).text, QStringLiteral("Base camp"));

    // Select the line by clicking on it, delete it.
    m.view->setTool(MapView::Tool::Pan);
    QTest::mouseClick(m.view, Qt::LeftButton, {}, QPoint(300, 250));
    ASSERT_TRUE(m.view->selectedShape().has_value());
    m.view->deleteSelected();
    EXPECT_EQ(m.map->ShapeCount(), 2);

    QTemporaryDir dir;
    m.map->SaveMapFileAs(dir.filePath(QStringLiteral("drawn.kml")));
    MapControl reloaded(maptest::offlineOptions());
    reloaded.OpenMapFile(dir.filePath(QStringLiteral("drawn.kml")));
    EXPECT_EQ(reloaded.ShapeCount(), 2);
}

TEST(Rendering, DisplayStatesPlacesAndTheOutlineShow)
{
    auto map = maptest::europeMap();
    map->CentreOn({48.85, 2.35, 40});
    const QImage empty = map->CopyView();
    const MarkerId id = map->AddMarker({48.85, 2.35, 1}, QStringLiteral("Eiffel AP"));
    map->setMarkerNote(id, QStringLiteral("MAC = 00:11:22:33:44:55\r\nSignal = -60 dBm"));
    const QImage symbolOnly = map->CopyView();
    map->setMarkerDisplayState(id, 1);
    const QImage named = map->CopyView();
    map->setMarkerDisplayState(id, 2);
    const QImage balloon = map->CopyView();
    EXPECT_GT(differingPixels(empty, symbolOnly), 10);
    EXPECT_GT(differingPixels(symbolOnly, named), 20);
    EXPECT_GT(differingPixels(named, balloon), differingPixels(symbolOnly, named));

    map->CentreOn({50, 10, 3000});
    const QImage noPlaces = map->CopyView();
    map->setPlacesVisible(true);
    EXPECT_GT(differingPixels(noPlaces, map->CopyView()), 100);

    // Land and sea differ: Paris is on land, the middle of the Bay of Biscay is not.
    const QRgb land = noPlaces.pixel(map->ToScreenX({48.85, 2.35, 0}) + 3, map->ToScreenY({48.85, 2.35, 0}) + 3);
    const QRgb sea = noPlaces.pixel(map->ToScreenX({45.5, -5.0, 0}), map->ToScreenY({45.5, -5.0, 0}));
    EXPECT_NE(land, sea);
}

TEST(Rendering, ManyMarkersAreThinnedOnScreen)
{
    auto map = maptest::europeMap();
    for (int i = 0; i < 20000; ++i)
        map->AddMarker({45.0 + (i % 200) * 0.05, 5.0 + (i / 200) * 0.05, 1}, QStringLiteral("m%1").arg(i));
    map->CentreOn({50, 7.5, 1500});
    QImage image(map->viewWidth(), map->viewHeight(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    const SymbolLibrary symbols;
    RenderScene scene{map->document(), map->viewport(), map->baseMap(), nullptr, symbols, std::nullopt, {}};
    const RenderStats stats = renderScene(painter, scene);
    EXPECT_EQ(stats.markersConsidered, 20000);
    EXPECT_GT(stats.markersDrawn, 100);
    EXPECT_LT(stats.markersDrawn, 20000) << "one symbol per small cell when crowded";
}

TEST(Rendering, EuropeMapWithNamedMarkersAndADrawnLine)
{
    auto map = maptest::europeMap();
    for (const QString& f : maptest::programSymbolFiles())
        map->AddSymbol(f);
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> lat(40.0, 60.0), lon(-5.0, 25.0);
    for (int i = 0; i < 300; ++i) {
        const MarkerId id = map->AddMarker({lat(rng), lon(rng), 1}, QStringLiteral("AP-%1").arg(i));
        map->setMarkerSymbol(id, 336 + i % 8);
        map->setMarkerDisplayState(id, 1);
    }
    const ShapeId line = map->AddLine({48.8566, 2.3522, 0}, {52.52, 13.405, 0});
    map->setShapeLineColor(line, 0x0000FF);
    map->setShapeLineSetting(line, 2);
    map->setPlacesVisible(true);
    const QImage image = map->CopyView();
    // The line's red shows along its way between the markers.
    int redPoints = 0;
    for (double t = 0.1; t < 0.95; t += 0.1) {
        const Location at{48.8566 + t * (52.52 - 48.8566), 2.3522 + t * (13.405 - 2.3522), 0};
        bool red = false;
        for (int dy = -3; dy <= 3 && !red; ++dy) {
            const QRgb c = image.pixel(map->ToScreenX(at), map->ToScreenY(at) + dy);
            red = qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
        }
        redPoints += red;
    }
    const bool red = redPoints >= 3;
    EXPECT_TRUE(red);
    // Set AEROPLOTTER_MAP_SCREENSHOT to a file name to look at the picture.
    if (qEnvironmentVariableIsSet("AEROPLOTTER_MAP_SCREENSHOT"))
        image.save(qEnvironmentVariable("AEROPLOTTER_MAP_SCREENSHOT"));
}
