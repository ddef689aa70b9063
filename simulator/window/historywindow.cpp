#include "historywindow.h"

#include <QLabel>
#include <QPushButton>

namespace kn4::simulator {

namespace {

constexpr int kLeft = 120;          // twips: the first carrier number stands at 360
constexpr int kNumbersTop = 480;
constexpr int kArrowTop = 720;
constexpr int kCellWidth = 300;

} // namespace

HistoryWindow::HistoryWindow(const LabelTexts &labels, QWidget *parent)
    : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("frmCronologia"));
    setWindowTitle(labels[kLabelHistory]);
    const QFont mono(QStringLiteral("Liberation Mono"), 9);

    auto *caption = new QLabel(labels[kLabelCourse], this);
    caption->setGeometry(twips(kLeft), twips(120), twips(1200), twips(285));
    m_course = new QLabel(this);
    m_course->setObjectName(QStringLiteral("Rango"));
    m_course->setFont(mono);
    m_course->setGeometry(twips(1440), twips(120), twips(1800), twips(285));
    m_course->setToolTip(labels[kLabelCourse]);

    for (int k = 1; k <= 8; ++k) {
        auto *number = new QLabel(QString::number(k), this);
        number->setObjectName(QStringLiteral("NumeroGuidafilo"));
        number->setAlignment(Qt::AlignCenter);
        number->setGeometry(twips(kCarrierPitch * k), twips(kNumbersTop), twips(kCellWidth), twips(240));
    }
    m_arrow = new QLabel(QStringLiteral("\u2191"), this);
    m_arrow->setObjectName(QStringLiteral("Freccia"));
    m_arrow->setAlignment(Qt::AlignCenter);
    m_arrow->setToolTip(labels[kLabelWorkingCarrier]);
    m_arrow->setGeometry(0, twips(kArrowTop), twips(kCellWidth), twips(285));
    m_arrow->hide();

    m_check = new QLabel(this);
    m_check->setObjectName(QStringLiteral("Controllo"));
    m_check->setFont(mono);
    m_check->setGeometry(twips(kCarrierPitch), twips(1080), twips(1500), twips(285));
    m_empty = new QLabel(this);
    m_empty->setObjectName(QStringLiteral("Vuoto"));
    m_empty->setFont(mono);
    m_empty->setGeometry(twips(2400), twips(1080), twips(900), twips(285));

    m_next = new QPushButton(labels[kLabelNext], this);
    m_next->setObjectName(QStringLiteral("Avanti"));
    m_next->setGeometry(twips(kLeft), twips(1440), twips(1400), twips(375));
    m_back = new QPushButton(labels[kLabelBack], this);
    m_back->setObjectName(QStringLiteral("indietro"));
    m_back->setGeometry(twips(1680), twips(1440), twips(1400), twips(375));
    connect(m_next, &QPushButton::clicked, this, &HistoryWindow::Avanti_Click);
    connect(m_back, &QPushButton::clicked, this, &HistoryWindow::indietro_Click);

    const int width = kCarrierPitch * 9 + 1440;
    m_row = new QLabel(this);
    m_row->setObjectName(QStringLiteral("RigaSorgente"));
    m_row->setFont(mono);
    m_row->setGeometry(twips(kLeft), twips(1920), twips(width - 2 * kLeft), twips(285));
    m_openInEditor = new QPushButton(labels[kLabelOpenInEditor], this);
    m_openInEditor->setObjectName(QStringLiteral("ApriEditor"));
    m_openInEditor->setToolTip(labels[kLabelOpenInEditorTip]);
    m_openInEditor->setGeometry(twips(kLeft), twips(2280), twips(2960), twips(375));
    m_openInEditor->setEnabled(false);
    connect(m_openInEditor, &QPushButton::clicked, this, &HistoryWindow::ApriEditor_Click);

    setFixedSize(twips(width), twips(2800));
}

void HistoryWindow::showCourse(std::int64_t course, const CourseRecord *record)
{
    m_course->setText(QString::number(record ? record->course : course));
    if (!record) {
        m_arrow->hide();
        m_check->clear();
        m_empty->clear();
        return;
    }
    if (record->carrier >= 1 && record->carrier <= 8) {
        m_arrow->move(twips(kCarrierPitch * record->carrier), m_arrow->y());
        m_arrow->show();
    } else {
        m_arrow->hide();
    }
    m_check->setText(record->mark == 'E' ? QStringLiteral("ERR") : QStringLiteral("<---->"));
    m_empty->setText(record->mark == 'V' ? QStringLiteral("VUO") : QString());
}

void HistoryWindow::showRow(const QString &row)
{
    m_row->setText(row);
    m_row->setToolTip(row);
    m_openInEditor->setEnabled(!row.isEmpty());
}

QString HistoryWindow::rowText() const
{
    return m_row->text();
}

QString HistoryWindow::courseText() const
{
    return m_course->text();
}

QString HistoryWindow::checkText() const
{
    return m_check->text();
}

QString HistoryWindow::emptyText() const
{
    return m_empty->text();
}

int HistoryWindow::arrowTwips() const
{
    return m_arrow->isVisibleTo(this) ? m_arrow->x() * 15 : -1;
}

} // namespace kn4::simulator
