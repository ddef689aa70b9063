#pragma once

#include "aliastable.h"
#include "printarguments.h"
#include "printedpanel.h"
#include "printjobbuilder.h"

#include "kn4/labelfile.h"

#include <optional>
#include <string>
#include <string_view>

namespace kn4 {

// The start of the print program up to the printed pages: the argument
// string, the label file stampa.ini and the keyword file VUZUDO.KEY of the
// language folder, the compiled panel with its header values, listing and
// profile. Every failure is a message for the user, never a crash.
class PrintLoader
{
public:
    static constexpr std::size_t kLabelCount = 50;
    static constexpr std::string_view kLabelFile = "stampa.ini";
    static constexpr std::string_view kKeywordFile = "VUZUDO.KEY";

    // The message of a panel whose header or code go beyond what a needle
    // bed and a legal code hold.
    static constexpr std::size_t kDamagedLabel = 40;

    struct Failure
    {
        std::string title; // UTF-8
        std::string text;  // UTF-8
        bool usage = false; // the argument string itself is malformed
    };

    // Reads the label and keyword files named by the argument string.
    bool loadFiles(std::string_view argumentString);
    // Reads the panel and computes everything the pages show.
    bool loadPanel();

    // The listing lines as printed, UTF-8, one per line.
    std::string listingText() const;
    std::vector<PrintPage> pages() const;

    const std::optional<Failure> &failure() const { return m_failure; }
    const PrintArguments &arguments() const { return m_arguments; }
    const LabelFile &labels() const { return m_labels; }
    const PrintContent &content() const { return m_content; }
    // The label text in UTF-8.
    std::string label(std::size_t n) const;

    // The program's name and version, at the top of page 1.
    void setProgramName(std::string name) { m_content.programName = std::move(name); }

private:
    bool fail(std::string title, std::string text);

    PrintArguments m_arguments;
    LabelFile m_labels;
    AliasTable m_aliases;
    PrintContent m_content;
    std::optional<Failure> m_failure;
};

} // namespace kn4
