#pragma once

#include "labelslots.h"
#include "paneldatawindow.h"
#include "previewpage.h"
#include "simulatorstartup.h"

#include "simulator/knitengine.h"
#include "simulator/panelhead.h"
#include "simulator/simlabels.h"
#include "simulator/weightcalculator.h"

#include <QMainWindow>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QPrinter;
class QPushButton;
class QScrollArea;

namespace kn4 {
class PaletteWindow;
}

namespace kn4::simulator {

class ColourSettingsWindow;
class HistoryWindow;
class NotesWindow;
class PictureView;
class StripeErrorsWindow;
class WeightWindow;

// The main window of the simulator: the picture of the simulated piece
// (Picture1, 8000 x 8000 drawing units), the seven command buttons, the
// Settaggio menu, the needle and course read-outs under the pointer, the
// two marker lines, the sixteen carrier-side swatches of the print preview
// and the file-name label. It owns the engine; every change of view,
// scale, origin, resolution, colours or carrier settings reruns the whole
// simulation, so the picture always comes from the head and the settings.
class SimulatorWindow : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int kZoomStep = 2;
    static constexpr int kMaxScale = 40;
    static constexpr double kPanStep = 1000;
    static constexpr double kZoomMargin = 500;

    // The start-up must have succeeded (not ended()).
    explicit SimulatorWindow(SimulatorStartup &startup, QWidget *parent = nullptr);
    ~SimulatorWindow() override;

    KnitEngine &engine() { return m_engine; }
    const PanelHead &head() const { return m_head; }
    const PieceMeasures &measures() const { return m_measures; }
    PictureView *picture() const { return m_picture; }
    HistoryWindow *historyWindow() const { return m_history; }
    StripeErrorsWindow *stripeErrorsWindow() const { return m_stripeErrors; }
    PanelDataWindow *panelDataWindow() const { return m_panelData; }
    WeightWindow *weightWindow() const { return m_weight; }
    ColourSettingsWindow *colourSettingsWindow() const { return m_colourSettings; }
    // How many times the simulation has run since the window was made.
    int runCount() const { return m_runs; }

    // Runs the simulation again with the current view and settings and
    // shows the result: the picture, the history window when it is open, the
    // page texts of the print preview.
    void rerun();

    // The mouse on the picture, in drawing units. A press in a 100-unit
    // strip along a side pans the picture by 1000 units (the base line never
    // below 8000); a release inside the square 500..7500 zooms: the left
    // button in by 2 up to 40, the right one out by 2 down to 2. A move
    // shows the needle and course under the pointer, moves the marker
    // lines there and shows that course in the history window.
    void Picture1_MouseDown(Qt::MouseButton button, QPointF units);
    void Picture1_MouseUp(Qt::MouseButton button, QPointF units);
    void Picture1_MouseMove(QPointF units);

    // Shows the course drawn at 1 - riga (riga 0 is the course just above
    // the base line) in the history window and the carrier-side swatches,
    // remembers riga as the history position and changes it to the course
    // number. The number is the piece's own course in both views (in view 1
    // the welt's courses are drawn first).
    void DatiRighe(std::int64_t &riga);
    std::int64_t historyPosition() const { return m_historyPosition; }

    // The commands of the window.
    void DatiTelo_Click();
    void Visualizzazione_Click();
    void Grandezza_Click();
    void ControlloRigati_Click();
    void CalcoloPeso_Click();
    void Anteprima_Click();
    void Stampa_Click();
    void Alta_Click();
    void Bassa_Click();
    void ColoriGuidafili_Click();
    void Avanti_Click();
    void indietro_Click();
    // The history's "open in the editor": the row that knitted the course
    // shown, edited through the archive manager.
    void ApriEditor_Click();
    // "riga 12: CALATO 2 1 4" for a course (the piece's own number), empty
    // where no row knitted it.
    QString rowText(std::int64_t course) const;
    // Where the program lies, for the manager started beside it; tests set it.
    void setBinaryDirectory(std::filesystem::path directory) { m_binaryDirectory = std::move(directory); }

