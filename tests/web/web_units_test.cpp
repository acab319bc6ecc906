// The server's pure rules: admission, file lookup, the page shim, charsets
// and the ordering of page commands.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "web/call_sequencer.h"
#include "web/file_resolver.h"
#include "web/page_shim.h"
#include "web/request_guard.h"

namespace web {
namespace {

namespace fs = std::filesystem;

TEST(RequestGuard, HostTokenAndOriginRules) {
    const std::string token = "0123456789abcdef";
    const std::string good = "seatwatch_token=" + token;
    struct Case {
        const char* label;
        const char* method;
        std::string host;
        OriginHeader hasOrigin;
        std::string origin;
        std::string cookie;
        std::string query;
        Verdict verdict;
    };
    const OriginHeader no = OriginHeader::kAbsent, yes = OriginHeader::kPresent;
    const Case cases[] = {
        {"cookie", "GET", "127.0.0.1:8123", no, "", good, "", Verdict::kAllow},
        {"query", "GET", "localhost:8123", no, "", "", token, Verdict::kAllow},
        {"host name in capitals", "GET", "LocalHost:8123", no, "", good, "", Verdict::kAllow},
        {"among other cookies", "GET", "127.0.0.1:8123", no, "", "a=1; " + good + "; b=2", "",
         Verdict::kAllow},
        {"no token", "GET", "127.0.0.1:8123", no, "", "", "", Verdict::kNoToken},
        {"wrong token", "GET", "127.0.0.1:8123", no, "", "seatwatch_token=0123456789abcdeF", "",
         Verdict::kNoToken},
        {"token prefix", "GET", "127.0.0.1:8123", no, "", "", token.substr(0, 8),
         Verdict::kNoToken},
        {"empty cookie", "GET", "127.0.0.1:8123", no, "", "seatwatch_token=", "",
         Verdict::kNoToken},
        {"rebinding host", "GET", "evil.example:8123", no, "", good, "", Verdict::kBadHost},
        {"other port", "GET", "127.0.0.1:8124", no, "", good, "", Verdict::kBadHost},
        {"no port", "GET", "127.0.0.1", no, "", good, "", Verdict::kBadHost},
        {"suffix trick", "GET", "127.0.0.1.evil:8123", no, "", good, "", Verdict::kBadHost},
        {"no host", "GET", "", no, "", good, "", Verdict::kBadHost},
        {"host checked before token", "GET", "evil:8123", no, "", "", "", Verdict::kBadHost},
        {"post own origin", "POST", "127.0.0.1:8123", yes, "http://127.0.0.1:8123", good, "",
         Verdict::kAllow},
        {"post localhost origin", "POST", "127.0.0.1:8123", yes, "http://localhost:8123", good, "",
         Verdict::kAllow},
        {"post without origin", "POST", "127.0.0.1:8123", no, "", good, "", Verdict::kAllow},
        {"post foreign origin", "POST", "127.0.0.1:8123", yes, "http://evil.example", good, "",
         Verdict::kBadOrigin},
        {"post null origin", "POST", "127.0.0.1:8123", yes, "null", good, "", Verdict::kBadOrigin},
        {"post other port", "POST", "127.0.0.1:8123", yes, "http://127.0.0.1:9999", good, "",
         Verdict::kBadOrigin},
        {"post https origin", "POST", "127.0.0.1:8123", yes, "https://127.0.0.1:8123", good, "",
         Verdict::kBadOrigin},
        {"post empty origin", "POST", "127.0.0.1:8123", yes, "", good, "", Verdict::kBadOrigin},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        RequestFacts facts{c.method, c.host, c.hasOrigin, c.origin, c.cookie, c.query};
        EXPECT_EQ(CheckRequest(facts, token, 8123), c.verdict);
    }
}

TEST(RequestGuard, TokensAreRandomAndComparedWhole) {
    const std::string a = NewToken(), b = NewToken();
    EXPECT_EQ(a.size(), 64u);
    EXPECT_NE(a, b);
    EXPECT_TRUE(TokensEqual(a, a));
    EXPECT_FALSE(TokensEqual(a, b));
    EXPECT_FALSE(TokensEqual(a, a + "0"));
    EXPECT_FALSE(TokensEqual("", ""));
}

class ResolverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        base_ = fs::temp_directory_path() / ("seatwatch-resolve-" + std::to_string(getpid()));
        fs::remove_all(base_);
        root_ = base_ / "home";
        fs::create_directories(root_ / "Temp");
        fs::create_directories(base_ / "outside");
        Write(root_ / "square_red.PNG", "png");
        Write(root_ / "Temp" / "table_1.htm", "<html></html>");
        Write(base_ / "outside" / "secret.txt", "secret");
        fs::create_symlink(base_ / "outside" / "secret.txt", root_ / "link_out.txt");
        fs::create_symlink(base_ / "outside", root_ / "dir_out");
        fs::create_symlink(root_ / "square_red.PNG", root_ / "Temp" / "link_in.png");
    }
    void TearDown() override { fs::remove_all(base_); }
    static void Write(const fs::path& p, const std::string& text) { std::ofstream(p) << text; }

