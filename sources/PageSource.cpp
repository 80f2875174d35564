#include "sources/PageSource.h"

namespace vetorlan {

namespace {

std::atomic<const PageSource*> installedSource = nullptr;

} // namespace

void SetPageSource(const PageSource* source) {
    installedSource = source;
}

const PageSource* CurrentPageSource() {
    return installedSource.load();
}

bool UsesLiveSources() {
    const PageSource* source = CurrentPageSource();
    return source && source->Live();
}

} // namespace vetorlan
