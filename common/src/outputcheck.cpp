#include "kn4/outputcheck.h"

#include "kn4/compiledpanel.h"
#include "kn4/filelookup.h"
#include "kn4/filereader.h"

#include <system_error>

namespace kn4 {

namespace fs = std::filesystem;

std::string outputRefusal(const fs::path &output, const std::vector<fs::path> &inputs)
{
    std::error_code ec;
    const fs::file_status status = fs::status(output, ec);
    if (!fs::exists(status))
        return {};
    for (const fs::path &input : inputs) {
        std::error_code same;
        if (fs::equivalent(output, input, same))
            return "is " + input.string() + ", one of the files read";
    }
    if (!fs::is_regular_file(status))
        return "exists and is not a regular file";
    if (equalsIgnoringCase(output.extension().string(), ".kn4"))
        return "is an existing panel";
    const FileContent content = FileReader::read(output, FileReader::kPanelLimit);
    const std::string_view bytes = content.bytes;
    if (bytes.rfind(CompiledPanel::kMarkerLine, 0) == 0
        || bytes.find("\n" + std::string(CompiledPanel::kMarkerLine)) != std::string_view::npos)
        return "is an existing panel";
    return {};
}

} // namespace kn4
