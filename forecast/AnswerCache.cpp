#include "forecast/AnswerCache.h"

#include "core/FileSystemObject.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTimeZone>

namespace vetorlan {

namespace {

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
    QByteArray bytes;
    if (!FileExists(EntryPath(source, index)) || !ReadWholeFile(EntryPath(source, index), bytes))
        return false;
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

bool StoreCachedAnswer(const QString& source, const QString& index, const CachedAnswer& answer) {
    if (!QDir().mkpath(CacheFolder()))
        return false;
    QJsonObject entry;
    entry.insert(u"lastModified"_qs, QString::fromLatin1(answer.lastModified));
    if (answer.expires.isValid())
        entry.insert(u"expires"_qs, answer.expires.toUTC().toString(Qt::ISODate));
    entry.insert(u"fetched"_qs, answer.fetched.toUTC().toString(Qt::ISODate));
    entry.insert(u"body"_qs, QString::fromUtf8(answer.body));
    return bool(WriteFileAtomic(EntryPath(source, index), QJsonDocument(entry).toJson(QJsonDocument::Compact)));
}

QDateTime ParseHttpDate(const QByteArray& text) {
    // "Mon, 20 Jul 2020 12:14:53 GMT": the weekday is redundant, the zone always GMT.
    const QString value = QString::fromLatin1(text).trimmed();
    const qsizetype comma = value.indexOf(u',');
    if (comma < 0 || !value.endsWith(u" GMT"_qs))
        return {};
    const QString middle = value.mid(comma + 1).chopped(4).trimmed();
    QDateTime when = QLocale::c().toDateTime(middle, u"d MMM yyyy HH:mm:ss"_qs);
    if (!when.isValid())
        return {};
    when.setTimeZone(QTimeZone::utc());
    return when;
}

} // namespace vetorlan
