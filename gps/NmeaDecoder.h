#pragma once
// Sentence decoders (pure functions of the sentence text) and the router that picks one by the
// sentence's tag and reports what it found to a sink.
#include "NmeaRecords.h"

#include <optional>
#include <string>
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
    // Every assembled sentence, before it is routed, decoded or not.
    virtual void onSentence(std::string_view) {}
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

inline constexpr std::string_view RepeatedFixText = "RMC repetido: ";

// Whose sentences are decoded: the GPS talker alone ("$GP"), or every satellite system's
// talker as today's multi-constellation receivers send them ("$GN" for a combined fix, "$GL",
// "$GA", "$GB"/"$BD", "$GI", "$GQ"/"$QZ", and "$IN" from marine integrated navigation).
enum class Talkers { GpsOnly, AllGnss };

// True when `talker` (two characters) is decoded under `talkers`.
bool acceptsTalker(Talkers talkers, std::string_view talker);

// What the router keeps between sentences of one source.
struct RouterState {
    bool ignoreValid = false;
    Talkers talkers = Talkers::GpsOnly;
    std::string talker;          // of the last sentence decoded: "GP", "GL", ...
    std::string lastFixTime;     // raw time field of the last RMC reported, with its talker:
    std::string lastFixTalker;   // a receiver that sends $GNRMC and $GPRMC gives one fix, not two
};

// Routes one trimmed sentence by its first six characters ("$GPRMC", "$GPZDA", "$GPGSV",
// "$GPGGA", "$GPGSA"; case-sensitive) and reports the result to `sink`. Anything else is
// dropped silently; a known sentence whose checksum is wrong is dropped with a trace.
void ProcesarSentencia(std::string_view sentence, bool ignoreValid, NmeaSink& sink);
// The same under `state.talkers`; with every talker, an RMC of another talker for the time of
// the fix just reported is dropped with a trace.
void ProcesarSentencia(std::string_view sentence, RouterState& state, NmeaSink& sink);

} // namespace gps
