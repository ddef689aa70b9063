#include "window/editorwindow.h"

#include "kn4/qtconvert.h"
#include "kn4/twips.h"
#include "document/panelwriter.h"
#include "kn4/palettewindow.h"
#include "window/compilereport.h"
#include "window/drawingpainter.h"
#include "window/editoractions.h"
#include "window/panelundocommand.h"
#include "window/valueentry.h"
#include "window/core/rowstatus.h"
#include "window/core/measures.h"
#include "document/palettecodec.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetricsF>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolTip>
#include <QUndoStack>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cmath>

namespace kn4::editor {

namespace {

const char *const kIndexProperty = "index";

// Form geometry, in pixels.
constexpr int kFormWidth = 990;
constexpr int kFormHeight = 560;
constexpr int kRowsLeft = 8;
constexpr int kRowsTop = 100;
constexpr int kRowsFrameWidth = RowText::kVisibleLength * EditorWindow::kColumnWidth + 4;
constexpr int kScrollWidth = 17;
constexpr int kListLeft = kRowsLeft + kRowsFrameWidth + kScrollWidth + 8;
constexpr int kListWidth = 150;
constexpr int kPictureLeft = kListLeft + kListWidth + 8;
constexpr int kPictureWidth = 320;
constexpr int kPictureHeight = 392;

const QColor kFormColour(48, 48, 48);
const QColor kRowTextWhite(255, 255, 255);
const QColor kRowTextDefinition(0, 240, 255);  // stored colour value FFF000
const QColor kRowTextCycle(0, 255, 0);
const QColor kRowTextCrossing(255, 255, 0);    // crossing edges
const QColor kHighlight(0, 0, 192);            // stored colour value C00000
const QColor kLabelGrey(128, 128, 128);

void setBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    // Labels draw their text in WindowText, line edits in Text.
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

QLabel *addLabel(QWidget *form, const char *name, const QString &caption, int x, int y, int width)
{
    auto *label = new QLabel(caption, form);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(x, y, width, 20);
    setTextColour(label, Qt::white);
    return label;
}

QLineEdit *addField(QWidget *form, const char *name, int x, int y, int width)
{
    auto *field = new QLineEdit(form);
    field->setObjectName(QString::fromLatin1(name));
    field->setGeometry(x, y, width, 20);
    return field;
}

// The fixed-pitch font of the rows: Liberation Mono with its advance forced
// to one column.
QFont rowFont()
{
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(12);
    font.setKerning(false);
    const qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
    font.setLetterSpacing(QFont::AbsoluteSpacing, EditorWindow::kColumnWidth - advance);
    return font;
}

const CommandList &noCommands()
{
    static const CommandList empty;
    return empty;
}

// The button values of the mouse events: 1 left, 2 right, 4 middle.
int buttonValue(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return ParameterEditor::kLeftButton;
    case Qt::RightButton: return ParameterEditor::kRightButton;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

// The character a key press types, as the key filters of the header see it:
// Enter and Backspace as their control characters, a typed character as its
// Windows-1252 byte; 0 for keys that type nothing (arrows, Delete, Tab...),
// which the fields handle as usual.
char typedKey(const QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return HeaderFields::kEnter;
    if (event->key() == Qt::Key_Backspace)
        return HeaderFields::kBackspace;
    const QString text = event->text();
    if (text.size() != 1 || text.at(0).unicode() < 32 || text.at(0).unicode() == 127)
        return 0;
    const std::string byte = toCp1252(text);
    return byte.size() == 1 ? byte[0] : 0;
}

// A real timer follows a core's timer: it runs when the core's runs and
// fires when the core's is due.
void mirrorTimer(QTimer *timer, const WindowTimer &core)
{
    if (!core.isRunning()) {
        timer->stop();
        return;
    }
    const std::int64_t remaining = core.dueAt() - WindowTimer::steadyClock()();
    timer->start(int(std::clamp<std::int64_t>(remaining, 0, INT_MAX)));
}

QTimer *makeTimer(QObject *owner, const char *name)
{
    auto *timer = new QTimer(owner);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setSingleShot(true);
    // A coarse timer may fire early; the repeat counts depend on the delays.
    timer->setTimerType(Qt::PreciseTimer);
    return timer;
}

// Picture1: paints the knit drawing the window computed.
class KnitPictureBox : public QWidget
{
public:
    KnitPictureBox(const KnitPicture &picture, QWidget *parent) : QWidget(parent), m_picture(picture) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        paintKnitDrawing(painter, m_picture);
    }

private:
    const KnitPicture &m_picture;
};

constexpr std::array<HeaderField, 19> kHeaderFields{
    HeaderField::Tipo, HeaderField::Taglia, HeaderField::Parte, HeaderField::IngombroPettini,
    HeaderField::Densita, HeaderField::CostinaDx, HeaderField::CostinaSx, HeaderField::ScolloDx,
    HeaderField::ScolloSx, HeaderField::AltezzaBordo, HeaderField::AghiCm, HeaderField::RanghiCm,
    HeaderField::Predisposizione, HeaderField::Predisposizione_2, HeaderField::Note1,
    HeaderField::Note2, HeaderField::Note3, HeaderField::Frontura, HeaderField::Uscita};

constexpr std::array<HeaderSpinner::Label, 7> kSpinnerLabels{
    HeaderSpinner::Label::CDx, HeaderSpinner::Label::Label6, HeaderSpinner::Label::CSx,
    HeaderSpinner::Label::SDx, HeaderSpinner::Label::Label7, HeaderSpinner::Label::SSx,
    HeaderSpinner::Label::Label8};

} // namespace

EditorWindow::EditorWindow(const EditorContext &context, QWidget *parent)
    : QMainWindow(parent)
    , m_library(context.library)
    , m_startup(context.startup)
    , m_commands(context.startup.commands ? *context.startup.commands : noCommands())
    , m_libraryDate(context.libraryDate)
    , m_rows(context.library)
    , m_totals(std::make_unique<RunningTotals>(context.library))
    , m_document(context.startup.panel, m_rows, *m_totals, m_commands, context.startup.commandLine)
    , m_parameters(m_rows, context.library, m_commands)
    , m_help(context.startup.help, !context.startup.helpMissing)
    , m_save(context.library)
{
    setObjectName(QStringLiteral("Kn4Edit"));

    auto *form = new QWidget(this);
    form->setObjectName(QStringLiteral("form"));
    form->setFixedSize(kFormWidth, kFormHeight);
    setBackground(form, kFormColour);
    QFont formFont(QStringLiteral("Liberation Sans"));
    formFont.setPointSize(8);
    form->setFont(formFont);
    setCentralWidget(form);

    m_undo = new QUndoStack(this);
    m_undo->setObjectName(QStringLiteral("UndoStack"));
    // A panel is a few tens of KB: a long session keeps its last steps.
    m_undo->setUndoLimit(500);
    buildMenu();
    buildHeader(form);
    buildRowList(form);
    buildCommandList(form);
    buildDrawingArea(form);
    buildColours(form);
    buildHelp(form);
    applyLanguage();
    fillFromPanel();

    m_timer1 = makeTimer(this, "Timer1");
    m_timer2 = makeTimer(this, "Timer2");
    m_timer3 = makeTimer(this, "Timer3");
    connect(m_timer1, &QTimer::timeout, this, &EditorWindow::Timer1_Timer);
    connect(m_timer2, &QTimer::timeout, this, &EditorWindow::Timer2_Timer);
    connect(m_timer3, &QTimer::timeout, this, &EditorWindow::Timer3_Timer);

    // Every control reports the pointer for the help, the form background
    // switches a pending hint off; the header fields filter their keys.
    form->setMouseTracking(true);
    form->installEventFilter(this);
    for (QWidget *child : form->findChildren<QWidget *>()) {
        const QString name = child->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
            child->installEventFilter(this);
    }
    m_esperto->viewport()->installEventFilter(this);
    m_esperto2->viewport()->installEventFilter(this);
    // Every change of a header field's text is an edit of the panel.
    for (HeaderField which : kHeaderFields)
        if (QLineEdit *edit = field(which))
            connect(edit, &QLineEdit::textChanged, this,
                    [this, which](const QString &text) { headerTextChanged(which, text); });
    m_totals->setMessageTexts(m_startup.language);
    m_help.setHelpFolder(m_startup.languageFolder);

    // A fixed-size window: it cannot be resized, maximised or shrunk.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    setWindowTitle(QStringLiteral("Kn4Edit - Pannello: ") +
                   QString::fromStdString(m_startup.panelName));

