#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/curl/curl_http_client.h"
#include "platform/event_loop.h"

namespace hw::platform {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
namespace fs = std::filesystem;

// A server on a free loopback port. Handlers that hold their reply back wait for
// Release() (ten seconds at most); the server releases them before it stops.
class TestServer {
 public:
  TestServer() : port_(server.bind_to_any_port("127.0.0.1")) {
    thread_ = std::thread([this] { server.listen_after_bind(); });
    for (int i = 0; i < 5000 && !server.is_running(); ++i)
      std::this_thread::sleep_for(1ms);
  }
  ~TestServer() {
    Release();
    server.stop();
    thread_.join();
  }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  void Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    releasedChanged_.notify_all();
  }
  void WaitForRelease() {
    std::unique_lock lock(mutex_);
    releasedChanged_.wait_for(lock, 10s, [this] { return released_; });
  }
  void Record(const httplib::Request& request) {
    std::lock_guard lock(mutex_);
    last_ = request;
  }
  httplib::Request Last() {
    std::lock_guard lock(mutex_);
    return last_;
  }

  httplib::Server server;

 private:
  int port_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable releasedChanged_;
  bool released_ = false;
  httplib::Request last_;
};

// An address that refuses connections: its port is bound (nobody else takes it) but
// nothing listens.
struct ClosedPort {
  ClosedPort() {
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/";
  }
  ~ClosedPort() { close(fd); }
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  std::string url;
};

constexpr const char* kForm = "content-type: application/x-www-form-urlencoded\r\n";

class HttpClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    client->onStateChanged = [this](int state) { states.push_back(state); };
    server.server.Get("/fast",
                      [](const auto&, auto& res) { res.set_content("fast", "text/plain"); });
    server.server.Get("/slow", [this](const auto&, auto& res) {
      server.WaitForRelease();
      res.set_content("slow", "text/plain");
    });
  }
  // Generous guard: the loop's clock moves 10 ms per tick while a tick waits a few ms.
  bool RunUntilStates(std::size_t count) {
    return loop.RunUntil([&] { return states.size() >= count; }, 300);
  }

  VirtualEventLoop loop;
  TestServer server;
  std::unique_ptr<CurlHttpClient> client = std::make_unique<CurlHttpClient>(loop);
  std::vector<int> states;
};

TEST_F(HttpClientTest, FormPostArrivesAsSentAndTheReplyCompletes) {
  std::string reply = "OK|";
  for (int i = 0; i < 2997; ++i)
    reply += static_cast<char>('a' + (i * 7 + i / 26) % 26);
  server.server.Post("/sub/chk.asp", [&](const auto& req, auto& res) {
    server.Record(req);
    res.set_content(reply, "text/plain");
  });
  const std::string body = "recencode=abc&recnick=a b+c%2&recpwd=x=y&recgcode=001";
  client->Execute(server.Url("/sub/chk.asp"), "POST", body, kForm);
  EXPECT_TRUE(client->BusyRequest());

  ASSERT_TRUE(RunUntilStates(1));
  EXPECT_THAT(states, ElementsAre(kHttpResponseCompleted));
  EXPECT_FALSE(client->BusyRequest());
  EXPECT_EQ(client->GetChunk(1024), reply.substr(0, 1024));
  EXPECT_EQ(client->GetChunk(5000), reply);
  const httplib::Request seen = server.Last();
  EXPECT_EQ(seen.method, "POST");
  EXPECT_EQ(seen.body, body);
  EXPECT_EQ(seen.get_header_value("Content-Type"), "application/x-www-form-urlencoded");
}

TEST_F(HttpClientTest, ErrorStatusRefusalTimeoutOrBadAddressFailsFromTheLoop) {
  client->SetTimeouts({1000ms, 300ms, 0ms});
  server.server.Get("/broken", [](const auto&, auto& res) {
    res.status = 500;
    res.set_content("ER|oops", "text/plain");
  });
  ClosedPort closed;
  for (const std::string& url :
       {server.Url("/missing"), server.Url("/broken"), closed.url, server.Url("/slow"),
        std::string("not an address"), std::string("file:///etc/hosts")}) {
    SCOPED_TRACE(url);
    states.clear();
    client->Execute(url, "POST", "a=1", kForm);
    std::this_thread::sleep_for(50ms);  // a client working outside the loop would answer now
    EXPECT_TRUE(states.empty());
    ASSERT_TRUE(RunUntilStates(1));
    EXPECT_THAT(states, ElementsAre(kHttpRequestFailed));
    EXPECT_EQ(client->GetChunk(1024), "");
  }
}

