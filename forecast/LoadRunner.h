#pragma once

#include "forecast/LoadJob.h"

namespace vetorlan {

// Runs a load job somewhere and waits for its outcome while the window lives on.
class LoadRunner {
public:
    virtual ~LoadRunner() = default;
    virtual LoadOutcome Run(const LoadRequest& request, const TownDone& townDone) = 0;
    // Ends the running load: Run returns Cancelled at once and nothing more is written.
    virtual void Cancel() = 0;
};

// Runs the job in this process, with the fetchers installed here (tests use fakes).
class InProcessLoadRunner : public LoadRunner {
public:
    LoadOutcome Run(const LoadRequest& request, const TownDone& townDone) override {
        LoadCancel cancel;
        cancel_ = &cancel;
        LoadOutcome outcome = RunLoadJob(request, townDone, cancel);
        cancel_ = nullptr;
        return outcome;
    }
    void Cancel() override {
        if (cancel_)
            cancel_->Cancel();
    }

private:
    LoadCancel* cancel_ = nullptr;
};

} // namespace vetorlan
