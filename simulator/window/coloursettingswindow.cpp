#include "coloursettingswindow.h"

#include "simulator/simulationsetup.h"

#include <QGridLayout>

namespace kn4::simulator {

namespace {

// Carrier captions in intarsia: the base, the two intarsia areas, the
// thread; the other carriers take no part.
const char *const kIntarsiaCarriers[SimSettings::kCarriers] = {"C.B", "R.1", "R.2", "Fil",
                                                               "---", "---", "---", "---"};

ClickLabel *swatch(QWidget *parent, const QString &name, int index, const QString &tip)
{
    auto *label = new ClickLabel(parent);
    label->setObjectName(name);
    label->setProperty("index", index);
    label->setFixedSize(twips(735), twips(285));
    label->setFrameShape(QFrame::Box);
    label->setAutoFillBackground(true);
    label->setCursor(Qt::PointingHandCursor);
    label->setToolTip(tip);
    return label;
}

} // namespace

ColourSettingsWindow::ColourSettingsWindow(SimSettings &settings, const LabelTexts &labels,
                                           ColourPicker picker, QWidget *parent)
    : QWidget(parent, Qt::Tool), m_settings(settings), m_labels(labels), m_picker(std::move(picker))
{
    setObjectName(QStringLiteral("frmColori"));
    setWindowTitle(labels[kLabelColourSettingsTitle]);

    auto *grid = new QGridLayout(this);
    auto *backgroundCaption = new QLabel(labels[kLabelBackground], this);
    backgroundCaption->setObjectName(QStringLiteral("LabelFondo"));
    m_background = swatch(this, QStringLiteral("ColoreFondo"), 0, labels[kLabelColourTip]);
    connect(m_background, &ClickLabel::clicked, this, [this] { Colore_Click(0); });
    grid->addWidget(backgroundCaption, 0, 0);
    grid->addWidget(m_background, 0, 1);

    for (int k = 0; k < SimSettings::kCarriers; ++k) {
        const int row = k + 1;
        m_colourCaptions[k] = new QLabel(labels[kLabelColour] + QStringLiteral("   %1   ").arg(k + 1), this);
        m_colourCaptions[k]->setObjectName(QStringLiteral("LabelColore"));
        m_swatches[k] = swatch(this, QStringLiteral("Colore"), k + 1, labels[kLabelColourTip]);
        connect(m_swatches[k], &ClickLabel::clicked, this, [this, k] { Colore_Click(k + 1); });
        m_carrierCaptions[k] = new QLabel(labels[kLabelCarrier] + QStringLiteral("   %1").arg(k + 1), this);
        m_carrierCaptions[k]->setObjectName(QStringLiteral("Guidafilo"));
        auto *startCaption = new QLabel(labels[kLabelStartSide], this);
        m_sides[k] = new ClickLabel(this);
        m_sides[k]->setObjectName(QStringLiteral("Lato"));
        m_sides[k]->setProperty("index", k + 1);
        m_sides[k]->setFrameShape(QFrame::Panel);
        m_sides[k]->setFrameShadow(QFrame::Raised);
        m_sides[k]->setAlignment(Qt::AlignCenter);
        m_sides[k]->setMinimumWidth(twips(900));
        m_sides[k]->setCursor(Qt::PointingHandCursor);
        m_sides[k]->setToolTip(labels[kLabelStartSideTip]);
        connect(m_sides[k], &ClickLabel::clicked, this, [this, k] { Lato_Click(k + 1); });
        grid->addWidget(m_colourCaptions[k], row, 0);
        grid->addWidget(m_swatches[k], row, 1);
        grid->addWidget(m_carrierCaptions[k], row, 2);
        grid->addWidget(startCaption, row, 3);
        grid->addWidget(m_sides[k], row, 4);
    }

    auto *countCaption = new QLabel(labels[kLabelCountStart], this);
    m_countStart = new ClickLabel(this);
    m_countStart->setObjectName(QStringLiteral("InizioConteggio"));
    m_countStart->setFrameShape(QFrame::Panel);
    m_countStart->setFrameShadow(QFrame::Raised);
    m_countStart->setCursor(Qt::PointingHandCursor);
    connect(m_countStart, &ClickLabel::clicked, this, &ColourSettingsWindow::InizioConteggio_Click);
    grid->addWidget(countCaption, SimSettings::kCarriers + 1, 0);
    grid->addWidget(m_countStart, SimSettings::kCarriers + 1, 1, 1, 4);

    m_mode = new ClickLabel(this);
    m_mode->setObjectName(QStringLiteral("Modo"));
    m_mode->setFrameShape(QFrame::Panel);
    m_mode->setFrameShadow(QFrame::Raised);
    m_mode->setCursor(Qt::PointingHandCursor);
    m_mode->setToolTip(labels[kLabelStripeModeTip]);
    connect(m_mode, &ClickLabel::clicked, this, &ColourSettingsWindow::Modo_Click);
    grid->addWidget(m_mode, SimSettings::kCarriers + 2, 0, 1, 5);

    SetModo(0);
}

QString ColourSettingsWindow::sideText(std::uint8_t side)
{
    switch (side) {
    case 1:
        return QStringLiteral("<----");
    case 2:
        return QStringLiteral("---->");
    default:
        return QStringLiteral("NO");
    }
}

void ColourSettingsWindow::SetModo(int Cambio)
{
    if (Cambio == 1)
        m_settings.stripeMode = std::uint8_t((m_settings.stripeMode + 1) % 3);

    SimulationSetup::applyStripeMode(m_settings);
    const int modeLabel = m_settings.stripeMode == 0   ? kLabelStripeNormal
                          : m_settings.stripeMode == 1 ? kLabelStripeEmptyCourse
                                                       : kLabelIntarsia;
    m_mode->setText(m_labels[modeLabel]);

    paintSwatch(m_background, m_settings.background);
    for (int k = 0; k < SimSettings::kCarriers; ++k) {
        paintSwatch(m_swatches[k], m_settings.colours[k]);
        m_sides[k]->setText(sideText(m_settings.carrierSides[k]));
        m_carrierCaptions[k]->setText(m_settings.stripeMode == 2
                                          ? QString::fromLatin1(kIntarsiaCarriers[k])
                                          : m_labels[kLabelCarrier] + QStringLiteral("   %1").arg(k + 1));
    }
    m_countStart->setText(m_labels[m_settings.countStart == 1 ? kLabelOddCoursesRight : kLabelOddCoursesLeft]);
}

void ColourSettingsWindow::Lato_Click(int carrier)
{
    if (carrier < 1 || carrier > SimSettings::kCarriers)
        return;
    std::uint8_t &side = m_settings.carrierSides[carrier - 1];
    side = std::uint8_t((side + 1) % 3);
    changed();
}

void ColourSettingsWindow::InizioConteggio_Click()
{
    m_settings.countStart = m_settings.countStart == 1 ? 0 : 1;
    changed();
}

void ColourSettingsWindow::Colore_Click(int index)
{
    if (index < 0 || index > SimSettings::kCarriers || !m_picker)
        return;
    Colour &target = index == 0 ? m_settings.background : m_settings.colours[index - 1];
    Colour colour = target;
    if (!m_picker(colour))
        return;
    target = colour;
    changed();
}

void ColourSettingsWindow::Modo_Click()
{
    SetModo(1);
    Q_EMIT settingsChanged();
}

void ColourSettingsWindow::changed()
{
    SetModo(0);
    Q_EMIT settingsChanged();
}

} // namespace kn4::simulator
