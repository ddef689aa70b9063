#include "editorhandover.h"

#include "kn4/editrequestclient.h"

#include <QFileInfo>
#include <QProcess>

namespace kn4::simulator {

namespace {

constexpr const char *kManagerProgram = "kn4manager";

} // namespace

std::filesystem::path EditorHandover::programDirectoryOf(const std::string &languageFolder)
{
    std::filesystem::path folder = std::filesystem::path(languageFolder).lexically_normal();
    if (!folder.has_filename())
        folder = folder.parent_path();
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
    return (ec ? folder : absolute).parent_path();
}

EditorHandover::Result EditorHandover::request(const std::filesystem::path &programDirectory,
                                               const std::filesystem::path &binaryDirectory,
                                               const std::string &panel, int row)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(panel, ec);
    const std::string path = ec ? panel : absolute.string();
    Result result;
    if (sendEditRequest(programDirectory, EditRequest{path, row})) {
        result.outcome = Outcome::Handed;
        return result;
    }
    const QString manager = QString::fromStdString((binaryDirectory / kManagerProgram).string());
    const QFileInfo info(manager);
    if (!info.isFile() || !info.isExecutable()) {
        result.error = manager;
        return result;
    }
    QProcess process;
    process.setProgram(manager);
    process.setArguments({QString::fromStdString(programDirectory.string()), QString::fromStdString(path),
                          QStringLiteral("--row"), QString::number(row)});
    process.setWorkingDirectory(QString::fromStdString(programDirectory.string()));
    if (!process.startDetached()) {
        result.error = manager + QStringLiteral(": ") + process.errorString();
        return result;
    }
    result.outcome = Outcome::ManagerStarted;
    return result;
}

} // namespace kn4::simulator
