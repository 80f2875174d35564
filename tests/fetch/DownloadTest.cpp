// DownloadFile's flag and the service addresses taken from the environment or the build.
#include "sources/Download.h"
#include "sources/HttpClient.h"
#include "tools/sample-forecast-service/PageFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vetorlan::test {
namespace {

class FixedFetcher : public HttpClient {
public:
    explicit FixedFetcher(bool result) : result_(result) {}
    HttpResponse Get(const HttpRequest& request) override {
        lastUrl = request.url;
        return result_ ? HttpResponse{200, {{"Content-Length", "4"}}, "page", {}, {}}
                       : HttpResponse{0, {}, {}, u"refused"_qs, {}};
    }
    QString lastUrl;

private:
    bool result_;
};

TEST(DownloadFile, TellsTheOutcomeOfEveryFetch) {
    FixedFetcher good(true), bad(false);
    SetHttpClient(&good);
    QTemporaryDir dir;
    const QString page = dir.filePath(u"nimbora.htm"_qs);
    EXPECT_TRUE(DownloadFile(u"http://h/detailed.xml?city=27612"_qs, page));
    EXPECT_EQ(good.lastUrl, u"http://h/detailed.xml?city=27612"_qs);
    EXPECT_TRUE(QFile::exists(page));
    SetHttpClient(&bad);
    EXPECT_FALSE(DownloadFile(u"u"_qs, page));
    // Without a client nothing arrives.
    SetHttpClient(nullptr);
    EXPECT_FALSE(DownloadFile(u"u"_qs, page));
    EXPECT_FALSE(ServicePages().Page(u"27612"_qs, u"u"_qs, {u"False"_qs, {}}, nullptr).ok);
}

struct AddressCase {
    const char* environment; // nullptr: unset
    const char* expected;    // nullptr: the build's default
};

class ServiceAddress : public ::testing::TestWithParam<AddressCase> {
protected:
    void TearDown() override {
        qunsetenv("VETORLAN_SERVICE_URL");
        qunsetenv("VETORLAN_IMAGE_HOST");
    }
};

TEST_P(ServiceAddress, ComesFromTheEnvironmentWithoutTrailingSlash) {
    const AddressCase& c = GetParam();
    for (const char* variable : {"VETORLAN_SERVICE_URL", "VETORLAN_IMAGE_HOST"}) {
        if (c.environment)
            qputenv(variable, c.environment);
        else
            qunsetenv(variable);
    }
    const QString service =
        c.expected ? QString::fromUtf8(c.expected) : QString::fromUtf8(VETORLAN_DEFAULT_SERVICE_URL);
    const QString image = c.expected ? QString::fromUtf8(c.expected) : QString::fromUtf8(VETORLAN_DEFAULT_IMAGE_HOST);
    EXPECT_EQ(ServiceUrl(), service.endsWith(u'/') ? service.chopped(1) : service);
    EXPECT_EQ(ImageHost(), image.endsWith(u'/') ? image.chopped(1) : image);
    EXPECT_EQ(ForecastUrl(u"27612"_qs), ServiceUrl() + u"/detailed.xml?city=27612"_qs);
}

INSTANTIATE_TEST_SUITE_P(Cases, ServiceAddress,
                         ::testing::Values(AddressCase{nullptr, nullptr}, AddressCase{"", nullptr},
                                           AddressCase{"http://weather.test:8080", "http://weather.test:8080"},
                                           AddressCase{"https://weather.test/", "https://weather.test"},
                                           AddressCase{"http://h//", "http://h"}));

} // namespace
} // namespace vetorlan::test
