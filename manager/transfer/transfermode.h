#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kn4::transfer {

// The controller family the technician prepares media for; the number is
// what kn4manager.sav keeps.
enum class Mode : std::uint8_t {
    Lince = 0,    // a real 720 KB floppy
    Emulator = 1, // diskette image files for a floppy emulator
    Volpe = 2,    // folders of a USB stick, volpe controllers
    Orsa = 3,     // folders of a USB stick, orsa controllers
};
constexpr std::size_t kModeCount = 4;

// What ImpostaModo sets on the main window for a mode; the window applies it.
struct ModeView
{
    std::array<bool, kModeCount> checked{}; // menu entries Lince, Emu, Volpe, orsa
    bool usbMenu = false;       // disk folders of a USB stick and safe removal
    bool floppyMenu = false;    // formatting and checking the floppy
    bool cambioVolpe = false;   // change of the volpe controller program
    bool volpePlcList = false;  // Combo4
    bool lincePlcList = false;  // Combo3
    bool imageControls = false; // List3, Command4, Command6
    bool scansDrives = false;   // Timer1 looks for newly connected drives
    std::string caption;        // Label5
    std::uint32_t colour = 0;   // Label5's colour, red + 256 green + 65536 blue
};

ModeView ImpostaModo(Mode mode);

// The folder on a drive that holds the mode's disks ("immagini", "maglie",
// "orsa"); empty for the floppy of lince.
std::string_view modeFolder(Mode mode);

// kn4manager.sav: one line, the mode number after a blank. A missing or
// unreadable number reads as lince.
std::string saveLine(Mode mode);
Mode modeFromSaveText(std::string_view text);

} // namespace kn4::transfer