    // The help starts reduced, shows what it has, and the totals are
    // replayed once; a freshly opened panel is not modified.
    m_ready = true;
    EspertoModo2();
    recomputeTotals();
    m_undo->setClean();
}

EditorWindow::~EditorWindow()
{
    m_ready = false;
    // The controls are destroyed after the members; their last focus and
    // leave events must not reach the cores any more.
    for (QObject *child : findChildren<QObject *>())
        child->removeEventFilter(this);
}

// --- building the form -----------------------------------------------------

void EditorWindow::buildMenu()
{
    auto addEntry = [this](const char *name, const QString &caption) {
        auto *action = menuBar()->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    m_insertAction = addEntry("InserisciRiga", QStringLiteral("Inserisci riga"));
    m_deleteAction = addEntry("EliminaRiga", QStringLiteral("Elimina riga"));
    m_saveAction = addEntry("Salva", QStringLiteral("Salva"));
    m_exitAction = addEntry("Esci", QStringLiteral("Esci"));
    m_infoAction = addEntry("Informazioni", QStringLiteral("Informazioni"));
    connect(m_insertAction, &QAction::triggered, this, &EditorWindow::InserisciRiga_Click);
    connect(m_deleteAction, &QAction::triggered, this, &EditorWindow::EliminaRiga_Click);
    connect(m_saveAction, &QAction::triggered, this, &EditorWindow::Salva_Click);
    connect(m_exitAction, &QAction::triggered, this, &EditorWindow::Esci_Click);
    connect(m_infoAction, &QAction::triggered, this, &EditorWindow::Informazioni_Click);
    buildEditMenu();
}

void EditorWindow::buildEditMenu()
{
    m_actions = new EditorActions(menuBar(), m_undo, this);
    connect(m_actions->undo, &QAction::triggered, this, &EditorWindow::undo);
    connect(m_actions->redo, &QAction::triggered, this, &EditorWindow::redo);
    connect(m_actions->typeValue, &QAction::triggered, this, &EditorWindow::openValueEntry);
    connect(m_actions->insertRow, &QAction::triggered, this, &EditorWindow::InserisciRiga_Click);
    connect(m_actions->deleteRow, &QAction::triggered, this, &EditorWindow::EliminaRiga_Click);
    connect(m_actions->save, &QAction::triggered, this, &EditorWindow::Salva_Click);
    connect(m_actions->help, &QAction::triggered, this, &EditorWindow::toggleHelp);
    // The row's line and message stay in the status bar; a menu entry's
    // passing tip shows over them and goes.
    statusBar()->setObjectName(QStringLiteral("BarraStato"));
    statusBar()->setSizeGripEnabled(false);
    m_statusRow = new QLabel(statusBar());
    m_statusRow->setObjectName(QStringLiteral("StatoRiga"));
    m_statusRow->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(m_statusRow, 1);
}

void EditorWindow::buildHeader(QWidget *form)
{
    // First line: type, size, part, needle bed, comb clearance, density.
    int y = 8;
    addLabel(form, "Label1", QStringLiteral("Tipo"), 8, y, 32);
    addField(form, "Tipo", 42, y, 56);
    addLabel(form, "Label2", QStringLiteral("Taglia"), 108, y, 40);
    addField(form, "Taglia", 150, y, 32);
    addLabel(form, "Label3", QStringLiteral("Parte"), 192, y, 36);
    addField(form, "Parte", 230, y, 96);
    addLabel(form, "Label4", QStringLiteral("Frontura"), 338, y, 54);
    addField(form, "Frontura", 394, y, 40)->setReadOnly(true);
    addLabel(form, "Label8", QStringLiteral("Ingombro pettini"), 446, y, 100);
    addField(form, "IngombroPettini", 548, y, 40);
    addLabel(form, "Label5", QStringLiteral("Densit\u00E0"), 600, y, 50);
    addField(form, "Densita", 652, y, 80);

    // Second line: rib and neckline (right "D", left "S"), measures, set-up, exit.
    y = 36;
    addLabel(form, "Label6", QStringLiteral("Costina"), 8, y, 48);
    addField(form, "CostinaDx", 58, y, 36);
    addLabel(form, "CDx", QStringLiteral("D"), 96, y, 14);
    addField(form, "CostinaSx", 110, y, 36);
    addLabel(form, "CSx", QStringLiteral("S"), 148, y, 14);
    addLabel(form, "Label7", QStringLiteral("Scollo"), 170, y, 44);
    addField(form, "ScolloDx", 216, y, 36);
    addLabel(form, "SDx", QStringLiteral("D"), 254, y, 14);
    addField(form, "ScolloSx", 268, y, 36);
    addLabel(form, "SSx", QStringLiteral("S"), 306, y, 14);
    addLabel(form, "Label12", QStringLiteral("Alt.bordo"), 338, y, 56);
    addField(form, "AltezzaBordo", 396, y, 48);
    addLabel(form, "Label13", QStringLiteral("Aghi-cm"), 456, y, 50);
    addField(form, "AghiCm", 508, y, 48);
    addLabel(form, "Label14", QStringLiteral("Ranghi-cm"), 568, y, 62);
    addField(form, "RanghiCm", 632, y, 48);
    addLabel(form, "Label10", QStringLiteral("Predisp."), 692, y, 54);
    addField(form, "Predisposizione", 748, y, 22);
    auto *confirm = new QPushButton(QStringLiteral("OK"), form);
    confirm->setObjectName(QStringLiteral("Predisposizione_2"));
    confirm->setGeometry(772, y, 30, 20);
    connect(confirm, &QPushButton::clicked, this, &EditorWindow::Predisposizione_2_Click);
    addLabel(form, "Label15", QStringLiteral("Uscita"), 814, y, 42);
    addField(form, "Uscita", 858, y, 22)->setReadOnly(true);

    // Third line: the three notes.
    y = 64;
    addLabel(form, "Label11", QStringLiteral("Note"), 8, y, 48);
    addField(form, "Note1", 58, y, 300);
    addField(form, "Note2", 364, y, 300);
    addField(form, "Note3", 670, y, 300);
}

void EditorWindow::buildRowList(QWidget *form)
{
    m_rowsFrame = new QFrame(form);
    m_rowsFrame->setObjectName(QStringLiteral("Righe"));
    m_rowsFrame->setFrameShape(QFrame::Box);
    m_rowsFrame->setGeometry(kRowsLeft, kRowsTop, kRowsFrameWidth, kRowsHeight);
    setBackground(m_rowsFrame, Qt::black);
    // The row list takes the keys when a row is clicked (or by Tab): Up and
    // Down move the selection, Enter opens the typed value.
    m_rowsFrame->setFocusPolicy(Qt::StrongFocus);

    const QFont font = rowFont();
    for (int i = 0; i < kLabelCount; ++i) {
        auto *label = new QLabel(m_rowsFrame);
        label->setObjectName(QStringLiteral("Riga"));
        label->setProperty(kIndexProperty, i);
        label->setGeometry(2, 2 + i * kRowHeight, RowText::kVisibleLength * kColumnWidth, kRowHeight);
        label->setFont(font);
        label->setTextFormat(Qt::PlainText);
        label->setIndent(0);
        label->setMargin(0);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setMouseTracking(true);
        label->installEventFilter(this);
        setTextColour(label, kRowTextWhite);
        m_rowLabels.append(label);
    }

    m_entry = new ValueEntry(m_rowsFrame);
    m_entry->setFont(font);
    connect(m_entry, &ValueEntry::accepted, this, [this](const QString &text) { acceptValue(text); });
    connect(m_entry, &ValueEntry::cancelled, this, &EditorWindow::closeValueEntry);

    m_scroll = new QScrollBar(Qt::Vertical, form);
    m_scroll->setObjectName(QStringLiteral("VScroll"));
    m_scroll->setGeometry(kRowsLeft + kRowsFrameWidth, kRowsTop, kScrollWidth, kRowsHeight);
    m_scroll->setRange(0, 0);
    m_scroll->setPageStep(RowStore::kLabelCount - 1);
    connect(m_scroll, &QScrollBar::valueChanged, this, &EditorWindow::VScroll_Change);
    connect(m_scroll, &QScrollBar::sliderMoved, this, &EditorWindow::VScroll_Scroll);
}

void EditorWindow::buildCommandList(QWidget *form)
{
    m_commandList = new QListWidget(form);
    m_commandList->setObjectName(QStringLiteral("ListaComandi"));
    m_commandList->setGeometry(kListLeft, kRowsTop, kListWidth, kRowsHeight);
    m_commandList->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const CommandList::ListItem &item : m_commands.listItems()) {
        m_commandList->addItem(fromCp1252(item.text));
        m_listEntries.push_back(item.entryIndex);
    }
    connect(m_commandList, &QListWidget::itemDoubleClicked, this, &EditorWindow::ListaComandi_DblClick);
}

