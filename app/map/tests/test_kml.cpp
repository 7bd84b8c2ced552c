// Map files: our own KML round trip, foreign KML, and broken input.
#include "MapTestSupport.h"
#include "domain/KmlReader.h"
#include "domain/KmlWriter.h"
#include "map/Kmz.h"
#include "map/Symbols.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace aero;

namespace {

// A map with something of every kind, including texts nobody should trust.
void fill(MapControl& map)
{
    for (const QString& f : maptest::programSymbolFiles())
        map.AddSymbol(f);
    struct Row { QString name, note; Location where; int symbol, state; };
    const Row rows[] = {
        {QStringLiteral("<script>alert(1)</script>"), QStringLiteral("MAC = 00:06:25:0A:1B:2C\r\nSignal = -67 dBm\r\nWEP = Off\r\nAd-Hoc mode"),
         {37.7694283, -122.4176333, 1.0}, 336, 0},
        {QStringLiteral("a & b \"quoted\" 'single' ]]> end"), QStringLiteral("  leading and trailing blanks  "), {0.1 + 0.2, -0.0, 1e-300}, 343, 1},
        {QStringLiteral("ctrl\x01\x1f char"), QStringLiteral("bell\x07\r"), {-89.999999999999, 179.99999999999997, -5}, 17, 2},
        {QStringLiteral("emoji \U0001F4F6 \u00E9\u20AC"), QString(), {51.5, -0.12, 0}, 0, 0},
        {QString(), QStringLiteral("no name"), {1.0 / 3.0, 2.0 / 3.0, 1.0}, 264, 1},
        {QStringLiteral("dup"), QStringLiteral("lone CR\rlone LF\ntab\tend"), {48, 11, 1}, 340, 0},
        {QStringLiteral("dup"), QStringLiteral("second"), {48, 11, 1}, 344, 0},
    };
    for (const Row& r : rows) {
        const MarkerId id = map.AddMarker(r.where, r.name);
        map.setMarkerNote(id, r.note);
        map.setMarkerSymbol(id, r.symbol);
        map.setMarkerDisplayState(id, r.state);
    }
    const ShapeId line = map.AddLine({48.1, 2.2, 0}, {51.123456789012345, -0.1, 0});
    map.setShapeLineColor(line, 0x00FF00);
    const ShapeId track = map.AddPolyline({{48, 2, 0}, {48.1, 2.1, 0}, {48.2, 2.0, 3.5}});
    map.setShapeLineSetting(track, 3);
    const ShapeId fig = map.AddShape(ShapeKind::Figure, {50, 5, 0}, 0.1, 0.1);
    map.setShapeText(fig, QStringLiteral("L1 <b>&"));
    map.setUnits(MapUnit::Miles);
    map.setToolbarVisible(NavigationToolbar, true);
    map.setPlacesVisible(true);
    map.setViewStyle(3);
    map.CentreOn({46.5, 6.6, 123.456});
}

MapFileData fileData(const MapControl& map)
{
    MapFileData d = map.document().toFileData();
    d.view = map.viewCentre();
    return d;
}

} // namespace

TEST(Kml, SaveThenLoadGivesTheSameDocument)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("survey.kml"));
    auto map = maptest::europeMap();
    fill(*map);
    map->SaveMapFileAs(path);
    EXPECT_TRUE(map->isSaved());
    EXPECT_EQ(map->fileName(), path);

    auto loaded = std::make_unique<MapControl>(maptest::offlineOptions());
    loaded->OpenMapFile(path);
    EXPECT_TRUE(loaded->hasMap());
    EXPECT_TRUE(loaded->isSaved());
    const MapFileData a = fileData(*map), b = fileData(*loaded);
    ASSERT_EQ(a.markers.size(), b.markers.size());
    for (std::size_t i = 0; i < a.markers.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(a.markers[i].name, b.markers[i].name);
        EXPECT_EQ(a.markers[i].note, b.markers[i].note);
        EXPECT_EQ(a.markers[i].where, b.markers[i].where);
        EXPECT_EQ(a.markers[i].symbol, b.markers[i].symbol);
        EXPECT_EQ(a.markers[i].displayState, b.markers[i].displayState);
    }
    EXPECT_EQ(a.shapes, b.shapes);
    EXPECT_EQ(a.symbolFiles, b.symbolFiles);
    EXPECT_EQ(b.view, (Location{46.5, 6.6, 123.456}));
    EXPECT_EQ(a, b);
    EXPECT_EQ(loaded->SymbolCount(), 345);
    EXPECT_EQ(loaded->FindMarker(QStringLiteral("dup")), loaded->EnumerateMarkers()[5]);
    EXPECT_NEAR(loaded->ViewAltitude(), map->ViewAltitude(), 1e-9);

    // Saving the loaded map again writes the same bytes.
    const QString again = dir.filePath(QStringLiteral("again.kml"));
    loaded->SaveMapFileAs(again);
    EXPECT_EQ(testing_support::readFile(path), testing_support::readFile(again));
}

