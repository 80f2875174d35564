#pragma once

namespace vetorlan {

// What the dialogs (settings, copy target, wizard) need from the main window.
class MainWindowApi {
public:
    virtual ~MainWindowApi() = default;
    // The three timers' intervals to 0 / back to 250, 1000, 60000 ms (enabled states kept).
    virtual void PauseTimers() = 0;
    virtual void RestoreTimers() = 0;
    virtual void ShowMainWindow() = 0;
    virtual void HideMainWindow() = 0;
};

} // namespace vetorlan