void EditorWindow::buildDrawingArea(QWidget *form)
{
    m_picture = new KnitPictureBox(m_knit, form);
    m_picture->setObjectName(QStringLiteral("Picture1"));
    m_picture->setGeometry(kPictureLeft, kRowsTop, kPictureWidth, kPictureHeight);
    m_picture->setMouseTracking(true);

    const int y = kRowsTop + kPictureHeight + 6;
    addLabel(form, "Label16", QStringLiteral("Ranghi:"), kPictureLeft, y, 50);
    addLabel(form, "lblRanghi", QStringLiteral("--"), kPictureLeft + 52, y, 110);
    addLabel(form, "Label17", QStringLiteral("Aghi:"), kPictureLeft + 170, y, 40);
    addLabel(form, "lblAghi", QStringLiteral("--"), kPictureLeft + 212, y, 108);
    m_finalValues = new QCheckBox(form);
    m_finalValues->setObjectName(QStringLiteral("ValoriFinali"));
    m_finalValues->setGeometry(kPictureLeft, y + 24, 20, 20);
    connect(m_finalValues, &QCheckBox::clicked, this, &EditorWindow::ValoriFinali_Click);
    addLabel(form, "Label18", QStringLiteral("Visualizza dati finali"), kPictureLeft + 22, y + 24, 200);
}

void EditorWindow::buildColours(QWidget *form)
{
    constexpr int kSwatch = 24;
    constexpr int kPitch = 30;
    const int top = kRowsTop + kRowsHeight + 8;
    for (int i = 0; i < PanelModel::kColourBoxes; ++i) {
        auto *swatch = new QLabel(form);
        swatch->setObjectName(QStringLiteral("Colore"));
        swatch->setProperty(kIndexProperty, i);
        swatch->setFrameShape(QFrame::Box);
        swatch->setGeometry(kListLeft + (i % 4) * kPitch, top + (i / 4) * kPitch, kSwatch, kSwatch);
        swatch->setCursor(Qt::PointingHandCursor);
        swatch->installEventFilter(this);
        m_swatches.append(swatch);
    }
    m_reset = new QPushButton(QStringLiteral("Ripristina"), form);
    m_reset->setObjectName(QStringLiteral("Reset"));
    m_reset->setGeometry(kListLeft, top + 2 * kPitch + 4, 4 * kPitch - 6, 24);
    connect(m_reset, &QPushButton::clicked, this, &EditorWindow::Reset_Click);
}

// The help boxes below the row list: the small box with its lamp, the large
// box in the room the row list gives up in the expanded mode, the three
// mode buttons.
void EditorWindow::buildHelp(QWidget *form)
{
    const int top = kRowsTop + kRowsHeight + 8;
    const int width = kRowsFrameWidth + kScrollWidth;
    auto helpBox = [form](const char *name) {
        auto *box = new QPlainTextEdit(form);
        box->setObjectName(QString::fromLatin1(name));
        box->setReadOnly(true);
        box->setTextInteractionFlags(Qt::TextSelectableByMouse);
        box->setContextMenuPolicy(Qt::NoContextMenu);
        box->viewport()->setMouseTracking(true);
        return box;
    };
    m_lamp = new QLabel(form);
    m_lamp->setObjectName(QStringLiteral("LedEsperto"));
    m_lamp->setFrameShape(QFrame::Box);
    m_lamp->setGeometry(kRowsLeft, top + 12, 16, 16);
    m_esperto2 = helpBox("Esperto_2");
    m_esperto2->setGeometry(kRowsLeft + 22, top, width - 22, 40);
    m_esperto = helpBox("Esperto");
    m_esperto->setGeometry(kRowsLeft, kRowsTop + kRowsHeightExpandedHelp + 6, width,
                           kRowsHeight - kRowsHeightExpandedHelp - 6);
    m_esperto->hide();

    const std::array<const char *, 3> names{"Esperto1", "Esperto2", "Esperto3"};
    const std::array<QString, 3> captions{QStringLiteral("Espandi aiuto"), QStringLiteral("Riduci aiuto"),
                                          QStringLiteral("Nascondi aiuto")};
    const int buttonWidth = (width - 12) / 3;
    for (int i = 0; i < 3; ++i) {
        auto *button = new QPushButton(captions[std::size_t(i)], form);
        button->setObjectName(QString::fromLatin1(names[std::size_t(i)]));
        button->setGeometry(kRowsLeft + i * (buttonWidth + 6), top + 46, buttonWidth, 24);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, [this, i] {
            m_help.helpButtonReleased(i + 1, m_helpButtonModifiers.testFlag(Qt::ShiftModifier));
            m_helpButtonModifiers = {};
            showHelp();
        });
        m_helpButtons[std::size_t(i)] = button;
    }

    auto *maker = addLabel(form, "Label9", QStringLiteral("KN4edit"), kListLeft, top + 104, 140);
    maker->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

// Captions from the language file; lines the file lacks keep the built-in text.
void EditorWindow::applyLanguage()
{
    const LanguageTable &language = m_startup.language;
    if (!language.loaded())
        return;
    auto caption = [&](int line, auto apply) {
        if (line < language.lineCount())
            apply(fromCp1252(language.text(line)));
    };
    auto label = [&](const char *name, int line) {
        if (auto *widget = findChild<QLabel *>(QString::fromLatin1(name)))
            caption(line, [widget](const QString &text) { widget->setText(text); });
    };
    caption(LanguageTable::InserisciRiga, [this](const QString &t) { m_insertAction->setText(t); });
    caption(LanguageTable::EliminaRiga, [this](const QString &t) { m_deleteAction->setText(t); });
    caption(LanguageTable::Salva, [this](const QString &t) { m_saveAction->setText(t); });
    caption(LanguageTable::Esci, [this](const QString &t) { m_exitAction->setText(t); });
    caption(LanguageTable::Informazioni, [this](const QString &t) { m_infoAction->setText(t); });
    label("Label1", LanguageTable::Tipo);
    label("Label2", LanguageTable::Taglia);
    label("Label3", LanguageTable::Parte);
    label("Label4", LanguageTable::Frontura);
    label("Label8", LanguageTable::IngombroPettini);
    label("Label5", LanguageTable::Densita);
    label("Label6", LanguageTable::Costina);
    label("CDx", LanguageTable::LatoDestro);
    label("SDx", LanguageTable::LatoDestro);
    label("CSx", LanguageTable::LatoSinistro);
    label("SSx", LanguageTable::LatoSinistro);
    label("Label7", LanguageTable::Scollo);
    label("Label12", LanguageTable::AltezzaBordo);
    label("Label13", LanguageTable::AghiCm);
    label("Label14", LanguageTable::RanghiCm);
    label("Label10", LanguageTable::Predisposizione);
    label("Label15", LanguageTable::Uscita);
    label("Label11", LanguageTable::Note);
    label("Label17", LanguageTable::Aghi);
    label("Label16", LanguageTable::Ranghi);
    label("Label18", LanguageTable::VisualizzaDatiFinali);
    caption(LanguageTable::Ripristina, [this](const QString &t) { m_reset->setText(t); });
    const std::array<int, 3> helpLines{LanguageTable::EspandiAiuto, LanguageTable::RiduciAiuto,
                                       LanguageTable::NascondiAiuto};
    for (std::size_t i = 0; i < helpLines.size(); ++i)
        caption(helpLines[i], [button = m_helpButtons[i]](const QString &t) { button->setText(t); });
    m_actions->applyLanguage(language);
    // The menu bar's entries and the expanded help name their keys.
    m_insertAction->setToolTip(EditorActions::withKey(m_insertAction->text(), m_actions->insertRow));
    m_deleteAction->setToolTip(EditorActions::withKey(m_deleteAction->text(), m_actions->deleteRow));
    m_saveAction->setToolTip(EditorActions::withKey(m_saveAction->text(), m_actions->save));
    m_helpButtons[0]->setToolTip(EditorActions::withKey(m_helpButtons[0]->text(), m_actions->help));
}

