#pragma once
// A main window with scripted dialogs and settings in a private folder.
#include "ui/tests/TestDialogs.h"
#include "ui/AppContext.h"
#include "window/frmPlotter.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace aero::testing {

class CoreFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        m_window = std::make_unique<frmPlotter>(ctx);
        ctx.window = m_window.get();
    }
    void TearDown() override
    {
        ctx.state.Exiting = true;
        ctx.window = nullptr;
        m_window.reset();
    }
    frmPlotter& window() { return *m_window; }

    QTemporaryDir m_settingsDir;
    Settings settings;
    APList apList;
    ScriptedDialogs dialogs = testDialogs();
    AppContext ctx{settings, apList, dialogs};
    std::unique_ptr<frmPlotter> m_window;
};

} // namespace aero::testing