TEST(Kml, HostileTextIsEscapedInTheFile)
{
    QTemporaryDir dir;
    auto map = maptest::europeMap();
    map->AddMarker({1, 1, 1}, QStringLiteral("<script>alert(1)</script>"));
    map->SaveMapFileAs(dir.filePath(QStringLiteral("x.kml")));
    const QByteArray bytes = testing_support::readFile(dir.filePath(QStringLiteral("x.kml")));
    EXPECT_FALSE(bytes.contains("<script>"));
    EXPECT_TRUE(bytes.contains("&lt;script>") || bytes.contains("&lt;script&gt;"));
}

TEST(Kml, ForeignKmlKeepsEveryGeometryAndNamesWhatItCannot)
{
    auto map = std::make_unique<MapControl>(maptest::offlineOptions());
    map->OpenMapFile(maptest::testData(QStringLiteral("foreign.kml")));
    const auto ids = map->EnumerateMarkers();
    QStringList names;
    for (MarkerId id : ids)
        names << map->markerName(id);
    EXPECT_EQ(names, (QStringList{"linksys", "Caf\u00E9 & Bar", "two points", "two points", "mast"}));
    EXPECT_EQ(map->markerNote(ids[0]), QStringLiteral("<b>MAC</b> 00:06:25:0A:1B:2C<br/>Channel 6"));
    EXPECT_EQ(map->markerLocation(ids[0]), (Location{37.7694283, -122.4176333, 12.5}));
    EXPECT_EQ(map->markerSymbol(ids[0]), DefaultSymbol);
    EXPECT_EQ(map->markerLocation(ids[1]), (Location{37.7712, -122.4201, 0}));
    EXPECT_EQ(map->markerLocation(ids[3]), (Location{37.79, -122.39, 0})) << "the second point of a multi-geometry";
    // Shapes in file order: the drive, the mast's line, the park's two rings, the walk.
    QStringList shapes;
    std::vector<std::size_t> sizes;
    for (int i = 1; i <= map->ShapeCount(); ++i) {
        shapes << map->shape(map->ShapeAt(i)).text;
        sizes.push_back(map->shape(map->ShapeAt(i)).points.size());
    }
    EXPECT_EQ(shapes, (QStringList{"Drive", "mast", "park", "park", "walk"}));
    EXPECT_EQ(sizes, (std::vector<std::size_t>{3, 2, 4, 4, 3}));
    EXPECT_EQ(map->shape(map->ShapeAt(5)).points[2], (Location{37.772, -122.412, 12}));
    EXPECT_EQ(map->SymbolCount(), 336);
    EXPECT_NEAR(map->viewCentre().lat, 37.77, 1e-9) << "LookAt is followed";
    EXPECT_TRUE(map->loadReport().foreign);
    const std::vector<std::pair<QString, int>> notKept = {{"placemarks without usable coordinates", 2},
                                                          {"Model", 1}, {"GroundOverlay", 1}, {"NetworkLink", 1},
                                                          {"styles", 2}, {"folders (their contents are kept, not the grouping)", 2},
                                                          {"polygon fills (drawn as outlines)", 1}};
    EXPECT_EQ(map->loadReport().notKept, notKept);
    // Data, times and the description of a line are named too; our own files name nothing.
    const KmlResult other = readKml(QByteArray(
        "<kml><Document><Placemark><name>a</name><description>d</description><TimeStamp><when>2004</when></TimeStamp>"
        "<ExtendedData><Data name='ch'><value>6</value></Data><Data name='enc'><value>WPA</value></Data></ExtendedData>"
        "<LineString><coordinates>1,2 3,4</coordinates></LineString></Placemark></Document></kml>"));
    const std::vector<std::pair<QString, int>> otherNotKept = {
        {"times", 1}, {"ExtendedData values", 2}, {"descriptions of lines and areas", 1}};
    EXPECT_EQ(other.notKept, otherNotKept);
    QBuffer ours;
    ours.open(QIODevice::WriteOnly);
    ASSERT_TRUE(writeKml(fileData(*map), ours));
    EXPECT_TRUE(readKml(ours.data()).notKept.empty());

    // A point's data stays with its marker, in file order, through the map and a save.
    QTemporaryDir dir;
    const QString path = testing_support::writeFile(dir.filePath(QStringLiteral("data.kml")),
        "<kml><Document><Placemark><name>ap</name><ExtendedData><Data name='ch'><value>6</value></Data>"
        "<Data name='enc'><value>WPA2 &amp; more</value></Data></ExtendedData>"
        "<Point><coordinates>7,45</coordinates></Point></Placemark></Document></kml>");
    map->OpenMapFile(path);
    EXPECT_TRUE(map->loadReport().notKept.empty());
    const ForeignData kept{{"ch", "6"}, {"enc", "WPA2 & more"}};
    map->SaveMapFileAs(path);
    map->OpenMapFile(path);
    ASSERT_EQ(fileData(*map).markers.size(), 1u);
    EXPECT_EQ(fileData(*map).markers[0].foreignData, kept);
}

