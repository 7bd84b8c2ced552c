#include "domain/Settings.h"

#include "domain/NumberText.h"

#include <QSettings>
#include <array>

namespace aero {
namespace {

constexpr std::array<SettingDefault, 28> Defaults{{
    {"MapName", ""},
    {"CustomMapName", ""},
    {"LoadMap", "0"},
    {"LoadCustom", "0"},
    {"CenLat", "0"},
    {"CenLon", "0"},
    {"CenZoom", "0"},
    {"MapUnits", "1"},
    {"AutoCenter", "0"},
    {"NavBar", "0"},
    {"DrawBar", "0"},
    {"ShowPOI", "0"},
    {"GPSPort", "1"},
    {"NavletPort", "1"},
    {"NavletChars", "6"},
    {"CenterMap", "0"},
    {"TrackColor", "0"},
    {"NMEAColor", "0"},
    {"ScriptInput", "0"},
    {"VoiceOut", "0"},
    {"RTVoiceOut", "0"},
    // Options of this platform: the online tile layer and the gpsd source.
    {"TileURL", "https://tile.openstreetmap.org/{z}/{x}/{y}.png"},
    {"TilesEnabled", "1"},
    {"GpsdHost", "localhost"},
    {"GpsdPort", "2947"},
    // Offline map data: OpenStreetMap extracts (one path a line) and a tile pack.
    {"OsmExtracts", ""},
    {"TilePack", ""},
    // How an AP is placed from the sightings its log kept: strongest, weighted or trimmed.
    {"PositionMethod", "strongest"},
}};

QSettings openStore() { return QSettings(QStringLiteral("Aeroplotter"), QStringLiteral("Aeroplotter")); }

} // namespace

std::span<const SettingDefault> Settings::configDefaults() { return Defaults; }

Settings::Settings()
{
    for (const auto& d : Defaults)
        m_values.insert(QString::fromLatin1(d.key), QString::fromLatin1(d.value));
}

double Settings::number(const QString& key) const { return leadingNumber(value(key)); }

QString Settings::stored(const QString& group, const QString& key) const
{
    return openStore().value(group + QLatin1Char('/') + key).toString();
}

void Settings::store(const QString& group, const QString& key, const QString& text)
{
    auto s = openStore();
    s.setValue(group + QLatin1Char('/') + key, text);
}

void Settings::loadConfig()
{
    const auto s = openStore();
    for (const auto& d : Defaults) {
        const QString key = QString::fromLatin1(d.key);
        const QString path = QStringLiteral("Config/") + key;
        // Keys added after a user's first run start at their default rather than empty.
        m_values.insert(key, s.contains(path) ? s.value(path).toString() : QString::fromLatin1(d.value));
    }
}

void Settings::writeDefaults()
{
    auto s = openStore();
    s.setValue(QStringLiteral("Config/VersionID"), QString::fromLatin1(Version));
    for (const auto& d : Defaults)
        s.setValue(QStringLiteral("Config/") + QString::fromLatin1(d.key), QString::fromLatin1(d.value));
}

void Settings::saveConfig()
{
    auto s = openStore();
    for (const auto& d : Defaults) {
        const QString key = QString::fromLatin1(d.key);
        s.setValue(QStringLiteral("Config/") + key, m_values.value(key));
    }
}

void Settings::sync()
{
    auto s = openStore();
    s.sync();
}

} // namespace aero
