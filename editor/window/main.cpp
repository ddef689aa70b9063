#include "document/editorstartup.h"
#include "document/librarybinding.h"
#include "window/editorwindow.h"
#include "document/palettecodec.h"
#include "kn4/programdirectory.h"

#include <QApplication>
#include <QMessageBox>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

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
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const std::optional<int> row = CommandLine::takeRowOption(arguments);
    // The manager passes one argument string; a shell may split it at blanks.
    for (std::size_t i = 0; i < arguments.size(); ++i)
        input.arguments += (i > 0 ? " " : "") + arguments[i];
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
    if (row)
        window.selectSourceLine(*row);
    window.show();
    return app.exec();
}
