#pragma once
// The tool's commands. Each returns the process exit code: 0 when the receiver did everything
// asked, non-zero otherwise.
#include "ToolSession.h"

#include <QString>
#include <QTextStream>

namespace exitcode {
inline constexpr int Done = 0;
inline constexpr int NoReceiver = 1;  // the line could not be opened or nobody answered
inline constexpr int Usage = 2;
inline constexpr int Incomplete = 3;  // a transfer stopped part-way
inline constexpr int BadInput = 4;
inline constexpr int Unreadable = 5;  // the receiver sends records in a layout the tool cannot read
} // namespace exitcode

int runProduct(ToolSession& session, QTextStream& out);
int runTracks(ToolSession& session, QTextStream& out, const QString& gpxPath);
int runWaypoints(ToolSession& session, QTextStream& out);
int runUpload(ToolSession& session, QTextStream& out, const QString& csvPath, int chars);
