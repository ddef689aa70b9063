#include "window/droppicture.h"

#include "window/panellistwidget.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace kn4::manager {

DropPicture::DropPicture(const QString &name, QWidget *parent)
    : QLabel(parent)
{
    setObjectName(name);
    setAcceptDrops(true);
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::StyledPanel);
    setCursor(Qt::PointingHandCursor);
}

bool DropPicture::acceptPanels(const QMimeData *data)
{
    PanelDrag drag;
    if (!PanelDrag::fromMimeData(data, drag))
        return false;
    emit panelsDropped(drag.paths, drag.source);
    return true;
}

void DropPicture::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void DropPicture::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasFormat(PanelDrag::kMimeType))
        event->acceptProposedAction();
    else
        event->ignore();
}

void DropPicture::dropEvent(QDropEvent *event)
{
    PanelDrag drag;
    if (!PanelDrag::fromMimeData(event->mimeData(), drag)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    QMetaObject::invokeMethod(this, [this, drag] { emit panelsDropped(drag.paths, drag.source); },
                              Qt::QueuedConnection);
}

} // namespace kn4::manager
