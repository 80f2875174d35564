#include "towns/TownLists.h"

#include "core/FileSystemObject.h"
#include "core/ProgramFolder.h"
#include "towns/TownCatalog.h"

#include <algorithm>
#include <limits>

namespace vetorlan {

namespace {

// A number as the free-format print writes it: sign place (blank or "-"), digits, blank.
void AppendFreeFormat(QByteArray& out, long long value) {
    if (value >= 0)
        out += ' ';
    out += QByteArray::number(value);
    out += ' ';
}

bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n';
}

// An optional sign and at least one digit, nothing else. Values beyond the range of
// long long are clamped to it, so a huge number reads as far out of any range.
std::optional<long long> ParseInteger(const char* begin, const char* end) {
    bool negative = false;
    if (begin != end && (*begin == '+' || *begin == '-'))
        negative = *begin++ == '-';
    if (begin == end)
        return std::nullopt;
    constexpr long long kMax = std::numeric_limits<long long>::max();
    long long value = 0;
    for (const char* p = begin; p != end; ++p) {
        if (*p < '0' || *p > '9')
            return std::nullopt;
        const int digit = *p - '0';
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    return negative ? -value : value;
}

// Sorted, without duplicates and without impossible negative rows.
QList<int> NormalisedRows(const QList<int>& rows) {
    QList<int> sorted;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(sorted), [](int row) { return row >= 0; });
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    return sorted;
}

} // namespace

QByteArray FormatGorodIni(const SingleTownChoice& choice) {
    QByteArray out;
    AppendFreeFormat(out, choice.regionRow);
    AppendFreeFormat(out, choice.townRow);
    out += "\r\n";
    return out;
}

QByteArray FormatGorodaIni(const QList<int>& selectedRows) {
    const QList<int> rows = NormalisedRows(selectedRows);
    QByteArray out;
    AppendFreeFormat(out, rows.size());
    for (int row : rows)
        AppendFreeFormat(out, row);
    return out;
}

QList<long long> ReadFreeFormatNumbers(const QByteArray& contents) {
    QList<long long> numbers;
    const char* p = contents.constData();
    const char* const end = p + contents.size();
    while (true) {
        while (p != end && IsSeparator(*p))
            ++p;
        if (p == end)
            break;
        const char* tokenEnd = p;
        while (tokenEnd != end && !IsSeparator(*tokenEnd))
            ++tokenEnd;
        const std::optional<long long> value = ParseInteger(p, tokenEnd);
        if (!value)
            break;
        numbers.append(*value);
        p = tokenEnd;
    }
    return numbers;
}

std::optional<SingleTownChoice> ParseGorodIni(const QByteArray& contents) {
    const QList<long long> numbers = ReadFreeFormatNumbers(contents);
    if (numbers.size() < 2)
        return std::nullopt;
    const long long region = numbers[0];
    const long long town = numbers[1];
    if (region < -1 || region >= kRegionCount)
        return std::nullopt;
    SingleTownChoice choice;
    choice.regionRow = static_cast<int>(region);
    // A town row only means something inside the chosen region; otherwise no town is chosen.
    if (region >= 0 && town >= 0 && town < RegionSize(static_cast<int>(region)))
        choice.townRow = static_cast<int>(town);
    return choice;
}

QList<int> ParseGorodaIni(const QByteArray& contents, int rowCount) {
    const QList<long long> numbers = ReadFreeFormatNumbers(contents);
    QList<int> rows;
    if (numbers.isEmpty() || numbers[0] < 0 || numbers[0] > rowCount)
        return rows;
    const qsizetype wanted = static_cast<qsizetype>(numbers[0]);
    for (qsizetype i = 1; i < numbers.size() && i <= wanted; ++i) {
        const long long row = numbers[i];
        if (row < 0 || row >= rowCount)
            break;
        if (!rows.contains(static_cast<int>(row)))
            rows.append(static_cast<int>(row));
    }
    return rows;
}

FsStatus WriteGorodIni(const SingleTownChoice& choice) {
    return WriteFileAtomic(ProgramFile(QStringLiteral("gorod.ini")), FormatGorodIni(choice));
}

FsStatus WriteGorodaIni(const QList<int>& selectedRows) {
    const QString path = ProgramFile(QStringLiteral("goroda.ini"));
    if (NormalisedRows(selectedRows).isEmpty())
        return FileExists(path) ? DeleteFile(path) : FsStatus::success();
    return WriteFileAtomic(path, FormatGorodaIni(selectedRows));
}

} // namespace vetorlan
