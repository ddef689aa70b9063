#include "kn4/editrequestclient.h"

#include <QLocalSocket>

namespace kn4 {

bool sendEditRequest(const std::filesystem::path &programDirectory, const EditRequest &request, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(EditRequest::serverName(programDirectory)));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    const std::string line = request.toLine();
    socket.write(line.data(), qint64(line.size()));
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    QByteArray answer;
    while (!answer.contains('\n') && answer.size() < 64) {
        if (!socket.waitForReadyRead(timeoutMs))
            break;
        answer += socket.readAll();
    }
    answer += socket.readAll();
    socket.disconnectFromServer();
    return answer.left(answer.indexOf('\n')).trimmed() == QByteArray(EditRequest::kAccepted.data(),
                                                                      qsizetype(EditRequest::kAccepted.size()));
}

} // namespace kn4
