#pragma once
// The program's options, held in memory as text for the whole run and stored per user with
// QSettings (organisation and application "Aeroplotter", groups "Config" and "Screen").
// One table of {key, default} drives first-run defaults, loading and saving.
#include <QHash>
#include <QString>
#include <span>

namespace aero {

struct SettingDefault {
    const char* key;
    const char* value;
};

struct SettingRange {
    const char* key;
    double min, max;
};

class Settings {
public:
    static constexpr const char* Version = AEROPLOTTER_VERSION;   // from the build

    // The "Config" keys other than VersionID, with the values written on the first run.
    static std::span<const SettingDefault> configDefaults();

    // Numeric "Config" keys and the values they may take. Loading puts the default back for a
    // stored value outside its range (or not a number); the configuration dialog refuses one.
    static std::span<const SettingRange> configRanges();
    static bool inRange(const QString& key, const QString& text);

    Settings();

    QString value(const QString& key) const { return m_values.value(key); }
    void setValue(const QString& key, const QString& text) { m_values.insert(key, text); }
    bool isOn(const QString& key) const { return value(key) == QLatin1String("1"); }
    double number(const QString& key) const;   // leading numeric part, 0 when none

    // Store access ("Config" or "Screen" group), values always text.
    QString stored(const QString& group, const QString& key) const;
    void store(const QString& group, const QString& key, const QString& text);

    // Reads every "Config" key into memory (absent keys read as empty text).
    void loadConfig();
    // Writes VersionID and every default; used on the first run.
    void writeDefaults();
    // Writes every "Config" key but VersionID from memory.
    void saveConfig();
    void sync();

private:
    QHash<QString, QString> m_values;
};

} // namespace aero
