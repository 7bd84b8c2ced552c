#pragma once
// Outcome of a property write: the control reports errors as values, never by throwing.
#include <QString>

namespace navlet {

struct NavletStatus {
    int code = 0; // 0 = done
    QString description;
    bool ok() const { return code == 0; }

    static NavletStatus done() { return {}; }
    static NavletStatus readOnly() { return {383, QStringLiteral("Property is Read Only")}; }
    static NavletStatus invalidValue() { return {380, QStringLiteral("Invalid property value")}; }
    static NavletStatus noSuchProperty()
    {
        return {438, QStringLiteral("Object doesn't support this property or method")};
    }
};

} // namespace navlet
