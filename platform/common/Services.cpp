#include "platform/common/Services.h"

#include "core/AutorunStore.h"
#include "core/Sound.h"
#include "forecast/CopyView.h"
#include "forecast/Download.h"
#include "forecast/HttpClient.h"
#include "net/ConnectionBackend.h"
#include "platform/CurlFetcher.h"
#include "platform/CurlHttpClient.h"
#include "platform/common/DesktopShell.h"

namespace vetorlan {

Services::Services() = default;

Services::~Services() {
    if (!installed_)
        return;
    SetSoundPlayer(nullptr);
    SetConnectionBackend(nullptr);
    SetHttpClient(nullptr);
    SetFetcher(nullptr);
    SetShell(nullptr);
}

void Services::Install() {
    SetShell(shell.get());
    SetFetcher(pageFetcher.get());
    SetHttpClient(liveSources.get());
    SetConnectionBackend(connections.get());
    SetSoundPlayer(sound.get());
    installed_ = true;
}

void common::InstallPlatformServices(Services& services) {
    services.shell = std::make_unique<DesktopShell>();
    services.pageFetcher = std::make_unique<CurlFetcher>();
    services.liveSources = std::make_unique<CurlHttpClient>();
}

void InstallPlatformServices(Services& services) {
    common::InstallPlatformServices(services);
    os::InstallPlatformServices(services);
    services.Install();
}

} // namespace vetorlan
