// Random and mutated list files fed to the readers: nothing may crash, hang or throw, and
// every row handed back must be one the list really has.
#include "towns/TownCatalog.h"
#include "towns/TownLists.h"

#include <QSet>
#include <gtest/gtest.h>
#include <random>

namespace vetorlan {
namespace {

constexpr int kListRows = kCatalogSize;

class ListFileGenerator {
public:
    explicit ListFileGenerator(unsigned seed) : rng_(seed) {}

    QByteArray next() {
        switch (pick(4)) {
        case 0:
            return randomBytes();
        case 1:
            return numberSoup();
        default:
            return mutate(validFile());
        }
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    QByteArray randomBytes() {
        QByteArray bytes(pick(64), '\0');
        for (char& c : bytes)
            c = static_cast<char>(pick(256));
        return bytes;
    }

    QByteArray number() {
        static const char* const kSpecial[] = {"0",
                                               "-1",
                                               "399",
                                               "400",
                                               "-0",
                                               "+7",
                                               "2147483648",
                                               "-2147483649",
                                               "9223372036854775808",
                                               "99999999999999999999999999",
                                               "1e3",
                                               "0x10",
                                               "--1",
                                               "3.0"};
        if (pick(4) == 0)
            return kSpecial[pick(std::size(kSpecial))];
        return QByteArray::number(std::uniform_int_distribution<long long>(-500, 500)(rng_));
    }

    QByteArray separator() {
        static const char* const kSeparators[] = {" ", "  ", ",", "\r\n", "\t", " , ", "\n\n", ""};
        return kSeparators[pick(std::size(kSeparators))];
    }

    QByteArray numberSoup() {
        QByteArray text;
        for (int i = pick(20); i > 0; --i)
            text += number() + separator();
        return text;
    }

    QByteArray validFile() {
        if (pick(2) == 0)
            return FormatGorodIni({pick(4) - 1, pick(300) - 1});
        QList<int> rows;
        for (int i = pick(30); i > 0; --i)
            rows.append(pick(kListRows));
        return FormatGorodaIni(rows);
    }

    QByteArray mutate(QByteArray text) {
        for (int i = pick(4); i > 0; --i) {
            const int at = text.isEmpty() ? 0 : pick(text.size());
            switch (pick(5)) {
            case 0:
                text.insert(at, number());
                break;
            case 1:
                text.insert(at, separator());
                break;
            case 2:
                text.remove(at, pick(6));
                break;
            case 3:
                if (!text.isEmpty())
                    text[at] = static_cast<char>(pick(256));
                break;
            default:
                text.truncate(at);
            }
        }
        return text;
    }

    std::mt19937 rng_;
};

TEST(TownListsFuzzTest, ReadersTakeAnyContentSafely) {
    ListFileGenerator generator(20261207);
    int restoredSelections = 0;
    for (int round = 0; round < 20000; ++round) {
        const QByteArray contents = generator.next();
        SCOPED_TRACE(contents.toStdString());
        ASSERT_NO_THROW({
            const auto numbers = ReadFreeFormatNumbers(contents);
            EXPECT_LE(numbers.size(), contents.size());

            const auto choice = ParseGorodIni(contents);
            if (choice) {
                EXPECT_GE(choice->regionRow, -1);
                EXPECT_LT(choice->regionRow, kRegionCount);
                EXPECT_GE(choice->townRow, -1);
                EXPECT_LT(choice->townRow, std::max(RegionSize(choice->regionRow), 0));
            }

            const QList<int> rows = ParseGorodaIni(contents, kListRows);
            EXPECT_LE(rows.size(), std::max<long long>(numbers.value(0), 0));
            EXPECT_EQ(QSet<int>(rows.begin(), rows.end()).size(), rows.size());
            for (int row : rows) {
                EXPECT_GE(row, 0);
                EXPECT_LT(row, kListRows);
            }
            restoredSelections += rows.isEmpty() ? 0 : 1;
        });
        if (HasFailure())
            break;
    }
    // The mutations must leave many files readable, or this test proves little.
    EXPECT_GT(restoredSelections, 2000);
}

TEST(TownListsFuzzTest, HugeFilesAreReadWithoutTrouble) {
    QByteArray many = " 400 ";
    for (int i = 0; i < 200000; ++i)
        many += QByteArray::number(i % 400) + ' ';
    const QList<int> rows = ParseGorodaIni(many, kListRows);
    EXPECT_EQ(rows.size(), 400);
    const QByteArray digits(1 << 20, '9');
    EXPECT_EQ(ReadFreeFormatNumbers(digits + " 1").size(), 2);
    EXPECT_TRUE(ParseGorodaIni(digits, kListRows).isEmpty());
}

} // namespace
} // namespace vetorlan
