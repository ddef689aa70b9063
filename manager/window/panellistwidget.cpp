#include "window/panellistwidget.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace kn4::manager {

QMimeData *PanelDrag::toMimeData(const QStringList &paths, const QString &source)
{
    auto *data = new QMimeData;
    data->setData(kMimeType, (source + '\n' + paths.join('\n')).toUtf8());
    // File managers and other programs take the panels as files.
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data->setUrls(urls);
    return data;
}

bool PanelDrag::fromMimeData(const QMimeData *data, PanelDrag &drag)
{
    if (data == nullptr || !data->hasFormat(kMimeType))
        return false;
    QStringList lines = QString::fromUtf8(data->data(kMimeType)).split('\n');
    drag.source = lines.takeFirst();
    lines.removeAll(QString());
    drag.paths = lines;
    return !drag.paths.isEmpty();
}

PanelListWidget::PanelListWidget(const QString &name, QWidget *parent)
    : QListWidget(parent)
{
    setObjectName(name);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
}

QStringList PanelListWidget::selectedPaths() const
{
    QStringList paths;
    for (int row = 0; row < count(); ++row) {
        if (item(row)->isSelected())
            paths.append(item(row)->data(Qt::UserRole).toString());
    }
    return paths;
}

QStringList PanelListWidget::selectedNames() const
{
    QStringList names;
    for (const QListWidgetItem *i : selectedItems())
        names.append(i->text());
    return names;
}

QStringList PanelListWidget::allPaths() const
{
    QStringList paths;
    for (int row = 0; row < count(); ++row)
        paths.append(item(row)->data(Qt::UserRole).toString());
    return paths;
}

bool PanelListWidget::selectName(const QString &name)
{
    for (int row = 0; row < count(); ++row) {
        if (item(row)->text() == name) {
            setCurrentRow(row);
            return true;
        }
    }
    return false;
}

void PanelListWidget::selectNames(const QStringList &names)
{
    clearSelection();
    QListWidgetItem *first = nullptr;
    for (int row = 0; row < count(); ++row) {
        if (names.contains(item(row)->text())) {
            item(row)->setSelected(true);
            if (first == nullptr)
                first = item(row);
        }
    }
    // The current entry follows the selection; with nothing selected it is
    // left unset, so a refresh never selects an entry the user cleared.
    setCurrentItem(first, QItemSelectionModel::NoUpdate);
}

void PanelListWidget::focusInEvent(QFocusEvent *event)
{
    QListWidget::focusInEvent(event);
    emit userActivated();
}

void PanelListWidget::mousePressEvent(QMouseEvent *event)
{
    emit userActivated();
    QListWidget::mousePressEvent(event);
}

QStringList PanelListWidget::mimeTypes() const
{
    return {PanelDrag::kMimeType};
}

QMimeData *PanelListWidget::mimeData(const QList<QListWidgetItem *> &items) const
{
    QStringList paths;
    for (const QListWidgetItem *i : items)
        paths.append(i->data(Qt::UserRole).toString());
    return PanelDrag::toMimeData(paths, objectName());
}

void PanelListWidget::dragEnterEvent(QDragEnterEvent *event)
{
    PanelDrag drag;
    if (PanelDrag::fromMimeData(event->mimeData(), drag) && drag.source != objectName())
        event->acceptProposedAction();
    else
        event->ignore();
}

void PanelListWidget::dragMoveEvent(QDragMoveEvent *event)
{
    PanelDrag drag;
    if (PanelDrag::fromMimeData(event->mimeData(), drag) && drag.source != objectName())
        event->acceptProposedAction();
    else
        event->ignore();
}

void PanelListWidget::dropEvent(QDropEvent *event)
{
    PanelDrag drag;
    if (!PanelDrag::fromMimeData(event->mimeData(), drag) || drag.source == objectName()) {
        event->ignore();
        return;
    }
    // The copy (and its questions) runs after the drag has ended, so the
    // source list is not left in the middle of its drag.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    QMetaObject::invokeMethod(this, [this, drag] { emit panelsDropped(drag.paths, drag.source); },
                              Qt::QueuedConnection);
}

} // namespace kn4::manager
