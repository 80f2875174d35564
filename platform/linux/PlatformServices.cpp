// The Linux services: NetworkManager for the connections, libcanberra for the chime and
// XDG autostart entries.
#include "platform/common/Services.h"

#include "platform/linux/CanberraSoundPlayer.h"
#include "platform/linux/NetworkManagerBackend.h"
#include "platform/linux/XdgAutostart.h"

namespace vetorlan {

void os::InstallPlatformServices(Services& services) {
    services.connections = std::make_unique<NetworkManagerBackend>();
    services.sound = std::make_unique<CanberraSoundPlayer>();
    services.autorun = std::make_unique<XdgAutostartStore>();
}

} // namespace vetorlan
