#include "forecast/LatinFileNames.h"

#include "core/FileSystemObject.h"
#include "core/ProgramFolder.h"

#include <QFileInfo>

namespace vetorlan {

namespace {

// One character for each lower-case Cyrillic letter. "й" has no row in the original
// table; "y" keeps it readable (Maykop, Biysk, Yo6kar-ola) and one character long.
QChar latinLetter(QChar c) {
    static const char16_t kFrom[] = u"абвгдеёжзиклмнопрстуфхцчшщьыъэюяй";
    static const char kTo[] = "abvgdeejziklmnoprstufhc466'i'eyay";
    for (int i = 0; kFrom[i] != 0; ++i)
        if (c.unicode() == kFrom[i])
            return QChar(kTo[i]);
    return c;
}

bool isWordSeparator(QChar c) {
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\v' || u == '\f' || u == '\r' || u == 0;
}

// True when both paths name one file, whatever the letter case of the names.
bool sameFile(const QString& a, const QString& b) {
    const QFileInfo fa(a), fb(b);
    return fa.absolutePath() == fb.absolutePath() && fa.fileName().compare(fb.fileName(), Qt::CaseInsensitive) == 0;
}

// Gives the page its Latin name; an older file of that name gives way to the new page.
FsStatus renamePage(const QString& source, const QString& target) {
    const QString existingSource = ResolvePath(source);
    // A Latin name that designates the page itself only changes its letter case: deleting
    // the "older file" first would delete the page.
    if (!sameFile(existingSource, target) && FileExists(target)) {
        if (FsStatus s = DeleteFile(target); !s)
            return s;
    }
    return RenameFile(existingSource, target);
}

} // namespace

QString LatinTownName(const QString& russianName) {
    QString name = russianName;
    for (QChar& c : name)
        c = latinLetter(c.toLower());
    bool wordStart = true;
    for (QChar& c : name) {
        c = wordStart ? c.toUpper() : c.toLower();
        wordStart = isWordSeparator(c);
    }
    return name;
}

FsStatus MakeLatinFileNames(const TownSelection& towns, TownFileNameList& names) {
    const int count = towns.count;
    const QString folder = ProgramFolder() + "/";
    for (int i = 1; i <= count && i <= kCatalogSize; ++i) {
        const QString name = TownName(towns[i]);
        const QString source = folder + name + ".htm";
        // Every slot gets its own town's name, also when this load brought no page for it, so
        // that the index links the town's older page and never another town's.
        names[i] = LatinTownName(name);
        if (!FileExists(source))
            continue;
        if (FsStatus s = renamePage(source, folder + names[i] + ".htm"); !s)
            return s;
    }
    return FsStatus::success();
}

} // namespace vetorlan
