#pragma once

// A temporary working folder with a copy of a compiled sample panel, and the
// start-up of the simulator on it with the shipped Italian labels.

#include "simulatorstartup.h"

#include "kn4/testapplication.h"

#include <QTemporaryDir>

#include <filesystem>
#include <string>

namespace kn4::testing {

class SimulatorFolder
{
public:
    explicit SimulatorFolder(const std::string &sample = "DAVANTI.KN4")
    {
        ensureApplication();
        m_dir = std::filesystem::path(m_temp.path().toStdString());
        std::filesystem::copy_file(programDir() / "archivi" / "DEMO" / sample, m_dir / sample);
        m_panel = m_dir / sample;
    }

    static std::filesystem::path programDir() { return KN4_PROGRAM_DIR; }
    const std::filesystem::path &dir() const { return m_dir; }
    const std::filesystem::path &panel() const { return m_panel; }
    std::filesystem::path settingsFile() const { return m_dir / "simulatore.sav"; }

    // The manager's argument form: PANEL,LANGUAGE FOLDER/
    std::string arguments() const
    {
        return m_panel.string() + "," + (programDir() / "italiano").string() + "/";
    }

    simulator::SimulatorStartup start(const std::string &arguments) const
    {
        return simulator::SimulatorStartup::run(arguments, m_dir);
    }
    simulator::SimulatorStartup start() const { return start(arguments()); }

private:
    QTemporaryDir m_temp;
    std::filesystem::path m_dir;
    std::filesystem::path m_panel;
};

} // namespace kn4::testing
