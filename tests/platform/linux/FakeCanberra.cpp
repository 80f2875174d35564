// A stand-in for libcanberra that plays nothing and remembers the file it was asked to play.
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <string>

namespace {
std::string playedFile;
int context;
} // namespace

extern "C" {

__attribute__((visibility("default"))) int ca_context_create(void** c) {
    *c = &context;
    return 0;
}

__attribute__((visibility("default"))) int ca_context_change_props(void*, ...) {
    return 0;
}

// Reads the property pairs up to the closing null and keeps "media.filename".
__attribute__((visibility("default"))) int ca_context_play(void*, std::uint32_t id, ...) {
    va_list pairs;
    va_start(pairs, id);
    while (const char* key = va_arg(pairs, const char*)) {
        const char* value = va_arg(pairs, const char*);
        if (std::strcmp(key, "media.filename") == 0)
            playedFile = value;
    }
    va_end(pairs);
    return 0;
}

__attribute__((visibility("default"))) const char* ca_strerror(int) {
    return "fake error";
}

__attribute__((visibility("default"))) const char* fake_canberra_played_file() {
    return playedFile.c_str();
}
}
