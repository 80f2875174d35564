// The Windows services: RAS for the connections, PlaySound for the chime and the registry's
// Run key for autostart.
#include "platform/common/Services.h"

#include "platform/windows/RasBackend.h"
#include "platform/windows/RegistryAutorun.h"
#include "platform/windows/WindowsSoundPlayer.h"

namespace vetorlan {

void os::InstallPlatformServices(Services& services) {
    services.connections = std::make_unique<RasBackend>();
    services.sound = std::make_unique<WindowsSoundPlayer>();
    services.autorun = std::make_unique<RegistryAutorunStore>();
}

} // namespace vetorlan
