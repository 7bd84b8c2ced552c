#include "NmeaDecoder.h"

#include "NmeaFields.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace gps {

bool rmcStatusVoid(std::string_view sentence)
{
    FieldScanner fields(sentence);
    fields.LeerCampo();
    return fields.LeerCampo() == "V";
}

// $GPRMC,hhmmss.ss,A|V,ddmm.mmm,N|S,dddmm.mmm,E|W,knots,course,ddmmyy,variation,E|W*hh
// $GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A
// Fields after the course are never needed.
std::optional<Rmc> parseRmc(std::string_view sentence, bool ignoreValid)
{
    FieldScanner fields(sentence);
    const std::string_view time = fields.LeerCampo();
    const std::string_view status = fields.LeerCampo();
    Rmc rmc;
    rmc.Hora = FormatoHora(time);
    if (status == "V" && !ignoreValid)
        return rmc;

    const std::string_view lat = fields.LeerCampo();
    const std::string_view northSouth = fields.LeerCampo();
    const std::string_view lon = fields.LeerCampo();
    const std::string_view eastWest = fields.LeerCampo();
    const std::string_view knots = fields.LeerCampo();
    const std::string_view course = fields.LeerCampo();
    // Degrees are the first 2 (latitude) or 3 (longitude) characters; a receiver without a fix
    // may send "A" with empty position fields, which cannot be split.
    if (lat.size() < 2 || lon.size() < 3)
        return std::nullopt;

    double latitude = ValorNumerico(lat.substr(0, 2)) + ValorNumerico(lat.substr(2)) / 60.0;
    double longitude = ValorNumerico(lon.substr(0, 3)) + ValorNumerico(lon.substr(3)) / 60.0;
    if (northSouth == "S")
        latitude = -latitude;
    if (eastWest == "W")
        longitude = -longitude;
    rmc.Validez = true;
    rmc.Latitud = latitude;
    rmc.Longitud = longitude;
    rmc.Velocidad = static_cast<float>(std::floor(ValorNumerico(knots) * KmhPerKnot));
    rmc.Rumbo = static_cast<float>(ValorNumerico(course));
    return rmc;
}

// $GPZDA,hhmmss.ss,dd,mm,yyyy,zone hours,zone minutes*hh
// $GPZDA,201530.00,04,07,2002,00,00*60
// The zone minutes are added whatever the sign of the hours, as the control always did.
Zda parseZda(std::string_view sentence)
{
    FieldScanner fields(sentence);
    const std::string_view time = fields.LeerCampo();
    const std::string_view day = fields.LeerCampo();
    const std::string_view month = fields.LeerCampo();
    const std::string_view year = fields.LeerCampo();
    const std::string_view zoneHours = fields.LeerCampo();
    const std::string_view zoneMinutes = fields.LeerCampo();
    Zda zda;
    zda.HoraUTC = FormatoHora(time);
    zda.FechaUTC.reserve(day.size() + month.size() + year.size() + 2);
    zda.FechaUTC.append(day).append("/").append(month).append("/").append(year);
    zda.Zona = static_cast<float>(ValorNumerico(zoneHours) + ValorNumerico(zoneMinutes) / 60.0);
    return zda;
}

// $GPGSA,selection,fix,sat1,...,sat12,PDOP,HDOP,VDOP*hh
// $GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39
Gsa parseGsa(std::string_view sentence)
{
    FieldScanner fields(sentence);
    fields.LeerCampo();  // selection mode: not reported
    Gsa gsa;
    gsa.Modo = fields.LeerCampo();
    constexpr std::size_t satelliteFields = 12;
    for (std::size_t i = 0; i < satelliteFields; ++i)
        gsa.Canales[i] = fields.LeerCampo();
    gsa.PDOP = static_cast<float>(ValorNumerico(fields.LeerCampo()));
    gsa.HDOP = static_cast<float>(ValorNumerico(fields.LeerCampo()));
    gsa.VDOP = static_cast<float>(ValorNumerico(fields.LeerCampo()));
    return gsa;
}