TEST(Kml, BrokenFilesGiveAnErrorAndLeaveTheOpenMapAlone)
{
    QTemporaryDir dir;
    auto map = maptest::europeMap();
    const MarkerId keep = map->AddMarker({1, 2, 3}, QStringLiteral("keep"));
    struct Row { const char* legend; QByteArray bytes; int code; };
    const Row rows[] = {
        {"unclosed element", "<kml><Document><Placemark><name>x</name>", errors::InvalidFileFormat},
        {"mismatched tags", "<kml><Document></Placemark></kml>", errors::InvalidFileFormat},
        {"not XML at all", "old binary map \x01\x02\x03", errors::InvalidFileFormat},
        {"another XML document", "<html><body>hello</body></html>", errors::InvalidFileFormat},
        {"empty file", "", errors::InvalidFileFormat},
        {"undefined entity", "<kml><Document><name>&nope;</name></Document></kml>", errors::InvalidFileFormat},
        {"50000 nested MultiGeometry", "<kml><Placemark>" + QByteArray("<MultiGeometry>").repeated(50000) + "<Point><coordinates>1,2</coordinates></Point>"
                                           + QByteArray("</MultiGeometry>").repeated(50000) + "</Placemark></kml>", errors::InvalidFileFormat},
        {"50000 nested folders", "<kml>" + QByteArray("<Folder>").repeated(50000) + QByteArray("</Folder>").repeated(50000) + "</kml>",
         errors::InvalidFileFormat},
        {"a name nested 50000 deep", "<kml><Placemark><name>" + QByteArray("<b>").repeated(50000) + QByteArray("</b>").repeated(50000)
                                         + "</name></Placemark></kml>", errors::InvalidFileFormat},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        const QString path = testing_support::writeFile(dir.filePath(QStringLiteral("bad.kml")), r.bytes);
        try {
            map->OpenMapFile(path);
            ADD_FAILURE() << "no error";
        } catch (const AppError& e) {
            EXPECT_EQ(e.code, r.code);
            EXPECT_FALSE(e.description.isEmpty());
        }
        EXPECT_EQ(map->markerName(keep), QStringLiteral("keep"));
    }
    try {
        map->OpenMapFile(dir.filePath(QStringLiteral("missing.kml")));
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.code, errors::FileNotFound);
    }
}

