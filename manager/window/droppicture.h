#pragma once

#include <QLabel>
#include <QStringList>

class QMimeData;

namespace kn4::manager {

// A picture that is a drop target for panels (Image1 to Image9) and a
// button: a click and a drop each give a signal.
class DropPicture : public QLabel
{
    Q_OBJECT
public:
    explicit DropPicture(const QString &name, QWidget *parent = nullptr);

    // What a drop of this data does; false when it holds no panels.
    bool acceptPanels(const QMimeData *data);

signals:
    void clicked();
    void panelsDropped(const QStringList &paths, const QString &source);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};

} // namespace kn4::manager
