#pragma once
// What one decoded sentence says, in the units and layout the control's events carry.
#include <array>
#include <cstddef>
#include <string>

namespace gps {

// Recommended minimum data (RMC): time, validity, position, speed in km/h (whole), course.
struct Rmc {
    bool Validez = false;
    std::string Hora;
    double Latitud = 0.0;
    double Longitud = 0.0;
    float Velocidad = 0.0F;
    float Rumbo = 0.0F;
    bool operator==(const Rmc&) const = default;
};

// Time and date (ZDA): "hh:mm:ss", "dd/mm/yyyy" as received, local zone in hours.
struct Zda {
    std::string HoraUTC;
    std::string FechaUTC;
    float Zona = 0.0F;
    bool operator==(const Zda&) const = default;
};

// DOP and active satellites (GSA): fix mode text, twelve satellite fields plus two spare slots.
struct Gsa {
    static constexpr std::size_t ChannelCount = 14;
    std::string Modo;
    std::array<std::string, ChannelCount> Canales;
    float PDOP = 0.0F;
    float HDOP = 0.0F;
    float VDOP = 0.0F;
    bool operator==(const Gsa&) const = default;
};

// Satellites in view (GSV): the satellites of one sentence, empty slots 0.
struct Gsv {
    static constexpr std::size_t SlotCount = 5;
    float InView = 0.0F;
    std::array<float, SlotCount> Ids{};
    std::array<float, SlotCount> Els{};
    std::array<float, SlotCount> Azs{};
    std::array<float, SlotCount> Sigs{};
    bool operator==(const Gsv&) const = default;
};

} // namespace gps