void EditorWindow::fillFromPanel()
{
    const PanelHeader &header = m_startup.panel.header;
    auto set = [this](const char *name, const std::string &value) {
        if (auto *field = findChild<QLineEdit *>(QString::fromLatin1(name)))
            field->setText(fromCp1252(value));
    };
    set("Tipo", header.tipo);
    set("Taglia", header.taglia);
    set("Parte", header.parte);
    set("Frontura", header.frontura);
    set("Densita", header.densita);
    set("CostinaDx", header.costinaDx);
    set("CostinaSx", header.costinaSx);
    set("ScolloDx", header.scolloDx);
    set("ScolloSx", header.scolloSx);
    set("AltezzaBordo", header.altezzaBordo);
    set("AghiCm", header.aghiCm);
    set("RanghiCm", header.ranghiCm);
    set("Predisposizione", header.predisposizione);
    set("Uscita", header.uscita);
    set("Note1", header.note[0]);
    set("Note2", header.note[1]);
    set("Note3", header.note[2]);

    // The comb clearance always comes from the command line; it is editable
    // only when the command line says so.
    auto *comb = findChild<QLineEdit *>(QStringLiteral("IngombroPettini"));
    comb->setText(QString::number(m_startup.commandLine.combWidth));
    m_startup.panel.header.ingombroPettini = toCp1252(comb->text());
    const bool combEditable = m_startup.commandLine.combWidthIsEditable();
    comb->setReadOnly(!combEditable);
    comb->setEnabled(combEditable);
    setTextColour(findChild<QLabel *>(QStringLiteral("Label8")), combEditable ? Qt::white : kLabelGrey);

    // One-sided pieces have no left rib and neckline.
    const bool twoSided = m_startup.panel.isTwoSided();
    for (const char *name : {"CostinaSx", "ScolloSx", "CDx", "CSx", "SDx", "SSx"})
        findChild<QWidget *>(QString::fromLatin1(name))->setVisible(twoSided);

    m_rows.load(m_startup.panel.rows);
    m_rows.setSettings(rowSettings());
    showColours();
}

void EditorWindow::showColours()
{
    for (int i = 0; i < m_swatches.size(); ++i)
        setBackground(m_swatches[i], toQColor(m_startup.panel.colours[std::size_t(i)]));
}

RowSettings EditorWindow::rowSettings() const
{
    return m_document.rowSettings();
}

// --- the row list ------------------------------------------------------------

void EditorWindow::setVisibleRows(int rows)
{
    m_rows.setVisibleRows(rows);
    const int height = m_rows.visibleRows() == RowStore::kVisibleRowsExpandedHelp
                           ? kRowsHeightExpandedHelp
                           : kRowsHeight;
    m_rowsFrame->resize(m_rowsFrame->width(), height);
    m_scroll->resize(m_scroll->width(), height);
    refreshRows();
}

void EditorWindow::refreshRows()
{
    m_rows.setSettings(rowSettings());
    const std::vector<RowLabelView> views = m_rows.refresh();
    for (int i = 0; i < kLabelCount; ++i) {
        QLabel *label = m_rowLabels[i];
        const bool visible = i < int(views.size());
        label->setVisible(visible);
        if (!visible)
            continue;
        const RowLabelView &view = views[std::size_t(i)];
        label->setProperty("caption", QByteArray::fromStdString(view.caption));
        switch (view.colour) {
        case RowLabelView::Colour::CycleOfCycles: setTextColour(label, kRowTextCycle); break;
        case RowLabelView::Colour::Definition: setTextColour(label, kRowTextDefinition); break;
        case RowLabelView::Colour::White: setTextColour(label, kRowTextWhite); break;
        }
        // A row where the edges cross stands out in yellow.
        if (view.colour != RowLabelView::Colour::Definition && m_totals->crossesAt(m_rows.topRow() + i))
            setTextColour(label, kRowTextCrossing);
        if (view.highlighted) {
            setBackground(label, kHighlight);
            label->setCursor(Qt::PointingHandCursor);
        } else {
            label->setAutoFillBackground(false);
            label->unsetCursor();
        }
    }
    {
        const QSignalBlocker blocker(m_scroll);
        m_scroll->setMaximum(m_rows.scrollMaximum());
        m_scroll->setValue(m_rows.topRow());
    }
    ModificaLabel();
}

void EditorWindow::ModificaLabel()
{
    // Definition rows name the PROFILO kind by the two-sided text while the
    // left-side labels are on show.
    const auto *leftSideLabel = findChild<QLabel *>(QStringLiteral("CSx"));
    const bool leftSideShown = leftSideLabel && leftSideLabel->isVisibleTo(this);
    for (int i = 0; i < m_rows.visibleRows() && i < m_rowLabels.size(); ++i) {
        QLabel *label = m_rowLabels[i];
        std::string caption = label->property("caption").toByteArray().toStdString();
        caption = editor::ModificaLabel(std::move(caption), m_startup.language, m_commands,
                                        leftSideShown);
        if (int(caption.size()) > RowText::kVisibleLength)
            caption.resize(std::size_t(RowText::kVisibleLength));
        label->setText(fromCp1252(caption));
    }
}

void EditorWindow::recomputeTotals()
{
    m_document.recompute();
    showPanelState();
}

void EditorWindow::showPanelState()
{
    m_courseMap = CourseMap::fromRowTexts(m_rows.rows());
    refreshRows();
    redraw();
    showRowStatus();
}

void EditorWindow::redraw()
{
    DrawingSettings settings;
    settings.swatches = m_startup.panel.colours;
    settings.setupMode = m_startup.panel.predisposizioneValue;
    settings.setupOptions = m_startup.commandLine.setupOptions;
    settings.finalValues = m_finalValues->isChecked();
    if (settings.finalValues) {
        settings.finalSource.header = headerFromFields();
        settings.finalSource.setTexts(m_startup.language);
        settings.finalSource.separator = decimalSeparator();
    }
    m_knit = KnitDrawing::draw(ShapeSteps::fromTotals(*m_totals), settings);
    m_picture->update();
    emit panelChanged();
}

void EditorWindow::Picture1_MouseMove(QPointF position)
{
    Esperto123("Disegno_Maglia");
    // The rows that knit the course under the pointer.
    const std::string rows = RowStatus::courseText(stepAt(position), m_courseMap, m_rows.rows(),
                                                   m_startup.language, m_commands,
                                                   m_document.leftRibShown());
    if (rows.empty())
        showRowStatus();
    else
        setStatus(rows);
    const KnitDrawing::Readout readout = KnitDrawing::pointerReadout(
        position.x(), position.y(), m_knit.scale,
        toCp1252(field(HeaderField::AghiCm)->text()),
        toCp1252(field(HeaderField::RanghiCm)->text()), decimalSeparator());
    findChild<QLabel *>(QStringLiteral("lblRanghi"))->setText(fromCp1252(readout.courses));
    findChild<QLabel *>(QStringLiteral("lblAghi"))->setText(fromCp1252(readout.needles));
}

void EditorWindow::Riga_MouseDown(int index, Qt::MouseButton button, Qt::KeyboardModifiers, QPointF position)
{
    closeValueEntry();
    finishOpenEdit();
    m_rowsFrame->setFocus(Qt::MouseFocusReason);
    m_pressedButton = button;
    bool pressedHighlighted = false;
    switch (m_rows.pressLabel(index)) {
    case RowStore::PressResult::Selected:
        break;
    case RowStore::PressResult::Deselected:
        // A left click on the empty line appends the command chosen in the list.
        if (button == Qt::LeftButton && m_commandList->count() > 0 &&
            !m_commandList->selectedItems().isEmpty()) {
            insertListCommand(m_commandList->currentRow());
            m_commandList->clearSelection();
        }
        break;
    case RowStore::PressResult::PressedHighlighted:
        m_commandList->clearSelection();
        pressedHighlighted = true;
        break;
    }
    // A press on the highlighted row arms the parameter step of the field
    // under the pointer; any other press disarms it.
    m_parameters.Riga_MouseDown(pressedHighlighted, buttonValue(button), position.x() * kTwipsPerPixel);
    mirrorTimer(m_timer1, m_parameters.timer());
    // The steps of one press, held or not, are one edit.
    if (m_parameters.armed())
        m_document.beginEdit(EditKind::ParameterStep);
    refreshRows();
    showRowStatus();
}

void EditorWindow::Riga_MouseUp(int, Qt::MouseButton, Qt::KeyboardModifiers, QPointF)
{
    const ParameterEditor::Outcome outcome = m_parameters.Riga_MouseUp();
    mirrorTimer(m_timer1, m_parameters.timer());
    followParameterOutcome(outcome);
    finishOpenEdit();
}

void EditorWindow::Timer1_Timer()
{
    if (!m_parameters.timer().isRunning())
        return;
    const ParameterEditor::Outcome outcome = m_parameters.Timer1_Timer();
    mirrorTimer(m_timer1, m_parameters.timer());
    followParameterOutcome(outcome);
}

