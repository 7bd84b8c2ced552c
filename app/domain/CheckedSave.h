#pragma once
// Every file the program writes goes through saveChecked. The old file is replaced only when
// every write reached the file in full and the writer reported no error of its own (for example
// an XML writer meeting text it cannot encode). Otherwise the old file stays as it was and the
// reason comes back, so a full disk is never reported as a saved file.
#include <QString>
#include <functional>

class QIODevice;

namespace aero {

// Writes the whole document into the device; false when the writer itself failed.
using DocumentWriter = std::function<bool(QIODevice&)>;

struct SaveResult {
    bool ok = false;
    QString error;   // why not, when !ok
    explicit operator bool() const { return ok; }
};

// Runs `write` into `out` through a guard that notices any failed or short write.
SaveResult writeChecked(QIODevice& out, const DocumentWriter& write);

// Writes `path` through a temporary file renamed over it only on success.
SaveResult saveChecked(const QString& path, const DocumentWriter& write);

} // namespace aero
