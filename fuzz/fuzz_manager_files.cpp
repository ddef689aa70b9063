// The archive manager's readers of what users and other programs write:
// panel files for the preview, lingua.ini, the keyword file it checks, and
// the editor parameter string, the saved state of kn4manager.sav. The first
// byte chooses the reader.
#include "coursebound.h"

#include "core/keywordfilecheck.h"
#include "core/managersettings.h"
#include "core/managertexts.h"
#include "core/panelpreview.h"

#include "kn4/compiledpanel.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace kn4::manager;
    if (size == 0)
        return 0;
    const std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    switch (data[0] % 5) {
    case 0: {
        // The machine check replays the code through the simulator's engine:
        // the code is cut at the course bound, as in the simulator's and the
        // print program's targets (the simulator's long target replays whole
        // codes through the same engine).
        const kn4::CompiledPanel panel(text);
        std::string bounded = text;
        if (panel.hasSeparator())
            bounded = text.substr(0, panel.codeOffset()) + kn4::fuzzing::cutAtCourseBound(panel.code())
                      + text.substr(panel.codeOffset() + panel.code().size());
        const PanelPreview preview = PanelPreview::fromBytes(bounded);
        if (preview.compiled && !preview.hasHeader)
            __builtin_trap();
        // A panel without code must never pass for one the machine takes.
        if (!preview.compiled && !preview.machine.refused())
            __builtin_trap();
        break;
    }
    case 1: {
        ManagerTexts texts;
        texts.loadText(text);
        if (texts.lineCount() > ManagerTexts::kMaxLines)
            __builtin_trap();
        for (int line = -1; line <= int(ManagerTexts::kMaxLines); ++line)
            (void)texts.text(line, Language::Spanish);
        break;
    }
    case 2:
        (void)KeywordFileCheck::unknownWords(text, [](std::string_view word) { return word.size() % 2 ? 1 : -1; });
        break;
    case 3:
        (void)EditorParameters::parse(text).text();
        break;
    default: {
        // What is saved reads back the same.
        const SavedState state = SavedState::fromText(text);
        if (state.mode < 0 || state.mode > 3)
            __builtin_trap();
        const SavedState again = SavedState::fromText(state.fileText());
        if (again.mode != state.mode || again.archive != state.archive || again.disk != state.disk
            || again.geometry != state.geometry)
            __builtin_trap();
        break;
    }
    }
    return 0;
}
