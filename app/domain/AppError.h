#pragma once
// The program's own error type. Numbers are kept as the error report shows them
// (16398: region map not installed, 383: property is read only, ...).
#include <QString>
#include <stdexcept>

namespace aero {

struct AppError : std::runtime_error {
    AppError(int number, const QString& text)
        : std::runtime_error(text.toStdString()), code(number), description(text) {}
    int code;
    QString description;
};

// Every error number the program reports, once.
namespace errors {
inline constexpr int InvalidProcedureCall = 5;
inline constexpr int SubscriptOutOfRange = 9;   // the AP table is full
inline constexpr int TypeMismatch = 13;         // a number column holds text
inline constexpr int FileNotFound = 53;
inline constexpr int InputPastEnd = 62;         // a file ends inside a record
inline constexpr int FileAccess = 75;           // a file could not be opened or written
inline constexpr int PathNotFound = 76;
inline constexpr int ObjectNotSet = 91;         // no map is open
inline constexpr int InvalidFileFormat = 321;   // not a map file
inline constexpr int PropertyReadOnly = 383;
inline constexpr int RegionNotInstalled = 16398;
} // namespace errors

} // namespace aero
