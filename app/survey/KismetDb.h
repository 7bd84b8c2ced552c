#pragma once
// Reads a Kismet log (.kismet, an SQLite database, Kismet 2019 and later) without ever
// writing to it or locking it: Wi-Fi access points from the devices table, positioned at the
// strongest located packet of each AP when the packets table has locations, else at the
// device's average location. Devices of other PHYs (Bluetooth, Zigbee, ...) and Wi-Fi
// clients are counted in otherKinds.
#include "domain/SurveyContents.h"

namespace aero::import {

SurveyContents readKismetDb(const QString& path, const ReadProgress& progress = {});
// The same from bytes in memory (the fuzzer, tests of damaged files).
SurveyContents readKismetDbBytes(QByteArrayView bytes, const ReadProgress& progress = {});

// Every SQLite database starts with these 16 bytes.
bool looksLikeSqlite(QByteArrayView head);

} // namespace aero::import
