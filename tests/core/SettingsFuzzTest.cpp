#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <random>

namespace vetorlan {
namespace {

// Damages a file the way editors, disks and users do: flipped and inserted bytes,
// deleted or duplicated lines, cut tails, foreign line ends.
class Mutator {
public:
    explicit Mutator(std::uint32_t seed) : rng_(seed) {}

    QByteArray next(const QByteArray& base) {
        if (pick(20) == 0)
            return randomBytes(pick(400));
        QByteArray file = base;
        const int steps = 1 + pick(6);
        for (int i = 0; i < steps; ++i)
            mutate(file);
        return file;
    }

private:
    int pick(int n) { return n <= 0 ? 0 : int(rng_() % std::uint32_t(n)); }
    char anyByte() { return char(pick(256)); }

    QByteArray randomBytes(int n) {
        QByteArray out;
        for (int i = 0; i < n; ++i)
            out += pick(4) == 0 ? "\r\n"[pick(2)] : anyByte();
        return out;
    }

    void mutate(QByteArray& file) {
        const int at = pick(int(file.size()) + 1);
        switch (pick(8)) {
        case 0:
            if (!file.isEmpty())
                file[at % file.size()] = anyByte();
            break;
        case 1:
            file.insert(at, anyByte());
            break;
        case 2:
            file.remove(at, 1 + pick(8));
            break;
        case 3:
            file.truncate(at);
            break;
        case 4:
            file.insert(at, "=");
            break;
        case 5: {
            QList<QByteArray> lines = file.split('\n');
            lines.removeAt(pick(int(lines.size())));
            file = lines.join('\n');
            break;
        }
        case 6: {
            QList<QByteArray> lines = file.split('\n');
            const int i = pick(int(lines.size()));
            lines.insert(pick(int(lines.size())), lines[i]);
            file = lines.join('\n');
            break;
        }
        default:
            file.replace("\r\n", pick(2) ? "\n" : "\r");
            break;
        }
    }

    std::mt19937 rng_;
};

TEST(SettingsFuzz, DamagedFilesNeverCrashAndRecognisedOnesStayWellFormed) {
    const QByteArray base = SerializeSettings(Settings{});
    Mutator mutator(20260101);
    int recognised = 0;
    for (int i = 0; i < 20000; ++i) {
        const QByteArray file = mutator.next(base);
        std::optional<Settings> s;
        ASSERT_NO_THROW(s = ParseSettings(file)) << i;
        if (!s)
            continue;
        ++recognised;
        const QByteArray again = SerializeSettings(*s);
        ASSERT_EQ(again.count("\r\n"), 39) << i;
        ASSERT_EQ(ParseSettings(again), s) << i;
    }
    // Both outcomes are exercised, so the run says something about each.
    EXPECT_GT(recognised, 1000);
    EXPECT_LT(recognised, 19000);
}

TEST(SettingsFuzz, LoadingDamagedFilesAlwaysLeavesAUsableFile) {
    test::TempProgramFolder dir;
    test::MessageBoxRecorder boxes;
    test::FakeAutorunStore autorun;
    AppSettingsContext() = {&autorun, nullptr};
    const QByteArray base = SerializeSettings(Settings{});
    Mutator mutator(4242);
    for (int i = 0; i < 400; ++i) {
        dir.write("Options.ini", mutator.next(base));
        ASSERT_NO_THROW(LoadSettings()) << i;
        const std::optional<Settings> onDisk = ParseSettings(dir.read("Options.ini"));
        ASSERT_TRUE(onDisk) << i;
    }
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(dir.entries(), QStringList{"Options.ini"});
    AppSettingsContext() = {};
    AppSettings() = Settings{};
}

} // namespace
} // namespace vetorlan
