#include "domain/Settings.h"

#include "domain/NumberText.h"

#include <QSettings>
#include <array>

namespace aero {
namespace {

constexpr std::array<SettingDefault, 35> Defaults{{
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
    // Live GPS: sentences of every satellite system's talker, not only "$GP"; the nearby-AP
    // panel's length; the watch list (patterns one a line) and its alert distance in metres.
    {"AllTalkers", "1"},
    {"NearbyCount", "5"},
    {"WatchList", ""},
    {"WatchMetres", "100"},
    // Offline map data: OpenStreetMap extracts (one path a line) and a tile pack.
    {"OsmExtracts", ""},
    {"TilePack", ""},
    // Extracts that failed to read (one path a line), and the one being read right now.
    {"OsmExtractsLeftOut", ""},
    {"OsmExtractReading", ""},
    // Size of the pictures a script saves: an unattended window's own size is an accident.
    {"PictureSize", "1600x1200"},
    // How an AP is placed from the sightings its log kept: strongest, weighted or trimmed.
    {"PositionMethod", "strongest"},
}};

constexpr std::array<SettingRange, 9> Ranges{{
    {"GPSPort", 1, 8},
    {"NavletPort", 1, 8},
    {"CenLat", -90, 90},
    {"CenLon", -180, 180},
    {"TrackColor", 0, 0xFFFFFF},
    {"NMEAColor", 0, 0xFFFFFF},
    {"GpsdPort", 1, 65535},
    {"NearbyCount", 0, 50},
    {"WatchMetres", 0, 100000},
}};

QSettings openStore() { return QSettings(QStringLiteral("Aeroplotter"), QStringLiteral("Aeroplotter")); }

} // namespace

std::span<const SettingDefault> Settings::configDefaults() { return Defaults; }

std::span<const SettingRange> Settings::configRanges() { return Ranges; }

bool Settings::inRange(const QString& key, const QString& text)
{
    for (const SettingRange& r : Ranges)
        if (key == QLatin1String(r.key)) {
            const double v = leadingNumber(text);   // the program's own text-to-number rule
            return v >= r.min && v <= r.max;
        }
    return true;
}

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
        const QString stored = s.contains(path) ? s.value(path).toString() : QString::fromLatin1(d.value);
        m_values.insert(key, inRange(key, stored) ? stored : QString::fromLatin1(d.value));
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