TEST_F(HttpClientTest, ReplacedOrCancelledRequestReportsNothing) {
  client->Execute(server.Url("/slow"), "GET", "", "");
  loop.WaitSeconds(0.1);
  client->Execute(server.Url("/fast"), "GET", "", "");
  ASSERT_TRUE(RunUntilStates(1));
  server.Release();  // the first request's reply now comes, to nobody
  loop.WaitSeconds(1);
  EXPECT_THAT(states, ElementsAre(kHttpResponseCompleted));
  EXPECT_EQ(client->GetChunk(1024), "fast");

  states.clear();
  client->Execute(server.Url("/fast"), "GET", "", "");
  loop.WaitSeconds(0.02);
  client->Cancel();
  EXPECT_FALSE(client->BusyRequest());
  loop.WaitSeconds(1);
  EXPECT_TRUE(states.empty());
}

TEST_F(HttpClientTest, HandlerMayStartAnotherRequestOrDestroyTheClient) {
  client->onStateChanged = [this](int state) {
    states.push_back(state);
    if (states.size() == 1)
      client->Execute(server.Url("/fast"), "GET", "", "");
    else
      client.reset();
  };
  client->Execute(server.Url("/fast"), "GET", "", "");
  ASSERT_TRUE(RunUntilStates(2));
  EXPECT_EQ(client, nullptr);
  EXPECT_THAT(states, ElementsAre(kHttpResponseCompleted, kHttpResponseCompleted));
}

TEST_F(HttpClientTest, FetchTextFollowsRedirectsAndFailsOnErrors) {
  server.server.Get("/down/nlist.lst", [](const auto&, auto& res) {
    res.set_content("102<br>\r\nhttp://h/102.exe<br>0", "text/plain");
  });
  server.server.Get("/moved", [](const auto&, auto& res) { res.set_redirect("/down/nlist.lst"); });
  EXPECT_EQ(CurlFetchText(server.Url("/down/nlist.lst")), "102<br>\r\nhttp://h/102.exe<br>0");
  EXPECT_EQ(CurlFetchText(server.Url("/moved")), "102<br>\r\nhttp://h/102.exe<br>0");
  EXPECT_EQ(CurlFetchText(server.Url("/missing")), std::nullopt);
  ClosedPort closed;
  EXPECT_EQ(CurlFetchText(closed.url), std::nullopt);
}

class DownloadTest : public HttpClientTest {
 protected:
  void SetUp() override {
    HttpClientTest::SetUp();
    fs::create_directories(dir);
    download.onError = [this](const std::string& path) { journal.push_back("error " + path); };
    download.onComplete = [this](std::int64_t total, const std::string& path) {
      journal.push_back("complete " + std::to_string(total) + " " + path);
    };
  }
  void TearDown() override { fs::remove_all(dir); }
  bool RunUntilComplete() {
    return loop.RunUntil([&] { return !journal.empty() && journal.back().starts_with("complete"); },
                         300);
  }

  fs::path dir = fs::temp_directory_path() / ("http_tests_" + std::to_string(getpid()));
  CurlDownload download{loop};
  std::vector<std::string> journal;
};

