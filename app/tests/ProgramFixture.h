#pragma once
// The whole program on the offscreen platform, with scripted dialogs and private settings.
#include "ui/tests/TestDialogs.h"
#include "Program.h"
#include "ui/ToolbarTable.h"
#include "window/frmPlotter.h"
#include "map/MapControl.h"

#include "TempDir.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace aero::testing {

class ProgramFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        {
            QSettings s(QStringLiteral("Aeroplotter"), QStringLiteral("Aeroplotter"));
            s.setValue("Config/VersionID", AEROPLOTTER_VERSION);   // no splash
            s.setValue("Config/TilesEnabled", "0");    // never online in tests
            s.setValue("Screen/State", "0");
        }
        program = std::make_unique<Program>(dialogs, false);
        program->window().show();
    }
    void TearDown() override { program.reset(); }

    AppContext& ctx() { return program->context(); }
    frmPlotter& window() { return program->window(); }
    MapControl& map() { return program->mapa(); }
    QString file(const QString& name, const QByteArray& bytes) { return testing_support::writeFile(m_dir.filePath(name), bytes); }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    void newMap()
    {
        window().tbMain_ButtonMenuClick(entries::MapNewNorthAmerica);
        ASSERT_TRUE(ctx().state.MapLoaded) << dialogs.texts().join("|").toStdString();
        dialogs.reset();
    }
    void importSummary(const QString& p)
    {
        dialogs.files = {p};
        window().tbMain_ButtonMenuClick(entries::ImportSummary);
    }

    QTemporaryDir m_settingsDir, m_dir;
    ScriptedDialogs dialogs = testDialogs();
    std::unique_ptr<Program> program;
};

// A text summary with the given data lines (TAB separated, CR LF).
inline QByteArray summary(const QList<QByteArray>& lines)
{
    QByteArray out = "# $Creator: Network Stumbler Version 0.4.0\r\n"
                     "# $Format: wi-scan summary with extensions\r\n"
                     "# Latitude\tLongitude\t( SSID )\tType\t( BSSID )\tTime (GMT)\t[ SNR Sig Noise ]\t# ( Name )\tFlags\tChannelbits\tBcnIntvl\r\n";
    for (const QByteArray& l : lines)
        out += l + "\r\n";
    return out;
}

// One data line: latitude/longitude texts with hemispheres, SSID, MAC, signal column, flags.
inline QByteArray line(const char* lat, const char* lon, const char* ssid, const char* mac, int sig, const char* flags)
{
    return QByteArray(lat) + "\t" + lon + "\t( " + ssid + " )\tBSS\t( " + mac + " )\t12:00:00 (GMT)\t[ 20 "
           + QByteArray::number(sig) + " " + QByteArray::number(sig - 20) + " ]\t# ( )\t" + flags + "\t0040\t100";
}

} // namespace aero::testing
