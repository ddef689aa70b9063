#pragma once

#include "core/recyclebin.h"

#include <QDialog>

#include <filesystem>
#include <functional>
#include <vector>

class QListWidget;
class QPushButton;

namespace kn4::manager {

class Messages;

// The recycle bin (Cestino): what was deleted from the folders it is given
// (the current archive, the folder of the archives, the current disk...),
// the latest first; "Ripristina" brings the chosen entries back where they
// were, "Svuota" deletes everything for good after a question.
class RecycleBinDialog : public QDialog
{
    Q_OBJECT
public:
    struct Place
    {
        std::filesystem::path folder;  // the folder whose recycle folder is shown
        QString name;                  // how the entries say where they come from
    };
    using Text = std::function<QString(int line)>;
    // True when a panel is being edited: it is never replaced by a restore.
    using Busy = std::function<bool(const std::filesystem::path &panel)>;

    RecycleBinDialog(std::vector<Place> places, Text text, Busy busy, QWidget *parent = nullptr);

    // Brings the chosen entries back (Ripristina).
    void restoreChosen();
    // Deletes everything of the shown recycle folders, after the question (Svuota).
    void emptyBins();
    // Something was restored or emptied: the lists of the window change.
    bool changed() const { return m_changed; }

private:
    void fill();
    Messages messages();

    std::vector<Place> m_places;
    Text m_text;
    Busy m_busy;
    std::vector<RecycleBin::Item> m_items;
    QListWidget *m_list;
    QPushButton *m_restore;
    QPushButton *m_empty;
    bool m_changed = false;
};

} // namespace kn4::manager