// $GPGSV,sentences,number,in view,{id,elevation,azimuth,SNR} x up to 4*hh
// $GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*75
// Groups are read until fewer than six characters remain; groups past the fifth slot are read
// and ignored so a malformed long sentence cannot overrun the arrays.
Gsv parseGsv(std::string_view sentence)
{
    FieldScanner fields(sentence);
    fields.LeerCampo();  // number of sentences in the cycle
    fields.LeerCampo();  // this sentence's number
    Gsv gsv;
    gsv.InView = static_cast<float>(ValorNumerico(fields.LeerCampo()));
    const auto stopAt = static_cast<long long>(sentence.size()) - 6;
    std::size_t slot = 0;
    do {
        const double id = ValorNumerico(fields.LeerCampo());
        const double elevation = ValorNumerico(fields.LeerCampo());
        const double azimuth = ValorNumerico(fields.LeerCampo());
        const double snr = ValorNumerico(fields.LeerCampo());
        if (slot < Gsv::SlotCount) {
            gsv.Ids[slot] = static_cast<float>(id);
            gsv.Els[slot] = static_cast<float>(elevation);
            gsv.Azs[slot] = static_cast<float>(azimuth);
            gsv.Sigs[slot] = static_cast<float>(snr);
        }
        ++slot;
    } while (static_cast<long long>(fields.position()) <= stopAt);
    return gsv;
}

namespace {

void procesarRmc(std::string_view sentence, RouterState& state, NmeaSink& sink)
{
    if (state.talkers == Talkers::AllGnss) {
        FieldScanner fields(sentence);
        const std::string_view time = fields.LeerCampo();
        if (!time.empty() && time == state.lastFixTime && state.talker != state.lastFixTalker) {
            sink.debugText(RepeatedFixText, sentence);
            return;
        }
    }
    sink.debugText(CadenaRecibidaText, sentence);
    if (rmcStatusVoid(sentence))
        sink.debugText(state.ignoreValid ? IgnoreValidTrueText : IgnoreValidFalseText, {});
    if (const auto rmc = parseRmc(sentence, state.ignoreValid)) {
        FieldScanner fields(sentence);
        state.lastFixTime = fields.LeerCampo();
        state.lastFixTalker = state.talker;
        sink.onPosicion(*rmc);
    }
}

void procesarZda(std::string_view sentence, RouterState&, NmeaSink& sink) { sink.onFechaHora(parseZda(sentence)); }
void procesarGsv(std::string_view sentence, RouterState&, NmeaSink& sink) { sink.onSatelliteStatus(parseGsv(sentence)); }
void procesarGsa(std::string_view sentence, RouterState&, NmeaSink& sink) { sink.onSatDOP(parseGsa(sentence)); }
// Fix data duplicates what RMC already gives.
void procesarGga(std::string_view, RouterState&, NmeaSink&) {}

struct Route {
    std::string_view type;
    void (*decode)(std::string_view sentence, RouterState& state, NmeaSink& sink);
};

constexpr std::size_t TagLength = 6;

constexpr std::array<Route, 5> Routes{{
    {"RMC", &procesarRmc},
    {"ZDA", &procesarZda},
    {"GSV", &procesarGsv},
    {"GGA", &procesarGga},
    {"GSA", &procesarGsa},
}};

constexpr std::array<std::string_view, 10> GnssTalkers{"GP", "GN", "GL", "GA", "GB", "BD", "GI", "GQ", "QZ", "IN"};

} // namespace

bool acceptsTalker(Talkers talkers, std::string_view talker)
{
    if (talkers == Talkers::GpsOnly)
        return talker == "GP";
    return std::find(GnssTalkers.begin(), GnssTalkers.end(), talker) != GnssTalkers.end();
}

void ProcesarSentencia(std::string_view sentence, bool ignoreValid, NmeaSink& sink)
{
    RouterState state;
    state.ignoreValid = ignoreValid;
    ProcesarSentencia(sentence, state, sink);
}

void ProcesarSentencia(std::string_view sentence, RouterState& state, NmeaSink& sink)
{
    if (sentence.size() < TagLength || sentence[0] != '$' || !acceptsTalker(state.talkers, sentence.substr(1, 2)))
        return;
    const std::string_view type = sentence.substr(3, 3);
    for (const Route& route : Routes) {
        if (route.type != type)
            continue;
        // A byte outside printable ASCII is line noise; a NUL even leaves the checksum as it was.
        if (std::any_of(sentence.begin(), sentence.end(), [](char c) { return c < 0x20 || c > 0x7E; })) {
            sink.debugText(UnprintableText, sentence);
            return;
        }
        if (checkChecksum(sentence) == Checksum::Mismatch) {
            sink.debugText(ChecksumErrorText, sentence);
            return;
        }
        state.talker = sentence.substr(1, 2);
        route.decode(sentence, state, sink);
        return;
    }
}

} // namespace gps
