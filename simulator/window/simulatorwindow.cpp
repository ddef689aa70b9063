#include "simulatorwindow.h"

#include "coloursettingswindow.h"
#include "coursepainter.h"
#include "editorhandover.h"
#include "historywindow.h"
#include "noteswindow.h"
#include "pictureview.h"
#include "stripeerrorswindow.h"
#include "swatch.h"
#include "weightwindow.h"

#include "simulator/simulationsetup.h"

#include "kn4/cp1252.h"
#include "kn4/palettewindow.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace kn4::simulator {

namespace {

const char kProgramTitle[] = "Simulatore " KN4_VERSION;

// The layout of the window for a screen resolution: "1" high (10700 twips
// wide), "0" low, "3" the print preview, a page of A4 proportions.
struct Layout
{
    int pictureSize;
    int pictureX;
    int pictureY;
    int pageWidth;
    int pageHeight;
};

Layout layoutFor(const std::string &resolution)
{
    if (resolution == "3")
        return {520, 50, 44, 620, 877};
    if (resolution == "0")
        return {420, 8, 28, 436, 452};
    return {580, 8, 28, 596, 612};
}

constexpr int kButtonWidth = 109;
constexpr int kButtonHeight = 40;
constexpr int kButtonPitch = 46;
constexpr int kReadoutHeight = 24;
constexpr int kSwatchSize = 20;
// The title bar and frame the window manager adds, until the window shows.
constexpr int kFrameAllowance = 40;
// A print that takes longer than this shows its progress.
constexpr int kProgressDelayMs = 400;

// Follows the run to measure the piece: its widest course and its length.
class MeasureObserver : public KnitObserver
{
public:
    void courseDrawn(const DrawCall &, const KnitState &state) override
    {
        measures.maxWidth = std::max(measures.maxWidth, state.leftEdge + state.rightEdge);
    }
    void finished(const KnitEngine &engine) override
    {
        measures.courses = std::max<std::int64_t>(0, engine.state().course - 1);
    }

    PieceMeasures measures;
};

QString shown(std::string_view bytes)
{
    return QString::fromStdString(cp1252ToUtf8(bytes));
}

// A caption too wide for its button is broken at the blank nearest its middle.
QString fitted(const QPushButton *button, const QString &text)
{
    if (button->fontMetrics().horizontalAdvance(text) <= kButtonWidth - 10)
        return text;
    int best = -1;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char(' ') &&
            (best < 0 || std::abs(i - text.size() / 2) < std::abs(best - text.size() / 2)))
            best = i;
    }
    if (best < 0)
        return text;
    QString broken = text;
    broken[best] = QLatin1Char('\n');
    return broken;
}

// The row beside a read-out's course, when one knitted it.
QString withRow(const QString &row)
{
    return row.isEmpty() ? row : QStringLiteral("   ") + row;
}

QString oneDecimal(double value)
{
    return QString::number(value, 'f', 1);
}

} // namespace

SimulatorWindow::SimulatorWindow(SimulatorStartup &startup, QWidget *parent)
    : QMainWindow(parent), m_head(std::move(startup.head)), m_rows(std::move(startup.rows)),
      m_languageFolder(startup.arguments.settingsDir),
      m_binaryDirectory(QCoreApplication::applicationDirPath().toStdString()),
      m_simLabels(std::move(startup.labels)), m_settingsPath(startup.settingsPath)
{
    setObjectName(QStringLiteral("frmSimulatore"));
    QStringList texts;
    for (int slot = 0; slot <= SimLabels::kSlotCount; ++slot)
        texts << shown(m_simLabels.text(slot));
    m_labels = LabelTexts(texts);

    // The settings, the panel's own colour codes over colours 1..8 and the
    // stripe mode's colours, as kn4sim takes them.
    SimulationSetup::prepare(m_engine, m_head, startup.settings.settings);

    buildControls();
    applyLabels();
    layOut();
    updateTitle();

    m_engine.rigato(0, 1, 100);
    rerun();
    updateTitle();
    m_visualizzazione->setEnabled(m_head.hasMeasures());
    m_panelData->hide();
}

SimulatorWindow::~SimulatorWindow() = default;