TEST(Kml, EveryTruncationOfAGoodFileIsHandled)
{
    auto map = maptest::europeMap();
    fill(*map);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(writeKml(fileData(*map), buffer));
    const QByteArray whole = buffer.data();
    int failures = 0;
    for (qsizetype cut = 0; cut < whole.size(); cut += 7) {
        QByteArray part = whole.left(cut);
        QBuffer in(&part);
        in.open(QIODevice::ReadOnly);
        const KmlResult r = readKml(in);   // must neither crash nor hang
        failures += r.ok() ? 0 : 1;
        if (!r.ok()) {
            EXPECT_GE(r.line, 0);
        }
    }
    EXPECT_GT(failures, 0);
}

TEST(Kml, SavingWhereNoFileCanBeWrittenFails)
{
    auto map = maptest::europeMap();
    try {
        map->SaveMapFileAs(QStringLiteral("/nonexistent-folder/x.kml"));
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.code, errors::FileAccess);
    }
    EXPECT_THROW(map->SaveMapFile(), AppError) << "a new map has no file name yet";
}

// A map names the program's symbols portably and styles them for other viewers, so it opens
// with the right symbols after the program moved, and a KMZ carries the pictures along.
TEST(Kml, ProgramSymbolsTravelWithTheMap)
{
    QTemporaryDir dir;
    // The program as it was installed when the map was written: a copy of its symbol files.
    const QString oldInstall = dir.filePath(QStringLiteral("old/bin"));
    QDir().mkpath(oldInstall + QStringLiteral("/Icons"));
    auto map = maptest::europeMap();
    for (const QString& f : maptest::programSymbolFiles()) {
        const QString copy = oldInstall + QStringLiteral("/Icons/") + QFileInfo(f).fileName();
        ASSERT_TRUE(QFile::copy(f, copy));
        map->AddSymbol(copy);
    }
    map->setMarkerSymbol(map->AddMarker({48, 11, 1}, QStringLiteral("open")), 336);
    map->setMarkerSymbol(map->AddMarker({48.1, 11, 1}, QStringLiteral("locked")), 343);
    map->SaveMapFileAs(dir.filePath(QStringLiteral("m.kml")));
    map->SaveMapFileAs(dir.filePath(QStringLiteral("m.kmz")));
    const QByteArray kml = testing_support::readFile(dir.filePath(QStringLiteral("m.kml")));
    EXPECT_FALSE(kml.contains(oldInstall.toUtf8()));
    EXPECT_TRUE(kml.contains("<value>Icons/W4.ico</value>"));
    EXPECT_TRUE(kml.contains("<Style id=\"W4\"><IconStyle><color>ff000090</color><scale>1.2</scale></IconStyle></Style>"));
    EXPECT_TRUE(kml.contains("<styleUrl>#O1</styleUrl>"));
    EXPECT_TRUE(kml.contains("<styleUrl>#W4</styleUrl>"));

    // The program moves: the old install is gone. Also a map of an older version, which wrote
    // the absolute paths of its own install.
    ASSERT_TRUE(QDir(dir.filePath(QStringLiteral("old"))).removeRecursively());
    QByteArray older = kml;
    older.replace("<value>Icons/", "<value>" + oldInstall.toUtf8() + "/Icons/");
    testing_support::writeFile(dir.filePath(QStringLiteral("older.kml")), older);
    const QImage w4 = loadSymbolImage(maptest::shippedIcons() + QStringLiteral("/W4.ico"));
    for (const char* name : {"m.kml", "older.kml", "m.kmz"}) {
        SCOPED_TRACE(name);
        MapControl reopened(maptest::offlineOptions());
        reopened.OpenMapFile(dir.filePath(QString::fromLatin1(name)));
        ASSERT_EQ(reopened.SymbolCount(), 345);
        for (const AddedSymbol& s : reopened.document().symbols)
            EXPECT_FALSE(s.image.isNull()) << s.path.toStdString();
        EXPECT_EQ(reopened.symbolImage(343), w4);
        EXPECT_EQ(reopened.markerSymbol(reopened.EnumerateMarkers()[1]), 343);
        EXPECT_FALSE(reopened.loadReport().foreign);
    }
    QString why;
    const auto inner = readKmlFromKmz(dir.filePath(QStringLiteral("m.kmz")), &why);
    ASSERT_TRUE(inner) << why.toStdString();
    EXPECT_TRUE(inner->contains("<href>Icons/W4.png</href>"));
}
