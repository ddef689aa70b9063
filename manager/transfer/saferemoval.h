#pragma once

#include "transfer/drivescan.h"

#include <string>
#include <vector>

namespace kn4::transfer {

// Safe removal of a stick (Command1): unmount the volume and power the
// drive off through udisks, so the technician may pull it out.
struct RemovalPlan
{
    std::vector<std::vector<std::string>> commands; // run one after the other, each must succeed
    std::string message; // when there is nothing to run: what to do instead
};

// udisksAvailable tells whether udisksctl is installed.
RemovalPlan safeRemoval(const Drive &drive, bool udisksAvailable);

// The message shown when a command of the plan fails.
std::string removalFailed(const Drive &drive, const std::string &detail);

} // namespace kn4::transfer
