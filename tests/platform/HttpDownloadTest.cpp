// The libcurl download against a server on loopback: what it refuses, what
// it bounds and how each failure is told.
#include "platform/CurlHttpDownload.h"

#include <gtest/gtest.h>

#include <thread>

#include "tests/common/LoopbackHttpServer.h"

namespace qx {
namespace {

using namespace std::chrono_literals;
using test::LoopbackHttpServer;
using Reply = LoopbackHttpServer::Reply;

class HttpDownloadTest : public ::testing::Test {
protected:
    HttpError Get(const std::string& url, std::size_t maxBytes = 1024, bool allowHttp = true) {
        HttpLimits limits;
        limits.maxBytes = maxBytes;
        limits.allowHttp = allowHttp;
        limits.connectTimeout = 2s;
        limits.transferTimeout = 5s;
        body = {'s', 't', 'a', 'l', 'e'};
        return http.Get(url, limits, body);
    }
    std::string Body() const { return {body.begin(), body.end()}; }

    LoopbackHttpServer server;
    CurlHttpDownload http;
    std::vector<std::uint8_t> body;
};

TEST_F(HttpDownloadTest, FetchesUpToTheBoundWithOrWithoutALength) {
    server.Serve("/exact", Reply::Ok(std::string(1024, 'x')));
    server.Serve("/unannounced", Reply::Ok(std::string(1024, 'y')).WithoutLength());
    EXPECT_EQ(Get(server.Url("/exact")), HttpError::None);
    EXPECT_EQ(Body(), std::string(1024, 'x'));
    EXPECT_EQ(Get(server.Url("/unannounced")), HttpError::None);
    EXPECT_EQ(Body(), std::string(1024, 'y'));
}

TEST_F(HttpDownloadTest, FailuresLeaveNoBody) {
    const std::string big(1025, 'x');
    server.Serve("/announced", Reply::Ok(big));
    server.Serve("/unannounced", Reply::Ok(big).WithoutLength());
    server.Serve("/cut", Reply::Ok(std::string(800, 'x')).CutAfter(400));
    server.Serve("/missing", Reply::Status(404, "no"));
    server.Serve("/error", Reply::Status(500, "no"));
    server.Serve("/late", Reply::Ok("late").Late(3000ms));
    server.Serve("/to-file", Reply::Redirect("file:///etc/hostname"));
    server.Serve("/to-ftp", Reply::Redirect("ftp://127.0.0.1/x"));
    server.Serve("/loop", Reply::Redirect("/loop"));
    const std::string nobody =
        "http://127.0.0.1:" + std::to_string(LoopbackHttpServer::UnusedPort());

    const struct {
        std::string url;
        HttpError error;
        std::chrono::milliseconds transfer = 5000ms;
    } cases[] = {
        {server.Url("/announced"), HttpError::TooLarge},
        {server.Url("/unannounced"), HttpError::TooLarge},
        {server.Url("/cut"), HttpError::Other},
        {server.Url("/missing"), HttpError::Status},
        {server.Url("/error"), HttpError::Status},
        {server.Url("/late"), HttpError::Timeout, 500ms},
        {server.Url("/to-file"), HttpError::Scheme},
        {server.Url("/to-ftp"), HttpError::Scheme},
        {server.Url("/loop"), HttpError::Other},
        {nobody + "/x", HttpError::Connect},
    };
    for (const auto& c : cases) {
        HttpLimits limits;
        limits.maxBytes = 1024;
        limits.allowHttp = true;
        limits.transferTimeout = c.transfer;
        body = {'s', 't', 'a', 'l', 'e'};
        EXPECT_EQ(http.Get(c.url, limits, body), c.error) << c.url;
        EXPECT_TRUE(body.empty()) << c.url;
    }
}

TEST_F(HttpDownloadTest, SchemesOtherThanTheAllowedOnesAreNeverRequested) {
    server.Serve("/fw.bin", Reply::Ok("firmware"));
    const std::string hostPort = "127.0.0.1:" + std::to_string(server.Port());
    EXPECT_EQ(Get(server.Url("/fw.bin"), 1024, /*allowHttp=*/false), HttpError::Scheme);
    for (const std::string& url :
         std::vector<std::string>{"file:///etc/hostname", "ftp://" + hostPort + "/fw.bin",
                                  "gopher://" + hostPort + "/fw.bin", hostPort + "/fw.bin",
                                  "dict://" + hostPort + "/x", "//" + hostPort + "/fw.bin"}) {
        EXPECT_EQ(Get(url), HttpError::Scheme) << url;
        EXPECT_TRUE(body.empty());
    }
    EXPECT_TRUE(server.Requests().empty());
    // The same server over http once allowed, and across a redirect on it.
    server.Serve("/moved", Reply::Redirect("/fw.bin"));
    EXPECT_EQ(Get(server.Url("/moved")), HttpError::None);
    EXPECT_EQ(Body(), "firmware");
}

TEST_F(HttpDownloadTest, ClearingProceedStopsARunningTransfer) {
    server.Serve("/slow", Reply::Ok("late").Late(20000ms));
    std::atomic<bool> proceed{true};
    HttpLimits limits;
    limits.allowHttp = true;
    limits.proceed = &proceed;
    std::thread stopper([&] {
        server.WaitForRequests(1, 5000ms);
        proceed = false;
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(http.Get(server.Url("/slow"), limits, body), HttpError::Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    stopper.join();
}

}  // namespace
}  // namespace qx
