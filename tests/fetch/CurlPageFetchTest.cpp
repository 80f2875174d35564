// The libcurl fetch against a loopback server: the target file changes only after a whole
// 2xx answer, and DownloadFile's result tells the truth every time.
#include "core/ProjectInfo.h"
#include "platform/common/CurlHttpClient.h"
#include "sources/Download.h"
#include "tests/fetch/LoopbackServer.h"
#include "tests/support/TestSupport.h"
#include "tools/sample-forecast-service/PageFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>

namespace vetorlan::test {
namespace {

using namespace std::chrono_literals;

const std::string kPage = [] {
    std::string page = cp1251("<html><head><title>Прогноз</title></head><body>Москва\r\n").toStdString();
    page += std::string("\0\x01\xff", 3); // bytes must arrive untouched
    for (int i = 0; i < 200; ++i)
        page += "<p>line " + std::to_string(i) + "</p>\r\n";
    return page + "</html>\r\n";
}();
const QByteArray kOldPage = cp1251("старая страница\r\n");

// Short limits so that failing cases end quickly.
CurlHttpClient::Limits TestLimits(long totalSeconds = 3) {
    CurlHttpClient::Limits limits = CurlHttpClient::PageServiceLimits();
    limits.connectSeconds = 2;
    limits.stallSeconds = 1;
    limits.totalSeconds = totalSeconds;
    limits.maxBytes = 64 * 1024;
    return limits;
}

// Sends the start of a longer announced body, then holds the connection open without a
// byte more until the test ends (stall), or closes it (cut short).
void PartialBody(httplib::Response& response, const LoopbackServer& server, bool stall) {
    response.set_content_provider(
        kPage.size(), "text/html", [&server, stall](size_t offset, size_t, httplib::DataSink& sink) {
            if (offset == 0)
                return sink.write(kPage.data(), stall ? 1 : 500);
            for (auto waited = 0ms; stall && !server.released() && waited < 30s; waited += 20ms)
                std::this_thread::sleep_for(20ms);
            return false;
        });
}

// An answer without a length or chunks, ended by closing the connection (an orderly close,
// not a reset): whole, or cut after its first 500 bytes.
void CloseDelimited(httplib::Response& response, bool whole) {
    response.set_header("Connection", "close");
    response.set_content_provider("text/html", [whole](size_t, httplib::DataSink& sink) {
        sink.write(kPage.data(), whole ? kPage.size() : 500);
        return false; // the server closes the connection after what it sent
    });
}

// The page compressed as "deflate" (a zlib stream: qCompress without its 4-byte size).
std::string Deflated() {
    const QByteArray packed = qCompress(QByteArray::fromStdString(kPage)).mid(4);
    return packed.toStdString();
}

struct AgentLog {
    std::mutex mutex;
    std::string last;
};

void InstallRoutes(LoopbackServer& s, AgentLog& agents) {
    auto& server = s.server;
    server.Get("/agent", [&agents](const httplib::Request& q, httplib::Response& r) {
        const std::lock_guard lock(agents.mutex);
        agents.last = q.get_header_value("User-Agent");
        r.set_content("ok", "text/plain");
    });
    server.Get("/page", [](const httplib::Request&, httplib::Response& r) { r.set_content(kPage, "text/html"); });
    server.Get("/chunked", [](const httplib::Request&, httplib::Response& r) {
        r.set_chunked_content_provider("text/html", [](size_t, httplib::DataSink& sink) {
            for (size_t at = 0; at < kPage.size(); at += 700)
                sink.write(kPage.data() + at, std::min<size_t>(700, kPage.size() - at));
            sink.done();
            return true;
        });
    });
    server.Get("/empty", [](const httplib::Request&, httplib::Response& r) { r.set_content("", "text/html"); });
    server.Get("/close-whole", [](const httplib::Request&, httplib::Response& r) { CloseDelimited(r, true); });
    server.Get("/close-cut", [](const httplib::Request&, httplib::Response& r) { CloseDelimited(r, false); });
    server.Get("/deflate", [](const httplib::Request&, httplib::Response& r) {
        r.set_header("Content-Encoding", "deflate");
        r.set_content(Deflated(), "text/html");
    });
    server.Get("/strange-encoding", [](const httplib::Request&, httplib::Response& r) {
        r.set_header("Content-Encoding", "x-strange");
        r.set_content(Deflated(), "text/html");
    });
    server.Get("/moved", [](const httplib::Request&, httplib::Response& r) { r.set_redirect("/page"); });
    server.Get("/loop", [](const httplib::Request&, httplib::Response& r) { r.set_redirect("/loop"); });
    server.Get("/to-file", [](const httplib::Request&, httplib::Response& r) {
        r.status = 302;
        r.set_header("Location", "file:///etc/hostname");
    });
    // What a proxy sees: the whole address as the request target.
    server.Get(R"(http://forecast\.invalid/page)",
               [](const httplib::Request&, httplib::Response& r) { r.set_content(kPage, "text/html"); });
    server.Get("/missing", [](const httplib::Request&, httplib::Response& r) {
        r.status = 404;
        r.set_content("not here", "text/plain");
    });
    server.Get("/broken", [](const httplib::Request&, httplib::Response& r) {
        r.status = 500;
        r.set_content("server error", "text/plain");
    });
    server.Get("/stall", [&s](const httplib::Request&, httplib::Response& r) { PartialBody(r, s, true); });
    server.Get("/short", [&s](const httplib::Request&, httplib::Response& r) { PartialBody(r, s, false); });
    server.Get("/huge", [](const httplib::Request&, httplib::Response& r) {
        r.set_content(std::string(100 * 1024, 'x'), "text/html");
    });
    server.Get("/huge-chunked", [](const httplib::Request&, httplib::Response& r) {
        r.set_chunked_content_provider("text/html", [](size_t offset, httplib::DataSink& sink) {
            if (offset >= 100 * 1024) {
                sink.done();
                return true;
            }
            return sink.write(std::string(4096, 'y').data(), 4096);
        });
    });
    // One byte every 100 ms: never stalls, but takes longer than the overall cap.
    server.Get("/drip", [&s](const httplib::Request&, httplib::Response& r) {
        r.set_chunked_content_provider("text/html", [&s](size_t offset, httplib::DataSink& sink) {
            if (offset >= 100 || s.released()) {
                sink.done();
                return true;
            }
            std::this_thread::sleep_for(100ms);
            return sink.write("z", 1);
        });
    });
}

class CurlPageFetchTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A proxy configured on the machine must not carry the loopback requests away.
        savedNoProxy_ = qgetenv("no_proxy");
        qputenv("no_proxy", "127.0.0.1,localhost");
        InstallRoutes(server_, agents_);
        server_.start();
        useLimits(TestLimits());
    }
    void useLimits(const CurlHttpClient::Limits& limits) {
        client_ = std::make_unique<CurlHttpClient>(limits);
        SetHttpClient(client_.get());
    }
    void TearDown() override {
        SetHttpClient(nullptr);
        savedNoProxy_.isNull() ? qunsetenv("no_proxy") : qputenv("no_proxy", savedNoProxy_);
    }

