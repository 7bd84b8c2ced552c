#pragma once
// What an import says about the lines of a file it could not read: how many, of which file, and
// the first of them, in one sentence. Pure text, shared by every survey import.
#include <QString>

namespace aero::import {

// "3 lines of /data/survey.txt could not be read and were skipped; the first is line 7."
QString skippedLinesMessage(const QString& path, qint64 count, qint64 firstLine);

} // namespace aero::import
