// The download window's work file and its drawing, on written files.
#include "ReceiverFixture.h"

namespace aero::testing {
namespace {


struct DrawCase {
    const char* legend;
    std::vector<int> segments;        // points per segment
    std::vector<std::size_t> pieces;  // points per polyline drawn
};

class TrackFileTest : public ReceiverTest {
protected:
    // Segments of distinct points, written as a download writes them.
    std::vector<TrackPointLine> writeSegments(const std::vector<int>& segments)
    {
        std::vector<TrackPointLine> lines;
        QByteArray bytes;
        for (int s = 0; s < int(segments.size()); ++s)
            for (int i = 0; i < segments[std::size_t(s)]; ++i) {
                lines.push_back({i + 1, 10.0 + s + i * 1e-5, 20.0 + i * 1e-5, i == 0 && s > 0});
                bytes += formatPointLine(lines.back());
            }
        file("Navlet.tmp", bytes);
        return lines;
    }
};

TEST_F(TrackFileTest, SegmentsAreDrawnWholeOrInJoinedPiecesWithNoPointLost)
{
    newMap();
    const std::vector<DrawCase> cases = {
        {"four points are not drawn, five are", {4, 5}, {5}},
        {"a full buffer is one polyline", {3000}, {3000}},
        {"one point past the buffer: a second piece from the joint", {3001}, {3000, 2}},
        {"two buffers and more", {6500}, {3000, 3000, 502}},
        {"a long segment then a short one", {3001, 4, 7}, {3000, 2, 7}},
    };
    for (const DrawCase& c : cases) {
        SCOPED_TRACE(c.legend);
        map().NewRegionMap(MapRegion::Europe);
        const std::vector<TrackPointLine> lines = writeSegments(c.segments);
        const TrackDrawResult result = drawTrackFile(map(), path("Navlet.tmp"), TrackColor);
        const std::vector<Shape> drawn = polylines();
        ASSERT_EQ(drawn.size(), c.pieces.size());
        EXPECT_EQ(result.polylines, int(c.pieces.size()));
        EXPECT_EQ(result.lines, int(lines.size()));
        std::vector<Location> joined;
        for (std::size_t p = 0; p < drawn.size(); ++p) {
            EXPECT_EQ(drawn[p].points.size(), c.pieces[p]) << p;
            EXPECT_EQ(drawn[p].lineColor, TrackColor);
            const bool continues = !joined.empty() && joined.back() == drawn[p].points.front();
            joined.insert(joined.end(), drawn[p].points.begin() + (continues ? 1 : 0), drawn[p].points.end());
        }
        std::vector<Location> expected;
        std::size_t at = 0;
        for (int n : c.segments) {
            if (n >= 5)
                for (int i = 0; i < n; ++i)
                    expected.push_back(map().MakeLocation(lines[at + std::size_t(i)].lat, lines[at + std::size_t(i)].lon, 0));
            at += std::size_t(n);
        }
        ASSERT_EQ(joined.size(), expected.size());
        for (std::size_t i = 0; i < joined.size(); ++i)
            ASSERT_TRUE(joined[i].lat == expected[i].lat && joined[i].lon == expected[i].lon) << i;
    }
}

TEST_F(TrackFileTest, LinesThatAreNotTrackPointsAreSkipped)
{
    newMap();
    QByteArray bytes;
    for (int i = 0; i < 5; ++i)
        bytes += formatPointLine({i + 1, 1.0 + i, 2.0, false});
    bytes.insert(bytes.indexOf("\r\n") + 2, "garbage\r\n" + QByteArray(5000, 'x') + "\r\n1,2,3\r\n1,a,3,#TRUE#\r\n");
    file("Navlet.tmp", bytes);
    EXPECT_EQ(drawTrackFile(map(), path("Navlet.tmp"), TrackColor), (TrackDrawResult{5, 1, 1}));
    EXPECT_THROW(drawTrackFile(map(), path("missing.tmp"), TrackColor), AppError);
}

TEST(TrackPointFile, LinesReadBackExactlyWithADotInAnyLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::vector<std::pair<const char*, TrackPointLine>> rows = {
        {"first point of a download", {1, 52.3702, 4.8952, false}},
        {"start of a later segment", {1, -33.856800000000007, 151.21530000000001, true}},
        {"semicircle quantum", {7, quantized(52.37), quantized(-4.8952), false}},
        {"tiny and zero", {2, 1e-7, 0.0, false}},
    };
    for (const auto& [legend, point] : rows) {
        SCOPED_TRACE(legend);
        const QByteArray text = formatPointLine(point);
        EXPECT_TRUE(text.endsWith("\r\n"));
        EXPECT_FALSE(text.contains(';'));
        EXPECT_EQ(text.count(','), 3);
        EXPECT_EQ(parsePointLine(text), point);
    }
    EXPECT_EQ(formatPointLine({1, 52.3702, 4.8952, false}), "1,52.3702,4.8952,#FALSE#\r\n");
    EXPECT_EQ(formatPointLine({3, -1.5, 0.25, true}), "3,-1.5,0.25,#TRUE#\r\n");
    for (const char* bad : {"", "1,2,3", "1,2,3,#MAYBE#", "x,2,3,#TRUE#", "1,nan,3,#TRUE#", "1,2,3,#TRUE#,4"})
        EXPECT_FALSE(parsePointLine(bad)) << bad;
    QLocale::setDefault(saved);
}

TEST(TrackPointFile, TheWorkFileLivesInThePerUserDataFolder)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString file = navletPointFile();
    EXPECT_EQ(file, folder + "/Navlet.tmp");
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_NE(QFileInfo(file).absolutePath(), QCoreApplication::applicationDirPath());
}

} // namespace
} // namespace aero::testing