    QString file(const QString& name) const { return dir_.path() + u'/' + name; }
    QStringList entries() const {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    QByteArray read(const QString& name) const {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void fetch(const std::string& path, const QString& target) {
        loaded_ = DownloadFile(QString::fromStdString(server_.url(path)), file(target), &error_);
    }

    bool loaded_ = false; // what the last DownloadFile returned
    QString error_;       // and its fetch's error
    QByteArray savedNoProxy_;
    AgentLog agents_;
    LoopbackServer server_;
    std::unique_ptr<CurlHttpClient> client_;
    QTemporaryDir dir_;
};

struct Outcome {
    const char* name;
    const char* path;
    bool ok;
    long totalSeconds = 3;     // the overall cap for this case
    const char* why = nullptr; // part of the reason the fetch must give
};

class FetchOutcome : public CurlPageFetchTest, public ::testing::WithParamInterface<Outcome> {
protected:
    void SetUp() override {
        CurlPageFetchTest::SetUp();
        useLimits(TestLimits(GetParam().totalSeconds));
    }
};

// A success replaces the page with the body; every failure leaves the old page byte for
// byte, and no temporary file behind.
TEST_P(FetchOutcome, ReplacesThePageOnlyAfterAWholeAnswer) {
    write(u"nimbora.htm"_qs, kOldPage);
    fetch(GetParam().path, u"nimbora.htm"_qs);
    EXPECT_EQ(loaded_, GetParam().ok) << error_.toStdString();
    if (GetParam().why) {
        EXPECT_TRUE(error_.contains(QLatin1String(GetParam().why))) << error_.toStdString();
    }
    EXPECT_EQ(read(u"nimbora.htm"_qs), GetParam().ok ? QByteArray::fromStdString(kPage) : kOldPage);
    EXPECT_EQ(entries(), QStringList{u"nimbora.htm"_qs});
}

// Without an old page a failure must not leave an empty or partial one either.
TEST_P(FetchOutcome, CreatesNothingWhenItFails) {
    fetch(GetParam().path, u"nimbora.htm"_qs);
    EXPECT_EQ(loaded_, GetParam().ok);
    EXPECT_EQ(entries(), GetParam().ok ? QStringList{u"nimbora.htm"_qs} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FetchOutcome,
    ::testing::Values(
        Outcome{"Success", "/page", true}, Outcome{"Chunked", "/chunked", true}, Outcome{"Redirect", "/moved", true},
        Outcome{"NotFound", "/missing", false}, Outcome{"ServerError", "/broken", false},
        Outcome{"RedirectLoop", "/loop", false}, Outcome{"RedirectToLocalFile", "/to-file", false},
        Outcome{"Stall", "/stall", false, 20, "too slow"}, Outcome{"CutShort", "/short", false, 3, "remaining"},
        Outcome{"TooLarge", "/huge", false}, Outcome{"TooLargeChunked", "/huge-chunked", false},
        Outcome{"OverallCap", "/drip", false, 1, "timed out"}, Outcome{"EmptyBody", "/empty", false, 3, "empty"},
        Outcome{"CloseDelimitedWhole", "/close-whole", true},
        Outcome{"CloseDelimitedCut", "/close-cut", false, 3, "cut short"}, Outcome{"DeflateDecoded", "/deflate", true},
        Outcome{"UnknownEncoding", "/strange-encoding", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CurlPageFetchTest, ConnectionRefusedKeepsTheOldPage) {
    write(u"nimbora.htm"_qs, kOldPage);
    loaded_ = DownloadFile(u"http://127.0.0.1:%1/page"_qs.arg(ClosedPort()), file(u"nimbora.htm"_qs));
    EXPECT_FALSE(loaded_);
    EXPECT_EQ(read(u"nimbora.htm"_qs), kOldPage);
    EXPECT_EQ(entries(), QStringList{u"nimbora.htm"_qs});
}

// The index page and the single-town page are one file whatever the letter case.
TEST_F(CurlPageFetchTest, ReplacesACaseVariantInsteadOfAddingASecondFile) {
    write(u"Nimbora.htm"_qs, kOldPage);
    fetch("/page", u"nimbora.htm"_qs);
    ASSERT_TRUE(loaded_);
    ASSERT_EQ(entries().size(), 1);
    EXPECT_EQ(entries().front().toLower(), u"nimbora.htm"_qs);
    EXPECT_EQ(read(entries().front()), QByteArray::fromStdString(kPage));
}

TEST_F(CurlPageFetchTest, WritesACyrillicFileName) {
    fetch("/page", u"Великие Луки.htm"_qs);
    EXPECT_TRUE(loaded_);
    EXPECT_EQ(entries(), QStringList{u"Великие Луки.htm"_qs});
}

TEST_F(CurlPageFetchTest, FailsIntoAMissingFolder) {
    fetch("/page", u"no-such-folder/nimbora.htm"_qs);
    EXPECT_FALSE(loaded_);
    EXPECT_TRUE(entries().isEmpty());
}

// Users behind a proxy name it in http_proxy; the fetch must go through it.
TEST_F(CurlPageFetchTest, GoesThroughTheProxyFromTheEnvironment) {
    const QList<QByteArray> names = {"http_proxy", "no_proxy", "NO_PROXY"};
    QList<QByteArray> saved;
    for (const QByteArray& name : names) {
        saved << qgetenv(name.constData());
        qunsetenv(name.constData());
    }
    qputenv("http_proxy", QByteArray::fromStdString(server_.url("")));
    // The host does not exist: only the proxy can answer.
    const bool ok = DownloadFile(u"http://forecast.invalid/page"_qs, file(u"proxied.htm"_qs), &error_);
    for (int i = 0; i < names.size(); ++i)
        saved[i].isNull() ? qunsetenv(names[i].constData()) : qputenv(names[i].constData(), saved[i]);
    EXPECT_TRUE(ok) << error_.toStdString();
    EXPECT_EQ(read(u"proxied.htm"_qs), QByteArray::fromStdString(kPage));
}

TEST_F(CurlPageFetchTest, IntroducesItselfWithTheProjectsUserAgent) {
    fetch("/agent", u"agent.htm"_qs);
    EXPECT_TRUE(loaded_);
    const std::lock_guard lock(agents_.mutex);
    const std::string agent = agents_.last;
    EXPECT_EQ(QByteArray::fromStdString(agent), ProgramUserAgent());
    EXPECT_TRUE(ProgramUserAgent().startsWith("Vetorlan/" + ProgramVersion().toUtf8())) << agent;
}

// libcurl missing or replaced by some other library: every fetch fails with a reason naming
// it, the old page stays, nothing is left behind, and the next fetch tries again unharmed.
class UnusableLibrary : public CurlPageFetchTest, public ::testing::WithParamInterface<CurlHttpClient::Library> {};

TEST_P(UnusableLibrary, FailsCleanlyAndKeepsThePage) {
    CurlHttpClient client(TestLimits(), GetParam());
    SetHttpClient(&client);
    write(u"nimbora.htm"_qs, kOldPage);
    for (int attempt = 0; attempt < 2; ++attempt) {
        fetch("/page", u"nimbora.htm"_qs);
        EXPECT_FALSE(loaded_);
        EXPECT_TRUE(error_.contains(u"libcurl"_qs)) << error_.toStdString();
    }
    EXPECT_EQ(read(u"nimbora.htm"_qs), kOldPage);
    EXPECT_EQ(entries(), QStringList{u"nimbora.htm"_qs});
}

INSTANTIATE_TEST_SUITE_P(Libraries, UnusableLibrary,
                         ::testing::Values(CurlHttpClient::Library{u"vetorlan-no-such-curl"_qs, 4},
                                           CurlHttpClient::Library{u"z"_qs, 1}),
                         [](const auto& info) { return info.index == 0 ? std::string("Missing") : "NotLibcurl"; });

} // namespace
} // namespace vetorlan::test
