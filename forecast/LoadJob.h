#pragma once

#include "forecast/LoadRequest.h"

#include <functional>

namespace vetorlan {

class TownPagePool;

// Ends a running load job from its own thread: fetches give up and nothing more is written.
class LoadCancel {
public:
    void Cancel();
    bool Cancelled() const { return cancelled_; }
    // The pool of the running job (nullptr when none), which Cancel stops at once.
    void Attach(TownPagePool* pool) { pool_ = pool; }

private:
    bool cancelled_ = false;
    TownPagePool* pool_ = nullptr;
};

// Told of each town as the job takes it: its number from 1 and how it ended.
using TownDone = std::function<void(int number, const TownResult& town)>;

// The load itself: removes what killed loads left, fetches and writes each town's page in list
// order, then gives the pages their file names and writes the index page, all under the
// request's settings. Every file is either the old one or the whole new one. A page or index
// that cannot be written ends the job with a file error; once cancelled, nothing more is
// written and the outcome is Cancelled.
LoadOutcome RunLoadJob(const LoadRequest& request, const TownDone& townDone, LoadCancel& cancel);

} // namespace vetorlan
