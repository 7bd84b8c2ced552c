#pragma once
// APs heard without a position have no marker, so a map file keeps them as records of their
// own in the document's ExtendedData, one Data element each:
//   <Data name="apWithoutFix"><value>my net,00:06:25:0A:1B:2C,-66,0011,1,1</value></Data>
// SSID, MAC, signal, flags, WEP, mode; every field percent-encoded where it holds a comma, a
// percent sign or anything outside printable ASCII, so any SSID comes back exactly.
#include "domain/AccessPoint.h"

#include <optional>

namespace aero {

inline const QString UnplacedApKey = QStringLiteral("apWithoutFix");

QString encodeUnplacedAp(const AccessPoint& ap);
// Nothing for a record that is not six fields or has no SSID.
std::optional<AccessPoint> decodeUnplacedAp(const QString& text);

} // namespace aero
