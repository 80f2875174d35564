#include "core/Clock.h"

namespace vetorlan {

namespace {
QDateTime& nowOverride() {
    static QDateTime now;
    return now;
}

bool IsWordCharacter(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool IsBlank(QChar c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// The format without its time-zone fields: every run of "t" that stands as a word, with the
// blanks around it. Plain scanning keeps the regular-expression engine out of the idle program.
QString WithoutZoneFields(const QString& format) {
    QString kept;
    qsizetype i = 0;
    while (i < format.size()) {
        qsizetype end = i;
        if (format[i] == u't' && (i == 0 || !IsWordCharacter(format[i - 1]))) {
            while (end < format.size() && format[end] == u't')
                ++end;
            if (end < format.size() && IsWordCharacter(format[end]))
                end = i;
        }
        if (end == i) {
            kept += format[i++];
            continue;
        }
        while (!kept.isEmpty() && IsBlank(kept.back()))
            kept.chop(1);
        while (end < format.size() && IsBlank(format[end]))
            ++end;
        i = end;
    }
    return kept;
}
} // namespace

QDateTime Now() {
    return nowOverride().isValid() ? nowOverride() : QDateTime::currentDateTime();
}

void SetNowOverride(const QDateTime& now) {
    nowOverride() = now;
}

QString DefaultDateText(const QDate& date, const QLocale& locale) {
    return locale.toString(date, QLocale::ShortFormat);
}

QString DefaultTimeText(const QTime& time, const QLocale& locale) {
    return locale.toString(time, WithoutZoneFields(locale.timeFormat(QLocale::LongFormat)).trimmed());
}

} // namespace vetorlan
