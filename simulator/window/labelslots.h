#pragma once

#include "kn4/twips.h"

#include <QString>
#include <QStringList>

namespace kn4::simulator {

// The slots of the simulator's label table (simulatore.ini, line k + 1 is
// slot k) that the windows show. The numbers are part of the language files
// shipped in italiano/, inglese/ and spagnolo/, so they never move.
enum LabelSlot : int {
    kLabelPanelData = 1,          // "Dati  del telo"
    kLabelViewNeedles = 2,        // "Visualizzazione in aghi" (view 0)
    kLabelViewCentimetres = 3,    // the same button in view 1
    kLabelInitialSize = 4,        // "Grandezza e posizione iniziale"
    kLabelStripeCheck = 5,        // "Controllo rigati"
    kLabelPrintPreview = 6,       // "Anteprima di stampa"
    kLabelWeight = 7,             // "Calcolo peso"
    kLabelWeightInPreview = 8,    // the weight button inside the print preview
    kLabelPrint = 9,              // "Stampa"
    kLabelSettingsMenu = 10,      // "Settaggio"
    kLabelColoursAndCarriers = 11,
    kLabelScreenResolution = 12,
    kLabelHigh = 13,
    kLabelLow = 14,
    kLabelPanelDataTitle = 15,    // "Dimensioni  maglia"
    kLabelFileName = 16,          // first of the 18 lines of the panel data window, 16..33
    kLabelType = 17,
    kLabelSize = 18,
    kLabelPart = 19,
    kLabelDensity = 20,
    kLabelRibRight = 21,
    kLabelRibLeft = 22,
    kLabelNecklineRight = 23,
    kLabelNecklineLeft = 24,
    kLabelSetUp = 25,
    kLabelCoursesPerCm = 26,
    kLabelBorderHeight = 27,
    kLabelNeedlesPerCm = 28,
    kLabelMachineSteps = 29,
    kLabelCoursesKnitted = 30,
    kLabelStepsWithoutCourse = 31,
    kLabelTotalLength = 32,
    kLabelMeasuresInNeedles = 33,
    kLabelNotes = 34,
    kLabelMaximumWidth = 35,
    kLabelNeedles = 36,           // after the needle read-out
    kLabelCourses = 37,           // after the course read-out
    kLabelMeasuresInCm = 38,
    kLabelHistory = 39,           // "Cronologia"
    kLabelNoStripeError = 40,
    kLabelStripeErrorAt = 41,
    kLabelNext = 42,              // "Avanti"
    kLabelBack = 43,              // "indietro"
    kLabelCarrier = 44,           // "Guidafilo", followed by "   1" .. "   8"
    kLabelStartSide = 45,
    kLabelReferencePanel = 46,
    kLabelReferenceWeight = 47,
    kLabelGramsPerStitch = 48,
    kLabelFileNameTip = 49,
    kLabelWeightTitle = 50,       // "Calcolo Peso"
    kLabelTotalWeight = 51,
    kLabelColourWeight1 = 52,     // 52..59: "Peso colore 1 = Grammi" .. 8
    kLabelNewReference = 60,
    kLabelWeightPrompt = 61,
    kLabelOk = 62,
    kLabelCancel = 63,
    kLabelEnterWeight = 64,       // "Inserire il dato del peso"
    kLabelColourSettingsTitle = 65,
    kLabelColour = 66,            // "Colore", followed by "   1   " .. "   8   "
    kLabelBackground = 67,
    kLabelCountStart = 68,
    kLabelOddCoursesLeft = 69,    // course-count start 0
    kLabelOddCoursesRight = 70,   // course-count start 1
    kLabelSymmetric = 71,
    kLabelAsymmetric = 72,
    kLabelPictureTip = 73,
    kLabelClose = 74,
    kLabelStripeNormal = 75,
    kLabelStripeEmptyCourse = 76,
    kLabelCentimetres = 77,
    kLabelStripeCheckTitle = 78,
    kLabelIntarsia = 79,
    kLabelNotCompiled = 80,
    kLabelPanelNotOpened = 81,
    kLabelSettingsNotSaved = 82,
    kLabelPageTotalWeight = 83,
    kLabelPageMeasures = 84,
    kLabelPageWidth = 85,
    kLabelPageHeight = 86,
    kLabelNoPrinter = 87,
    kLabelSavePdf = 88,
    kLabelPrintFailed = 89,
    kLabelWorkingCarrier = 90,
    kLabelCourse = 91,
    kLabelGrams = 92,
    kLabelNeedleBed = 93,
    kLabelProgramSteps = 94,
    kLabelCourseReadoutTip = 95,
    kLabelNeedleReadoutTip = 96,
    kLabelStartSideTip = 97,
    kLabelColourTip = 98,
    kLabelStripeModeTip = 99,
    kLabelError = 100,
    // Slots a label file of an older version may lack: the start-up fills
    // them from its own texts (SimulatorStartup).
    kLabelPartHasErrors = 101,    // "Questa parte contiene errori", as the manager flags it
    kLabelStopChecking = 102,     // the stripe check's box: stop telling the errors
    kLabelStripeErrorList = 103,  // title of the list of stripe errors
    kLabelStripeErrorListTip = 104,
    kLabelPrinting = 105,         // the progress of a long print
    kLabelRow = 106,              // "riga", before the source row that knitted a course
    kLabelOpenInEditor = 107,     // the history's button that edits the panel at that row
    kLabelOpenInEditorTip = 108,
    kLabelManagerNotStarted = 109,
    kLabelDefaultSettings = 110,  // simulatore.sav missing: the defaults are used
    kLabelIgnoredSettings = 111,  // simulatore.sav values that were ignored, before their list
    kLabelLast = kLabelIgnoredSettings,
};

// The label texts as the windows show them, indexed by slot (slot 0 unused;
// a slot the file did not fill reads as empty).
class LabelTexts
{
public:
    LabelTexts() = default;
    explicit LabelTexts(QStringList texts) : m_slots(std::move(texts)) {}

    QString operator[](int slot) const
    {
        return slot >= 0 && slot < m_slots.size() ? m_slots[slot] : QString();
    }

private:
    QStringList m_slots;
};

// Window geometry is designed in twips; this gives the pixels.
constexpr int twips(int value) { return twipsToPixels(value); }

} // namespace kn4::simulator
