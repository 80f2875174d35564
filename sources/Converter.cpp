#include "sources/Converter.h"

#include "core/CodePage.h"
#include "core/Settings.h"

#include <QByteArrayMatcher>
#include <algorithm>
#include <vector>

namespace vetorlan {

// The largest text a rewrite may produce from `inputSize` bytes. Real pages shrink; crafted
// ones (cut markers in reverse order, many "</body>") would otherwise grow without limit.
qsizetype OutputBound(qsizetype inputSize) {
    constexpr qsizetype kCeiling = qsizetype(64) << 20;
    constexpr qsizetype kSlack = qsizetype(64) << 10;
    return qMin(kCeiling, inputSize * 4 + kSlack);
}

namespace {

QByteArray cp(const char* utf8) {
    return toCp1251(QString::fromUtf8(utf8));
}

// Set when a step would exceed the bound; the steps then pass the text through untouched.
struct Budget {
    qsizetype bound = 0;
    bool exceeded = false;
    bool allows(qsizetype size) {
        exceeded = exceeded || size > bound;
        return !exceeded;
    }
};

// Replaces every occurrence of `from` (left to right, non-overlapping): one scan finds the
// matches, a second fills a buffer of the exact final size, so the cost stays linear.
QByteArray replaceAll(const QByteArray& text, const QByteArray& from, const QByteArray& to, Budget& budget) {
    if (from.isEmpty() || budget.exceeded)
        return text;
    const QByteArrayMatcher matcher(from);
    std::vector<qsizetype> hits;
    for (qsizetype hit = matcher.indexIn(text, 0); hit >= 0; hit = matcher.indexIn(text, hit + from.size()))
        hits.push_back(hit);
    if (hits.empty())
        return text;
    const qsizetype count = qsizetype(hits.size());
    const qsizetype size = text.size() + count * (to.size() - from.size());
    if (!budget.allows(size))
        return text;
    QByteArray out(size, Qt::Uninitialized);
    char* dest = out.data();
    qsizetype start = 0;
    for (qsizetype hit : hits) {
        dest = std::copy(text.constData() + start, text.constData() + hit, dest);
        dest = std::copy(to.constData(), to.constData() + to.size(), dest);
        start = hit + from.size();
    }
    std::copy(text.constData() + start, text.constData() + text.size(), dest);
    return out;
}

// One cut: keeps positions 1..headEnd and the tail from position tailStart on (both 1-based).
// Made only when both markers are present and the tail starts at position 1 or later.
struct Cut {
    QByteArray headMarker;
    qsizetype headOffset; // head end = pos(headMarker) + headOffset
    QByteArray tailMarker;
    qsizetype tailOffset; // tail start = pos(tailMarker) + tailOffset
};

QByteArray applyCut(const QByteArray& text, const Cut& cut, Budget& budget) {
    if (budget.exceeded)
        return text;
    const qsizetype headAt = text.indexOf(cut.headMarker);
    const qsizetype tailAt = text.indexOf(cut.tailMarker);
    if (headAt < 0 || tailAt < 0)
        return text;
    const qsizetype headEnd = headAt + 1 + cut.headOffset;   // last kept position, 1-based
    const qsizetype tailStart = tailAt + 1 + cut.tailOffset; // first kept position, 1-based
    if (tailStart < 1 || headEnd < 0)
        return text;
    const qsizetype kept = qMin(headEnd, text.size()) + qMax<qsizetype>(0, text.size() - tailStart + 1);
    if (!budget.allows(kept))
        return text;
    QByteArray out;
    out.reserve(kept);
    out.append(text.constData(), qMin(headEnd, text.size()));
    if (tailStart <= text.size())
        out.append(text.constData() + tailStart - 1, text.size() - tailStart + 1);
    return out;
}

QByteArray imagePrefix(QString imageHost) {
    while (imageHost.endsWith('/'))
        imageHost.chop(1);
    return imageHost.isEmpty() ? QByteArray() : toCp1251(imageHost) + "/i/wiz";
}

std::vector<std::pair<QByteArray, QByteArray>> replacementRules(const QString& imageHost) {
    return {
        {"css/_weather.css", "nimbora.css"},
        {cp("Яндекс."), {}},
        {cp("Кратко"), cp("Прогноз погоды на 7 дней")},
        {imagePrefix(imageHost), "_i/"},
        {"/i/", "_i/"},
        {"_i/moon/", "_i/"},
        {"_i/wind/", "_i/"},
        {cp("<a href=\"/othercity.xml\">другой город</a>"), {}},
        {cp("Напечатать&#133;"), {}},
    };
}

QByteArray applyReplacements(QByteArray page, const QString& imageHost, Budget& budget) {
    for (const auto& [from, to] : replacementRules(imageHost))
        page = replaceAll(page, from, to, budget);
    return page;
}

std::vector<Cut> cutRules() {
    return {
        {"<!--[if lte IE 7]>", -1, "</head>", 0},
        {"<table>", -1, "</table>", -1},
        {"<body style", 4, "<div class=\"b-navigation g-line\">", -1},
        {"</table>", 7, "<table class=\"b-forecast-details\">", 0},
        {"<ul class=\"b-foot\">", -1, "</body>", 0},
    };
}

QByteArray applyCuts(QByteArray page, Budget& budget) {
    for (const Cut& cut : cutRules())
        page = applyCut(page, cut, budget);
    return page;
}

QByteArray backButtonBlock() {
    return cp("</body><br>\n<div align=\"center\"><input type=\"button\" value=\"Назад\"onClick=\"history.back()\" "
              "name=\"button\"></div>");
}

} // namespace

QByteArray ConvertPageText(QByteArray page, const QString& multiLoad, const QString& imageHost) {
    Budget budget{OutputBound(page.size())};
    page = applyReplacements(std::move(page), imageHost, budget);
    page = applyCuts(std::move(page), budget);
    if (IsTrue(multiLoad))
        page = replaceAll(page, "</body>", backButtonBlock(), budget);
    if (!budget.allows(page.size() + 2))
        return QByteArray();
    page.append("\r\n");
    return page;
}

bool LooksLikeForecastPage(const QByteArray& page, const QString& imageHost) {
    for (const auto& [from, to] : replacementRules(imageHost))
        if (!from.isEmpty() && page.contains(from))
            return true;
    for (const Cut& cut : cutRules())
        if (page.contains(cut.headMarker) && page.contains(cut.tailMarker))
            return true;
    return false;
}

} // namespace vetorlan
