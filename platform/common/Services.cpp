#include "platform/common/Services.h"

#include "core/AutorunStore.h"
#include "core/Sound.h"
#include "forecast/CopyView.h"
#include "net/ConnectionBackend.h"
#include "platform/common/CurlHttpClient.h"
#include "platform/common/DesktopShell.h"
#include "sources/Addresses.h"
#include "sources/Download.h"
#include "sources/HttpClient.h"
#include "sources/LiveForecast.h"
#include "sources/PageSource.h"

namespace vetorlan {

Services::Services() = default;

Services::~Services() {
    if (!installed_)
        return;
    SetSoundPlayer(nullptr);
    SetConnectionBackend(nullptr);
    SetPageSource(nullptr);
    SetHttpClient(nullptr);
    SetShell(nullptr);
}

void Services::Install() {
    SetShell(shell.get());
    SetHttpClient(http.get());
    SetPageSource(pageSource);
    SetConnectionBackend(connections.get());
    SetSoundPlayer(sound.get());
    installed_ = true;
}

namespace {

// The live sources unless a page service's address is given.
bool UsesLiveServices() {
    return ServiceUrl().isEmpty();
}

} // namespace

void common::InstallPlatformServices(Services& services) {
    services.shell = std::make_unique<DesktopShell>();
    services.pageSource = UsesLiveServices() ? &LivePages() : &ServicePages();
}

void InstallPlatformServices(Services& services) {
    common::InstallPlatformServices(services);
    os::InstallPlatformServices(services);
    services.Install();
}

void InstallLoadServices(Services& services) {
    const bool live = UsesLiveServices();
    // The client gets the bounds of the kind of source it serves.
    services.http =
        std::make_unique<CurlHttpClient>(live ? CurlHttpClient::Limits{} : CurlHttpClient::PageServiceLimits());
    services.pageSource = live ? &LivePages() : &ServicePages();
    services.Install();
}

} // namespace vetorlan
