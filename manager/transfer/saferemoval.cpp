#include "transfer/saferemoval.h"

namespace kn4::transfer {

RemovalPlan safeRemoval(const Drive &drive, bool udisksAvailable)
{
    RemovalPlan plan;
    const std::string where = drive.root.string();
    if (drive.device.empty()) {
        plan.message = where + " non è un disco rimovibile: nessuna rimozione necessaria.";
        return plan;
    }
    if (!udisksAvailable) {
        plan.message = "Prima di togliere il disco smontarlo: umount " + where
                       + " (oppure \"Rimozione sicura\" del desktop).";
        return plan;
    }
    plan.commands.push_back({"udisksctl", "unmount", "-b", drive.device});
    plan.commands.push_back({"udisksctl", "power-off", "-b", drive.device});
    return plan;
}

std::string removalFailed(const Drive &drive, const std::string &detail)
{
    return "Impossibile rimuovere " + drive.root.string() + " (" + drive.device + "): " + detail
           + "\nChiudere i file aperti nel disco e riprovare.";
}

} // namespace kn4::transfer
