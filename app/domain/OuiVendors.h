#pragma once
// The organisation a MAC address was assigned to, from the IEEE registry that Debian's
// ieee-data package installs (/usr/share/ieee-data/oui.csv). Read once, on first use. Without
// the file every vendor is empty and nothing else changes; missing() says so, so the caller can
// tell the user once.
#include <QHash>
#include <QString>

namespace aero {

class OuiVendors {
public:
    static constexpr const char* DefaultPath = "/usr/share/ieee-data/oui.csv";

    // The registry of `path`, read now.
    explicit OuiVendors(const QString& path);

    // The one process-wide registry from DefaultPath.
    static const OuiVendors& shared();

    // The vendor of "00:14:6C:7E:40:80" (any of ":", "-" or none between the pairs); empty
    // when unknown or when the address is a locally administered (randomised) one.
    QString vendor(QStringView mac) const;

    bool missing() const { return m_missing; }
    const QString& path() const { return m_path; }
    qsizetype size() const { return m_vendors.size(); }

private:
    QString m_path;
    QHash<quint32, QString> m_vendors;
    bool m_missing = false;
};

} // namespace aero
