#include "window/programlauncher.h"

#include <QFileInfo>
#include <QProcess>

namespace kn4::manager {

ProgramLauncher::ProgramLauncher(std::filesystem::path programDirectory, std::filesystem::path binaryDirectory,
                                 QObject *parent)
    : QObject(parent), m_programDirectory(std::move(programDirectory)),
      m_binaryDirectory(binaryDirectory.empty() ? m_programDirectory : std::move(binaryDirectory))
{
}

ProgramLauncher::~ProgramLauncher()
{
    // A watched program outlives the manager rather than being killed with
    // it: the user's work in it must not be lost.
    for (auto &[id, process] : m_watched) {
        process->disconnect(this);
        process->setParent(nullptr);
    }
}

bool ProgramLauncher::programFile(const std::string &program, QString &path, QString &error) const
{
    path = QString::fromStdString((m_binaryDirectory / program).string());
    const QFileInfo info(path);
    if (!info.isFile() || !info.isExecutable()) {
        error = path;
        return false;
    }
    return true;
}

bool ProgramLauncher::isAvailable(const std::string &program) const
{
    QString path;
    QString error;
    return programFile(program, path, error);
}

bool ProgramLauncher::startDetached(const std::string &program, const std::string &argument, QString &error)
{
    return startDetached(program, std::vector<std::string>{argument}, error);
}

bool ProgramLauncher::startDetached(const std::string &program, const std::vector<std::string> &arguments,
                                    QString &error)
{
    QString path;
    if (!programFile(program, path, error))
        return false;
    QStringList list;
    for (const std::string &argument : arguments)
        list.append(QString::fromStdString(argument));
    QProcess process;
    process.setProgram(path);
    process.setArguments(list);
    process.setWorkingDirectory(QString::fromStdString(m_programDirectory.string()));
    if (!process.startDetached()) {
        error = path + ": " + process.errorString();
        return false;
    }
    return true;
}

bool ProgramLauncher::startWatched(int id, const std::string &program, const std::string &argument, QString &error)
{
    QString path;
    if (!programFile(program, path, error))
        return false;
    auto *process = new QProcess(this);
    process->setProgram(path);
    process->setArguments({QString::fromStdString(argument)});
    process->setWorkingDirectory(QString::fromStdString(m_programDirectory.string()));
    // The editor talks to the user in its own window; its output goes to
    // the manager's terminal, if any.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(process, &QProcess::finished, this, [this, id, process] {
        m_watched.erase(id);
        process->deleteLater();
        emit watchedEnded(id);
    });
    connect(process, &QProcess::errorOccurred, this, [this, id, process](QProcess::ProcessError failure) {
        if (failure != QProcess::FailedToStart)
            return;
        m_watched.erase(id);
        process->deleteLater();
        emit watchedFailed(id, process->errorString());
    });
    m_watched[id] = process;
    process->start();
    return true;
}

} // namespace kn4::manager
