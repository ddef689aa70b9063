#pragma once

#include "core/panelpreview.h"

#include <QFrame>
#include <QString>

#include <array>
#include <functional>
#include <vector>

class QLabel;

namespace kn4::manager {

class ManagerTexts;

// The preview of the chosen panel (MascAnteprima): its key values, its
// eight yarn colours and, for a panel without compiled code, the warning.
// The preview can be dragged like a list entry.
class PreviewView : public QFrame
{
    Q_OBJECT
public:
    // The captions in the manager's language, by text line.
    using Caption = std::function<QString(int line)>;

    explicit PreviewView(QWidget *parent = nullptr);

    void setCaptions(const Caption &caption);
    // Shows a panel; an empty path clears the preview.
    void showPanel(const QString &path, const PanelPreview &preview, const QString &name);
    void clear();
    QString panelPath() const { return m_path; }
    // The warning line as shown (empty when there is none).
    QString warningText() const;
    QString valueText(const QString &objectName) const;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QLabel *addField(int row, int column, const QString &name);
    void refreshCaptions();

    Caption m_caption;
    QString m_path;
    PanelPreview m_preview;
    bool m_hasPanel = false;
    QPoint m_pressPosition;
    QLabel *m_title = nullptr;
    QLabel *m_warning = nullptr;
    std::vector<std::pair<QLabel *, int>> m_captionLabels;
    std::array<QLabel *, PanelPreview::kColourCount> m_swatches {};
};

} // namespace kn4::manager
