#include "printoutput.h"

#include "pagepainter.h"

#include "kn4/atomicfile.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <filesystem>
#include <string>

namespace kn4 {

bool PrintOutput::paint(QPagedPaintDevice &device, const std::vector<PrintPage> &pages)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QRectF target(0, 0, device.width(), device.height());
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !device.newPage())
            return false;
        PagePainter::paint(painter, pages[i], target);
    }
    return painter.end();
}

bool PrintOutput::print(QPrinter &printer, const std::vector<PrintPage> &pages)
{
    printer.setFullPage(true);
    return paint(printer, pages);
}

bool PrintOutput::writePdf(const QString &path, const QString &title, const std::vector<PrintPage> &pages,
                           QString *error)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("stampa"));
        writer.setResolution(600);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        if (!paint(writer, pages)) {
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
