#include "tools/sample-forecast-service/PageFiles.h"

#include "core/FileSystemObject.h"
#include "core/Settings.h"
#include "sources/Converter.h"
#include "sources/Download.h"

namespace vetorlan {

bool DownloadFile(const QString& url, const QString& path, QString* error) {
    const FetchResult fetched = FetchPage(url);
    if (error)
        *error = fetched.error;
    return fetched.ok && WriteFileAtomic(ResolvePath(path), fetched.body);
}

void ConvertPage(const QString& requestedPath) {
    if (!FileExists(requestedPath))
        return;
    const QString path = ResolvePath(requestedPath); // rewritten in place, under the name it has
    QByteArray page;
    if (!ReadWholeFile(path, page))
        return; // without the whole text there is nothing sound to rewrite
    const QByteArray converted = ConvertPageText(std::move(page), AppSettings().MultiLoad, ImageHost());
    if (!converted.isEmpty())
        WriteFileAtomic(path, converted);
}

} // namespace vetorlan
