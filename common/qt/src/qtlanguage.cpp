#include "kn4/qtlanguage.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace kn4 {

namespace {

// Qt names the keys of a shortcut in the context "QShortcut".
class KeyNameTranslator : public QTranslator
{
public:
    explicit KeyNameTranslator(std::map<QString, QString> names, QObject *parent)
        : QTranslator(parent), m_names(std::move(names))
    {
    }

    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (context == nullptr || sourceText == nullptr || qstrcmp(context, "QShortcut") != 0)
            return {};
        const auto found = m_names.find(QString::fromLatin1(sourceText));
        return found == m_names.end() ? QString() : found->second;
    }
    bool isEmpty() const override { return m_names.empty(); }

private:
    std::map<QString, QString> m_names;
};

QPointer<QTranslator> g_qt;
QPointer<QTranslator> g_keys;

void remove(QPointer<QTranslator> &translator)
{
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

} // namespace

QString QtLanguage::codeOfFolder(const QString &languageFolder)
{
    QString name = QDir::cleanPath(languageFolder);
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1).toLower();
    if (name == QLatin1String("italiano"))
        return QStringLiteral("it");
    if (name == QLatin1String("inglese"))
        return QStringLiteral("en");
    if (name == QLatin1String("spagnolo"))
        return QStringLiteral("es");
    return {};
}

bool QtLanguage::install(const QString &languageFolder, const std::map<QString, QString> &keyNames)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (app == nullptr)
        return false;
    remove(g_keys);
    remove(g_qt);
    const QString code = codeOfFolder(languageFolder);
    bool found = code.isEmpty() || code == QLatin1String("en");
    if (!found) {
        auto *qt = new QTranslator(app);
        if (qt->load(QStringLiteral("qtbase_") + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(qt);
            g_qt = qt;
            found = true;
        } else {
            delete qt;
        }
    }
    // Installed last, asked first.
    std::map<QString, QString> names;
    for (const auto &[key, name] : keyNames)
        if (!name.trimmed().isEmpty())
            names.emplace(key, name.trimmed());
    if (!names.empty()) {
        g_keys = new KeyNameTranslator(std::move(names), app);
        QCoreApplication::installTranslator(g_keys);
    }
    return found;
}

} // namespace kn4
