#include <gtest/gtest.h>

#include "market-sim/category_update_text.h"
#include "market-sim/fault_table.h"
#include "market-sim/layout_text.h"
#include "market-sim/multipart_reader.h"
#include "market-sim/picture_check.h"
#include "market-sim/request_target.h"
#include "market-sim/session_cookies.h"

namespace kesto::sim {
namespace {

TEST(RequestTargetTest, AcceptsAbsoluteFormWithAndWithoutPortAndOriginForm) {
    struct Case {
        const char* path;
        const char* host;
        const char* wantHost;  // null: refused
        const char* wantPath;
        bool wantAbsolute;
    };
    const Case cases[] = {
        {"http://manage.kesto.example/cgi-bin/x", "", "manage.kesto.example", "/cgi-bin/x", true},
        {"http://Manage.Kesto.Example:80/cgi-bin/x", "", "manage.kesto.example", "/cgi-bin/x",
         true},
        {"HTTP://www.kesto.example", "", "www.kesto.example", "/", true},
        {"/album/UpReq", "album.kesto.example:80", "album.kesto.example", "/album/UpReq", false},
        {"/album/UpReq", "", nullptr, nullptr, false},
        {"http:///nohost", "", nullptr, nullptr, false},
        {"garbage", "www.kesto.example", nullptr, nullptr, false},
    };
    for (const auto& c : cases) {
        const auto target = SplitRequestTarget(c.path, c.host);
        if (c.wantHost == nullptr) {
            EXPECT_FALSE(target) << c.path;
            continue;
        }
        ASSERT_TRUE(target) << c.path;
        EXPECT_EQ(target->host, c.wantHost);
        EXPECT_EQ(target->path, c.wantPath);
        EXPECT_EQ(target->absoluteForm, c.wantAbsolute) << c.path;
    }
}

TEST(SessionCookiesTest, UinCookieRoundTripsThroughTheClientsDecoding) {
    EXPECT_EQ(EncodeUinCookie("10001"), "o001");
    EXPECT_EQ(DecodeUinCookie("o001"), "10001");
    EXPECT_EQ(DecodeUinCookie("o0000099"), "100000099");
    EXPECT_EQ(DecodeUinCookie("x7o1"), "7101");
    EXPECT_EQ(DecodeUinCookie("abc"), "");
    const auto cookies = ParseCookieHeader("uin=o001; skey=@ab=c ;ptui_loginuin=10001;x");
    EXPECT_EQ(cookies.at("uin"), "o001");
    EXPECT_EQ(cookies.at("skey"), "@ab=c");
    EXPECT_EQ(cookies.at("ptui_loginuin"), "10001");
}

TEST(MultipartReaderTest, SplitsPartsKeepingHeaderLinesAndBinaryData) {
    const std::string body =
        "--B\r\nContent-disposition: form-data; name=\"FileData\";filename=\"a.jpg\"\r\n"
        "Content-type: image/jpeg\r\n\r\n\xFF\xD8\r\n--X\r\n--B\r\n"
        "Content-Disposition: form-data; name=\"uin\"\r\n\r\n10001\r\n--B--\r\n";
    const auto result = ParseMultipart(body, "B");
    ASSERT_TRUE(result.body) << result.error;
    ASSERT_EQ(result.body->parts.size(), 2u);
    EXPECT_EQ(result.body->parts[0].name, "FileData");
    EXPECT_EQ(result.body->parts[0].fileName, "a.jpg");
    EXPECT_EQ(result.body->parts[0].headerLines[1], "Content-type: image/jpeg");
    EXPECT_EQ(result.body->parts[0].data, "\xFF\xD8\r\n--X");
    EXPECT_EQ(result.body->parts[1].name, "uin");
    EXPECT_FALSE(result.body->parts[1].fileName);
    EXPECT_TRUE(result.body->finalLineBreak);
}

TEST(MultipartReaderTest, RefusesBrokenBodies) {
    const char* bodies[] = {
        "",
        "--B\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1",       // no end
        "--B\r\nContent-Disposition: form-data; name=\"a\"\r\n1\r\n--B--",  // no blank line
        "--B\r\nContent-Type: text/plain\r\n\r\n1\r\n--B--",                // no disposition
        "--B\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n--B--junk",  // trailing
        "--B\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n--Bx",       // bad boundary
        "--C\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n--C--",  // other boundary
    };
    for (const char* body : bodies) {
        const auto result = ParseMultipart(body, "B");
        EXPECT_FALSE(result.body) << body;
        EXPECT_FALSE(result.error.empty());
    }
    EXPECT_EQ(MultipartBoundary("multipart/form-data,boundary=hellworld"), "hellworld");
    EXPECT_EQ(MultipartBoundary("multipart/form-data, boundary=----x"), "----x");
    EXPECT_EQ(MultipartBoundary("text/plain; boundary=x"), "");
    // Type and key in any letter case; the boundary keeps its own.
    EXPECT_EQ(MultipartBoundary("Multipart/Form-Data; BOUNDARY=AbC"), "AbC");
}

TEST(PictureCheckTest, UploadMimeTypeReadsTheExtensionInAnyLetterCase) {
    const std::pair<const char*, const char*> cases[] = {
        {"a.jpg", "image/jpeg"}, {"A.JPEG", "image/jpeg"}, {"b.Png", "image/gif"},
        {"c.GIF", "image/gif"},  {"jpg", "text/plain"},    {"d.jpg.TXT", "text/plain"},
    };
    for (const auto& [name, type] : cases) {
        EXPECT_EQ(UploadMimeType(name), type) << name;
    }
    EXPECT_EQ(LowerExtension("Photo.JpG"), "jpg");
}

ShopLayout SampleLayout() {
    ShopLayout layout;
    layout.banner = {"1", "0", "", "", "88", "1", {}};
    layout.banner.modules.push_back({"0", "7", "nav", "50", "0", "0", "0", "0", ""});
    LayoutSegment frame{"2", "1", "0", "2", "88", "1", {}};
    frame.modules.push_back({"0", "3", "info", "60", "0", "0", "0", "0", ""});
    frame.modules.push_back({"1", "13", "old", "61", "100", "1", "0", "0", "old text"});
    layout.frames.push_back(frame);
    return layout;
}

std::string Apply(ShopLayout& layout, const std::string& text) {
    const auto parsed = ParseLayoutText(text);
    if (!parsed.lines) {
        return parsed.error;
    }
    int next = 900;
    return ApplyLayoutLines(layout, *parsed.lines, [&] { return std::to_string(next++); });
}

TEST(LayoutTextTest, AddsAndRemovesModulesAsTheClientsLayoutStepDoes) {
    ShopLayout layout = SampleLayout();
    const std::string text =
        "1^0^0^0^0^0^88^1^0^0|1^0^0^0^7^0^50^3^0^0|1^0^0^0^9^1^0^2^0^0|"
        "2^1^0^0^0^0^88^1^0^0|2^1^0^0^3^0^60^1^0^0|2^1^0^1^13^100^0^2^0^0|"
        "2^1^0^1^13^101^61^3^0^0";
    ASSERT_EQ(Apply(layout, text), "");
    ASSERT_EQ(layout.banner.modules.size(), 1u);
    EXPECT_EQ(layout.banner.modules[0].mid, "9");
    EXPECT_EQ(layout.banner.modules[0].fsid, "900");
    ASSERT_EQ(layout.frames[0].modules.size(), 2u);
    EXPECT_EQ(layout.frames[0].modules[1].mid, "13");
    EXPECT_EQ(layout.frames[0].modules[1].order, "100");
    EXPECT_EQ(layout.frames[0].modules[1].fsid, "901");
    EXPECT_EQ(layout.frames[0].modules[1].content, "");
}

TEST(LayoutTextTest, RefusesMalformedTextAndLeavesTheLayoutAlone) {
    const char* texts[] = {
        "",
        "1^0^0^0^0^0^88^1^0",                         // nine fields
        "1^0^0^0^0^0^88^1^0^x",                       // not a number
        "1^0^0^0^9^1^0^2^0^0",                        // module before any segment
        "5^0^0^0^0^0^88^1^0^0",                       // unknown segment
        "1^0^0^0^0^0^77^1^0^0",                       // wrong banner fsid
        "1^0^0^0^0^0^88^1^0^0|2^1^0^0^9^1^0^2^0^0",   // module repeats another head
        "1^0^0^0^0^0^88^1^0^0|1^0^0^0^9^1^55^2^0^0",  // new module with an fsid
        "1^0^0^0^0^0^88^1^0^0|1^0^0^0^7^0^99^1^0^0",  // unknown module
        "1^0^0^0^0^0^88^1^0^0|1^0^0^0^9^0^50^1^0^0",  // module of another kind
        "1^0^0^0^0^0^88^1^0^0|1^0^0^0^9^1^0^2^0^0|1^0^0^0^9^1^0^2^0^0",  // two headers
        "1^0^0^0^0^0^88^1^0^0|1^0^0^0^0^0^88^1^0^0",                     // segment twice
        "|||^^^",
    };
    for (const char* text : texts) {
        ShopLayout layout = SampleLayout();
        EXPECT_NE(Apply(layout, text), "") << text;
        EXPECT_EQ(layout.banner.modules.size(), 1u) << text;
        EXPECT_EQ(layout.frames[0].modules.size(), 2u) << text;
    }
}

TEST(CategoryUpdateTextTest, ReadsDeletingAndCreatingRecords) {
    const auto result = ParseCategoryRecords(
        "12^^^^3^^^|10000^0^1^0^2^New+Arrivals^http%3A%2F%2Fa%2Fb.jpg^|"
        "10001^10000^2^0^2^%E9%9E%8B^^");
    ASSERT_TRUE(result.records) << result.error;
    ASSERT_EQ(result.records->size(), 3u);
    EXPECT_TRUE((*result.records)[0].remove);
    EXPECT_EQ((*result.records)[0].id, "12");
    EXPECT_EQ((*result.records)[1].name, "New Arrivals");
    EXPECT_EQ((*result.records)[1].address, "http://a/b.jpg");
    EXPECT_EQ((*result.records)[2].parentId, "10000");
    EXPECT_EQ((*result.records)[2].name, "\xE9\x9E\x8B");
    EXPECT_TRUE(ParseCategoryRecords("").records);
}

TEST(CategoryUpdateTextTest, RefusesMalformedRecords) {
    const char* texts[] = {
        "12^^^^3^^",                            // seven fields
        "12^^^^3^^^x",                          // no final caret
        "12^1^^^3^^^",                          // deleting record with a parent
        "10000^0^1^0^2^a^^|10000^0^1^0^2^b^^",  // new id twice
        "10001^10000^2^0^2^a^^",                // sub-category before its parent
        "10000^5^1^0^2^a^^",                    // top level with a parent
        "10000^0^1^0^2^%ZZ^^",                  // bad escape
        "10000^0^1^1^2^a^^",                    // field 4 not 0
    };
    for (const char* text : texts) {
        EXPECT_FALSE(ParseCategoryRecords(text).records) << text;
    }
}

TEST(CategoryUpdateTextTest, RefusalsNameTheFieldAtFault) {
    const std::pair<const char*, const char*> cases[] = {
        {"10000^0^5^0^2^a^^", "field 3 (the level) must be 1 or 2"},
        {"10001^10000^2^0^2^a^^", "a sub-category must name a top-level category"},
    };
    for (const auto& [text, reason] : cases) {
        EXPECT_NE(ParseCategoryRecords(text).error.find(reason), std::string::npos) << text;
    }
}

TEST(FaultSettingTest, ParsesKindsSecondsAndCounts) {
    const auto stall = ParseFaultSetting("UpReq=stall:5*2");
    ASSERT_TRUE(stall);
    EXPECT_EQ(stall->endpoint, "UpReq");
    EXPECT_EQ(stall->fault.kind, FaultKind::kStall);
    EXPECT_EQ(stall->fault.seconds, 5);
    EXPECT_EQ(stall->fault.count, 2);
    EXPECT_EQ(ParseFaultSetting("picbanneredit=error")->fault.count, -1);
    const auto later = ParseFaultSetting("update=stall:2*3+1");
    ASSERT_TRUE(later);
    EXPECT_EQ(later->fault.seconds, 2);
    EXPECT_EQ(later->fault.count, 3);
    EXPECT_EQ(later->fault.skip, 1);
    const auto busy = ParseFaultSetting("UploadPicActivex=429:2*1");
    ASSERT_TRUE(busy);
    EXPECT_EQ(busy->fault.kind, FaultKind::kRateLimit);
    EXPECT_EQ(busy->fault.seconds, 2);
    EXPECT_EQ(ParseFaultSetting("showjson=429")->fault.seconds, -1) << "no Retry-After";
    const auto expire = ParseFaultSetting("*=expire+12");
    ASSERT_TRUE(expire);
    EXPECT_EQ(expire->endpoint, kAnyEndpoint);
    EXPECT_EQ(expire->fault.kind, FaultKind::kExpire);
    EXPECT_EQ(expire->fault.skip, 12);
    const auto everyFifth = ParseFaultSetting("UploadPicActivex=429:0*2+1%5");
    ASSERT_TRUE(everyFifth);
    EXPECT_EQ(everyFifth->fault.every, 5);
    EXPECT_EQ(everyFifth->fault.skip, 1);
    EXPECT_EQ(everyFifth->fault.count, 2);
    EXPECT_EQ(ParseFaultSetting("moduleedit=drop")->fault.every, 1);
    for (const char* bad :
         {"", "=error", "x=error%0", "x=error%", "x=error%x", "x=boom", "x=stall", "x=error:3",
          "x=drop*0", "x=stall:-1", "x=stall:99999", "x=error+", "x=error+-1", "x=error*1+x",
          "x=expire:3", "x=429:", "x=429:-2", "x=4290"}) {
        EXPECT_FALSE(ParseFaultSetting(bad)) << bad;
    }
}

}  // namespace
}  // namespace kesto::sim
