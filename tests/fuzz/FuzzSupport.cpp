#include "tests/fuzz/FuzzSupport.h"

#include "page/OfflinePage.h"

#include <QRegularExpression>
#include <QTimeZone>

namespace vetorlan::fuzz {

QByteArray Bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
}

QDateTime AnswerNow(const QByteArray& answer) {
    static const QRegularExpression time(QStringLiteral("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d"));
    const QRegularExpressionMatch first = time.match(QString::fromLatin1(answer.left(4096)));
    QDateTime when = first.hasMatch() ? QDateTime::fromString(first.captured(0), Qt::ISODate) : QDateTime();
    if (!when.isValid())
        return QDateTime(QDate(2020, 7, 20), QTime(12, 0), QTimeZone::utc());
    when.setTimeZone(QTimeZone::utc());
    return when.addSecs(3600);
}

const Station& StationFor(std::size_t size) {
    const QList<Station>& all = AllStations();
    return all[qsizetype(size % std::size_t(all.size()))];
}

void Render(const Forecast& forecast) {
    const QByteArray page = RenderOfflinePage(forecast, true);
    if (page.isEmpty() && !forecast.days.isEmpty())
        __builtin_trap(); // a read forecast of a catalogue town always makes a page
}

} // namespace vetorlan::fuzz
