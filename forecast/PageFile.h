#pragma once

#include "core/FsStatus.h"

#include <QByteArray>
#include <QString>

namespace vetorlan {

// Ending of the temporary files a load writes its pages into before renaming them.
inline constexpr char kPageTempSuffix[] = ".vetorlan-tmp";

// Writes a page of the load: the bytes go to "<name>.vetorlan-tmp" beside the page, which is
// then renamed over it in one step, so the page is always the old one or the whole new one.
// A name held by a folder, pipe or device is refused; a link to a file replaces that file.
FsStatus WritePageFile(const QString& path, const QByteArray& bytes);

// Removes the temporary page files that an interrupted earlier load left in `folder`.
void RemoveLeftoverPageTemps(const QString& folder);

} // namespace vetorlan
