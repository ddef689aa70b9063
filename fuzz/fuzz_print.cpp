// The print program's readers on any bytes: the argument string, the
// keyword file's aliases and a compiled panel, read into header values,
// listing (aliases cut before the parameters, counts marked when too long)
// and profile (through the simulator's engine, refused beyond a needle bed)
// and laid out on pages with their footers. The input is split at its
// first NUL byte: keyword file before it, panel after it (the whole input
// is both when there is none). The profile walks the code cut at the
// course bound of coursebound.h; the simulator's long target replays whole
// codes through the same engine.
#include "coursebound.h"

#include "aliastable.h"
#include "countcolumn.h"
#include "listingbuilder.h"
#include "printarguments.h"
#include "printedpanel.h"
#include "printjobbuilder.h"
#include "profilewalk.h"

#include "kn4/labelfile.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const std::size_t split = input.find('\0');
    const std::string_view keywords = split == std::string_view::npos ? input : input.substr(0, split);
    const std::string_view panelBytes = split == std::string_view::npos ? input : input.substr(split + 1);

    (void)kn4::PrintArguments::parse(keywords);
    static const kn4::LabelFile labels = [] {
        std::string text;
        for (int i = 0; i < 50; ++i)
            text += "label " + std::to_string(i) + "\r\n";
        return kn4::LabelFile::fromText(text, 50);
    }();
    const kn4::AliasTable aliases = kn4::AliasTable::fromText(keywords);
    const kn4::PrintedPanel panel = kn4::PrintedPanel::fromBytes(std::string(panelBytes));

    kn4::PrintContent content;
    content.header = kn4::PanelHeaderValues::read(panel, labels);
    content.listing = kn4::ListingBuilder(aliases, labels, content.header.setupValue).build(panel.programText());
    if (panel.hasCodeBlock())
        content.profile =
            kn4::ProfileWalk::walk(content.header, kn4::fuzzing::cutAtCourseBound(panel.codeBlock())).drawing;
    (void)kn4::PrintJobBuilder(labels).build(content);
    (void)kn4::CountColumn::column(keywords.substr(0, 12), std::int64_t(size) * 123456789);
    return 0;
}
