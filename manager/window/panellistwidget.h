#pragma once

#include <QListWidget>
#include <QStringList>

class QMimeData;

namespace kn4::manager {

// What travels in a drag of panels inside the manager: the full paths of
// the panels and the objectName of the control the drag started from.
struct PanelDrag
{
    static constexpr const char *kMimeType = "application/x-kn4-panels";

    QStringList paths;
    QString source;

    static QMimeData *toMimeData(const QStringList &paths, const QString &source);
    // False when the data holds no panels of the manager.
    static bool fromMimeData(const QMimeData *data, PanelDrag &drag);
};

// A list of panels (List1, List2): multiple selection, each item the
// panel's name with its full path as data; a drag carries the selected
// panels, a drop of panels from another list asks for a copy here.
class PanelListWidget : public QListWidget
{
    Q_OBJECT
public:
    explicit PanelListWidget(const QString &name, QWidget *parent = nullptr);

    QStringList selectedPaths() const;
    QStringList selectedNames() const;
    QStringList allPaths() const;
    // Selects the entry with that name; false when there is none.
    bool selectName(const QString &name);
    // Selects exactly the entries with these names (none for an empty list),
    // without making any other entry current-and-selected.
    void selectNames(const QStringList &names);

signals:
    void panelsDropped(const QStringList &paths, const QString &source);
    // The user clicked the list or moved the focus into it: the operations
    // that act on "the chosen panels" take this list's.
    void userActivated();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QList<QListWidgetItem *> &items) const override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};

} // namespace kn4::manager