TEST_F(DownloadTest, ReportsGrowingProgressThenWritesTheFile) {
  constexpr std::size_t kSize = 64 * 1024;
  std::string content;
  for (std::size_t i = 0; i < kSize; ++i)
    content += static_cast<char>(i * 7 % 251);
  server.server.Get("/setup.exe", [&](const auto& req, auto& res) {
    server.Record(req);
    res.set_content_provider(kSize, "application/octet-stream",
                             [&](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                               if (offset > 0) server.WaitForRelease();  // until progress shows
                               const std::size_t n = offset == 0 ? kSize / 2 : kSize - offset;
                               sink.write(content.data() + offset, n);
                               return true;
                             });
  });
  std::vector<std::array<std::int64_t, 2>> reports;  // read, loop time
  const std::string path = (dir / "setup.exe").string();
  download.onProgress = [&](std::int64_t read, std::int64_t total, const std::string& p) {
    EXPECT_EQ(p, path);
    EXPECT_EQ(total, 65536);
    reports.push_back({read, loop.NowMicros()});
    server.Release();
  };
  download.Begin(server.Url("/setup.exe"), path);
  ASSERT_TRUE(RunUntilComplete());

  EXPECT_THAT(journal, ElementsAre("complete 65536 " + path));
  ASSERT_GE(reports.size(), 2u);  // at least one with half of the file, and the last
  for (std::size_t i = 1; i < reports.size(); ++i) {
    EXPECT_GT(reports[i][0], reports[i - 1][0]);
    EXPECT_TRUE(i + 1 == reports.size() || reports[i][1] - reports[i - 1][1] >= 50'000);
  }
  EXPECT_EQ(reports.back()[0], 65536);
  std::ifstream file(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), content);
  EXPECT_EQ(server.Last().get_header_value("Cache-Control"), "no-cache");
  EXPECT_EQ(server.Last().get_header_value("Pragma"), "no-cache");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);  // no temporary file left
}

TEST_F(DownloadTest, EmptyFailingOrCancelledDownloadLeavesNoFile) {
  server.server.Get("/empty", [](const auto&, auto& res) { res.set_content("", "text/plain"); });
  ClosedPort closed;
  const std::string path = (dir / "setup.exe").string();
  for (const auto& [url, savePath] :
       {std::pair{server.Url("/empty"), path}, std::pair{server.Url("/missing"), path},
        std::pair{closed.url, path}, std::pair{server.Url("/fast"), path + "/no/such/dir"}}) {
    SCOPED_TRACE(url);
    journal.clear();
    download.Begin(url, savePath);
    EXPECT_TRUE(journal.empty());  // the events come from the loop
    ASSERT_TRUE(RunUntilComplete());
    EXPECT_THAT(journal, ElementsAre("error " + savePath, "complete 0 " + savePath));
    EXPECT_TRUE(fs::is_empty(dir));
  }

  journal.clear();
  download.Begin(server.Url("/slow"), path);
  loop.WaitSeconds(0.2);
  download.Cancel();
  server.Release();
  loop.WaitSeconds(1);
  EXPECT_TRUE(journal.empty());
  EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(DownloadTest, TwoDownloadsToOneFileEachWriteTheirOwnAndTheFileIsWhole) {
  // Two updaters started at once fetch the same installer to the same place.
  const std::string first(40000, '1');
  const std::string second(50000, '2');
  for (const auto& [path, content] : {std::pair{"/first", &first}, std::pair{"/second", &second}}) {
    server.server.Get(path, [&, content](const auto&, auto& res) {
      res.set_content_provider(
          content->size(), "application/octet-stream",
          [&, content](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            if (offset > 0) server.WaitForRelease();
            sink.write(content->data() + offset, offset == 0 ? 1000 : content->size() - offset);
            return true;
          });
    });
  }
  const std::string path = (dir / "102").string();
  CurlDownload other{loop};
  std::vector<std::string> otherJournal;
  other.onComplete = [&](std::int64_t total, const std::string&) {
    otherJournal.push_back("complete " + std::to_string(total));
  };
  download.Begin(server.Url("/first"), path);
  other.Begin(server.Url("/second"), path);
  auto parts = [&] {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
      names.push_back(entry.path().filename().string());
    return names;
  };
  ASSERT_TRUE(loop.RunUntil([&] { return parts().size() == 2; }, 100));
  for (const std::string& name : parts())
    EXPECT_THAT(name, ::testing::MatchesRegex("102\\.......\\.part"));
  server.Release();
  ASSERT_TRUE(RunUntilComplete());
  ASSERT_TRUE(loop.RunUntil([&] { return !otherJournal.empty(); }, 300));
  EXPECT_THAT(journal, ElementsAre("complete 40000 " + path));
  EXPECT_THAT(otherJournal, ElementsAre("complete 50000"));
  std::ifstream file(path, std::ios::binary);
  const std::string saved(std::istreambuf_iterator<char>(file), {});
  EXPECT_TRUE(saved == first || saved == second) << "one download whole, not a mixture";
  EXPECT_EQ(parts(), std::vector<std::string>{"102"});
}

}  // namespace
}  // namespace hw::platform
