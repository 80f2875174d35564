// The lines between the program and its load process: every request field and every kind of
// reply survive the trip, whatever text they hold; a reply cut short is a failed load.
#include "forecast/LoadRequest.h"
#include "towns/TownCatalog.h"

#include <gtest/gtest.h>

using namespace vetorlan;

namespace {

const QString kAwkward = QString::fromUtf8("Москва\tи\\n область\r\nвторая строка\\");

TEST(LoadRequest, RequestSurvivesTheTripWithEverySettingAndTown) {
    LoadRequest request;
    request.folder = QString::fromUtf8("/дом/погода\tпапка");
    request.settings.PathNimboraCopy = kAwkward;
    request.settings.IndexStyle = "List";
    request.settings.MultiLoad = "True";
    request.settings.ActualWait = -7;
    request.settings.TimeLoad = "";
    for (int position : {1, 200, 400}) {
        request.towns.push_back(
            {CatalogEntry(position), request.folder + "/" + TownName(CatalogEntry(position)) + ".htm"});
        request.selected.Add(CatalogEntry(position));
    }
    request.towns.push_back({kAwkward, kAwkward});
    const QByteArray text = EncodeRequest(request);
    const std::optional<LoadRequest> back = DecodeRequest(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->folder, request.folder);
    EXPECT_EQ(back->settings, request.settings);
    ASSERT_EQ(back->towns.size(), request.towns.size());
    for (size_t i = 0; i < request.towns.size(); ++i) {
        EXPECT_EQ(back->towns[i].entry, request.towns[i].entry);
        EXPECT_EQ(back->towns[i].file, request.towns[i].file);
    }
    ASSERT_EQ(back->selected.count, 3);
    EXPECT_EQ(back->selected[3], CatalogEntry(400));

    // Another version, a request cut before its end, or an unknown line is refused.
    EXPECT_FALSE(DecodeRequest(QByteArray(text).replace("vetorlan-load 1", "vetorlan-load 2")));
    EXPECT_FALSE(DecodeRequest(text.left(text.size() - 4)));
    EXPECT_FALSE(DecodeRequest(QByteArray(text).replace("selected\t", "chosen\t")));
}

TEST(LoadRequest, EveryReplyKindSurvivesTheTripAndACutReplyIsAFailure) {
    LoadOutcome sent;
    sent.towns = {
        {true, {}},
        {false, {{"MET Norway", kAwkward, 503, "HTTP/1.1 503\tbusy"}, {"Open-Meteo", "нет ответа за 4 с", 0, ""}}}};
    sent.fileNames[1] = "Abakan";
    sent.fileNames[400] = kAwkward;
    for (const auto end : {LoadOutcome::End::Succeeded, LoadOutcome::End::Failed, LoadOutcome::End::FileError,
                           LoadOutcome::End::Cancelled}) {
        sent.end = end;
        sent.reason = end == LoadOutcome::End::FileError ? kAwkward : QString();
        QByteArray reply = EncodeReplyHeader();
        for (size_t i = 0; i < sent.towns.size(); ++i)
            reply += EncodeTownLine(int(i) + 1, sent.towns[i]);
        reply += EncodeEnd(sent);
        const LoadOutcome back = DecodeReply(reply);
        EXPECT_EQ(back.end, end);
        EXPECT_EQ(back.reason, sent.reason);
        EXPECT_EQ(back.fileNames, sent.fileNames);
        ASSERT_EQ(back.towns.size(), 2u);
        EXPECT_TRUE(back.towns[0].ok);
        EXPECT_FALSE(back.towns[1].ok);
        ASSERT_EQ(back.towns[1].failures.size(), 2);
        EXPECT_EQ(back.towns[1].failures[0].reason, kAwkward);
        EXPECT_EQ(back.towns[1].failures[0].httpStatus, 503);
        EXPECT_EQ(back.towns[1].failures[0].detail, "HTTP/1.1 503\tbusy");
        EXPECT_EQ(back.FailedTowns(), 1);

        // The process died before its end line: the towns it told of stay, the load failed.
        const LoadOutcome cut = DecodeReply(reply.left(reply.lastIndexOf("end\t")));
        EXPECT_EQ(cut.end, LoadOutcome::End::Failed);
        EXPECT_FALSE(cut.reason.isEmpty());
        EXPECT_EQ(cut.towns.size(), 2u);
        EXPECT_EQ(cut.LastTownFailures().size(), 3); // the town's two sources and the broken reply
    }
    EXPECT_EQ(DecodeReply("").end, LoadOutcome::End::Failed);
}

} // namespace
