#include "document/editorstartup.h"
#include "document/librarybinding.h"
#include "window/editorwindow.h"
#include "document/palettecodec.h"
#include "kn4/programdirectory.h"

#include <QApplication>
#include <QMessageBox>

#include <filesystem>
#include <string>

namespace {

void showError(const std::string &message)
{
    QMessageBox::critical(nullptr, QStringLiteral("Kn4Edit"), QString::fromStdString(message));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    using namespace kn4::editor;

    const std::filesystem::path programDirectory = kn4::programDirectory(argc > 0 ? argv[0] : nullptr);
    LibraryBinding library;
    const bool loaded = library.load(programDirectory);

    EditorStartup::Input input;
    // The manager passes one argument string; a shell may split it at blanks.
    for (int i = 1; i < argc; ++i)
        input.arguments += (i > 1 ? " " : "") + std::string(argv[i]);
    input.workingDirectory = std::filesystem::current_path();
    StartupResult startup = EditorStartup::run(input, loaded ? &library : nullptr,
                                               library.errorMessage(), kn4::editor::paletteColourCodec());
    if (startup.ended()) {
        showError(startup.fatalMessage);
        return 1;
    }
    for (const std::string &message : startup.messages)
        showError(message);

    EditorWindow window(EditorContext{library, startup, library.fileDate()});
    window.show();
    return app.exec();
}
