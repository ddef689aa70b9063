#include "compilereport.h"

#include "kn4/qtconvert.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace kn4::editor {

namespace {

constexpr int kMargin = 8;
constexpr int kLedSize = 20;
constexpr int kLineHeight = 20;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 24;

QString fromUtf8(const std::string &text)
{
    return QString::fromStdString(text);
}

QFont labelFont(bool bold = false)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSize(9);
    font.setBold(bold);
    return font;
}

} // namespace

CompileLed::CompileLed(QWidget *parent) : QWidget(parent) {}

void CompileLed::setColour(const QColor &colour)
{
    m_colour = colour;
    update();
}

void CompileLed::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(m_colour);
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

ReportTextBox::ReportTextBox(QWidget *parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    // Selection and scrolling stay with the mouse; the arrow keys move
    // through the lines.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void ReportTextBox::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        choose(false);
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        if (event->modifiers() == Qt::NoModifier) {
            QPlainTextEdit::keyPressEvent(event);
            break;
        }
        [[fallthrough]];
    default:
        break;
    }
    event->accept();
}

void ReportTextBox::mouseReleaseEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    // A drag selects text to copy; a click chooses the line.
    if (event->button() == Qt::LeftButton && !textCursor().hasSelection())
        choose(false);
}

void ReportTextBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        choose(true);
}

void ReportTextBox::choose(bool close)
{
    const QTextCursor cursor = textCursor();
    // The chosen line stands out.
    QTextEdit::ExtraSelection line;
    line.format.setBackground(QColor(200, 220, 255));
    line.format.setProperty(QTextFormat::FullWidthSelection, true);
    line.cursor = cursor;
    line.cursor.clearSelection();
    setExtraSelections({line});
    if (onLineChosen)
        onLineChosen(cursor.blockNumber(), close);
}

void ReportTextBox::keyReleaseEvent(QKeyEvent *event)
{
    event->accept();
}

void ReportTextBox::inputMethodEvent(QInputMethodEvent *event)
{
    event->accept();
}

frmPopUpCompilazione::frmPopUpCompilazione(std::int32_t compileResult, std::string compileReport,
                                           const LanguageTable &language, QWidget *parent)
    : QDialog(parent), m_result(compileResult), m_report(std::move(compileReport)), m_language(language)
{
    setObjectName(QStringLiteral("frmPopUpCompilazione"));
    setModal(true);
    setWindowTitle(QString::fromLatin1(CompileReportView::kCaption));

    m_led = new CompileLed(this);
    m_led->setObjectName(QStringLiteral("LedCompilazione"));

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setFont(labelFont(true));

    m_label1 = new QLabel(QString::fromLatin1(CompileReportView::kLabel1), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setFont(labelFont());

    m_text = new ReportTextBox(this);
    m_text->setObjectName(QStringLiteral("txtCompilazione"));
    QFont mono(QStringLiteral("Liberation Mono"));
    mono.setStyleHint(QFont::Monospace);
    mono.setPointSize(9);
    m_text->setFont(mono);
    m_text->hide();

    // The check box says what it shows (beyond the window's built-in form,
    // which had no caption).
    const std::string tipsCaption = language.text(LanguageTable::ResocontoCompleto);
    m_tips = new QCheckBox(tipsCaption.empty() ? QStringLiteral("Resoconto completo") : fromCp1252(tipsCaption), this);
    m_tips->setObjectName(QStringLiteral("chkTips"));
    m_tips->setFont(labelFont());
    m_text->onLineChosen = [this](int line, bool close) { lineChosen(line, close); };
    connect(m_tips, &QCheckBox::clicked, this, &frmPopUpCompilazione::chkTips_Click);

    m_close = new QPushButton(QString::fromLatin1(CompileReportView::kCloseCaption), this);
    m_close->setObjectName(QStringLiteral("cmdChiudi"));
    m_close->setFont(labelFont());
    m_close->setDefault(true);
    connect(m_close, &QPushButton::clicked, this, &frmPopUpCompilazione::cmdChiudi_Click);

    connect(this, &frmPopUpCompilazione::beeped, this, [] { QApplication::beep(); });
}

void frmPopUpCompilazione::showModal(std::int32_t compileResult, const std::string &compileReport,
                                     const LanguageTable &language, QWidget *parent, LineHandler handler)
{
    frmPopUpCompilazione window(compileResult, compileReport, language, parent);
    window.setLineHandler(std::move(handler));
    window.exec();
}

void frmPopUpCompilazione::lineChosen(int line, bool close)
{
    const CompileReportLine message = CompileReportLines::at(m_text->toPlainText().toStdString(), line);
    if (message.kind == CompileReportLine::Kind::None)
        return;
    if (m_lineHandler)
        m_lineHandler(message);
    if (close)
        cmdChiudi_Click();
}

void frmPopUpCompilazione::showEvent(QShowEvent *event)
{
    Form_Load();
    QDialog::showEvent(event);
}

void frmPopUpCompilazione::Form_Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    short compact = CompileReportView::kCompact;
    ResocontoCompilazione(compact);

    const CompileReportView::Opening opening = CompileReportView::opening(m_result, m_report);
    m_text->setPlainText(fromUtf8(opening.report));
    m_led->setColour(toQColor(opening.indicator));
    m_status->setText(fromUtf8(opening.status));
    if (opening.beep)
        emit beeped();
}

void frmPopUpCompilazione::ResocontoCompilazione(short &a)
{
    const CompileReportView::Layout layout =
        CompileReportView::ResocontoCompilazione(a, m_result, m_language);
    m_viewMode = layout.viewMode;
    setFixedSize(layout.widthPixels(), layout.heightPixels());
    m_label1->setVisible(layout.label1Visible);
    m_text->setVisible(layout.reportVisible);
    if (layout.caption)
        setWindowTitle(fromUtf8(*layout.caption));
    if (layout.closeCaption)
        m_close->setText(fromUtf8(*layout.closeCaption));
    if (layout.label1Text)
        m_label1->setText(fromUtf8(*layout.label1Text));
    if (layout.label1Colour) {
        QPalette palette = m_label1->palette();
        palette.setColor(QPalette::WindowText, toQColor(*layout.label1Colour));
        m_label1->setPalette(palette);
    }
    placeControls();
}

void frmPopUpCompilazione::placeControls()
{
    const int w = width();
    const int h = height();
    const int top = kMargin + kLedSize + kMargin;
    m_led->setGeometry(kMargin, kMargin, kLedSize, kLedSize);
    m_status->setGeometry(2 * kMargin + kLedSize, kMargin, w - 3 * kMargin - kLedSize, kLedSize);
    m_label1->setGeometry(kMargin, top, w - 2 * kMargin, kLineHeight);
    m_close->setGeometry(w - kMargin - kButtonWidth, h - kMargin - kButtonHeight, kButtonWidth,
                         kButtonHeight);
    // As wide as its caption needs, within the room left of the button.
    const int tipsWidth = std::min(m_tips->sizeHint().width(), w - 3 * kMargin - kButtonWidth);
    m_tips->setGeometry(kMargin, h - kMargin - kButtonHeight, tipsWidth, kButtonHeight);
    m_text->setGeometry(kMargin, top, w - 2 * kMargin, h - top - 2 * kMargin - kButtonHeight);
}

void frmPopUpCompilazione::chkTips_Click()
{
    short a = m_tips->isChecked() ? 1 : 0;
    ResocontoCompilazione(a);
}

void frmPopUpCompilazione::cmdChiudi_Click()
{
    done(QDialog::Accepted);
}

} // namespace kn4::editor
