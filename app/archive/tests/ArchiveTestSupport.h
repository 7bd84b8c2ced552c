#pragma once
// Rows and checks shared by the GeoPackage and PostGIS archive tests.
#include "archive/ArchiveStore.h"

#include <gtest/gtest.h>
#include <tuple>

namespace archive_test {

using namespace aero::archive;

inline ObservationRow sighting(const char* mac, float signal, qint64 time, std::optional<std::pair<double, double>> lonLat = {})
{
    ObservationRow r;
    r.mac = QString::fromLatin1(mac);
    r.ssid = QStringLiteral("net ") + r.mac.right(2);
    r.wep = QStringLiteral("1");
    r.mode = QStringLiteral("1");
    r.signal = signal;
    r.time = time;
    if (lonLat) {
        r.located = true;
        r.longitude = lonLat->first;
        r.latitude = lonLat->second;
    }
    return r;
}

inline ArchiveSource source(const char* hash)
{
    return {QStringLiteral("/surveys/") + QString::fromLatin1(hash), QString::fromLatin1(hash), QStringLiteral("WiGLE CSV"),
            QStringLiteral("saturday"), QDateTime::fromMSecsSinceEpoch(1700000000000, Qt::UTC)};
}

// Two surveys of two APs: merged, AP 1 sits at its strongest sighting over both files.
inline void importAndCheckMerge(ArchiveStore& store)
{
    const std::vector<ObservationRow> a = {sighting("00:00:00:00:00:01", -70, 2000, {{1, 1}}),
                                           sighting("00:00:00:00:00:01", -60, 3000, {{2, 2}}),
                                           sighting("00:00:00:00:00:02", -80, 0)};
    const std::vector<ObservationRow> b = {sighting("00:00:00:00:00:01", -65, 1000, {{3, 3}}),
                                           sighting("00:00:00:00:00:02", -50, 0, {{4, 4}})};
    for (const auto& [hash, rows, outcome] : {std::tuple{"a", &a, ArchiveImport::Outcome::Imported},
                                              std::tuple{"b", &b, ArchiveImport::Outcome::Imported},
                                              std::tuple{"a", &a, ArchiveImport::Outcome::AlreadyArchived}}) {
        const ArchiveImport got = store.importRows(source(hash), *rows);
        EXPECT_EQ(got.outcome, outcome) << got.message.toStdString();
    }
    QString error;
    EXPECT_EQ(store.counts(error), (ArchiveCounts{2, 5, 2, 5})) << error.toStdString();
    const auto all = store.apsIn(GeoBox{}, 10, error);
    ASSERT_TRUE(all) << error.toStdString();
    ASSERT_EQ(all->size(), 2u);
    const ArchivedAp& ap2 = (*all)[0];   // strongest first
    const ArchivedAp& ap1 = (*all)[1];
    EXPECT_EQ(ap1.mac, QStringLiteral("00:00:00:00:00:01"));
    EXPECT_EQ(ap1.bestSignal, -60.0f);
    EXPECT_EQ(ap1.sightings, 3);
    EXPECT_EQ(ap1.firstSeen, 1000);
    EXPECT_EQ(ap1.lastSeen, 3000);
    EXPECT_EQ(std::make_pair(ap1.longitude, ap1.latitude), std::make_pair(2.0, 2.0));
    EXPECT_EQ(std::make_pair(ap2.longitude, ap2.latitude), std::make_pair(4.0, 4.0));
    EXPECT_EQ(ap2.firstSeen, 0);
    const auto near = store.apsIn(GeoBox{1.5, 1.5, 2.5, 2.5}, 10, error);
    ASSERT_TRUE(near);
    ASSERT_EQ(near->size(), 1u);
    EXPECT_EQ((*near)[0].mac, ap1.mac);
    EXPECT_EQ(store.countIn(GeoBox{3.5, 3.5, 4.5, 4.5}, error), 1);
}

} // namespace archive_test
