#pragma once

#include "core/FsStatus.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace vetorlan {

// gorod.ini: the region row and the town row of the single-town choice (-1: none).
struct SingleTownChoice {
    int regionRow = -1;
    int townRow = -1;
};

// Numbers printed the free-format way: a blank (or "-") before, a blank after.
QByteArray FormatGorodIni(const SingleTownChoice& choice);  // ends with CR LF
QByteArray FormatGorodaIni(const QList<int>& selectedRows); // count, rows; no line end
// (the rows are written ascending, once each; negative rows are left out)

// Reads the numbers of a list file: blanks, commas and line ends separate them. Reading
// stops at the first text that is not a number; what was read before it is returned.
QList<long long> ReadFreeFormatNumbers(const QByteArray& contents);

// Parsed files. Damaged content never throws: a row outside 0..rowCount-1, fewer numbers
// than the count, or text that is not a number ends what is taken from that file.
// gorod.ini: nothing without two numbers or with a region row outside -1..2; a town row
// outside the region's towns (or with no region) reads as -1.
std::optional<SingleTownChoice> ParseGorodIni(const QByteArray& contents);
// goroda.ini: the valid rows before the first damage, in file order, duplicates dropped;
// nothing when the count is negative or above rowCount.
QList<int> ParseGorodaIni(const QByteArray& contents, int rowCount);

// Writers in the program folder. WriteGorodaIni deletes goroda.ini when no row is selected.
FsStatus WriteGorodIni(const SingleTownChoice& choice);
FsStatus WriteGorodaIni(const QList<int>& selectedRows);

} // namespace vetorlan
