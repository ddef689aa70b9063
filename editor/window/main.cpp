#include "document/editorstartup.h"
#include "document/librarybinding.h"
#include "kn4/colourpalette.h"
#include "window/editorwindow.h"

#include <QApplication>
#include <QMessageBox>

#include <filesystem>
#include <string>

namespace {

// Panel files write each colour box as the code of its palette cell.
kn4::editor::ColourCodec paletteCodec()
{
    kn4::editor::ColourCodec codec;
    codec.toCode = [](kn4::editor::Colour colour, char &code) {
        std::string text;
        if (!kn4::ColourPalette::TestColore(kn4::ColourPalette::kModeColourToCode, colour, text))
            return false;
        code = text.front();
        return true;
    };
    codec.toColour = [](char code, kn4::editor::Colour &colour) {
        std::string text(1, code);
        return kn4::ColourPalette::TestColore(kn4::ColourPalette::kModeCodeToColour, colour, text);
    };
    return codec;
}

void showError(const std::string &message)
{
    QMessageBox::critical(nullptr, QStringLiteral("Kn4Edit"), QString::fromStdString(message));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    using namespace kn4::editor;

    const std::filesystem::path programDirectory =
        QCoreApplication::applicationDirPath().toStdString();
    LibraryBinding library;
    const bool loaded = library.load(programDirectory);

    EditorStartup::Input input;
    // The manager passes one argument string; a shell may split it at blanks.
    for (int i = 1; i < argc; ++i)
        input.arguments += (i > 1 ? " " : "") + std::string(argv[i]);
    input.workingDirectory = std::filesystem::current_path();
    StartupResult startup = EditorStartup::run(input, loaded ? &library : nullptr,
                                               library.errorMessage(), paletteCodec());
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
