#include "window/managerwindow.h"
#ifdef KN4_TRANSFER_WINDOW
#include "transfer/window/transferside.h"
#endif

#include <kn4/libraryclient.h>
#include <kn4/programdirectory.h>
#include <kn4/userdirectory.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Asks, for each language file an update installed, whether it replaces the
// user's copy; the answer is recorded either way. True when one was taken.
bool offerLanguageFiles(const kn4::ProgramLocations &where, const std::vector<kn4::LanguageFileOffer> &offers,
                        kn4::manager::Language language)
{
    struct Texts { const char *question; const char *changed; };
    static const std::array<Texts, kn4::manager::kLanguageCount> texts{{
        {"\u00C8 installata una versione pi\u00F9 recente di %1.\nSostituire il file della propria cartella?",
         "La propria copia \u00E8 stata modificata: le modifiche andranno perse."},
        {"A newer %1 is installed.\nReplace the file in your folder with it?",
         "Your copy has been changed: the changes will be lost."},
        {"Hay instalada una versi\u00F3n m\u00E1s reciente de %1.\n\u00BFSustituir el archivo de su carpeta?",
         "Su copia ha sido modificada: los cambios se perder\u00E1n."},
    }};
    const Texts &text = texts[std::size_t(language)];
    bool taken = false;
    for (const kn4::LanguageFileOffer &offer : offers) {
        QString question = QString::fromUtf8(text.question).arg(QString::fromStdString(offer.relativePath.string()));
        if (offer.changedByUser)
            question += QStringLiteral("\n") + QString::fromUtf8(text.changed);
        std::string error;
        const bool take = QMessageBox::question(nullptr, QStringLiteral("kn4manager"), question,
                                                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
                          QMessageBox::Yes;
        const bool recorded =
            take ? kn4::UserDirectory::acceptOffer(where.installedData, where.programDirectory, offer, &error)
                 : kn4::UserDirectory::declineOffer(where.installedData, where.programDirectory, offer, &error);
        if (!recorded)
            QMessageBox::warning(nullptr, QStringLiteral("kn4manager"), QString::fromStdString(error));
        taken = taken || (take && recorded);
    }
    return taken;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    using namespace kn4::manager;

    // The program directory is the manager's own folder in a build, the
    // user's own directory for an installed suite, or the folder given as
    // an argument. The programs and the library lie beside the manager. A
    // panel given as an argument (a panel file opened from the desktop) is
    // shown once the window is up.
    const kn4::ProgramLocations where = kn4::UserDirectory::locate(kn4::programDirectory(argv[0]));
    const StartArguments arguments = StartArguments::parse(std::vector<std::string>(argv + 1, argv + argc));
    ManagerContext context;
    context.binaryDirectory = where.binaryDirectory;
    context.programDirectory = arguments.programDirectory.empty()
                                   ? where.programDirectory
                                   : std::filesystem::absolute(arguments.programDirectory).lexically_normal();
    if (!context.programDirectory.has_filename())
        context.programDirectory = context.programDirectory.parent_path();

    // The user's directory is made from the installed data on the first
    // start and completed on later ones, never overwriting the user's files.
    const bool userDirectory = where.perUser() && context.programDirectory == where.programDirectory;
    kn4::SeedReport seeded;
    if (userDirectory) {
        seeded = kn4::UserDirectory::seed(where.installedData, where.programDirectory);
        if (!seeded.ok()) {
            QMessageBox::critical(nullptr, QStringLiteral("kn4manager"), QString::fromStdString(seeded.error));
            return 1;
        }
    }

    std::string failure = context.files.load(context.programDirectory);
    if (failure.empty() && !seeded.offers.empty() &&
        offerLanguageFiles(where, seeded.offers, context.files.settings.language))
        failure = context.files.load(context.programDirectory);
    if (!failure.empty()) {
        QMessageBox::critical(nullptr, QStringLiteral("kn4manager"), QString::fromStdString(failure));
        return 1;
    }

    // The library answers the keyword file check of the settings window.
    kn4::LibraryClient library;
    if (library.load(context.binaryDirectory.empty() ? context.programDirectory : context.binaryDirectory))
        context.lookup = [&library](std::string_view word) { return library.CercaFunzione(word).index; };
    else
        context.lookupError = library.errorMessage();

    ManagerWindow window(std::move(context));
#ifdef KN4_TRANSFER_WINDOW
    // The transfer to the machine's media: its menus and controls on the window.
    new TransferSide(&window);
#endif
    window.show();
    // Edits of an earlier session that never came back are offered first.
    QTimer::singleShot(0, &window, [&window] { window.offerOrphans(); });
    if (!arguments.panel.empty()) {
        const QString panel = QString::fromStdString(std::filesystem::absolute(arguments.panel).string());
        QTimer::singleShot(0, &window, [&window, panel] { window.showPanel(panel); });
    }
    return app.exec();
}
