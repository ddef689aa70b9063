#include "transfer/transfermode.h"

#include "kn4/number.h"

namespace kn4::transfer {

namespace {

constexpr std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return r + 256 * g + 65536 * b;
}

} // namespace

ModeView ImpostaModo(Mode mode)
{
    ModeView view;
    view.checked[static_cast<std::size_t>(mode)] = true;
    switch (mode) {
    case Mode::Lince:
        view.floppyMenu = true;
        view.lincePlcList = true;
        view.caption = "LINCE - dischetto";
        view.colour = rgb(0, 0, 192);
        break;
    case Mode::Emulator:
        view.usbMenu = true;
        view.lincePlcList = true;
        view.imageControls = true;
        view.scansDrives = true;
        view.caption = "EMULATORE - immagini";
        view.colour = rgb(0, 128, 0);
        break;
    case Mode::Volpe:
        view.usbMenu = true;
        view.cambioVolpe = true;
        view.volpePlcList = true;
        view.scansDrives = true;
        view.caption = "VOLPE - USB";
        view.colour = rgb(192, 96, 0);
        break;
    case Mode::Orsa:
        view.usbMenu = true;
        view.scansDrives = true;
        view.caption = "ORSA - USB";
        view.colour = rgb(128, 0, 128);
        break;
    }
    return view;
}

std::string_view modeFolder(Mode mode)
{
    switch (mode) {
    case Mode::Emulator:
        return "immagini";
    case Mode::Volpe:
        return "maglie";
    case Mode::Orsa:
        return "orsa";
    case Mode::Lince:
        break;
    }
    return {};
}

std::string saveLine(Mode mode)
{
    return " " + std::to_string(static_cast<int>(mode));
}

Mode modeFromSaveText(std::string_view text)
{
    const int n = leadingInteger(text);
    return n >= 0 && n < int(kModeCount) ? static_cast<Mode>(n) : Mode::Lince;
}

} // namespace kn4::transfer