void EditorWindow::followParameterOutcome(const ParameterEditor::Outcome &outcome)
{
    if (!outcome.errorKey.empty())
        Esperto123Errore(outcome.errorKey);
    if (outcome.changed)
        recomputeTotals();
}

void EditorWindow::Riga_MouseMove(int index, Qt::MouseButtons, Qt::KeyboardModifiers, QPointF position)
{
    // Leaving the row with the button held ends the repeat.
    m_parameters.Riga_MouseMove(position.y() * kTwipsPerPixel);
    mirrorTimer(m_timer1, m_parameters.timer());
    if (!m_parameters.armed())
        finishOpenEdit();
    if (index < 0 || index >= m_rowLabels.size())
        return;

    // The help names the field under the pointer.
    const int row = m_rows.topRow() + index;
    const std::string text = row < m_rows.rowCount() ? m_rows.row(row) : std::string();
    const int column = columnAt(position.x());
    const std::string key =
        ExpertHelp::rowKey(text, column, m_library.GetPosizioneParametri(RowText::functionCode(text)));
    if (key.empty())
        Esperto123Off();
    else
        Esperto123(key);

    QLabel *label = m_rowLabels[index];
    const std::string caption = label->property("caption").toByteArray().toStdString();
    if (trimBlanks(caption).empty())
        return;
    const std::string tip = Measures::rowToolTip(caption, column, toCp1252(field(HeaderField::AghiCm)->text()),
                                                 toCp1252(field(HeaderField::RanghiCm)->text()),
                                                 m_startup.language.text(LanguageTable::RowToolTip),
                                                 decimalSeparator());
    label->setToolTip(fromCp1252(tip));
}

char EditorWindow::decimalSeparator() const
{
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point.at(0).unicode() < 128 ? char(point.at(0).unicode()) : '.';
}

int EditorWindow::columnAt(double x)
{
    const long twips = std::lround(x * kTwipsPerPixel);
    return twips < 0 ? -1 : int(twips / (kColumnWidth * kTwipsPerPixel));
}

void EditorWindow::Riga_DblClick(int)
{
    m_parameters.Riga_DblClick(m_rows.highlightedLabel() >= 0);
    mirrorTimer(m_timer1, m_parameters.timer());
    if (m_parameters.armed() && !m_document.editOpen())
        m_document.beginEdit(EditKind::ParameterStep);
}

void EditorWindow::VScroll_Change(int value)
{
    // The entry stands over a row that moves away.
    if (value != m_rows.topRow())
        closeValueEntry();
    m_rows.scrollTo(value);
    refreshRows();
}

void EditorWindow::VScroll_Scroll(int value)
{
    VScroll_Change(value);
}

void EditorWindow::insertListCommand(int position)
{
    if (position < 0 || position >= int(m_listEntries.size()))
        return;
    const int entryIndex = m_listEntries[std::size_t(position)];
    const CommandEntry &entry = m_commands.entry(entryIndex);
    closeValueEntry();
    finishOpenEdit();
    PanelDocument::RowEdit edit = m_document.insertCommand({entry.displayName, entry.functionCode, entryIndex});
    if (edit.result != RowStore::EditResult::Done) {
        beep();
        return;
    }
    pushStep(std::move(edit.step));
    showPanelState();
}

void EditorWindow::ListaComandi_DblClick()
{
    insertListCommand(m_commandList->currentRow());
    m_commandList->clearSelection();
}

void EditorWindow::InserisciRiga_Click()
{
    if (m_commandList->count() == 0)
        return;
    if (m_commandList->selectedItems().isEmpty()) {
        beep();
        return;
    }
    insertListCommand(m_commandList->currentRow());
    m_commandList->clearSelection();
}

void EditorWindow::EliminaRiga_Click()
{
    closeValueEntry();
    finishOpenEdit();
    PanelDocument::RowEdit edit = m_document.deleteSelectedRow();
    switch (edit.result) {
    case RowStore::EditResult::Done:
        // A row that may go clears an error hint still on show.
        Esperto123CancellaErrore();
        pushStep(std::move(edit.step));
        showPanelState();
        break;
    case RowStore::EditResult::Refused:
        beep();
        break;
    case RowStore::EditResult::LeftSideDependency:
        // Left-marked rows below still need this left side: say why, as a
        // click on their P1 does (the error hint beeps).
        Esperto123Errore(ParameterEditor::kLeftSideErrorKey);
        break;
    }
}

void EditorWindow::Salva_Click()
{
    closeValueEntry();
    finishOpenEdit();
    if (save())
        setModified(false);
}

bool EditorWindow::save()
{
    syncPanel();
    const PanelSave::Outcome outcome =
        m_save.save(m_startup.panel, paletteColourCodec(), m_startup.panelPath, m_startup.languageFolder,
                    m_totals->warningCode(), m_startup.backupBeforeSave);
    if (!outcome.written) {
        // The panel on disk is as it was; the edits stay in the window.
        QMessageBox::warning(this, QStringLiteral("Kn4Edit"), QString::fromStdString(outcome.errorMessage));
        return false;
    }
    if (!outcome.backupMessage.empty())
        QMessageBox::information(this, QStringLiteral("Kn4Edit"), QString::fromStdString(outcome.backupMessage));
    if (outcome.showSavedHint)
        Esperto123Immediato(PanelSave::kSavedHintKey);
    // The report's messages stay with the rows they were about: a code
    // step's with the row that knits its course.
    m_compileErrors.clear();
    for (CompileReportLine &line : CompileReportLines::all(m_save.compileReport())) {
        if (line.kind == CompileReportLine::Kind::Step) {
            const int course = line.course >= 0 ? line.course : m_totals->courseOfCodeStep(line.number);
            const int row = m_courseMap.rowAtStep(std::min(course, m_courseMap.steps() - 1));
            if (row < 0)
                continue;
            line.number = CourseMap::kFirstRowLine + row;
        }
        m_compileErrors.push_back(std::move(line));
    }
    m_compiledRows = m_rows.rows();
    showRowStatus();
    frmPopUpCompilazione::showModal(m_save.compileResult(), m_save.compileReport(), m_startup.language, this,
                                    [this](const CompileReportLine &line) { goToReportLine(line); });
    return true;
}

