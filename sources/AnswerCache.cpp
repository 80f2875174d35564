#include "sources/AnswerCache.h"

#include "core/FileSystemObject.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>

namespace vetorlan {

namespace {

// MET Norway's answers expire within about an hour; an Expires much further ahead is not
// believed, so that a wrong one cannot stop the updates.
constexpr qint64 kLongestFreshSeconds = 3 * 3600;
// A clock set back a little must not make a just-fetched answer look as if from the future.
constexpr qint64 kClockSlackSeconds = 300;
// A temporary entry this old was left by a killed program, not one writing now.
constexpr qint64 kLeftoverSeconds = 600;

QString EntryPath(const QString& source, const QString& index) {
    return CacheFolder() + u'/' + source + u'-' + index + u".json"_qs;
}

} // namespace

QString CacheFolder() {
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + u"/.cache"_qs;
    return base + u"/vetorlan"_qs;
}

bool LoadCachedAnswer(const QString& source, const QString& index, CachedAnswer& answer) {
    const QString path = EntryPath(source, index);
    const QFileInfo entry(path);
    QByteArray bytes;
    return entry.isFile() && !entry.isSymLink() && ReadWholeFile(path, bytes, kMaxCacheEntryBytes) &&
           ReadCachedAnswer(bytes, answer);
}

bool StoreCachedAnswer(const QString& source, const QString& index, const CachedAnswer& answer) {
    if (!QDir().mkpath(CacheFolder()))
        return false;
    QJsonObject entry;
    entry.insert(u"lastModified"_qs, QString::fromLatin1(answer.lastModified));
    if (answer.expires.isValid())
        entry.insert(u"expires"_qs, answer.expires.toUTC().toString(Qt::ISODate));
    entry.insert(u"fetched"_qs, answer.fetched.toUTC().toString(Qt::ISODate));
    entry.insert(u"body"_qs, QString::fromUtf8(answer.body));
    const QByteArray bytes = QJsonDocument(entry).toJson(QJsonDocument::Compact);
    return bytes.size() <= kMaxCacheEntryBytes &&
           bool(WriteFileAtomic(EntryPath(source, index), bytes, LinkWrite::Replace));
}

bool ReadCachedAnswer(const QByteArray& bytes, CachedAnswer& answer) {
    const QJsonObject entry = QJsonDocument::fromJson(bytes).object();
    const QJsonValue body = entry.value(u"body"_qs);
    if (!body.isString())
        return false;
    answer.body = body.toString().toUtf8();
    answer.lastModified = entry.value(u"lastModified"_qs).toString().toLatin1();
    answer.expires = QDateTime::fromString(entry.value(u"expires"_qs).toString(), Qt::ISODate);
    answer.fetched = QDateTime::fromString(entry.value(u"fetched"_qs).toString(), Qt::ISODate);
    return answer.fetched.isValid();
}

CacheTrust TrustCachedAnswer(const CachedAnswer& answer, const QDateTime& now, const QTimeZone& zone) {
    // An answer from the future cannot be judged; one fetched on an earlier day in the town
    // begins with a day that has passed.
    if (!answer.fetched.isValid() || answer.fetched > now.addSecs(kClockSlackSeconds) ||
        answer.fetched.toTimeZone(zone).date() < now.toTimeZone(zone).date())
        return CacheTrust::None;
    const QDateTime latest = answer.fetched.addSecs(kLongestFreshSeconds);
    const bool fresh = answer.expires.isValid() && now < std::min(answer.expires, latest);
    return fresh ? CacheTrust::Fresh : CacheTrust::Revalidate;
}

void RemoveCacheLeftovers() {
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-kLeftoverSeconds);
    const QDir folder(CacheFolder());
    for (const QFileInfo& file : folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (IsTemporaryFileName(file.fileName()) && file.lastModified().toUTC() < before)
            QFile::remove(file.filePath());
    }
}

QDateTime ParseHttpDate(const QByteArray& text) {
    // The one form HTTP senders must use, RFC 9110's IMF-fixdate; the weekday is redundant.
    static const QRegularExpression form(
        QStringLiteral("^(?:Mon|Tue|Wed|Thu|Fri|Sat|Sun), (\\d\\d (?:Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
                       "\\d{4} \\d\\d:\\d\\d:\\d\\d) GMT\\z"));
    const QRegularExpressionMatch match = form.match(QString::fromLatin1(text));
    if (!match.hasMatch())
        return {};
    QDateTime when = QLocale::c().toDateTime(match.captured(1), u"dd MMM yyyy HH:mm:ss"_qs);
    if (!when.isValid())
        return {};
    when.setTimeZone(QTimeZone::utc());
    return when;
}

} // namespace vetorlan
