#include "document/librarybinding.h"
#include "window/managerwindow.h"
#ifdef KN4_TRANSFER_WINDOW
#include "transfer/window/transferside.h"
#endif

#include <kn4/programdirectory.h>

#include <QApplication>
#include <QMessageBox>

#include <filesystem>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    using namespace kn4::manager;

    // The program directory is the manager's own folder, or the folder
    // given as the first argument.
    ManagerContext context;
    context.programDirectory = argc > 1 ? std::filesystem::absolute(argv[1]).lexically_normal()
                                        : kn4::programDirectory(argv[0]);
    if (!context.programDirectory.has_filename())
        context.programDirectory = context.programDirectory.parent_path();

    const std::string failure = context.files.load(context.programDirectory);
    if (!failure.empty()) {
        QMessageBox::critical(nullptr, QStringLiteral("kn4manager"), QString::fromStdString(failure));
        return 1;
    }

    // The library answers the keyword file check of the settings window.
    kn4::editor::LibraryBinding library;
    if (library.load(context.programDirectory))
        context.lookup = [&library](std::string_view word) { return library.CercaFunzione(word).index; };
    else
        context.lookupError = library.errorMessage();

    ManagerWindow window(std::move(context));
#ifdef KN4_TRANSFER_WINDOW
    // The transfer to the machine's media: its menus and controls on the window.
    new TransferSide(&window);
#endif
    window.show();
    return app.exec();
}