// The question on leaving a modified panel. Yes saves (a save that fails
// cancels the leaving: the edits would be lost), No leaves without saving,
// Cancel stays.
void EditorWindow::askToSaveOnExit()
{
    finishOpenEdit();
    if (!isModified()) {
        m_exitState = ExitClosing;
        return;
    }
    // Without its language line the question keeps its built-in Italian
    // text, as the report window keeps its captions.
    std::string text = m_startup.language.text(LanguageTable::ExitQuestion);
    if (text.empty())
        text = kExitQuestion;
    QMessageBox question(QMessageBox::Question, QStringLiteral("Kn4Edit"), fromCp1252(text),
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    question.setObjectName(QStringLiteral("ExitQuestion"));
    question.setDefaultButton(QMessageBox::No);
    switch (question.exec()) {
    case QMessageBox::Yes:
        if (!save()) {
            m_exitState = ExitCancelled;
            return;
        }
        setModified(false);
        m_exitState = ExitClosing;
        break;
    case QMessageBox::No:
        m_exitState = ExitClosing;
        break;
    default:
        m_exitState = ExitCancelled;
        break;
    }
}

void EditorWindow::syncPanel()
{
    m_startup.panel.header = headerFromFields();

    // An interval marker without an interval is cleared in the rows
    // themselves, so what is saved is what the list shows afterwards.
    std::vector<std::string> rows = m_rows.rows();
    PanelWriter::clearIdleIntervalMarkers(rows);
    for (int i = 0; i < int(rows.size()); ++i)
        m_rows.setRow(i, rows[std::size_t(i)]);
    m_startup.panel.rows = std::move(rows);
    refreshRows();
}

void EditorWindow::Esci_Click()
{
    askToSaveOnExit();
    if (m_exitState == ExitCancelled) {
        // Nothing is closing: a later close of the window asks again.
        m_exitState = ExitNone;
        return;
    }
    close();
}

void EditorWindow::Informazioni_Click()
{
    QMessageBox::information(this, QStringLiteral("KN4edit"),
                             QStringLiteral("Kn4Edit vVers.10.12C lingua su file esterno\n"
                                            "Data libkn4edit2.so = ") +
                                 QString::fromStdString(m_libraryDate) +
                                 QStringLiteral("\nProgrammi per macchine da maglieria rettilinee"
                                                "\nAssistenza tecnica: rivolgersi al rivenditore"));
}

void EditorWindow::Colore_Click(int index)
{
    if (index < 0 || index >= PanelModel::kColourBoxes)
        return;
    if (!m_palette)
        m_palette = new PaletteWindow(this);
    Colour colour = m_startup.panel.colours[std::size_t(index)];
    std::string code;
    if (!m_palette->TestColore(ColourPalette::kModePick, colour, code))
        return;
    pushStep(m_document.setColour(index, colour));
    showColours();
    redraw();
}

void EditorWindow::Reset_Click()
{
    pushStep(m_document.resetColours());
    showColours();
    redraw();
}

void EditorWindow::beep()
{
    QApplication::beep();
    emit beeped();
}

// --- header fields -----------------------------------------------------------

QLineEdit *EditorWindow::field(HeaderField which) const
{
    return findChild<QLineEdit *>(QString::fromLatin1(HeaderFields::controlName(which)));
}

std::optional<HeaderField> EditorWindow::headerFieldOf(QObject *object) const
{
    const QString name = object->objectName();
    for (HeaderField which : kHeaderFields)
        if (name == QLatin1String(HeaderFields::controlName(which)))
            return which;
    return std::nullopt;
}

std::optional<HeaderSpinner::Label> EditorWindow::spinnerOf(QObject *object) const
{
    const QString name = object->objectName();
    for (HeaderSpinner::Label label : kSpinnerLabels)
        if (name == QLatin1String(HeaderSpinner::controlName(label)))
            return label;
    return std::nullopt;
}

HeaderSettings EditorWindow::headerSettings() const
{
    HeaderSettings settings;
    settings.combEditable = m_startup.commandLine.combWidthIsEditable();
    settings.combDefault = m_startup.commandLine.combWidth;
    settings.setupOptions = m_startup.commandLine.setupOptions;
    settings.leftRibVisible = field(HeaderField::CostinaSx)->isVisibleTo(this);
    settings.leftNecklineVisible = field(HeaderField::ScolloSx)->isVisibleTo(this);
    return settings;
}

PanelHeader EditorWindow::headerFromFields() const
{
    PanelHeader header = m_startup.panel.header;
    auto read = [this](HeaderField which, std::string &value) {
        if (QLineEdit *edit = field(which))
            value = toCp1252(edit->text());
    };
    read(HeaderField::Tipo, header.tipo);
    read(HeaderField::Taglia, header.taglia);
    read(HeaderField::Parte, header.parte);
    read(HeaderField::Frontura, header.frontura);
    read(HeaderField::Densita, header.densita);
    read(HeaderField::CostinaDx, header.costinaDx);
    read(HeaderField::CostinaSx, header.costinaSx);
    read(HeaderField::ScolloDx, header.scolloDx);
    read(HeaderField::ScolloSx, header.scolloSx);
    read(HeaderField::AltezzaBordo, header.altezzaBordo);
    read(HeaderField::AghiCm, header.aghiCm);
    read(HeaderField::RanghiCm, header.ranghiCm);
    read(HeaderField::IngombroPettini, header.ingombroPettini);
    read(HeaderField::Predisposizione, header.predisposizione);
    read(HeaderField::Uscita, header.uscita);
    read(HeaderField::Note1, header.note[0]);
    read(HeaderField::Note2, header.note[1]);
    read(HeaderField::Note3, header.note[2]);
    return header;
}

// A key typed into a header field: let through, refused with a beep,
// discarded, or Enter moving the focus on.
bool EditorWindow::headerKeyPress(HeaderField which, QKeyEvent *event)
{
    const char key = typedKey(event);
    if (key == 0)
        return false;
    QLineEdit *edit = field(which);
    const std::string text = edit ? toCp1252(edit->text()) : std::string();
    const HeaderFields::KeyVerdict verdict = HeaderFields::filterKey(which, key, text, headerSettings());
    switch (verdict.action) {
    case HeaderFields::KeyAction::Accept:
        if (verdict.key == key || edit == nullptr)
            return false;
        edit->insert(fromCp1252(std::string(1, verdict.key)));
        return true;
    case HeaderFields::KeyAction::Refuse:
        beep();
        return true;
    case HeaderFields::KeyAction::Discard:
        return true;
    case HeaderFields::KeyAction::MoveFocus:
        if (auto *next = findChild<QWidget *>(QString::fromLatin1(HeaderFields::controlName(verdict.focus))))
            next->setFocus(Qt::TabFocusReason);
        return true;
    }
    return true;
}

void EditorWindow::headerKeyRelease(HeaderField which, QKeyEvent *event)
{
    QLineEdit *edit = field(which);
    if (edit == nullptr)
        return;
    const std::string text = toCp1252(edit->text());
    const HeaderSettings settings = headerSettings();
    if (which == HeaderField::Predisposizione) {
        if (const std::optional<int> mode = HeaderFields::setupModeOnKeyRelease(typedKey(event), text)) {
            pushStep(m_document.setSetupMode(*mode));
            showPanelState();
        }
        return;
    }
    if (HeaderFields::replaysOnKeyRelease(which, settings))
        recomputeTotals();
    if (which == HeaderField::IngombroPettini) {
        if (const std::optional<Colour> colour = HeaderFields::combClearanceColour(text, settings))
            setTextColour(edit, toQColor(*colour));
    }
}

void EditorWindow::headerFocusOut(HeaderField which)
{
    QLineEdit *edit = field(which);
    if (edit == nullptr)
        return;
    const std::string text = toCp1252(edit->text());
    if (const std::optional<std::string> fallback = HeaderFields::textOnLeaving(which, text, headerSettings())) {
        edit->setText(fromCp1252(*fallback));
        if (which == HeaderField::IngombroPettini)
            setTextColour(edit, Qt::black);
    }
    if (HeaderFields::replaysOnLeaving(which))
        recomputeTotals();
}

void EditorWindow::setLeftSideFields(std::optional<bool> rib, std::optional<bool> neckline)
{
    auto show = [this](std::initializer_list<const char *> names, bool visible) {
        for (const char *name : names)
            if (auto *widget = findChild<QWidget *>(QString::fromLatin1(name)))
                widget->setVisible(visible);
    };
    if (rib)
        show({"CostinaSx", "CDx", "CSx"}, *rib);
    if (neckline)
        show({"ScolloSx", "SDx", "SSx"}, *neckline);
}

void EditorWindow::Predisposizione_2_Click()
{
    QLineEdit *edit = field(HeaderField::Predisposizione);
    PanelDocument::SetupEdit setup = m_document.confirmSetup(toCp1252(edit->text()));
    const HeaderFields::SetupConfirmation &confirmation = setup.confirmation;
    {
        // The model holds the confirmed text already.
        const QSignalBlocker blocker(edit);
        edit->setText(fromCp1252(confirmation.fieldText));
    }
    if (confirmation.refused)
        Esperto123Errore(HeaderFields::kSetupErrorKey);
    else if (confirmation.clearError)
        Esperto123CancellaErrore();
    setLeftSideFields(confirmation.leftRibVisible, confirmation.leftNecklineVisible);
    pushStep(std::move(setup.step));
    showPanelState();
}

void EditorWindow::spinnerPressed(HeaderSpinner::Label label, Qt::MouseButton button)
{
    m_spinner.press(label, buttonValue(button), headerSettings());
    mirrorTimer(m_timer3, m_spinner.timer());
}

void EditorWindow::spinnerReleased()
{
    if (!m_spinner.pressed())
        return;
    QLineEdit *edit = field(m_spinner.field());
    const HeaderSpinner::Step step = m_spinner.release(toCp1252(edit->text()));
    mirrorTimer(m_timer3, m_spinner.timer());
    applySpinnerStep(step);
}

void EditorWindow::Timer3_Timer()
{
    if (!m_spinner.timer().isRunning())
        return;
    QLineEdit *edit = field(m_spinner.field());
    const HeaderSpinner::Step step = m_spinner.Timer3_Timer(toCp1252(edit->text()));
    mirrorTimer(m_timer3, m_spinner.timer());
    applySpinnerStep(step);
}

void EditorWindow::applySpinnerStep(const HeaderSpinner::Step &step)
{
    if (step.text)
        field(m_spinner.field())->setText(fromCp1252(*step.text));
    if (step.beep)
        beep();
    if (step.replay)
        recomputeTotals();
}

void EditorWindow::ValoriFinali_Click()
{
    // Showing the final values changes the view, not the panel.
    recomputeTotals();
}

// --- expert help ---------------------------------------------------------------

void EditorWindow::showHelp()
{
    const ExpertHelp::View &view = m_help.view();
    auto show = [](QPlainTextEdit *box, const std::string &text, bool visible) {
        const QString shown = fromCp1252(text);
        if (box->toPlainText() != shown)
            box->setPlainText(shown);
        box->setVisible(visible);
    };
    show(m_esperto, view.largeText, view.largeVisible);
    show(m_esperto2, view.smallText, view.smallVisible);
    // The help follows every pointer move: repaint the lamp only when its
    // colour changes.
    const QColor lamp = toQColor(view.lamp);
    if (!m_lamp->autoFillBackground() || m_lamp->palette().color(QPalette::Window) != lamp)
        setBackground(m_lamp, lamp);
    if (m_rows.visibleRows() != m_help.visibleRows())
        setVisibleRows(m_help.visibleRows());
    m_actions->help->setChecked(m_help.mode() == ExpertHelp::Mode::Expanded);
    for (int beeps = m_help.takeBeeps(); beeps > 0; --beeps)
        beep();
    mirrorTimer(m_timer2, m_help.timer());
}

void EditorWindow::Esperto123(std::string_view key)
{
    m_help.Esperto123(key);
    showHelp();
}

void EditorWindow::Esperto123Immediato(std::string_view key)
{
    m_help.Esperto123Immediato(key);
    showHelp();
}

void EditorWindow::Esperto123Errore(std::string_view key)
{
    m_help.Esperto123Errore(key);
    showHelp();
}

void EditorWindow::Esperto123CancellaErrore()
{
    m_help.Esperto123CancellaErrore();
    showHelp();
}

void EditorWindow::Esperto123Off(std::string_view key)
{
    m_help.Esperto123Off(key);
    showHelp();
}

void EditorWindow::EspertoModo1()
{
    m_help.EspertoModo1();
    showHelp();
}

void EditorWindow::EspertoModo2()
{
    m_help.EspertoModo2();
    showHelp();
}

void EditorWindow::EspertoModo3()
{
    m_help.EspertoModo3();
    showHelp();
}

void EditorWindow::Timer2_Timer()
{
    if (!m_help.timer().isRunning())
        return;
    m_help.Timer2_Timer();
    showHelp();
}

// The pointer entered a control: its hint, or none.
void EditorWindow::hoverControl(QObject *watched)
{
    const QString name = watched->objectName();
    if (name == QLatin1String("Riga") || name == QLatin1String("Esperto_2") || name.startsWith(QLatin1String("qt_")))
        return;  // the rows and the small box ask by what lies under the pointer
    const std::string key = ExpertHelp::controlKey(name.toStdString());
    if (key.empty())
        Esperto123Off();
    else
        Esperto123(key);
}

// --- events ------------------------------------------------------------------

int EditorWindow::labelIndex(QObject *object) const
{
    return object->property(kIndexProperty).toInt();
}

bool EditorWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Controls report events while the form is still being built.
    if (!m_ready)
        return QMainWindow::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    if (type == QEvent::Enter)
        hoverControl(watched);

    // The help boxes: keys are discarded; a click on the large box and the
    // pointer over the small one ask for the help of the situation.
    const bool commandSelected = !m_commandList->selectedItems().isEmpty();
    const bool rowSelected = m_rows.selectedRow() >= 0;
    if (watched == m_esperto || watched == m_esperto2 || watched == m_esperto->viewport() ||
        watched == m_esperto2->viewport()) {
        if (type == QEvent::KeyPress || type == QEvent::ShortcutOverride)
            return true;
        if (type == QEvent::MouseButtonRelease && watched == m_esperto->viewport()) {
            m_help.Esperto_Click(commandSelected, rowSelected);
            showHelp();
        }
        if ((type == QEvent::MouseMove || type == QEvent::Enter) &&
            (watched == m_esperto2 || watched == m_esperto2->viewport())) {
            m_help.Esperto_2_MouseMove(commandSelected, rowSelected);
            showHelp();
        }
        return false;
    }
    if (type == QEvent::MouseButtonRelease && watched->objectName().startsWith(QLatin1String("Esperto"))) {
        // Help buttons: the click handler reads whether Shift was held.
        m_helpButtonModifiers = static_cast<QMouseEvent *>(event)->modifiers();
        return false;
    }
    if (watched == centralWidget()) {
        if (type == QEvent::MouseMove)
            Esperto123Off();
        return false;
    }
    if (watched == m_picture) {
        if (type == QEvent::MouseMove)
            Picture1_MouseMove(static_cast<QMouseEvent *>(event)->position());
        else if (type == QEvent::MouseButtonPress &&
                 static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            Picture1_MouseDown(static_cast<QMouseEvent *>(event)->position());
        return false;
    }

    if (const std::optional<HeaderField> which = headerFieldOf(watched)) {
        switch (type) {
        case QEvent::ShortcutOverride: {
            // Undo and redo are the panel's, not the field's own.
            const auto *key = static_cast<QKeyEvent *>(event);
            return key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
                   key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y);
        }
        case QEvent::KeyPress:
            return headerKeyPress(*which, static_cast<QKeyEvent *>(event));
        case QEvent::KeyRelease:
            headerKeyRelease(*which, static_cast<QKeyEvent *>(event));
            return false;
        case QEvent::FocusOut: {
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            // Leaving the field for another control of the window, not a
            // dialog or another program taking the focus for a while.
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                headerFocusOut(*which);
            return false;
        }
        case QEvent::Enter: {
            QLineEdit *edit = field(*which);
            if (edit != nullptr)
                edit->setToolTip(fromCp1252(HeaderFields::toolTip(
                    *which, toCp1252(edit->text()),
                    toCp1252(field(HeaderField::AghiCm)->text()), decimalSeparator())));
            return false;
        }
        default:
            return false;
        }
    }
    if (const std::optional<HeaderSpinner::Label> label = spinnerOf(watched)) {
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
            spinnerPressed(*label, static_cast<QMouseEvent *>(event)->button());
            return true;
        }
        if (type == QEvent::MouseButtonRelease) {
            spinnerReleased();
            return true;
        }
        return false;
    }

    const bool isRow = watched->objectName() == QLatin1String("Riga");
    const bool isSwatch = watched->objectName() == QLatin1String("Colore");
    if (!isRow && !isSwatch)
        return QMainWindow::eventFilter(watched, event);

    switch (type) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (isRow)
            Riga_MouseDown(labelIndex(watched), mouse->button(), mouse->modifiers(), mouse->position());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (isRow)
            Riga_MouseUp(labelIndex(watched), mouse->button(), mouse->modifiers(), mouse->position());
        else if (mouse->button() == Qt::LeftButton)
            Colore_Click(labelIndex(watched));
        return true;
    }
    case QEvent::MouseButtonDblClick:
        if (isRow)
            Riga_DblClick(labelIndex(watched));
        return true;
    case QEvent::Wheel:
        if (isRow) {
            // The wheel over the rows moves the list as the scroll bar does.
            const int steps = static_cast<QWheelEvent *>(event)->angleDelta().y() / 120;
            m_scroll->setValue(m_scroll->value() - 3 * steps);
            return true;
        }
        return false;
    case QEvent::MouseMove:
        if (isRow) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            Riga_MouseMove(labelIndex(watched), mouse->buttons(), mouse->modifiers(), mouse->position());
        }
        return false;
    default:
        return QMainWindow::eventFilter(watched, event);
    }
}

