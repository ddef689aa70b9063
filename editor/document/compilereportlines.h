#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kn4::editor {

// One message of the compile report, as the compiler writes it: a source
// message "-   12 comando errato XYZ" names the source line, a code message
// ".   45 comandi incompatibili ..." the step of the code; either may go on
// in continuation lines that begin with seven blanks (a code message's
// "       alla riga 176" names the course it was at).
struct CompileReportLine
{
    enum class Kind { None, SourceLine, Step };

    Kind kind = Kind::None;
    int number = 0;   // the source line or the code step
    int course = -1;  // "alla riga C" of a code message; -1 when it has none
    std::string text; // the message, continuation lines joined by a blank
};

// Reads the messages of a compile report (its text as the report window
// shows it, lines ended by LF or CR LF).
class CompileReportLines
{
public:
    // The message a line of the report belongs to: the line itself, or the
    // message its continuation lines go on; Kind::None for the banner, the
    // summaries and the empty lines.
    static CompileReportLine at(std::string_view report, int lineIndex);
    // Every message of the report, in order.
    static std::vector<CompileReportLine> all(std::string_view report);
};

} // namespace kn4::editor
