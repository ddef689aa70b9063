#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

namespace kn4::manager {

// "Copia in archivio...": the archives the panels can go to, and whether
// they are copied (Copia) or moved (Sposta).
class ArchiveChoiceDialog : public QDialog
{
    Q_OBJECT
public:
    ArchiveChoiceDialog(const QString &caption, const QString &prompt, const QStringList &archives,
                        const QString &copyText, const QString &moveText, const QString &cancelText,
                        QWidget *parent = nullptr);

    QString archive() const;
    bool move() const { return m_move; }

private:
    QListWidget *m_list;
    bool m_move = false;
};

} // namespace kn4::manager