void EditorWindow::closeEvent(QCloseEvent *event)
{
    if (m_exitState == ExitNone && isModified())
        askToSaveOnExit();
    if (m_exitState == ExitCancelled) {
        m_exitState = ExitNone;
        event->ignore();
        return;
    }
    // The repeats end with the window; the palette goes with it.
    m_timer1->stop();
    m_timer2->stop();
    m_timer3->stop();
    if (m_palette)
        m_palette->close();
    event->accept();
}

// --- edits, keys, status ----------------------------------------------------

bool EditorWindow::isModified() const
{
    return m_markedModified || (m_undo != nullptr && !m_undo->isClean());
}

void EditorWindow::setModified(bool modified)
{
    m_markedModified = modified;
    if (!modified)
        m_undo->setClean();
}

void EditorWindow::pushStep(std::optional<PanelStep> step)
{
    if (!step)
        return;
    m_undo->push(new PanelUndoCommand(std::move(*step), [this](const PanelSnapshot &s) { applySnapshot(s); }));
}

void EditorWindow::finishOpenEdit()
{
    if (m_document.editOpen())
        pushStep(m_document.endEdit());
}

void EditorWindow::undo()
{
    closeValueEntry();
    // A held click ends here: its repeats would step the state undone.
    m_parameters.Riga_MouseMove(-1);
    mirrorTimer(m_timer1, m_parameters.timer());
    finishOpenEdit();
    m_undo->undo();
}

