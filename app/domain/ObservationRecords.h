#pragma once
// What the logs said of each AP (its Observation) kept in a map file, so a saved map loses
// nothing: one record per AP in the document's ExtendedData, matched back to the table by MAC
// when the map is opened.
//   <Data name="apObservation"><value>v1,00:14:6C:7E:40:80,2026-06-11T12:30:00Z,...</value></Data>
// Comma-separated fields, each percent-encoded, in a fixed order after the version.
#include "domain/APList.h"

#include <QStringList>
#include <optional>

namespace aero {

inline const QString ObservationKey = QStringLiteral("apObservation");

QString encodeObservation(const QString& mac, const Observation& seen);
// Nothing for a record of another version or too few fields.
std::optional<std::pair<QString, Observation>> decodeObservation(const QString& text);

// The records of every slot that has an observation, in slot order.
QStringList observationRecords(const APList& table);
// Gives each slot the observation recorded for its MAC; returns how many matched.
int restoreObservations(APList& table, const QStringList& records);

} // namespace aero
