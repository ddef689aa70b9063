#include "paneldatawindow.h"

#include "kn4/cp1252.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include <string_view>

namespace kn4::simulator {

namespace {

// The rows of the window, in order.
constexpr int kRows[] = {kLabelFileName,     kLabelType,          kLabelSize,           kLabelPart,
                         kLabelDensity,      kLabelRibRight,      kLabelRibLeft,        kLabelNecklineRight,
                         kLabelNecklineLeft, kLabelSetUp,         kLabelCoursesPerCm,   kLabelBorderHeight,
                         kLabelNeedlesPerCm, kLabelMachineSteps,  kLabelCoursesKnitted, kLabelStepsWithoutCourse,
                         kLabelTotalLength,  kLabelMaximumWidth};

QString shown(std::string_view bytes)
{
    return QString::fromStdString(cp1252ToUtf8(bytes)).trimmed();
}

// The type, size and part stand at fixed places of the compiled header
// line, as the editor fills them to 5, 2 and 10 characters.
QString headerPiece(std::string_view line, std::size_t from, std::size_t length)
{
    const std::size_t comma = line.find(',');
    const std::string_view first = line.substr(0, comma);
    if (from >= first.size())
        return {};
    return shown(first.substr(from, length));
}

QString number(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

} // namespace

PanelDataWindow::PanelDataWindow(const LabelTexts &labels, QWidget *parent)
    : QWidget(parent, Qt::Tool), m_labels(labels)
{
    setObjectName(QStringLiteral("frmDati"));
    setWindowTitle(labels[kLabelPanelDataTitle]);
    auto *grid = new QGridLayout(this);
    int row = 0;
    for (int slot : kRows) {
        if (slot == kLabelMachineSteps) {
            m_heading = new QLabel(this);
            m_heading->setObjectName(QStringLiteral("Riepilogo"));
            QFont bold = m_heading->font();
            bold.setBold(true);
            m_heading->setFont(bold);
            grid->addWidget(m_heading, row++, 0, 1, 2);
        }
        auto *caption = new QLabel(labels[slot], this);
        auto *value = new QLabel(this);
        value->setObjectName(QStringLiteral("Valore"));
        value->setProperty("slot", slot);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(caption, row, 0);
        grid->addWidget(value, row++, 1);
        m_values.emplace_back(slot, value);
    }
    auto *notes = new QPushButton(labels[kLabelNotes], this);
    notes->setObjectName(QStringLiteral("Note"));
    grid->addWidget(notes, row, 1, Qt::AlignRight);
    connect(notes, &QPushButton::clicked, this, &PanelDataWindow::Note_Click);
}

void PanelDataWindow::fill(const PanelHead &head, const PieceMeasures &measures, int view)
{
    const std::string_view line = head.headerLine();
    const bool inCm = view == 1 && head.hasMeasures();
    const QString courses = m_labels[kLabelCourses];
    const QString needles = m_labels[kLabelNeedles];
    const QString cm = m_labels[kLabelCentimetres];
    for (auto &[slot, label] : m_values) {
        QString text;
        switch (slot) {
        case kLabelFileName: text = QString::fromStdString(head.panelPath()); break;
        case kLabelType: text = headerPiece(line, 0, 5); break;
        case kLabelSize: text = headerPiece(line, 6, 2); break;
        case kLabelPart: text = headerPiece(line, 9, 10); break;
        case kLabelDensity: text = shown(head.density()); break;
        case kLabelRibRight: text = QString::number(head.ribRight()); break;
        case kLabelRibLeft: text = QString::number(head.ribLeft()); break;
        case kLabelNecklineRight: text = QString::number(head.necklineRight()); break;
        case kLabelNecklineLeft: text = QString::number(head.necklineLeft()); break;
        case kLabelSetUp:
            text = QString::number(head.setup());
            if (head.setup() == 1)
                text += QStringLiteral(" = ") + m_labels[kLabelSymmetric];
            else if (head.setup() == 2)
                text += QStringLiteral(" = ") + m_labels[kLabelAsymmetric];
            break;
        case kLabelCoursesPerCm: text = QString::number(head.coursesPerCm()); break;
        case kLabelBorderHeight: text = QString::number(head.borderHeight()) + QLatin1Char(' ') + cm; break;
        case kLabelNeedlesPerCm: text = QString::number(head.needlesPerCm()); break;
        case kLabelMachineSteps: text = QString::number(head.steps()); break;
        case kLabelCoursesKnitted: text = QString::number(head.courses()); break;
        case kLabelStepsWithoutCourse: text = QString::number(qint64(head.steps()) - qint64(head.courses())); break;
        case kLabelTotalLength:
            text = inCm ? number(double(measures.courses) / head.coursesPerCm(), 1) + QLatin1Char(' ') + cm
                        : QString::number(measures.courses) + QLatin1Char(' ') + courses;
            break;
        case kLabelMaximumWidth:
            text = inCm ? number(measures.maxWidth / head.needlesPerCm(), 1) + QLatin1Char(' ') + cm
                        : QString::number(measures.maxWidth) + QLatin1Char(' ') + needles;
            break;
        default: break;
        }
        label->setText(text);
    }
    m_heading->setText(m_labels[inCm ? kLabelMeasuresInCm : kLabelMeasuresInNeedles]);
}

QString PanelDataWindow::value(int slot) const
{
    for (const auto &[s, label] : m_values)
        if (s == slot)
            return label->text();
    return {};
}

QString PanelDataWindow::heading() const
{
    return m_heading->text();
}

} // namespace kn4::simulator
