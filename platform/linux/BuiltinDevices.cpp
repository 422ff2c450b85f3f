// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/DeviceRegistry.h"

namespace platform::layer {

std::shared_ptr<KernelObject> OpenBuiltinDevice(const std::string&, const OpenRequest&) {
    win::SetLastError(win::ERROR_FILE_NOT_FOUND);
    return nullptr;
}

} // namespace platform::layer
