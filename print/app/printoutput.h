#pragma once

#include "pagesequence.h"
#include "printpage.h"

#include <QPageLayout>
#include <QRectF>
#include <QString>

#include <cstddef>
#include <vector>

class QPagedPaintDevice;
class QPrinter;

namespace kn4 {

// Sends the pages of a print-out to a printer or into a PDF file. The page
// of 40000 x 60000 units fills the printable area of the paper as far as
// its proportions allow, centred; the printable area keeps a margin of at
// least kMinimumMarginMm on every side, more where the printer needs it.
class PrintOutput
{
public:
    static constexpr double kMinimumMarginMm = 5;

    // Where the page goes within a printable area of the given size: scaled
    // alike across and down, centred.
    static QRectF pageTarget(const QSizeF &printableArea);
    // A4 with the smallest margins, upright unless told otherwise.
    static QPageLayout defaultLayout(QPageLayout::Orientation orientation = QPageLayout::Portrait);
    // The layout with every margin raised to at least kMinimumMarginMm.
    static QPageLayout withMinimumMargins(QPageLayout layout);

    // Paints the pages of order (indices into pages) onto the device, a new
    // sheet for each after the first.
    static bool paint(QPagedPaintDevice &device, const std::vector<PrintPage> &pages,
                      const std::vector<std::size_t> &order);
    // The range, copies and collation the user chose in the print dialog;
    // copies the printer makes itself are left to it.
    static PageSelection selection(const QPrinter &printer);
    // Prints on the printer the user chose, as selection() says.
    static bool print(QPrinter &printer, const std::vector<PrintPage> &pages);
    // Writes a PDF of the pages of order on the paper of layout (A4 portrait
    // by default); the file is replaced only once it is complete.
    static bool writePdf(const QString &path, const QString &title, const std::vector<PrintPage> &pages,
                         QString *error, const QPageLayout &layout = defaultLayout(),
                         const std::vector<std::size_t> &order = {});
};

} // namespace kn4
