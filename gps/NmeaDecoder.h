#pragma once
// Sentence decoders (pure functions of the sentence text) and the router that picks one by the
// sentence's tag and reports what it found to a sink.
#include "NmeaRecords.h"

#include <optional>
#include <string_view>

namespace gps {

// Receives everything one sentence produces, in order.
class NmeaSink {
public:
    virtual ~NmeaSink() = default;
    // A trace text, handed over in two parts so the hot path never concatenates.
    virtual void debugText(std::string_view prefix, std::string_view text) = 0;
    virtual void onPosicion(const Rmc& rmc) = 0;
    virtual void onFechaHora(const Zda& zda) = 0;
    virtual void onSatDOP(const Gsa& gsa) = 0;
    virtual void onSatelliteStatus(const Gsv& gsv) = 0;
};

inline constexpr std::string_view CadenaRecibidaText = "Cadena recibida: ";
inline constexpr std::string_view IgnoreValidFalseText = "IgnoreValid = False";
inline constexpr std::string_view IgnoreValidTrueText = "IgnoreValid = True";
inline constexpr std::string_view ChecksumErrorText = "Checksum incorrecto: ";
inline constexpr std::string_view UnprintableText = "Caracteres no imprimibles: ";

inline constexpr double KmhPerKnot = 1.852;

// True when the RMC status field is exactly "V" (the receiver flags the position as void).
bool rmcStatusVoid(std::string_view sentence);

// A void RMC without ignoreValid gives Validez false, the time and zeros. A position the
// receiver left too short to split into degrees and minutes gives nothing.
std::optional<Rmc> parseRmc(std::string_view sentence, bool ignoreValid);
Zda parseZda(std::string_view sentence);
Gsa parseGsa(std::string_view sentence);
Gsv parseGsv(std::string_view sentence);

// Routes one trimmed sentence by its first six characters ("$GPRMC", "$GPZDA", "$GPGSV",
// "$GPGGA", "$GPGSA"; case-sensitive) and reports the result to `sink`. Anything else is
// dropped silently; a known sentence whose checksum is wrong is dropped with a trace.
void ProcesarSentencia(std::string_view sentence, bool ignoreValid, NmeaSink& sink);

} // namespace gps
