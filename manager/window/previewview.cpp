#include "window/previewview.h"

#include "core/managertexts.h"
#include "window/panellistwidget.h"

#include <kn4/qtconvert.h>

#include <QApplication>
#include <QDrag>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>

namespace kn4::manager {

namespace {

// Header texts are Windows-1252 bytes in the panel file.
QString shown(const std::string &bytes)
{
    return fromCp1252(bytes);
}

// A header field as the editor shows it: without the "-" that fills it to
// its width in the compiled header.
QString field(const std::string &bytes)
{
    QString text = fromCp1252(bytes).trimmed();
    while (text.startsWith('-'))
        text.remove(0, 1);
    while (text.endsWith('-'))
        text.chop(1);
    return text;
}

struct Field
{
    const char *name;
    int caption;
    int row;
    int column;
};

constexpr Field kFields[] = {
    {"type", text::PreviewType, 0, 0},
    {"size", text::PreviewSize, 0, 1},
    {"part", text::PreviewPart, 0, 2},
    {"width", text::PreviewWidth, 1, 0},
    {"density", text::PreviewDensity, 1, 1},
    {"setUp", text::PreviewSetUp, 1, 2},
    {"border", text::PreviewBorder, 2, 0},
    {"neckline", text::PreviewNeckline, 2, 1},
    {"exit", text::PreviewExit, 2, 2},
    {"borderHeight", text::PreviewBorderHeight, 3, 0},
    {"needlesPerCm", text::PreviewNeedlesPerCm, 3, 1},
    {"coursesPerCm", text::PreviewCoursesPerCm, 3, 2},
    {"steps", text::PreviewSteps, 4, 0},
    {"courses", text::PreviewCourses, 4, 1},
};

} // namespace

PreviewView::PreviewView(QWidget *parent)
    : QFrame(parent)
{
    setObjectName("Anteprima");
    setFrameShape(QFrame::StyledPanel);
    auto *grid = new QGridLayout(this);
    m_title = new QLabel(this);
    m_title->setObjectName("previewTitle");
    QFont bold = m_title->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    m_title->setFont(bold);
    grid->addWidget(m_title, 0, 0, 1, 6);
    for (const Field &f : kFields) {
        auto *caption = new QLabel(this);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_captionLabels.emplace_back(caption, f.caption);
        auto *value = new QLabel(this);
        value->setObjectName(f.name);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setMinimumWidth(90);
        QFont valueFont = value->font();
        valueFont.setBold(true);
        value->setFont(valueFont);
        grid->addWidget(caption, f.row + 1, f.column * 2);
        grid->addWidget(value, f.row + 1, f.column * 2 + 1);
    }
    auto *coloursCaption = new QLabel(this);
    coloursCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_captionLabels.emplace_back(coloursCaption, text::PreviewColours);
    grid->addWidget(coloursCaption, 6, 0);
    auto *swatches = new QHBoxLayout;
    for (int i = 0; i < PanelPreview::kColourCount; ++i) {
        m_swatches[std::size_t(i)] = new QLabel(this);
        m_swatches[std::size_t(i)]->setObjectName(QStringLiteral("colour%1").arg(i));
        m_swatches[std::size_t(i)]->setFixedSize(24, 18);
        m_swatches[std::size_t(i)]->setFrameShape(QFrame::Box);
        swatches->addWidget(m_swatches[std::size_t(i)]);
    }
    swatches->addStretch();
    grid->addLayout(swatches, 6, 1, 1, 5);
    m_warning = new QLabel(this);
    m_warning->setObjectName("warning");
    m_warning->setStyleSheet("color: rgb(200, 0, 0); font-weight: bold;");
    grid->addWidget(m_warning, 7, 0, 1, 6);
    grid->setColumnStretch(5, 1);
    clear();
}

void PreviewView::setCaptions(const Caption &caption)
{
    m_caption = caption;
    refreshCaptions();
}

void PreviewView::refreshCaptions()
{
    if (!m_caption)
        return;
    for (auto &[label, line] : m_captionLabels)
        label->setText(m_caption(line));
    if (m_hasPanel)
        showPanel(m_path, m_preview, m_title->text());
    else
        m_title->setText(m_caption(text::PreviewCaption));
}

void PreviewView::clear()
{
    m_hasPanel = false;
    m_path.clear();
    for (const Field &f : kFields)
        findChild<QLabel *>(f.name)->clear();
    for (QLabel *swatch : m_swatches) {
        swatch->setStyleSheet({});
        swatch->setToolTip({});
    }
    m_warning->clear();
    m_title->setText(m_caption ? m_caption(text::PreviewCaption) : QString());
}

void PreviewView::showPanel(const QString &path, const PanelPreview &preview, const QString &name)
{
    clear();
    m_path = path;
    m_preview = preview;
    m_hasPanel = true;
    m_title->setText(name);
    const auto caption = [this](int line) { return m_caption ? m_caption(line) : QString(); };
    if (!preview.isPanel) {
        m_warning->setText(caption(text::PanelUnreadable));
        return;
    }
    const CompiledHeader &h = preview.header;
    const QString right = caption(text::PreviewRight);
    const QString left = caption(text::PreviewLeft);
    // A panel read from its source shows one value for a one-sided set-up;
    // the compiled header always holds both sides.
    const bool bothSides = preview.hasHeader || h.setUp == 2;
    const auto sides = [&](int r, int l) {
        return bothSides ? QStringLiteral("%1%2 %3%4").arg(r).arg(right).arg(l).arg(left) : QString::number(r);
    };
    const auto set = [this](const char *field, const QString &value) { findChild<QLabel *>(field)->setText(value); };
    set("type", field(h.type));
    set("size", field(h.size));
    set("part", field(h.part));
    set("width", QString::number(h.width));
    set("density", field(h.density));
    set("setUp", QString::number(h.setUp));
    set("border", sides(h.borderRight, h.borderLeft));
    set("neckline", sides(h.necklineRight, h.necklineLeft));
    set("exit", shown(preview.exitValue));
    set("borderHeight", shown(preview.borderHeight));
    set("needlesPerCm", shown(preview.needlesPerCm));
    set("coursesPerCm", shown(preview.coursesPerCm));
    set("steps", preview.hasHeader ? QString::number(h.totalSteps) : QStringLiteral("--"));
    set("courses", preview.hasHeader ? QString::number(h.courses) : QStringLiteral("--"));
    for (int i = 0; i < PanelPreview::kColourCount; ++i) {
        QLabel *swatch = m_swatches[std::size_t(i)];
        if (const auto colour = preview.colours[std::size_t(i)]) {
            swatch->setStyleSheet(QStringLiteral("background-color: %1;").arg(toQColor(*colour).name()));
            swatch->setToolTip(shown(preview.colourCodes.substr(std::size_t(i), 1)));
        }
    }
    if (!preview.compiled)
        m_warning->setText(caption(text::PartHasErrors));
    else if (preview.machine.verdict == MachineCheck::Verdict::EdgesCross)
        m_warning->setText(caption(text::PreviewCannotKnit).arg(preview.machine.course));
}

QString PreviewView::warningText() const
{
    return m_warning->text();
}

QString PreviewView::valueText(const QString &objectName) const
{
    const QLabel *label = findChild<QLabel *>(objectName);
    return label != nullptr ? label->text() : QString();
}

void PreviewView::mousePressEvent(QMouseEvent *event)
{
    m_pressPosition = event->position().toPoint();
    QFrame::mousePressEvent(event);
}

void PreviewView::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || m_path.isEmpty() ||
        (event->position().toPoint() - m_pressPosition).manhattanLength() < QApplication::startDragDistance())
        return;
    auto *drag = new QDrag(this);
    drag->setMimeData(PanelDrag::toMimeData({m_path}, objectName()));
    drag->exec(Qt::CopyAction);
}

} // namespace kn4::manager
