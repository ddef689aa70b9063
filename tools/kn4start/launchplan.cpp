#include "launchplan.h"

#include "kn4/filereader.h"
#include "kn4/number.h"

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

// The manager's settings; a missing file reads as empty (the defaults), one
// that cannot be read as empty with its reason in *reason.
std::string readSettings(const fs::path &directory, std::string *reason)
{
    const fs::path path = directory / "kn4manager.ini";
    FileContent content = FileReader::read(path, FileReader::kTextFileLimit);
    if (!content && !content.missing())
        *reason = content.message(path);
    return std::move(content.bytes);
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
    std::string unreadable;
    const std::string settings = readSettings(locations.programDirectory, &unreadable);
    const std::string folder = (locations.programDirectory / languageFolder(settings)).string() + "/";
    fs::path panelPath = panel.empty() ? fs::path() : fs::absolute(panel);

    std::string name = program;
    if (!unreadable.empty())
        plan.note = unreadable + ": the default language and parameters are used";
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
        // The manager takes its program directory and opens on the archives
        // there; a panel after it is shown in its archive.
        plan.argument = locations.programDirectory.string();
        plan.panel = panelPath;
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
