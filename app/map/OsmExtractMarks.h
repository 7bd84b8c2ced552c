#pragma once
// OpenStreetMap extracts that failed to read are marked in the settings, so a broken extract
// is reported once and not read again at every start; and the extract being read is marked
// in the store before reading, so one that stops the program is left out at the next start.
// Adding an extract again in Configure takes its mark away.
#include <QString>

namespace aero {

class Settings;

bool osmExtractLeftOut(const Settings& settings, const QString& path);
void leaveOutOsmExtract(Settings& settings, const QString& path);
void takeBackOsmExtract(Settings& settings, const QString& path);

// Marks `path` as being read (written to the store at once); an empty path clears the mark.
void markOsmExtractReading(Settings& settings, const QString& path);
// The extract still marked as being read when this run began (the last run stopped while
// reading it), now left out; empty when none.
QString osmExtractThatStoppedTheProgram(Settings& settings);

} // namespace aero
