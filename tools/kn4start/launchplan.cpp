#include "launchplan.h"

#include "kn4/number.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace kn4 {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> settingsLines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string readSettings(const fs::path &directory)
{
    std::ifstream in(directory / "kn4manager.ini", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

std::string Launcher::languageFolder(const std::string &managerSettings)
{
    const std::vector<std::string> lines = settingsLines(managerSettings);
    const long language = lines.size() >= 12 ? leadingInteger(lines[11]) : 0;
    switch (language) {
    case 1: return "inglese";
    case 2: return "spagnolo";
    default: return "italiano";
    }
}

std::string Launcher::editorParameters(const std::string &managerSettings)
{
    const std::vector<std::string> lines = settingsLines(managerSettings);
    if (lines.empty() || lines[0].find_first_not_of(' ') == std::string::npos)
        return {};
    return lines[0][0] == '/' ? lines[0] : "/" + lines[0];
}

LaunchPlan Launcher::plan(const ProgramLocations &locations, const std::string &program, const fs::path &panel)
{
    LaunchPlan plan;
    plan.workingDirectory = locations.programDirectory;
    const std::string settings = readSettings(locations.programDirectory);
    const std::string folder = (locations.programDirectory / languageFolder(settings)).string() + "/";
    fs::path panelPath = panel.empty() ? fs::path() : fs::absolute(panel);

    std::string name = program;
    if ((name == kSimulator || name == kPrint) && panelPath.empty()) {
        plan.note = name + " needs a panel: choose one in the manager";
        name = kManager;
    }
    if (name == kEditor) {
        if (panelPath.empty())
            panelPath = locations.programDirectory / kNewPanel;
        plan.argument = panelPath.string() + "," + folder + editorParameters(settings);
    } else if (name == kSimulator || name == kPrint) {
        plan.argument = panelPath.string() + "," + folder;
    } else if (name == kManager) {
        // The manager takes its program directory as its argument and opens
        // on the archives there; the panel is chosen in its lists.
        plan.argument = locations.programDirectory.string();
        if (!panelPath.empty())
            plan.note = "the manager opens on its archives: " + panelPath.filename().string() +
                        " is chosen in its lists";
    } else {
        plan.error = "unknown program " + program + " (Kn4Edit2, simulatore, stampa or kn4manager)";
        return plan;
    }
    plan.executable = locations.binaryDirectory / name;
    std::error_code ec;
    if (!fs::exists(plan.executable, ec))
        plan.error = plan.executable.string() + " is not installed";
    return plan;
}

} // namespace kn4
