// Benchmark (not a test): the load of the main program without its window. Built twice:
// bench-load-role links what the load needs (Qt Core), bench-load-role-full every library the
// program links, as a load role of nimbora itself would start.
//   bench-load-role --in-process N   N loads one after another in one process (the tray today),
//                                    printing the wall and CPU time of each
//   bench-load-role --child          one load and exit, on QCoreApplication (a load child's cost)
// The program folder is the executable's, as for nimbora; MULTI_TOWNS=n chooses the first n
// catalogue towns (multi-town mode), else the single town of gorod.ini's row 22 in region 1.
#include "core/ProgramFolder.h"
#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "forecast/LoadPipeline.h"
#include "platform/common/Services.h"
#include "towns/Selection.h"
#include "towns/TownCatalog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <ctime>

using namespace vetorlan;

namespace {

class Host : public LoadHost {
public:
    Host() {
        FillRegion(region_, 1);
        const int multi = qEnvironmentVariableIntValue("MULTI_TOWNS");
        for (int i = 1; i <= multi; ++i)
            selection_.Add(CatalogEntry(i));
    }
    int SingleTownRow() const override { return 22; }
    const RegionTownList& RegionTowns() const override { return region_; }
    const TownSelection& SelectedTowns() const override { return selection_; }
    void SaveTownLists() override {}
    void ShowLoadingVisuals(bool) override {}
    void ShowLoadState(LoadState) override {}
    void SetTrayTip(const QString&) override {}
    void ShowLoadStatus() override {}
    void EnableScheduledLoads() override {}
    void ExitProgram() override {}

private:
    RegionTownList region_;
    TownSelection selection_;
};

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    SetUpProgramFolder();
    LoadSettings();
    Services services;
    InstallLoadServices(services);
    Host host;
    LoadPipeline pipeline(host);
    const QStringList args = app.arguments();
    const int loads = args.size() > 2 && args[1] == QLatin1String("--in-process") ? args[2].toInt() : 1;
    int code = 0;
    for (int i = 0; i < loads; ++i) {
        QElapsedTimer timer;
        timer.start();
        const double cpu = CpuMs();
        const LoadResult result = pipeline.LoadForecast();
        if (loads > 1)
            std::printf("load %d: %.1f ms wall, %.1f ms CPU, result %d\n", i + 1, timer.nsecsElapsed() / 1e6,
                        CpuMs() - cpu, int(result));
        code = result == LoadResult::Succeeded ? 0 : 1;
    }
    return code;
}
