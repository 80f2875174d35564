#pragma once

#include <memory>

namespace vetorlan {

class AutorunStore;
class ConnectionBackend;
class HttpClient;
class PageSource;
class Shell;
class SoundPlayer;

// The services the program runs with, made once at start: each is installed where the layer
// that declared its interface looks for it, and taken away again when the value ends.
class Services {
public:
    Services();
    ~Services();
    Services(const Services&) = delete;
    Services& operator=(const Services&) = delete;

    // Makes every installed service known to its users.
    void Install();

    std::unique_ptr<Shell> shell;
    // The HTTP client and the one page source, both chosen by the page service's address.
    std::unique_ptr<HttpClient> http;
    const PageSource* pageSource = nullptr;
    std::unique_ptr<ConnectionBackend> connections;
    std::unique_ptr<SoundPlayer> sound;
    // Read by the settings store, which the main window wires (see AppSettingsContext).
    std::unique_ptr<AutorunStore> autorun;

private:
    bool installed_ = false;
};

// The services every system shares (the shell, the page source).
namespace common {
void InstallPlatformServices(Services& services);
}
// The services of the system the program was built for (connections, sound, autorun).
namespace os {
void InstallPlatformServices(Services& services);
}

// Both, then installs them: the services of the program in the tray, which never fetches.
void InstallPlatformServices(Services& services);
// The HTTP client and page source of a load process, then installs them.
void InstallLoadServices(Services& services);

} // namespace vetorlan
