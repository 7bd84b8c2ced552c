#pragma once
// The maps and survey logs used last, newest first, kept in the settings store (group "Recent").
#include "domain/Settings.h"

#include <QStringList>

namespace aero::recent {

inline constexpr const char* Maps = "Maps";
inline constexpr const char* Logs = "Logs";
inline constexpr int Kept = 10;

QStringList list(const Settings& settings, const char* kind);
// Puts `path` first (once), keeping the last `Kept`.
void add(Settings& settings, const char* kind, const QString& path);
void remove(Settings& settings, const char* kind, const QString& path);

} // namespace aero::recent
