#pragma once
// Fixed-layout packets: record count, date and time, position/velocity/time, product data.
// Decoders return nothing for data too short for the layout.
#include "navlet/NavletBytes.h"
#include "navlet/Records.h"

#include <optional>

namespace navlet {

std::optional<qint16> decodeRecordsCount(ByteView data);
QByteArray encodeRecordsCount(qint16 count);

std::optional<cDate_Time> decodeDateTime(ByteView data);
QByteArray encodeDateTime(const cDate_Time& t);

std::optional<cPvtData> decodePvt(ByteView data);
QByteArray encodePvt(const cPvtData& p);

std::optional<cProduct_Data> decodeProductData(ByteView data);
QByteArray encodeProductData(const cProduct_Data& p);

} // namespace navlet
