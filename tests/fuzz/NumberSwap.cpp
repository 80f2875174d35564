// A mutator for JSON text beside libFuzzer's own: every other time it puts an extreme value in
// place of one number (or null), so that the text stays JSON and the value reaches the code
// that converts and draws it. Byte mutations alone seldom keep a 100 kB answer readable.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <string_view>
#include <vector>

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

namespace {

constexpr std::string_view kValues[] = {
    "-1e308", "1e308", "4.9e-324", "-0",   "3e9", "-3e9", "1.5e9", "-1.5e9", "2147483647", "-2147483648", "1e19",
    "500",    "-500",  "-90.5",    "60.5", "101", "-1",   "1100",  "499",    "360.5",      "1e6",         "null"};

bool StartsNumber(std::uint8_t c) {
    return c == '-' || (c >= '0' && c <= '9') || c == 'n';
}

bool InNumber(std::uint8_t c) {
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E' || c == 'n' || c == 'u' ||
           c == 'l';
}

// Where the values of the text begin and end: after ':', ',' or '[' and any spaces.
std::vector<std::pair<std::size_t, std::size_t>> Values(const std::uint8_t* data, std::size_t size) {
    std::vector<std::pair<std::size_t, std::size_t>> found;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] != ':' && data[i] != ',' && data[i] != '[')
            continue;
        std::size_t start = i + 1;
        while (start < size && data[start] == ' ')
            ++start;
        std::size_t end = start;
        while (end < size && InNumber(data[end]))
            ++end;
        if (start < size && StartsNumber(data[start]) && end > start)
            found.emplace_back(start, end);
    }
    return found;
}

} // namespace

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int seed) {
    std::minstd_rand random(seed);
    const auto values = Values(data, size);
    if (values.empty() || random() % 2 == 0)
        return LLVMFuzzerMutate(data, size, maxSize);
    const auto [start, end] = values[random() % values.size()];
    const std::string_view value = kValues[random() % std::size(kValues)];
    const std::size_t newSize = size - (end - start) + value.size();
    if (newSize > maxSize)
        return LLVMFuzzerMutate(data, size, maxSize);
    std::memmove(data + start + value.size(), data + end, size - end);
    std::memcpy(data + start, value.data(), value.size());
    return newSize;
}
