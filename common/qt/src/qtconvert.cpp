#include "kn4/qtconvert.h"

#include "kn4/cp1252.h"

namespace kn4 {

QColor toQColor(Colour colour)
{
    return QColor(redOf(colour), greenOf(colour), blueOf(colour));
}

Colour fromQColor(const QColor &colour)
{
    return rgb(colour.red(), colour.green(), colour.blue());
}

QString fromCp1252(std::string_view bytes)
{
    const std::string utf8 = cp1252ToUtf8(bytes);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

std::string toCp1252(const QString &text, char replacement)
{
    const QByteArray utf8 = text.toUtf8();
    return utf8ToCp1252(std::string_view(utf8.constData(), std::size_t(utf8.size())), replacement);
}

} // namespace kn4
