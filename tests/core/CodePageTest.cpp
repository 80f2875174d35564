#include "core/CodePage.h"

#include <gtest/gtest.h>

namespace vetorlan {
namespace {

TEST(CodePage, EveryAssignedByteSurvivesARoundTrip) {
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98)
            continue;
        const QByteArray byte(1, char(b));
        const QString text = fromCp1251(byte);
        ASSERT_EQ(text.size(), 1) << b;
        EXPECT_EQ(toCp1251(text), byte) << "byte " << b;
    }
}

TEST(CodePage, KnownLettersAndSigns) {
    struct Row {
        const char* utf8;
        QByteArray cp;
    };
    const Row rows[] = {
        {"Москва", QByteArray("\xCC\xEE\xF1\xEA\xE2\xE0")},
        {"ЁёЎўІіЇїЄєҐґ", QByteArray("\xA8\xB8\xA1\xA2\xB2\xB3\xAF\xBF\xAA\xBA\xA5\xB4")},
        {"№ «»—€™", QByteArray("\xB9\x20\xAB\xBB\x97\x88\x99")},
        {"АЯая", QByteArray("\xC0\xDF\xE0\xFF")},
        {"plain ASCII 0-9", QByteArray("plain ASCII 0-9")},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(toCp1251(QString::fromUtf8(row.utf8)), row.cp) << row.utf8;
        EXPECT_EQ(fromCp1251(row.cp), QString::fromUtf8(row.utf8)) << row.utf8;
    }
}

TEST(CodePage, UnmappableCharactersBecomeOneQuestionMarkEach) {
    // Latin with diacritics, CJK, an emoji (one surrogate pair) and a lone surrogate.
    QString text = QString::fromUtf8("é中😀");
    text += QChar(0xD800);
    text += u'x';
    EXPECT_EQ(toCp1251(text), QByteArray("????x"));
}

TEST(CodePage, EmbeddedNulBytesAreKept) {
    const QByteArray bytes("a\0b", 3);
    EXPECT_EQ(fromCp1251(bytes).size(), 3);
    EXPECT_EQ(toCp1251(fromCp1251(bytes)), bytes);
}

// Paths stored in the settings file must survive Windows-1251; the offending characters are named.
TEST(CodePage, CharactersOutsideTheCodePageAreNamedOnce) {
    EXPECT_EQ(CharactersOutsideCp1251(QString::fromUtf8("/mnt/Сеть/Прогноз ё №1?.htm")), QString());
    EXPECT_EQ(CharactersOutsideCp1251(QString::fromUtf8("/home/Café ü/é😀")), QString::fromUtf8("éü😀"));
    const QString message = UnstorableCharactersMessage(QString::fromUtf8("éü😀"));
    EXPECT_TRUE(message.contains(QString::fromUtf8(": é ü 😀\n"))) << message.toStdString();
}

} // namespace
} // namespace vetorlan
