#include "window/editrequestserver.h"

#include "kn4/editrequest.h"

#include <QLocalServer>
#include <memory>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

namespace kn4::manager {

namespace {

// A peer that sends no whole line within this time is dropped.
constexpr int kIdleMs = 5000;
constexpr int kProbeMs = 500;

} // namespace

EditRequestServer::EditRequestServer(const std::filesystem::path &programDirectory, QObject *parent)
    : QObject(parent), m_name(QString::fromStdString(EditRequest::serverName(programDirectory))),
      m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &EditRequestServer::acceptConnection);
}

bool EditRequestServer::listen()
{
    if (m_server->isListening())
        return true;
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (probe.waitForConnected(kProbeMs)) {
        probe.disconnectFromServer();
        return false;
    }
    if (m_server->listen(m_name))
        return true;
    // Nobody answers on it: the socket of a manager that did not end well.
    QLocalServer::removeServer(m_name);
    return m_server->listen(m_name);
}

bool EditRequestServer::isListening() const
{
    return m_server->isListening();
}

void EditRequestServer::acceptConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kIdleMs, socket, [socket] { socket->abort(); });
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->read(qint64(EditRequest::kMaxLine + 2 - std::size_t(buffer->size())));
            const qsizetype end = buffer->indexOf('\n');
            if (end < 0 && std::size_t(buffer->size()) <= EditRequest::kMaxLine + 1)
                return;
            const std::optional<EditRequest> request =
                EditRequest::parse(std::string_view(buffer->constData(), std::size_t(end < 0 ? buffer->size() : end)));
            socket->write(request ? "ok\n" : "error\n");
            socket->flush();
            socket->disconnectFromServer();
            disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
            if (!request)
                return;
            // The edit may ask the user something: the asking program has
            // its answer first.
            const QString panel = QString::fromStdString(request->panel);
            const int row = request->row;
            QTimer::singleShot(0, this, [this, panel, row] { emit editRequested(panel, row); });
        });
    }
}

} // namespace kn4::manager
