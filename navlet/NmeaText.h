#pragma once
// NMEA 0183 checksum of a sentence and the comparison with the one it carries.
#include <QString>

namespace navlet {

// XOR of the characters after the leading "$" up to the first "*" (or the end), as two
// upper-case hex digits.
QString nmeaChecksum(const QString& msg);

struct NmeaCheck {
    bool chkerr = false;       // true: the sentence carried a checksum equal to the computed one
    bool countsAsError = false; // it carried one that differs
};

NmeaCheck checkSentence(const QString& sentence, bool ignoreCheckSum);

} // namespace navlet