    // Shows a course of the stripe check: the picture moves to bring it in,
    // the history window and the marker line go to it.
    void showStripeError(std::int64_t course);

    // The preview's page as it is now, and its printing onto a printer
    // already set up, fitted to its page, as vectors and text. False when
    // the printer cannot be started.
    PreviewPage previewPage() const;
    bool printPage(QPrinter &printer);

    // The read-outs as shown.
    QString needleReadout() const;
    QString courseReadout() const;
    bool inPrintPreview() const { return m_engine.settings().resolution == "3"; }

    // Messages go to a box; tests take them instead.
    using MessageHandler = std::function<void(const QString &title, const QString &text)>;
    void setMessageHandler(MessageHandler handler) { m_messageHandler = std::move(handler); }
    // The box of each stripe error offers to stop the check: the handler
    // returns false to stop. Without it the message handler is told and
    // the check goes on.
    using StripeErrorHandler = std::function<bool(const QString &title, const QString &text)>;
    void setStripeErrorHandler(StripeErrorHandler handler) { m_stripeErrorHandler = std::move(handler); }

    // Writes simulatore.sav through a temporary file; a failure keeps the
    // old file and is told. Called when the window closes.
    bool saveSettings();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void applyLabels();
    void layOut();
    void updateTitle();
    void updatePageTexts();
    void updateSwatches(const CourseRecord *record);
    void showMessage(const QString &title, const QString &text, bool critical = false);
    bool tellStripeError(const QString &title, const QString &text);
    // The window at the form's size, or lower with a scroll bar when the
    // screen has less room.
    void fitToScreen(QSize form);
    void carrierSettingsChanged();
    void showHistoryAt(std::int64_t riga);
    // Shows one of the program's windows; the first time beside the main
    // window, so it never covers the picture.
    void showBeside(QWidget *window, int offsetY = 0);
    PaletteWindow &paletteWindow();
    QString label(int slot) const { return m_labels[slot]; }

    PanelHead m_head;
    CourseRows m_rows;
    std::string m_languageFolder;
    std::filesystem::path m_binaryDirectory;
    std::int64_t m_historyCourse = 0;
    SimLabels m_simLabels;
    LabelTexts m_labels;
    std::filesystem::path m_settingsPath;
    KnitEngine m_engine;
    PieceMeasures m_measures;
    WeightCalculator m_pageWeights;
    int m_runs = 0;
    std::int64_t m_historyPosition = 0;
    MessageHandler m_messageHandler;
    StripeErrorHandler m_stripeErrorHandler;

    QScrollArea *m_scroll = nullptr;
    QWidget *m_form = nullptr;
    QWidget *m_page = nullptr;
    PictureView *m_picture = nullptr;
    QLabel *m_fileName = nullptr;
    QLabel *m_pageText = nullptr;
    QLabel *m_needleReadout = nullptr;
    QLabel *m_courseReadout = nullptr;
    std::array<QLabel *, 8> m_leftSwatches{};
    std::array<QLabel *, 8> m_rightSwatches{};
    QPushButton *m_datiTelo = nullptr;
    QPushButton *m_visualizzazione = nullptr;
    QPushButton *m_grandezza = nullptr;
    QPushButton *m_controlloRigati = nullptr;
    QPushButton *m_calcoloPeso = nullptr;
    QPushButton *m_anteprima = nullptr;
    QPushButton *m_stampa = nullptr;
    QAction *m_alta = nullptr;
    QAction *m_bassa = nullptr;

    PanelDataWindow *m_panelData = nullptr;
    NotesWindow *m_notes = nullptr;
    HistoryWindow *m_history = nullptr;
    StripeErrorsWindow *m_stripeErrors = nullptr;
    ColourSettingsWindow *m_colourSettings = nullptr;
    WeightWindow *m_weight = nullptr;
    PaletteWindow *m_palette = nullptr;
};

} // namespace kn4::simulator
