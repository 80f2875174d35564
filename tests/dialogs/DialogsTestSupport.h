#pragma once

#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "core/Sound.h"
#include "tests/support/TestSupport.h"
#include "ui/MainWindowApi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QWidget>
#include <gtest/gtest.h>

namespace vetorlan::test {

// The main window as the dialogs see it: counts pauses and restores and whether it is shown.
class FakeMainWindow : public MainWindowApi {
public:
    void PauseTimers() override {
        ++pauses;
        running = false;
    }
    void RestoreTimers() override {
        ++restores;
        running = true;
    }
    void ShowMainWindow() override { shown = true; }
    void HideMainWindow() override { shown = false; }
    int pauses = 0;
    int restores = 0;
    bool running = true;
    bool shown = true;
};

class CountingSoundPlayer : public SoundPlayer {
public:
    void PlaySuccessSound() override { ++plays; }
    int plays = 0;
};

// A temporary program folder with the default settings in memory and a fake autorun store,
// a message-box recorder and a counting sound player.
class DialogFixture : public ::testing::Test {
protected:
    void SetUp() override {
        AppSettings() = Settings{};
        AppSettingsContext().autorun = &autorun;
        AppSettingsContext().host = nullptr;
        SetSoundPlayer(&sound);
    }
    void TearDown() override {
        settle();
        for (QWidget* w : QApplication::topLevelWidgets())
            delete w;
        settle();
        SetSoundPlayer(nullptr);
        AppSettingsContext() = SettingsContext{};
        AppSettings() = Settings{};
    }
    // Runs pending events, including the deletion of closed windows.
    static void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    template <class T> static T* child(QWidget* parent, const char* name) {
        T* w = parent->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static void click(QWidget* parent, const char* name) {
        QAbstractButton* b = child<QAbstractButton>(parent, name);
        ASSERT_NE(b, nullptr);
        b->click();
        settle();
    }

    TempProgramFolder folder;
    FakeAutorunStore autorun;
    MessageBoxRecorder boxes;
    CountingSoundPlayer sound;
    FakeMainWindow main;
};

} // namespace vetorlan::test