    fs::path base_, root_;
};

TEST_F(ResolverTest, CaseSlashesTraversalAndSymlinks) {
    struct Case {
        const char* path;
        Lookup lookup;
        const char* file;  // expected file below root, when found
    };
    const Case cases[] = {
        {"/square_red.PNG", Lookup::kFound, "square_red.PNG"},
        {"/SQUARE_RED.png", Lookup::kFound, "square_red.PNG"},
        {"/temp/TABLE_1.HTM", Lookup::kFound, "Temp/table_1.htm"},
        {"\\Temp\\table_1.htm", Lookup::kFound, "Temp/table_1.htm"},
        {"/Temp/..\\square_red.PNG", Lookup::kFound, "square_red.PNG"},
        {"/Temp/./../Temp//table_1.htm", Lookup::kFound, "Temp/table_1.htm"},
        {"/Temp/link_in.png", Lookup::kFound, "square_red.PNG"},
        {"/../outside/secret.txt", Lookup::kForbidden, nullptr},
        {"/Temp/../../outside/secret.txt", Lookup::kForbidden, nullptr},
        {"/..\\outside\\secret.txt", Lookup::kForbidden, nullptr},
        {"/link_out.txt", Lookup::kForbidden, nullptr},
        {"/dir_out/secret.txt", Lookup::kForbidden, nullptr},
        {"/Temp", Lookup::kNotFound, nullptr},
        {"/", Lookup::kNotFound, nullptr},
        {"/missing.htm", Lookup::kNotFound, nullptr},
        {"/etc/passwd", Lookup::kNotFound, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const Resolved r = ResolveBelow(root_, c.path);
        EXPECT_EQ(r.lookup, c.lookup);
        if (c.file != nullptr) {
            EXPECT_EQ(r.path, fs::canonical(root_ / c.file));
        }
    }
    EXPECT_EQ(ResolveBelow(root_, std::string("/square_red.PNG\0.txt", 20)).lookup,
              Lookup::kForbidden);
}

TEST(PageShim, RemovesTheSinkObjectAndInsertsOneScript) {
    const std::string s(kShimScript);
    const std::string object =
        "<object classid=\"clsid:A0DC81A6-A79E-4BC8-98C5-7F11E897D85D\" ID=\"BrowserSink\" "
        "HEIGHT=0 WIDTH=0></object>\n";
    struct Case {
        const char* label;
        std::string page;
        std::string expected;
    };
    const Case cases[] = {
        {"head", "<HTML><HEAD><TITLE>t</TITLE></HEAD>",
         "<HTML><HEAD>" + s + "<TITLE>t</TITLE></HEAD>"},
        {"head with attributes", "<html><head lang='en'>x", "<html><head lang='en'>" + s + "x"},
        {"no head", "<HTML>\n" + object + "<BODY>", s + "<HTML>\n\n<BODY>"},
        {"doctype, no head", "<!DOCTYPE html>\n<body>x", "<!DOCTYPE html>" + s + "\n<body>x"},
        {"doctype and head", "<!doctype html><html><head></head>",
         "<!doctype html><html><head>" + s + "</head>"},
        {"byte-order mark", "\xEF\xBB\xBF<p>x", "\xEF\xBB\xBF" + s + "<p>x"},
        {"header is not head", "<header>x</header>", s + "<header>x</header>"},
        {"object in lower case",
         "<head></head><OBJECT CLASSID='clsid:a0dc81a6-a79e-4bc8-98c5-7f11e897d85d'></OBJECT>x",
         "<head>" + s + "</head>x"},
        {"other objects stay", "<head></head><object classid='clsid:1234'></object>",
         "<head>" + s + "</head><object classid='clsid:1234'></object>"},
        {"unclosed object", "<head>" + object.substr(0, object.find("</object>")) + "y",
         "<head>" + s + "y"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(InsertPageShim(c.page), c.expected);
    }
}

TEST(ContentTypes, NameTheCharsetOfEachPage) {
    struct Case {
        const char* file;
        std::string content;
        const char* type;
    };
    const Case cases[] = {
        {"a.htm", "<p>Zo\xC3\xAB</p>", "text/html; charset=utf-8"},
        {"a.HTML", "<p>Zo\xEB</p>", "text/html; charset=windows-1252"},
        {"a.htm", "<meta charset=\"ISO-8859-1\"><p>\xEB</p>", "text/html; charset=iso-8859-1"},
        {"a.htm", "<META HTTP-EQUIV='Content-Type' CONTENT='text/html; charset=windows-1252'>",
         "text/html; charset=windows-1252"},
        {"a.htm", "\xE2\x82", "text/html; charset=windows-1252"},  // cut-off sequence
        {"s.css", "a{}", "text/css; charset=utf-8"},
        {"d.js", "x", "text/javascript; charset=utf-8"},
        {"c.PNG", "\x89PNG", "image/png"},
        {"s.gif", "GIF", "image/gif"},
        {"x.bin", "", "application/octet-stream"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(ContentTypeFor(c.file, c.content), c.type);
    }
}

std::vector<std::uint64_t> Seqs(const std::vector<PageCall>& calls) {
    std::vector<std::uint64_t> out;
    for (const PageCall& c : calls) out.push_back(c.seq);
    return out;
}

PageCall Call(const std::string& page, std::uint64_t seq) {
    PageCall c;
    c.page = page;
    c.seq = seq;
    c.method = "DisplayHand";
    return c;
}

TEST(CallSequencer, RestoresOrderDropsRepeatsAndSkipsLostCalls) {
    CallSequencer s(1000);
    EXPECT_EQ(Seqs(s.Accept(Call("a", 2), 0)), (std::vector<std::uint64_t>{}));
    EXPECT_EQ(Seqs(s.Accept(Call("b", 1), 0)), (std::vector<std::uint64_t>{1})) << "pages apart";
    EXPECT_EQ(Seqs(s.Accept(Call("a", 3), 0)), (std::vector<std::uint64_t>{}));
    EXPECT_TRUE(s.Holding());
    EXPECT_EQ(Seqs(s.Accept(Call("a", 1), 0)), (std::vector<std::uint64_t>{1, 2, 3}));
    EXPECT_EQ(Seqs(s.Accept(Call("a", 2), 0)), (std::vector<std::uint64_t>{})) << "repeat";
    EXPECT_FALSE(s.Holding());
    // Call 4 is lost: 5 and 6 wait for the gap time, then go.
    EXPECT_EQ(Seqs(s.Accept(Call("a", 5), 100)), (std::vector<std::uint64_t>{}));
    EXPECT_EQ(Seqs(s.Accept(Call("a", 6), 200)), (std::vector<std::uint64_t>{}));
    EXPECT_EQ(Seqs(s.Expire(1000)), (std::vector<std::uint64_t>{}));
    EXPECT_EQ(Seqs(s.Expire(1100)), (std::vector<std::uint64_t>{5, 6}));
    EXPECT_EQ(Seqs(s.Accept(Call("a", 4), 1200)), (std::vector<std::uint64_t>{})) << "too late";
    EXPECT_EQ(Seqs(s.Accept(Call("a", 7), 1200)), (std::vector<std::uint64_t>{7}));
}

TEST(CallSequencer, BoundsWhatItHolds) {
    CallSequencer s(1000, 4, 3);
    for (std::uint64_t seq = 2; seq <= 4; ++seq) EXPECT_TRUE(s.Accept(Call("a", seq), 0).empty());
    EXPECT_EQ(Seqs(s.Accept(Call("a", 5), 0)), (std::vector<std::uint64_t>{2, 3, 4, 5}));
    for (int page = 0; page < 10; ++page) s.Accept(Call("p" + std::to_string(page), 1), page);
    EXPECT_EQ(Seqs(s.Accept(Call("a", 6), 20)), (std::vector<std::uint64_t>{}))
        << "page a was forgotten, so 6 waits for 1";
}

}  // namespace
}  // namespace web
