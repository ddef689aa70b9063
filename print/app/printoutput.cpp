#include "printoutput.h"

#include "pagepainter.h"

#include "kn4/atomicfile.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <string>

namespace kn4 {

QRectF PrintOutput::pageTarget(const QSizeF &printableArea)
{
    const double scale = std::min(printableArea.width() / page::kWidth, printableArea.height() / page::kHeight);
    const QSizeF size(page::kWidth * scale, page::kHeight * scale);
    return QRectF(QPointF((printableArea.width() - size.width()) / 2, (printableArea.height() - size.height()) / 2),
                  size);
}

QPageLayout PrintOutput::withMinimumMargins(QPageLayout layout)
{
    const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
    const QMarginsF raised(std::max(margins.left(), kMinimumMarginMm), std::max(margins.top(), kMinimumMarginMm),
                           std::max(margins.right(), kMinimumMarginMm),
                           std::max(margins.bottom(), kMinimumMarginMm));
    layout.setUnits(QPageLayout::Millimeter);
    layout.setMargins(raised);
    return layout;
}

QPageLayout PrintOutput::defaultLayout(QPageLayout::Orientation orientation)
{
    return QPageLayout(QPageSize(QPageSize::A4), orientation,
                       QMarginsF(kMinimumMarginMm, kMinimumMarginMm, kMinimumMarginMm, kMinimumMarginMm),
                       QPageLayout::Millimeter);
}

bool PrintOutput::paint(QPagedPaintDevice &device, const std::vector<PrintPage> &pages,
                        const std::vector<std::size_t> &order)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // The painter's origin is the printable area's corner.
    const QRectF target = pageTarget(QSizeF(device.width(), device.height()));
    bool first = true;
    for (std::size_t index : order) {
        if (index >= pages.size())
            continue;
        if (!first && !device.newPage())
            return false;
        first = false;
        PagePainter::paint(painter, pages[index], target);
    }
    return painter.end();
}

PageSelection PrintOutput::selection(const QPrinter &printer)
{
    PageSelection chosen;
    if (printer.printRange() == QPrinter::PageRange) {
        chosen.from = printer.fromPage();
        chosen.to = printer.toPage();
    }
    chosen.reverse = printer.pageOrder() == QPrinter::LastPageFirst;
    if (!printer.supportsMultipleCopies()) {
        chosen.copies = printer.copyCount();
        chosen.collate = printer.collateCopies();
    }
    return chosen;
}

bool PrintOutput::print(QPrinter &printer, const std::vector<PrintPage> &pages)
{
    printer.setFullPage(false);
    printer.setPageLayout(withMinimumMargins(printer.pageLayout()));
    return paint(printer, pages, pageSequence(pages.size(), selection(printer)));
}

bool PrintOutput::writePdf(const QString &path, const QString &title, const std::vector<PrintPage> &pages,
                           QString *error, const QPageLayout &layout, const std::vector<std::size_t> &order)
{
    std::vector<std::size_t> all(pages.size());
    std::iota(all.begin(), all.end(), std::size_t(0));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("stampa"));
        writer.setResolution(600);
        writer.setPageLayout(withMinimumMargins(layout));
        if (!paint(writer, pages, order.empty() ? all : order)) {
            if (error)
                *error = QStringLiteral("the PDF could not be drawn");
            return false;
        }
    }
    std::string message;
    const QByteArray &bytes = buffer.data();
    if (!writeFileAtomically(std::filesystem::path(path.toStdString()),
                             std::string_view(bytes.constData(), std::size_t(bytes.size())), &message)) {
        if (error)
            *error = QString::fromStdString(message);
        return false;
    }
    return true;
}

} // namespace kn4
