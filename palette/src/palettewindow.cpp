#include "kn4/palettewindow.h"

#include "kn4/qtconvert.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>

namespace kn4 {

namespace {

const char *const kCellIndexProperty = "index";

} // namespace

PaletteWindow::PaletteWindow(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("tavolozza"));
    setWindowTitle(QStringLiteral("Tavolozza"));
    // The pick waits for one click; nothing else of the program may run a
    // second pick meanwhile.
    setWindowModality(Qt::ApplicationModal);

    for (int cell = 0; cell < ColourPalette::kCellCount; ++cell) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("Label1"));
        label->setProperty(kCellIndexProperty, cell);
        label->setGeometry(kMargin + kCellPitch * ColourPalette::cellColumn(cell),
                           kMargin + kCellPitch * ColourPalette::cellRow(cell), kCellSize, kCellSize);
        QPalette colours = label->palette();
        colours.setColor(QPalette::Window, toQColor(ColourPalette::cellColour(cell)));
        label->setPalette(colours);
        label->setAutoFillBackground(true);
        label->setFrameShape(QFrame::Box);
        label->setLineWidth(1);
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
        m_cells.append(label);
    }

    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("Shape1"));
    m_frame->setFrameShape(QFrame::Box);
    m_frame->setLineWidth(2);
    m_frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_frame->resize(kFrameSize, kFrameSize);
    m_frame->hide();

    setFixedSize(2 * kMargin + kCellPitch * (ColourPalette::kColumns - 1) + kCellSize,
                 2 * kMargin + kCellPitch * (ColourPalette::kRows - 1) + kCellSize);
}

PaletteWindow::~PaletteWindow()
{
    if (m_waitLoop)
        m_waitLoop->quit();
}

bool PaletteWindow::TestColore(std::uint8_t mode, Colour &colour, std::string &code)
{
    if (mode != ColourPalette::kModePick)
        return ColourPalette::TestColore(mode, colour, code);
    if (m_waitLoop)
        return false;

    m_palette.clearChoice();
    m_palette.markColour(colour);
    placeFrame();
    if (!m_placed && parentWidget()) {
        // First showing: over the middle of the window that asks.
        const QRect owner = parentWidget()->window()->frameGeometry();
        move(owner.center() - rect().center());
        m_placed = true;
    }
    show();
    raise();
    activateWindow();

    QEventLoop waitLoop;
    m_waitLoop = &waitLoop;
    emit pickStarted();
    if (!m_palette.hasChoice() && isVisible())
        waitLoop.exec();
    m_waitLoop = nullptr;

    const bool chosen = m_palette.takeChoice(colour, code);
    hide();
    return chosen;
}

void PaletteWindow::Label1_Click(int cell)
{
    m_palette.Label1_Click(cell);
    if (m_waitLoop && m_palette.hasChoice())
        m_waitLoop->quit();
}

bool PaletteWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        auto *cell = qobject_cast<QWidget *>(watched);
        if (cell && mouse->button() == Qt::LeftButton && cell->rect().contains(mouse->position().toPoint())) {
            Label1_Click(cell->property(kCellIndexProperty).toInt());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PaletteWindow::closeEvent(QCloseEvent *event)
{
    // Closing the window ends a waiting pick without a choice instead of
    // leaving the caller waiting for a click that can no longer come.
    if (m_waitLoop)
        m_waitLoop->quit();
    QWidget::closeEvent(event);
}

void PaletteWindow::placeFrame()
{
    const int cell = m_palette.frameCell();
    if (!ColourPalette::isCell(cell)) {
        m_frame->hide();
        return;
    }
    m_frame->move(kMargin + kCellPitch * ColourPalette::cellColumn(cell) - kFrameOffset,
                  kMargin + kCellPitch * ColourPalette::cellRow(cell) - kFrameOffset);
    m_frame->show();
    m_frame->raise();
}

} // namespace kn4