void SimulatorWindow::buildControls()
{
    // The form scrolls when the screen is lower than it (the print
    // preview's page is taller than many laptop screens).
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("Scorrimento"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(false);
    setCentralWidget(m_scroll);
    auto *central = new QWidget;
    central->setObjectName(QStringLiteral("Form"));
    m_scroll->setWidget(central);
    m_form = central;

    m_page = new QWidget(central);
    m_page->setObjectName(QStringLiteral("Pagina"));
    m_page->setAutoFillBackground(true);
    m_picture = new PictureView(m_page);
    connect(m_picture, &PictureView::mousePressed, this, &SimulatorWindow::Picture1_MouseDown);
    connect(m_picture, &PictureView::mouseReleased, this, &SimulatorWindow::Picture1_MouseUp);
    connect(m_picture, &PictureView::mouseMoved, this, &SimulatorWindow::Picture1_MouseMove);

    m_fileName = new QLabel(m_page);
    m_fileName->setObjectName(QStringLiteral("NomeFile"));
    m_pageText = new QLabel(m_page);
    m_pageText->setObjectName(QStringLiteral("TestoPagina"));
    m_pageText->setFont(QFont(QStringLiteral("Liberation Mono"), 8));
    m_pageText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_pageText->setStyleSheet(QStringLiteral("color: black;"));
    for (int k = 0; k < 8; ++k) {
        for (auto *swatches : {&m_leftSwatches, &m_rightSwatches}) {
            auto *swatch = new QLabel(m_page);
            swatch->setObjectName(swatches == &m_leftSwatches ? QStringLiteral("LatoSinistro")
                                                              : QStringLiteral("LatoDestro"));
            swatch->setProperty("index", k + 1);
            swatch->setFrameShape(QFrame::Box);
            swatch->setAlignment(Qt::AlignCenter);
            swatch->setText(QString::number(k + 1));
            paintSwatch(swatch, 0xFFFFFF);
            (*swatches)[std::size_t(k)] = swatch;
        }
    }

    auto button = [&](const char *name, void (SimulatorWindow::*handler)()) {
        auto *b = new QPushButton(central);
        b->setObjectName(QString::fromLatin1(name));
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    m_datiTelo = button("DatiTelo", &SimulatorWindow::DatiTelo_Click);
    m_visualizzazione = button("Visualizzazione", &SimulatorWindow::Visualizzazione_Click);
    m_grandezza = button("Grandezza", &SimulatorWindow::Grandezza_Click);
    m_controlloRigati = button("ControlloRigati", &SimulatorWindow::ControlloRigati_Click);
    m_calcoloPeso = button("CalcoloPeso", &SimulatorWindow::CalcoloPeso_Click);
    m_anteprima = button("Anteprima", &SimulatorWindow::Anteprima_Click);
    m_stampa = button("Stampa", &SimulatorWindow::Stampa_Click);

    m_needleReadout = new QLabel(central);
    m_needleReadout->setObjectName(QStringLiteral("LetturaAghi"));
    m_courseReadout = new QLabel(central);
    m_courseReadout->setObjectName(QStringLiteral("LetturaRanghi"));

    QMenu *settingsMenu = menuBar()->addMenu(QString());
    settingsMenu->setObjectName(QStringLiteral("Settaggio"));
    QAction *colours = settingsMenu->addAction(QString());
    colours->setObjectName(QStringLiteral("ColoriGuidafili"));
    connect(colours, &QAction::triggered, this, &SimulatorWindow::ColoriGuidafili_Click);
    QMenu *resolution = settingsMenu->addMenu(QString());
    resolution->setObjectName(QStringLiteral("Risoluzione"));
    auto *group = new QActionGroup(this);
    m_alta = resolution->addAction(QString());
    m_alta->setObjectName(QStringLiteral("Alta"));
    m_bassa = resolution->addAction(QString());
    m_bassa->setObjectName(QStringLiteral("Bassa"));
    for (QAction *action : {m_alta, m_bassa}) {
        action->setCheckable(true);
        group->addAction(action);
    }
    connect(m_alta, &QAction::triggered, this, &SimulatorWindow::Alta_Click);
    connect(m_bassa, &QAction::triggered, this, &SimulatorWindow::Bassa_Click);

    m_panelData = new PanelDataWindow(m_labels, this);
    m_notes = new NotesWindow(m_labels, this);
    m_notes->setNotes(m_head.tail());
    connect(m_panelData, &PanelDataWindow::Note_Click, this, [this] { showBeside(m_notes, 420); });
    m_history = new HistoryWindow(m_labels, this);
    connect(m_history, &HistoryWindow::Avanti_Click, this, &SimulatorWindow::Avanti_Click);
    connect(m_history, &HistoryWindow::indietro_Click, this, &SimulatorWindow::indietro_Click);
    connect(m_history, &HistoryWindow::ApriEditor_Click, this, &SimulatorWindow::ApriEditor_Click);
    m_stripeErrors = new StripeErrorsWindow(m_labels, this);
    connect(m_stripeErrors, &StripeErrorsWindow::courseChosen, this, &SimulatorWindow::showStripeError);
    m_colourSettings = new ColourSettingsWindow(
        m_engine.settings(), m_labels,
        [this](Colour &colour) {
            std::string code;
            return paletteWindow().TestColore(ColourPalette::kModePick, colour, code);
        },
        this);
    connect(m_colourSettings, &ColourSettingsWindow::settingsChanged, this,
            &SimulatorWindow::carrierSettingsChanged);
}

void SimulatorWindow::applyLabels()
{
    m_datiTelo->setText(fitted(m_datiTelo, label(kLabelPanelData)));
    m_visualizzazione->setText(fitted(m_visualizzazione, label(m_engine.drawingView().view == 1
                                                                   ? kLabelViewCentimetres
                                                                   : kLabelViewNeedles)));
    m_grandezza->setText(fitted(m_grandezza, label(kLabelInitialSize)));
    m_controlloRigati->setText(fitted(m_controlloRigati, label(kLabelStripeCheck)));
    m_calcoloPeso->setText(fitted(m_calcoloPeso, label(inPrintPreview() ? kLabelWeightInPreview : kLabelWeight)));
    m_anteprima->setText(fitted(m_anteprima, label(kLabelPrintPreview)));
    m_stampa->setText(fitted(m_stampa, label(kLabelPrint)));
    auto *settingsMenu = findChild<QMenu *>(QStringLiteral("Settaggio"));
    settingsMenu->setTitle(label(kLabelSettingsMenu));
    findChild<QAction *>(QStringLiteral("ColoriGuidafili"))->setText(label(kLabelColoursAndCarriers));
    findChild<QMenu *>(QStringLiteral("Risoluzione"))->setTitle(label(kLabelScreenResolution));
    m_alta->setText(label(kLabelHigh));
    m_bassa->setText(label(kLabelLow));
    m_fileName->setToolTip(label(kLabelFileNameTip) + QStringLiteral("  ") +
                           QString::fromStdString(m_head.panelPath()));
    m_picture->setToolTip(label(kLabelPictureTip));
    m_needleReadout->setToolTip(label(kLabelNeedleReadoutTip));
    m_courseReadout->setToolTip(label(kLabelCourseReadoutTip));
}

void SimulatorWindow::layOut()
{
    const SimSettings &settings = m_engine.settings();
    const bool preview = inPrintPreview();
    const Layout l = layoutFor(settings.resolution);

    m_page->setGeometry(0, 0, l.pageWidth, l.pageHeight);
    QPalette pagePalette = m_page->palette();
    pagePalette.setColor(QPalette::Window, preview ? QColor(Qt::white) : palette().color(QPalette::Window));
    m_page->setPalette(pagePalette);
    m_picture->setGeometry(l.pictureX, l.pictureY, l.pictureSize, l.pictureSize);
    m_fileName->setGeometry(l.pictureX, 4, l.pictureSize, l.pictureY - 8);
    const QString path = QString::fromStdString(m_head.panelPath());
    m_fileName->setText(preview ? path.toUpper() : path);
    m_fileName->setStyleSheet(preview ? QStringLiteral("color: black; font-weight: bold;") : QString());

    for (int k = 0; k < 8; ++k) {
        const int y = l.pictureY + 40 + k * (kSwatchSize + 16);
        m_leftSwatches[std::size_t(k)]->setGeometry(l.pictureX - kSwatchSize - 12, y, kSwatchSize, kSwatchSize);
        m_rightSwatches[std::size_t(k)]->setGeometry(l.pictureX + l.pictureSize + 12, y, kSwatchSize, kSwatchSize);
        m_leftSwatches[std::size_t(k)]->setVisible(preview);
        m_rightSwatches[std::size_t(k)]->setVisible(preview);
    }
    const int textTop = l.pictureY + l.pictureSize + 12;
    m_pageText->setGeometry(l.pictureX, textTop, l.pictureSize, l.pageHeight - textTop - 8);
    m_pageText->setVisible(preview);

    int y = l.pictureY;
    for (QPushButton *b : {m_datiTelo, m_visualizzazione, m_grandezza, m_controlloRigati, m_calcoloPeso,
                           m_anteprima, m_stampa}) {
        b->setGeometry(l.pageWidth + 4, y, kButtonWidth, kButtonHeight);
        y += kButtonPitch;
    }
    m_needleReadout->setGeometry(8, l.pageHeight + 2, 220, kReadoutHeight - 4);
    // The course read-out names the row that knitted it too: it takes the
    // rest of the line.
    m_courseReadout->setGeometry(236, l.pageHeight + 2, l.pageWidth + kButtonWidth - 236, kReadoutHeight - 4);

    m_alta->setChecked(settings.savedResolution == "1");
    m_bassa->setChecked(settings.savedResolution == "0");
    m_calcoloPeso->setText(fitted(m_calcoloPeso, label(preview ? kLabelWeightInPreview : kLabelWeight)));

    // The markers follow the pointer on screen; they are no part of the page.
    m_picture->setMarkersShown(!preview);

    const int width = l.pageWidth + 4 + kButtonWidth + 4;
    const int height = l.pageHeight + kReadoutHeight;
    m_form->setFixedSize(width, height);
    fitToScreen(QSize(width, height));
}

void SimulatorWindow::fitToScreen(QSize form)
{
    const int menu = menuBar()->sizeHint().height();
    QSize window(form.width(), form.height() + menu);
    if (const QScreen *screen = this->screen()) {
        // What the screen leaves for the window, less its frame (the title
        // bar, guessed before the window first shows).
        const QRect available = screen->availableGeometry();
        const int frame = isVisible() ? frameGeometry().height() - geometry().height() : kFrameAllowance;
        const int room = available.height() - std::max(frame, 0);
        if (window.height() > room && room > menu) {
            window.setHeight(room);
            window.setWidth(form.width() + style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        }
    }
    m_scroll->setVerticalScrollBarPolicy(window.height() < form.height() + menu ? Qt::ScrollBarAsNeeded
                                                                                 : Qt::ScrollBarAlwaysOff);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFixedSize(window);
    const QScreen *screen = this->screen();
    if (screen && isVisible() && frameGeometry().bottom() > screen->availableGeometry().bottom())
        move(x(), screen->availableGeometry().top());
}

void SimulatorWindow::updateTitle()
{
    setWindowTitle(QString::fromLatin1(kProgramTitle) + QStringLiteral("  File > ") +
                   QString::fromStdString(m_head.panelPath()));
}

void SimulatorWindow::rerun()
{
    SimSettings &settings = m_engine.settings();
    DrawingView &view = m_engine.drawingView();
    view.scale = settings.scale;
    view.printPreview = inPrintPreview();

    MeasureObserver observer;
    m_engine.setObserver(&observer);
    m_engine.maglia();
    m_engine.setObserver(nullptr);
    m_measures = observer.measures;
    ++m_runs;

    m_picture->setDrawing(m_engine.drawing());
    // The stripe check reads the course records, which intarsia does not keep.
    m_controlloRigati->setEnabled(settings.stripeMode != 2);
    if (m_history->isVisible())
        showHistoryAt(m_historyPosition);
    if (m_panelData->isVisible())
        m_panelData->fill(m_head, m_measures, view.view);
    if (inPrintPreview())
        updatePageTexts();
}

void SimulatorWindow::Picture1_MouseDown(Qt::MouseButton, QPointF units)
{
    DrawingView &view = m_engine.drawingView();
    if (units.x() < PictureView::kPanStrip) {
        view.centreX += kPanStep;
        rerun();
    }
    if (units.x() > kDrawingAreaSize - PictureView::kPanStrip) {
        view.centreX -= kPanStep;
        rerun();
    }
    if (units.y() < PictureView::kPanStrip) {
        view.baseY += kPanStep;
        rerun();
    }
    if (units.y() > kDrawingAreaSize - PictureView::kPanStrip) {
        // The piece is never pushed below its start: the base line stops at 8000.
        if (view.baseY > DrawingView::kBaseY) {
            view.baseY -= kPanStep;
            rerun();
        }
    }
}

void SimulatorWindow::Picture1_MouseUp(Qt::MouseButton button, QPointF units)
{
    if (!(units.x() > kZoomMargin && units.x() < kDrawingAreaSize - kZoomMargin && units.y() > kZoomMargin &&
          units.y() < kDrawingAreaSize - kZoomMargin))
        return;
    SimSettings &settings = m_engine.settings();
    if (button == Qt::LeftButton && settings.scale < kMaxScale)
        settings.scale = std::int16_t(settings.scale + kZoomStep);
    else if (button == Qt::RightButton && settings.scale >= 2 * kZoomStep)
        settings.scale = std::int16_t(settings.scale - kZoomStep);
    rerun();
}

void SimulatorWindow::Picture1_MouseMove(QPointF units)
{
    const DrawingView &view = m_engine.drawingView();
    const double scale = std::max(1, view.scale);
    const double needles = (units.x() - view.centreX) / scale;
    const double courses = (units.y() - view.baseY) / scale;
    // The course under the pointer: the integer part, so the band of course
    // 1 just above the base line reads 0.
    std::int64_t riga = std::int64_t(std::clamp(courses, -1e15, 1e15));
    const std::int64_t drawn = 1 - riga;
    DatiRighe(riga);
    if (view.view == 1 && m_head.hasMeasures()) {
        m_needleReadout->setText(oneDecimal(needles / m_head.needlesPerCm()) + QLatin1Char(' ') +
                                 label(kLabelCentimetres));
        m_courseReadout->setText(oneDecimal(courses / m_head.coursesPerCm()) + QLatin1Char(' ') +
                                 label(kLabelCentimetres) + withRow(rowText(riga)));
    } else {
        // Above the base line the read-out counts upwards with a minus sign;
        // its number is the course the history window shows.
        m_needleReadout->setText(QString::number(std::llround(needles)) + QStringLiteral(" = ") +
                                 label(kLabelNeedles));
        m_courseReadout->setText(QString::number(-drawn) + QStringLiteral(" = ") + label(kLabelCourses) +
                                 withRow(rowText(riga)));
    }
    m_picture->moveVerticalMarker(units.x());
    m_picture->moveHorizontalMarker(units.y());
}

void SimulatorWindow::DatiRighe(std::int64_t &riga)
{
    m_historyPosition = riga;
    // In view 1 the welt's courses come first in the picture; the records
    // count the piece's own courses.
    const std::int64_t course = m_engine.recordCourse(1 - riga);
    const CourseRecord *record = m_engine.record(course);
    updateSwatches(record);
    m_history->showCourse(course, record);
    m_history->showRow(rowText(course));
    m_historyCourse = course;
    riga = course;
}

QString SimulatorWindow::rowText(std::int64_t course) const
{
    return shown(m_rows.describe(course, m_simLabels.text(kLabelRow)));
}

void SimulatorWindow::ApriEditor_Click()
{
    const CourseRows::Row *row = m_rows.rowOfCourse(m_historyCourse);
    if (row == nullptr)
        return;
    const EditorHandover::Result result =
        EditorHandover::request(EditorHandover::programDirectoryOf(m_languageFolder), m_binaryDirectory,
                                m_head.panelPath(), row->line);
    if (result.outcome == EditorHandover::Outcome::Failed)
        showMessage(label(kLabelOpenInEditor), label(kLabelManagerNotStarted) + QLatin1Char('\n') + result.error,
                    true);
}

void SimulatorWindow::showHistoryAt(std::int64_t riga)
{
    DatiRighe(riga);
}

void SimulatorWindow::updateSwatches(const CourseRecord *record)
{
    const SimSettings &settings = m_engine.settings();
    for (std::size_t k = 0; k < 8; ++k) {
        const std::uint8_t side = record ? record->sides[k] : 0;
        paintSwatch(m_leftSwatches[k], side == 1 ? settings.colours[k] : 0xFFFFFF);
        paintSwatch(m_rightSwatches[k], side == 2 ? settings.colours[k] : 0xFFFFFF);
    }
}

void SimulatorWindow::Avanti_Click()
{
    std::int64_t riga = m_historyPosition - 1;
    const std::int64_t position = riga;
    DatiRighe(riga);
    const DrawingView &view = m_engine.drawingView();
    m_picture->moveHorizontalMarker(view.baseY + double(view.scale) * double(position));
}

void SimulatorWindow::indietro_Click()
{
    std::int64_t riga = m_historyPosition + 1;
    const std::int64_t position = riga;
    DatiRighe(riga);
    const DrawingView &view = m_engine.drawingView();
    m_picture->moveHorizontalMarker(view.baseY + double(view.scale) * double(position));
}

void SimulatorWindow::DatiTelo_Click()
{
    m_panelData->fill(m_head, m_measures, m_engine.drawingView().view);
    showBeside(m_panelData);
}

void SimulatorWindow::Visualizzazione_Click()
{
    DrawingView &view = m_engine.drawingView();
    view.view = view.view == 1 ? 0 : 1;
    m_visualizzazione->setText(
        fitted(m_visualizzazione, label(view.view == 1 ? kLabelViewCentimetres : kLabelViewNeedles)));
    m_engine.resetToStart();
    rerun();
    m_panelData->fill(m_head, m_measures, view.view);
}

void SimulatorWindow::Grandezza_Click()
{
    DrawingView &view = m_engine.drawingView();
    view.centreX = DrawingView::kCentreX;
    view.baseY = DrawingView::kBaseY;
    m_engine.settings().scale = m_engine.settings().savedScale;
    m_engine.resetToStart();
    rerun();
}

void SimulatorWindow::ControlloRigati_Click()
{
    if (m_engine.settings().stripeMode == 2)
        return;
    m_history->setWindowTitle(label(kLabelStripeCheckTitle));
    showBeside(m_history);
    const std::vector<std::int64_t> errors = m_engine.stripeCheck();
    m_stripeErrors->setErrors(errors);
    if (errors.empty()) {
        m_stripeErrors->hide();
        showMessage(label(kLabelStripeCheckTitle), label(kLabelNoStripeError));
        return;
    }
    // The whole list stays at hand in its window; the boxes tell the
    // errors one by one until the user stops them.
    showBeside(m_stripeErrors, m_history->frameGeometry().height() + 8);
    for (const std::int64_t course : errors) {
        showStripeError(course);
        if (!tellStripeError(label(kLabelStripeCheckTitle),
                             label(kLabelStripeErrorAt) + QLatin1Char(' ') + QString::number(course)))
            break;
    }
}

void SimulatorWindow::showStripeError(std::int64_t course)
{
    // The course is brought into the picture first: the origin moves by
    // whole pan steps, as a click on the margin moves it.
    DrawingView &view = m_engine.drawingView();
    const std::int64_t drawn = m_engine.drawnCourse(course);
    bool moved = false;
    while (m_engine.yOfCourse(drawn) < PictureView::kPanStrip && view.baseY < 1e12) {
        view.baseY += kPanStep;
        moved = true;
    }
    while (m_engine.yOfCourse(drawn - 1) > kDrawingAreaSize - PictureView::kPanStrip &&
           view.baseY > DrawingView::kBaseY) {
        view.baseY -= kPanStep;
        moved = true;
    }
    if (moved)
        rerun();
    const std::int64_t position = 1 - drawn;
    std::int64_t riga = position;
    DatiRighe(riga);
    m_picture->moveHorizontalMarker(view.baseY + double(view.scale) * double(position));
}

bool SimulatorWindow::tellStripeError(const QString &title, const QString &text)
{
    if (m_stripeErrorHandler)
        return m_stripeErrorHandler(title, text);
    if (m_messageHandler) {
        m_messageHandler(title, text);
        return true;
    }
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, this);
    QPushButton *stop = box.addButton(label(kLabelStopChecking), QMessageBox::RejectRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(stop);
    box.exec();
    return box.clickedButton() != stop;
}

void SimulatorWindow::CalcoloPeso_Click()
{
    if (!m_weight)
        m_weight = new WeightWindow(m_engine, m_simLabels, m_labels, m_head.panelPath(), this);
    showBeside(m_weight);
    m_weight->Aggiorno_peso();
}

void SimulatorWindow::Anteprima_Click()
{
    SimSettings &settings = m_engine.settings();
    settings.resolution = inPrintPreview() ? settings.savedResolution : std::string("3");
    layOut();
    rerun();
}

void SimulatorWindow::Alta_Click()
{
    m_engine.settings().resolution = m_engine.settings().savedResolution = "1";
    layOut();
    rerun();
}

void SimulatorWindow::Bassa_Click()
{
    m_engine.settings().resolution = m_engine.settings().savedResolution = "0";
    layOut();
    rerun();
}

void SimulatorWindow::ColoriGuidafili_Click()
{
    m_colourSettings->SetModo(0);
    showBeside(m_colourSettings);
}

void SimulatorWindow::carrierSettingsChanged()
{
    m_engine.rigato(0, 1, 100);
    m_engine.clearFinished();
    rerun();
    if (m_stripeErrors->isVisible())
        m_stripeErrors->setErrors(m_engine.stripeCheck());
}

void SimulatorWindow::showBeside(QWidget *window, int offsetY)
{
    if (!window->property("placed").toBool()) {
        // Beside the main window, below the side windows already shown
        // there so that none covers another, and always on the screen: on a
        // narrow screen the left side of the main window, or its right edge.
        const QRect main = frameGeometry();
        const QSize size = window->frameGeometry().size().expandedTo(window->sizeHint());
        int y = main.top() + offsetY;
        for (QWidget *other : findChildren<QWidget *>()) {
            if (other != window && other->isWindow() && other->isVisible() && other->property("placed").toBool()
                && other->frameGeometry().top() <= y && other->frameGeometry().bottom() >= y)
                y = other->frameGeometry().bottom() + 8;
        }
        int x = main.right() + 8;
        if (const QScreen *screen = this->screen()) {
            const QRect room = screen->availableGeometry();
            if (x + size.width() > room.right() + 1)
                x = main.left() - 8 - size.width() >= room.left() ? main.left() - 8 - size.width()
                                                                   : room.right() + 1 - size.width();
            if (y + size.height() > room.bottom() + 1)
                y = room.bottom() + 1 - size.height();
            x = std::max(x, room.left());
            y = std::max(y, room.top());
        }
        window->move(x, y);
        window->setProperty("placed", true);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

PaletteWindow &SimulatorWindow::paletteWindow()
{
    if (!m_palette)
        m_palette = new PaletteWindow(this);
    return *m_palette;
}

void SimulatorWindow::updatePageTexts()
{
    const SimSettings &settings = m_engine.settings();
    const IntarsiaAreas &areas = m_engine.intarsiaAreas();
    const WeightReport weights =
        m_pageWeights.Aggiorno_peso(settings, m_engine.stitches(), m_simLabels, areas.area2, areas.area3);
    const StitchTotals perColour = m_engine.stitchesPerColour();
    const std::string_view line = m_head.headerLine();
    QStringList lines;
    auto row = [&](int slot, const QString &value) {
        lines << label(slot).trimmed().leftJustified(24, QLatin1Char(' ')) + QStringLiteral(": ") + value;
    };
    row(kLabelType, shown(line.substr(0, std::min<std::size_t>(line.find(','), line.size()))));
    row(kLabelDensity, shown(m_head.density()));
    row(kLabelRibRight, QString::number(m_head.ribRight()) + QStringLiteral("   ") + label(kLabelRibLeft) +
                            QStringLiteral(": ") + QString::number(m_head.ribLeft()));
    row(kLabelNecklineRight, QString::number(m_head.necklineRight()) + QStringLiteral("   ") +
                                 label(kLabelNecklineLeft) + QStringLiteral(": ") +
                                 QString::number(m_head.necklineLeft()));
    row(kLabelSetUp, QString::number(m_head.setup()));
    row(kLabelMachineSteps, QString::number(m_head.steps()) + QStringLiteral("   ") + label(kLabelCoursesKnitted) +
                                QStringLiteral(": ") + QString::number(m_head.courses()));
    lines << QString();
    if (m_head.hasMeasures()) {
        lines << label(kLabelPageMeasures);
        row(kLabelPageWidth, oneDecimal(m_measures.maxWidth / m_head.needlesPerCm()) + QLatin1Char(' ') +
                                 label(kLabelCentimetres));
        row(kLabelPageHeight, oneDecimal(double(m_measures.courses) / m_head.coursesPerCm()) + QLatin1Char(' ') +
                                  label(kLabelCentimetres));
        row(kLabelBorderHeight, QString::number(m_head.borderHeight()) + QLatin1Char(' ') + label(kLabelCentimetres));
    }
    lines << QString();
    row(kLabelPageTotalWeight, shown(weights.totalLine));
    static const char *const kColourLines[8] = {" B.1 =", "  B.2 =", "  B.3 =", "  B.4 =",
                                                "  B.5 =", " B.6 =", " B.7 =", " B.8 ="};
    for (std::size_t k = 0; k < 8; ++k) {
        if (perColour.carriers[k] > 0)
            lines << QString::fromLatin1(kColourLines[k]) + shown(weights.colourLines[k]);
    }
    m_pageText->setText(lines.join(QLatin1Char('\n')));
}

void SimulatorWindow::Stampa_Click()
{
    // What is printed is the preview's page.
    SimSettings &settings = m_engine.settings();
    if (!inPrintPreview()) {
        settings.resolution = "3";
        layOut();
        rerun();
    }
    m_calcoloPeso->hide();
    m_anteprima->hide();

    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QFileInfo(QString::fromStdString(m_head.panelPath())).fileName());
    // Without an installed printer the dialog still leads somewhere: its
    // PDF output, into a file named after the panel.
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QDir::current().filePath(
            QFileInfo(QString::fromStdString(m_head.panelPath())).completeBaseName() + QStringLiteral(".pdf")));
    }
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("DialogoStampa"));
    if (dialog.exec() == QDialog::Accepted && !printPage(printer))
        showMessage(label(kLabelPrint), label(kLabelPrintFailed), true);

    m_calcoloPeso->show();
    m_anteprima->show();
    settings.resolution = settings.savedResolution;
    layOut();
    rerun();
}

PreviewPage SimulatorWindow::previewPage() const
{
    PreviewPage page;
    page.size = m_page->size();
    page.title = m_fileName->text();
    page.titleRect = m_fileName->geometry();
    page.titleFont = m_fileName->font();
    page.titleFont.setBold(true);
    page.pictureRect = m_picture->geometry();
    page.drawing = &m_engine.drawing();
    for (const auto *swatches : {&m_leftSwatches, &m_rightSwatches})
        for (const QLabel *swatch : *swatches)
            if (swatch->isVisibleTo(m_page))
                page.swatches.push_back(
                    {swatch->geometry(), swatch->palette().color(QPalette::Window), swatch->text()});
    if (m_pageText->isVisibleTo(m_page)) {
        page.text = m_pageText->text();
        page.textRect = m_pageText->geometry();
    }
    page.textFont = m_pageText->font();
    return page;
}

bool SimulatorWindow::printPage(QPrinter &printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF target = printer.pageLayout().paintRectPixels(printer.resolution());
    // A long piece at a fine scale paints many thousands of shapes: past a
    // moment the user sees how far it is.
    QProgressDialog progress(label(kLabelPrinting), QString(), 0, 100, this);
    progress.setObjectName(QStringLiteral("AvanzamentoStampa"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kProgressDelayMs);
    progress.setAutoClose(true);
    const auto step = [&](std::size_t done, std::size_t total) {
        progress.setValue(int(100.0 * double(done) / double(std::max<std::size_t>(total, 1))));
    };
    previewPage().paint(painter, QRectF(QPointF(0, 0), target.size()), step);
    progress.setValue(100);
    return painter.end();
}

QString SimulatorWindow::needleReadout() const
{
    return m_needleReadout->text();
}

QString SimulatorWindow::courseReadout() const
{
    return m_courseReadout->text();
}

void SimulatorWindow::showMessage(const QString &title, const QString &text, bool critical)
{
    if (m_messageHandler) {
        m_messageHandler(title, text);
        return;
    }
    if (critical)
        QMessageBox::critical(this, title, text);
    else
        QMessageBox::information(this, title, text);
}

bool SimulatorWindow::saveSettings()
{
    SimSettings settings = m_engine.settings();
    // The print preview is not a resolution to start with.
    settings.resolution = settings.savedResolution;
    std::string error;
    if (SimSettingsFile::save(m_settingsPath, settings, &error))
        return true;
    showMessage(QString::fromLatin1(kProgramTitle),
                label(kLabelSettingsNotSaved) + QStringLiteral("\n") + QString::fromStdString(error), true);
    return false;
}

void SimulatorWindow::closeEvent(QCloseEvent *event)
{
    saveSettings();
    for (QWidget *window : {static_cast<QWidget *>(m_panelData), static_cast<QWidget *>(m_notes),
                            static_cast<QWidget *>(m_history), static_cast<QWidget *>(m_stripeErrors),
                            static_cast<QWidget *>(m_colourSettings),
                            static_cast<QWidget *>(m_weight), static_cast<QWidget *>(m_palette)}) {
        if (window)
            window->close();
    }
    event->accept();
}

} // namespace kn4::simulator
