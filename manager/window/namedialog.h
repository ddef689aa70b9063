#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kn4::manager {

// The small modal dialog (Dialog) in which names are typed: a new archive,
// a new local disk, a new name for an archive or for a copy of a panel.
// What the user types is shown in upper case, as every name is kept.
class NameDialog : public QDialog
{
    Q_OBJECT
public:
    NameDialog(const QString &caption, const QString &prompt, const QString &okText,
               const QString &cancelText, QWidget *parent = nullptr);

    void setName(const QString &name);
    // The longest name the box takes (disk folders keep 8 characters).
    void setMaxLength(int length);
    QString name() const;

private:
    QLabel *m_prompt;
    QLineEdit *m_nameBox;
};

} // namespace kn4::manager
