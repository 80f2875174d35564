#include "core/CodePage.h"

#include <QStringList>
#include <array>
#include <cstdint>

namespace vetorlan {

namespace {

// Unicode of the bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order. The unassigned
// byte 0x98 maps to U+0098 so that any byte sequence survives a round trip.
constexpr std::array<char16_t, 64> kUpper = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

char16_t decodeByte(std::uint8_t b) {
    if (b < 0x80)
        return b;
    if (b >= 0xC0)
        return char16_t(0x0410 + (b - 0xC0));
    return kUpper[b - 0x80];
}

// The byte of a code point, or '?' when Windows-1251 has none.
char encodeChar(char32_t c) {
    if (c < 0x80)
        return char(c);
    if (c >= 0x0410 && c <= 0x044F)
        return char(0xC0 + (c - 0x0410));
    for (std::size_t i = 0; i < kUpper.size(); ++i)
        if (kUpper[i] == c)
            return char(0x80 + i);
    return '?';
}

} // namespace

QByteArray toCp1251(QStringView text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A surrogate pair is one character and becomes one byte.
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        out.append(text[i].isSurrogate() ? '?' : encodeChar(text[i].unicode()));
    }
    return out;
}

QString CharactersOutsideCp1251(QStringView text) {
    QString found;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const QStringView character = text.mid(i, pair ? 2 : 1);
        if (pair)
            ++i;
        const bool storable =
            !character[0].isSurrogate() && (character[0] == u'?' || encodeChar(character[0].unicode()) != '?');
        if (!storable && !found.contains(character))
            found += character;
    }
    return found;
}

QString UnstorableCharactersMessage(QStringView characters) {
    QStringList shown;
    for (qsizetype i = 0; i < characters.size(); ++i) {
        const bool pair = characters[i].isHighSurrogate() && i + 1 < characters.size();
        shown << characters.mid(i, pair ? 2 : 1).toString();
        if (pair)
            ++i;
    }
    return QStringLiteral("Эти символы нельзя сохранить в настройках программы: %1\n\n"
                          "Выберите папку и имя файла без них (подходят русские и латинские буквы без "
                          "надстрочных знаков, цифры и обычные знаки).")
        .arg(shown.join(QLatin1Char(' ')));
}

QString fromCp1251(QByteArrayView bytes) {
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        dst[i] = QChar(decodeByte(std::uint8_t(bytes[i])));
    return out;
}

} // namespace vetorlan
