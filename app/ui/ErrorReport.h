#pragma once
// The one error report of the program and the error trap every handler runs under.
#include "domain/AppError.h"
#include "ui/Dialogs.h"

#include <QString>
#include <exception>

namespace aero {

// Where users send bug reports: the issue tracker named in the project's README.
inline constexpr const char* BugReportPlace = "the issue tracker named in the Aeroplotter README";

// The five-line report text.
QString errorReportText(const QString& routine, double code, const QString& description);

void ShowErrorReport(Dialogs& dialogs, const QString& routine, double code, const QString& description);

// Thrown from the yields of long work when the program is ending: the work stops at once,
// keeps what it has done, and reports nothing.
struct OperationCancelled {};

// Runs `work`; an exception ends it and is reported under `routine`. Returns false when it failed.
template <class F>
bool guarded(Dialogs& dialogs, const QString& routine, F&& work)
{
    try {
        work();
        return true;
    } catch (const AppError& e) {
        ShowErrorReport(dialogs, routine, e.code, e.description);
    } catch (const std::bad_alloc&) {
        ShowErrorReport(dialogs, routine, 7, QStringLiteral("Out of memory"));
    } catch (const std::exception& e) {
        ShowErrorReport(dialogs, routine, 5, QString::fromLocal8Bit(e.what()));
    } catch (const OperationCancelled&) {
    }
    return false;
}

} // namespace aero
