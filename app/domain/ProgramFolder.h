#pragma once
// Where the program's read-only files (Icons/, data/) are: beside the executable in the build
// tree, or ../share/aeroplotter for an installed program.
#include <QString>

namespace aero {

QString programFolder();
// A file below the program's folder, e.g. programFile("Icons/O1.ico").
QString programFile(const QString& relative);

} // namespace aero
