#include "net/ConnectionBackend.h"

namespace vetorlan {

namespace {
ConnectionBackend*& installedBackend() {
    static ConnectionBackend* backend = nullptr;
    return backend;
}
} // namespace

void SetConnectionBackend(ConnectionBackend* backend) {
    installedBackend() = backend;
}

ConnectionBackend* CurrentConnectionBackend() {
    return installedBackend();
}

} // namespace vetorlan
