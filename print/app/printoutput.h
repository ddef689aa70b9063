#pragma once

#include "printpage.h"

#include <QString>

#include <vector>

class QPagedPaintDevice;
class QPrinter;

namespace kn4 {

// Sends the pages of a print-out to a printer or into a PDF file.
class PrintOutput
{
public:
    // Paints every page onto the device, a new page for each after the first.
    static bool paint(QPagedPaintDevice &device, const std::vector<PrintPage> &pages);
    // Prints on the printer the user chose, the whole paper being the page.
    static bool print(QPrinter &printer, const std::vector<PrintPage> &pages);
    // Writes an A4 PDF; the file is replaced only once it is complete.
    static bool writePdf(const QString &path, const QString &title, const std::vector<PrintPage> &pages,
                         QString *error);
};

} // namespace kn4