void EditorWindow::redo()
{
    closeValueEntry();
    finishOpenEdit();
    m_undo->redo();
}

void EditorWindow::applySnapshot(const PanelSnapshot &snapshot)
{
    closeValueEntry();
    m_restoring = true;
    m_document.restore(snapshot);
    fillHeaderFields();
    setLeftSideFields(m_document.leftRibShown(), m_document.leftNecklineShown());
    showColours();
    m_restoring = false;
    // An error hint spoke of the state left behind.
    if (m_help.errorShowing())
        Esperto123CancellaErrore();
    showPanelState();
}

void EditorWindow::fillHeaderFields()
{
    PanelHeader &header = m_startup.panel.header;
    for (HeaderField which : kHeaderFields) {
        const std::string *text = PanelDocument::headerText(header, which);
        QLineEdit *edit = field(which);
        if (text == nullptr || edit == nullptr || toCp1252(edit->text()) == *text)
            continue;
        edit->setText(fromCp1252(*text));
        if (which == HeaderField::IngombroPettini)
            if (const std::optional<Colour> colour = HeaderFields::combClearanceColour(*text, headerSettings()))
                setTextColour(edit, toQColor(*colour));
    }
}

void EditorWindow::headerTextChanged(HeaderField which, const QString &text)
{
    if (!m_ready || m_restoring)
        return;
    pushStep(m_document.setHeaderField(which, toCp1252(text)));
}

void EditorWindow::openValueEntry()
{
    closeValueEntry();
    finishOpenEdit();
    const int label = m_rows.highlightedLabel();
    const int field = m_parameters.entryField();
    const std::optional<FieldSpan> span = m_parameters.valueColumns(field);
    if (m_rows.selectedRow() < 0 || label < 0 || !span) {
        beep();
        return;
    }
    m_entryField = field;
    // Wide enough to type a value longer than the one shown.
    constexpr int kMinimumColumns = 6;
    const int width = std::max(span->width(), kMinimumColumns) * kColumnWidth + 4;
    const int x = std::min(1 + span->first * kColumnWidth, m_rowsFrame->width() - width - 2);
    const std::string value(trimBlanks(RowText::columns(m_rows.row(m_rows.selectedRow()), span->first, span->last)));
    m_entry->open(QRect(x, 2 + label * kRowHeight, width, kRowHeight), fromCp1252(value));
}

bool EditorWindow::acceptValue(const QString &text)
{
    if (!m_entry->isVisible() || m_entryField < 0)
        return false;
    PanelDocument::TypedEdit edit = m_document.typeValue(m_parameters, m_entryField, toCp1252(text));
    if (!edit.outcome.errorKey.empty()) {
        closeValueEntry();
        Esperto123Errore(edit.outcome.errorKey);
        return false;
    }
    if (edit.outcome.refused) {
        m_entry->setRefused(true);
        std::string words = m_startup.language.text(LanguageTable::ValoriAmmessi);
        words = (words.empty() ? std::string("Valori ammessi:") : words) + " " +
                ParameterEditor::describeValues(edit.outcome.allowed);
        m_entry->setToolTip(fromCp1252(words));
        QToolTip::showText(m_entry->mapToGlobal(QPoint(0, m_entry->height())), fromCp1252(words), m_entry);
        beep();
        return false;
    }
    closeValueEntry();
    pushStep(std::move(edit.step));
    showPanelState();
    return true;
}

void EditorWindow::closeValueEntry()
{
    if (m_entry == nullptr || !m_entry->isVisible())
        return;
    m_entryField = -1;
    const bool hadFocus = m_entry->hasFocus();
    {
        const QSignalBlocker blocker(m_entry);
        m_entry->hide();
    }
    QToolTip::hideText();
    if (hadFocus)
        m_rowsFrame->setFocus(Qt::OtherFocusReason);
}

void EditorWindow::moveSelection(int delta)
{
    const int count = m_rows.rowCount();
    if (count == 0)
        return;
    closeValueEntry();
    finishOpenEdit();
    const int selected = m_rows.selectedRow();
    const int row = selected < 0 ? m_rows.topRow() : std::clamp(selected + delta, 0, count - 1);
    m_rows.selectRow(row);
    refreshRows();
    showRowStatus();
}

void EditorWindow::toggleHelp()
{
    closeValueEntry();
    if (m_help.mode() == ExpertHelp::Mode::Expanded) {
        if (m_helpBeforeF1 == ExpertHelp::Mode::Hidden)
            EspertoModo3();
        else
            EspertoModo2();
    } else {
        m_helpBeforeF1 = m_help.mode();
        EspertoModo1();
    }
}

void EditorWindow::keyPressEvent(QKeyEvent *event)
{
    const QWidget *focus = focusWidget();
    const bool onRows = focus == nullptr || focus == m_rowsFrame || focus == this;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        moveSelection(event->key() == Qt::Key_Up ? -1 : 1);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (onRows) {
            openValueEntry();
            return;
        }
        break;
    case Qt::Key_Escape:
        if (m_help.mode() == ExpertHelp::Mode::Expanded) {
            toggleHelp();
            return;
        }
        break;
    default:
        break;
    }
    QMainWindow::keyPressEvent(event);
}

bool EditorWindow::selectSourceLine(int line)
{
    const int row = line - CourseMap::kFirstRowLine;
    if (row < 0 || row >= m_rows.rowCount())
        return false;
    closeValueEntry();
    finishOpenEdit();
    m_rows.selectRow(row);
    refreshRows();
    showRowStatus();
    return true;
}

void EditorWindow::goToReportLine(const CompileReportLine &line)
{
    if (line.kind == CompileReportLine::Kind::SourceLine) {
        if (selectSourceLine(line.number))
            return;
        // A header line: its field takes the focus.
        static constexpr std::array<HeaderField, 10> kHeaderLines{
            HeaderField::Tipo,         HeaderField::Frontura,        HeaderField::CostinaDx, HeaderField::ScolloDx,
            HeaderField::AltezzaBordo, HeaderField::Predisposizione, HeaderField::Uscita,    HeaderField::Note1,
            HeaderField::Note2,        HeaderField::Note3};
        if (line.number >= 1 && line.number <= int(kHeaderLines.size()))
            field(kHeaderLines[std::size_t(line.number - 1)])->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (line.kind == CompileReportLine::Kind::Step) {
        const int course = line.course >= 0 ? line.course : m_totals->courseOfCodeStep(line.number);
        const int row = m_courseMap.rowAtStep(std::min(course, m_courseMap.steps() - 1));
        if (row >= 0)
            selectSourceLine(CourseMap::kFirstRowLine + row);
    }
}

int EditorWindow::stepAt(QPointF position) const
{
    if (!(m_knit.scale > 0))
        return -1;
    const long step = std::lround((KnitDrawing::kBaseY - position.y()) / m_knit.scale);
    return step >= 0 && step < m_courseMap.steps() ? int(step) : -1;
}

void EditorWindow::Picture1_MouseDown(QPointF position)
{
    const int row = m_courseMap.rowAtStep(stepAt(position));
    if (row >= 0)
        selectSourceLine(CourseMap::kFirstRowLine + row);
}

void EditorWindow::showRowStatus()
{
    const int row = m_rows.selectedRow();
    if (row < 0 || row >= m_rows.rowCount()) {
        setStatus({});
        return;
    }
    const std::string &text = m_rows.row(row);
    const int line = CourseMap::kFirstRowLine + row;
    // The last compile's messages, while the row is still what was compiled.
    constexpr int kWrittenLast = 26;
    std::vector<std::string> errors;
    if (row < int(m_compiledRows.size()) &&
        RowText::columns(m_compiledRows[std::size_t(row)], 0, kWrittenLast) == RowText::columns(text, 0, kWrittenLast))
        for (const CompileReportLine &message : m_compileErrors)
            if (message.number == line)
                errors.push_back(message.text);
    setStatus(RowStatus::describe(text, line, m_startup.language, errors));
}

void EditorWindow::setStatus(const std::string &text)
{
    const QString shown = fromCp1252(text);
    if (m_statusRow->text() != shown)
        m_statusRow->setText(shown);
}

QString EditorWindow::statusText() const
{
    return m_statusRow->text();
}

} // namespace kn4::editor
