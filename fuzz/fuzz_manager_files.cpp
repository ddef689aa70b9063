// The archive manager's readers of what users and other programs write:
// panel files for the preview, lingua.ini, the keyword file it checks, and
// the editor parameter string. The first byte chooses the reader.
#include "core/keywordfilecheck.h"
#include "core/managersettings.h"
#include "core/managertexts.h"
#include "core/panelpreview.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace kn4::manager;
    if (size == 0)
        return 0;
    const std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    switch (data[0] % 4) {
    case 0: {
        const PanelPreview preview = PanelPreview::fromBytes(text);
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
    default:
        (void)EditorParameters::parse(text).text();
        break;
    }
    return 0;
}
