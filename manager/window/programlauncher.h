#pragma once

#include <QObject>
#include <QString>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

class QProcess;

namespace kn4::manager {

// Starts the programs of the suite from the manager's program directory,
// each with its one argument and the program directory as its working
// directory. The editor is watched: its process is kept and its end
// reported, without polling the system's process list. The simulator and
// the print program are left to themselves once started.
class ProgramLauncher : public QObject
{
    Q_OBJECT
public:
    // The programs are taken from binaryDirectory (the program directory
    // when empty) and run in the program directory.
    ProgramLauncher(std::filesystem::path programDirectory, std::filesystem::path binaryDirectory,
                    QObject *parent = nullptr);
    ~ProgramLauncher() override;

    // Starts a program not watched. False, with the reason, when it cannot
    // be started.
    bool startDetached(const std::string &program, const std::string &argument, QString &error);
    // The same with several arguments (the print program takes one per panel).
    bool startDetached(const std::string &program, const std::vector<std::string> &arguments, QString &error);
    // Starts a program watched under an id; watchedEnded(id) follows when
    // its process has ended, watchedFailed(id, reason) when it never ran.
    bool startWatched(int id, const std::string &program, const std::string &argument, QString &error);
    int runningCount() const { return int(m_watched.size()); }
    // True when the program file is in the program directory and can be run.
    bool isAvailable(const std::string &program) const;

signals:
    void watchedEnded(int id);
    void watchedFailed(int id, const QString &reason);

private:
    bool programFile(const std::string &program, QString &path, QString &error) const;

    std::filesystem::path m_programDirectory;
    std::filesystem::path m_binaryDirectory;
    std::map<int, QProcess *> m_watched;
};

} // namespace kn4::manager
