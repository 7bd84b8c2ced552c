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

namespace errors {
inline constexpr int SubscriptOutOfRange = 9;   // the AP table is full
inline constexpr int FileNotFound = 53;
inline constexpr int PathNotFound = 76;
inline constexpr int InvalidProcedureCall = 5;
inline constexpr int PropertyReadOnly = 383;
inline constexpr int RegionNotInstalled = 16398;
} // namespace errors

} // namespace aero
