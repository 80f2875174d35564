#include "page/WeatherConditions.h"

#include <QHash>

namespace vetorlan {

namespace {

enum class Strength { Light, Normal, Heavy };

// Rain, sleet or snow of some strength, steady or in showers, with or without thunder.
Condition Precipitation(const QString& kind, Strength strength, bool showers, bool thunder) {
    static const QHash<QString, QStringList> texts = {
        {u"rain"_qs, {u"небольшой дождь"_qs, u"дождь"_qs, u"сильный дождь"_qs}},
        {u"sleet"_qs, {u"небольшой мокрый снег"_qs, u"мокрый снег"_qs, u"сильный мокрый снег"_qs}},
        {u"snow"_qs, {u"небольшой снег"_qs, u"снег"_qs, u"сильный снег"_qs}},
    };
    static const QStringList rainShowers = {u"небольшой ливень"_qs, u"ливень"_qs, u"сильный ливень"_qs};
    const int at = int(strength);
    QString text = kind == u"rain"_qs && showers ? rainShowers[at]
                   : showers                     ? u"временами "_qs + texts[kind][at]
                                                 : texts[kind][at];
    QString picture;
    if (thunder) {
        picture = u"storm"_qs;
        text += u", гроза"_qs;
    } else if (kind == u"sleet"_qs) {
        picture = u"sleet"_qs;
    } else {
        picture = (strength == Strength::Light ? u"light-"_qs : QString()) + kind;
    }
    return {picture, text};
}

bool ParsePrecipitation(QString code, Condition& condition) {
    Strength strength = Strength::Normal;
    if (code.startsWith(u"light"_qs)) {
        strength = Strength::Light;
        code.remove(0, 5);
        if (code.startsWith(u"ssleet"_qs) || code.startsWith(u"ssnow"_qs))
            code.remove(0, 1); // two codes are spelt with a doubled "s"
    } else if (code.startsWith(u"heavy"_qs)) {
        strength = Strength::Heavy;
        code.remove(0, 5);
    }
    const bool thunder = code.endsWith(u"andthunder"_qs);
    if (thunder)
        code.chop(10);
    const bool showers = code.endsWith(u"showers"_qs);
    if (showers)
        code.chop(7);
    if (code != u"rain"_qs && code != u"sleet"_qs && code != u"snow"_qs)
        return false;
    condition = Precipitation(code, strength, showers, thunder);
    return true;
}

// The family of an unknown MET Norway code, by the words it is made of.
Condition MetNorwayFamily(const QString& code) {
    const bool showers = code.contains(u"showers"_qs);
    const bool thunder = code.contains(u"thunder"_qs);
    for (const QString& kind : {u"sleet"_qs, u"snow"_qs, u"rain"_qs}) {
        if (code.contains(kind))
            return Precipitation(kind, Strength::Normal, showers, thunder);
    }
    if (thunder)
        return {u"storm"_qs, u"гроза"_qs};
    if (showers)
        return Precipitation(u"rain"_qs, Strength::Normal, true, false);
    if (code.contains(u"fog"_qs))
        return {u"fog"_qs, u"туман"_qs};
    if (code.contains(u"cloud"_qs))
        return {u"overcast"_qs, u"пасмурно"_qs};
    return NoDataCondition();
}

// The family of an unknown WMO code by its decade: 4x fog, 5x drizzle, 6x rain, 7x snow,
// 8x showers, 9x thunderstorm.
Condition WmoFamily(int code) {
    switch (code / 10) {
    case 4:
        return {u"fog"_qs, u"туман"_qs};
    case 5:
        return {u"light-rain"_qs, u"морось"_qs};
    case 6:
        return {u"rain"_qs, u"дождь"_qs};
    case 7:
        return {u"snow"_qs, u"снег"_qs};
    case 8:
        return code < 85 ? Condition{u"rain"_qs, u"ливень"_qs} : Condition{u"snow"_qs, u"временами снег"_qs};
    case 9:
        return {u"storm"_qs, u"гроза"_qs};
    default:
        return NoDataCondition();
    }
}

} // namespace

Condition NoDataCondition() {
    return {u"no-data"_qs, u"нет данных"_qs};
}

bool MetNorwayCondition(const QString& symbolCode, Condition& condition) {
    QString code = symbolCode;
    bool night = false;
    for (const QString& suffix : {u"_day"_qs, u"_night"_qs, u"_polartwilight"_qs}) {
        if (code.endsWith(suffix)) {
            night = suffix != u"_day"_qs; // the sun stays below the horizon in polar twilight
            code.chop(suffix.size());
            break;
        }
    }
    const QString sky = night ? u"-night"_qs : u"-day"_qs;
    if (code == u"clearsky"_qs)
        condition = {u"clear"_qs + sky, u"ясно"_qs};
    else if (code == u"fair"_qs)
        condition = {u"partly"_qs + sky, u"малооблачно"_qs};
    else if (code == u"partlycloudy"_qs)
        condition = {u"partly"_qs + sky, u"переменная облачность"_qs};
    else if (code == u"cloudy"_qs)
        condition = {u"overcast"_qs, u"пасмурно"_qs};
    else if (code == u"fog"_qs)
        condition = {u"fog"_qs, u"туман"_qs};
    else if (!ParsePrecipitation(code, condition)) {
        condition = MetNorwayFamily(code);
        return false;
    }
    return true;
}

bool WmoCondition(int code, bool day, Condition& condition) {
    const QString sky = day ? u"-day"_qs : u"-night"_qs;
    static const QHash<int, Condition> fixed = {
        {3, {u"overcast"_qs, u"пасмурно"_qs}},
        {45, {u"fog"_qs, u"туман"_qs}},
        {48, {u"fog"_qs, u"туман, изморозь"_qs}},
        {51, {u"light-rain"_qs, u"небольшая морось"_qs}},
        {53, {u"light-rain"_qs, u"морось"_qs}},
        {55, {u"light-rain"_qs, u"сильная морось"_qs}},
        {56, {u"sleet"_qs, u"небольшая ледяная морось"_qs}},
        {57, {u"sleet"_qs, u"ледяная морось"_qs}},
        {61, {u"light-rain"_qs, u"небольшой дождь"_qs}},
        {63, {u"rain"_qs, u"дождь"_qs}},
        {65, {u"rain"_qs, u"сильный дождь"_qs}},
        {66, {u"sleet"_qs, u"небольшой ледяной дождь"_qs}},
        {67, {u"sleet"_qs, u"ледяной дождь"_qs}},
        {71, {u"light-snow"_qs, u"небольшой снег"_qs}},
        {73, {u"snow"_qs, u"снег"_qs}},
        {75, {u"snow"_qs, u"сильный снег"_qs}},
        {77, {u"light-snow"_qs, u"снежная крупа"_qs}},
        {80, {u"light-rain"_qs, u"небольшой ливень"_qs}},
        {81, {u"rain"_qs, u"ливень"_qs}},
        {82, {u"rain"_qs, u"очень сильный ливень"_qs}},
        {85, {u"light-snow"_qs, u"временами небольшой снег"_qs}},
        {86, {u"snow"_qs, u"временами сильный снег"_qs}},
        {95, {u"storm"_qs, u"гроза"_qs}},
        {96, {u"storm"_qs, u"гроза, небольшой град"_qs}},
        {99, {u"storm"_qs, u"гроза, сильный град"_qs}},
    };
    if (code == 0)
        condition = {u"clear"_qs + sky, u"ясно"_qs};
    else if (code == 1)
        condition = {u"partly"_qs + sky, u"малооблачно"_qs};
    else if (code == 2)
        condition = {u"partly"_qs + sky, u"переменная облачность"_qs};
    else if (fixed.contains(code))
        condition = fixed[code];
    else {
        condition = WmoFamily(code);
        return false;
    }
    return true;
}

} // namespace vetorlan
