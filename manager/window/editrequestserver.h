#pragma once

#include <QObject>
#include <QString>

#include <filesystem>

class QLocalServer;

namespace kn4::manager {

// The manager's end of the edit requests (kn4::EditRequest): a local socket
// named for the program directory and the user, on which another program
// of the suite (the simulator's "open in the editor") asks for a panel to
// be edited at a row. The edit itself is the manager's, under its editing
// watch; this only reads the request, answers that it was taken in hand
// and passes it on.
class EditRequestServer : public QObject
{
    Q_OBJECT
public:
    explicit EditRequestServer(const std::filesystem::path &programDirectory, QObject *parent = nullptr);

    // Starts listening, unless another manager of the directory already
    // answers there (false: the requests go to that one). A socket left by
    // a manager that ended without closing it is taken over.
    bool listen();
    bool isListening() const;
    QString serverName() const { return m_name; }

signals:
    // A request read whole; emitted after the answer went out.
    void editRequested(const QString &panel, int row);

private:
    void acceptConnection();

    QString m_name;
    QLocalServer *m_server = nullptr;
};

} // namespace kn4::manager
