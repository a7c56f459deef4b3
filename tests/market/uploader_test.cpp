#include <gtest/gtest.h>

#include <filesystem>

#include "market/kesto_uploader.h"
#include "market/uploader.h"
#include "tests/common/capture_server.h"
#include "tests/common/chinese_code_page.h"
#include "tests/common/temp_folder.h"

namespace kesto {
namespace {

using testing::CaptureServer;
using testing::HttpAnswer;
using testing::TempFolder;

const std::string B = "----nbceooq13241247ABZ";
const std::string CRLF = "\r\n";
const std::string kTail = CRLF + "--" + B + "--" + CRLF;
const std::string kShopIdField =
    CRLF + "--" + B + CRLF + "Content-Disposition: form-data; name=\"shopid\"" + CRLF + CRLF + "12";

// Bytes that a careless copy would get wrong: zeros, CR LF, every byte value.
std::string Pattern(std::size_t size, unsigned seed = 0) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 131 + seed + i / 251) & 0xFF);
    }
    return bytes;
}

std::string ChunkBody(std::size_t offset, bool last, const std::string& name,
                      const std::string& fileName, const std::string& type,
                      const std::string& bytes, const std::string& fields) {
    std::string body = "--" + B + CRLF + "Content-Disposition: form-data; name=\"offset\"" + CRLF +
                       CRLF + std::to_string(offset) + CRLF + "--" + B + CRLF;
    if (last) {
        body += "Content-Disposition: form-data; name=\"__end\"" + CRLF + CRLF + "1" + CRLF + "--" +
                B + CRLF;
    }
    body += "Content-Disposition: form-data; name=\"" + name + "\"; filename=\"" + fileName + "\"" +
            CRLF + "Content-Type:" + type + CRLF + CRLF;
    return body + bytes + fields + kTail;
}

std::string BatchPart(const std::string& name, const std::string& fileName, const std::string& type,
                      const std::string& bytes) {
    return "Content-disposition: form-data; name=\"" + name + "\";filename=\"" + fileName + "\"" +
           CRLF + "Content-type: " + type + CRLF + "Content-Transfer-Encoding: binary" + CRLF +
           CRLF + bytes;
}

TEST(Uploader, SingleFormatUpToTheLimit) {
    for (const std::size_t size : {std::size_t{0}, std::size_t{10240}, std::size_t{40960}}) {
        TempFolder folder;
        const std::string bytes = Pattern(size);
        const auto path = folder.Write("head/sign.jpg", bytes);
        CaptureServer server({HttpAnswer(200, "{\"errcode\":0,\"msg\":\"\"}")});
        KestoUploader uploader(KestoUploader::kErrcodeRule);
        uploader.SetField("shopid", "11");
        ASSERT_EQ(uploader.AddFile(nullptr, PathToUtf8(path)), 1);
        uploader.SetField("shopid", "12");  // replaces the value, keeps the place
        uploader.fileFieldName = "photo";
        EXPECT_EQ(uploader.Upload(server.Url("/cgi-bin/modularmanage/picbanneredit").c_str()), 1);

        const auto requests = server.Requests();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].RequestLine(), "POST /cgi-bin/modularmanage/picbanneredit HTTP/1.1");
        EXPECT_EQ(requests[0].Header("Content-Type"), "multipart/form-data, boundary=" + B);
        const std::string expected =
            "--" + B + CRLF +
            "Content-Disposition: form-data; name=\"photo\"; filename=\"sign.jpg\"" + CRLF +
            "Content-Type:image/jpeg" + CRLF + CRLF + bytes + kShopIdField + kTail;
        EXPECT_EQ(requests[0].body, expected) << size;
        EXPECT_EQ(requests[0].Header("Content-Length"), std::to_string(expected.size()));
    }
}

TEST(Uploader, ChunkedProtocolAboveTheLimit) {
    const struct {
        std::size_t size;
        std::vector<std::size_t> offsets;
    } cases[] = {
        {40961, {0}},
        {327680, {0}},
        {327681, {0, 327680}},
        {655361, {0, 327680, 655360}},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        const std::string bytes = Pattern(c.size, 7);
        const auto path = folder.Write("big.PNG", bytes);
        CaptureServer server({HttpAnswer(200, "result=1")});
        Uploader uploader;
        uploader.SetField("shopid", "12");
        ASSERT_EQ(uploader.AddFile("ignored", PathToUtf8(path)), 1);
        EXPECT_EQ(uploader.Upload(server.Url("/up").c_str()), 1);

        const auto requests = server.Requests();
        ASSERT_EQ(requests.size(), c.offsets.size()) << c.size;
        for (std::size_t i = 0; i < requests.size(); ++i) {
            const std::size_t offset = c.offsets[i];
            const bool last = i + 1 == c.offsets.size();
            const std::string chunk = bytes.substr(offset, 327680);
            EXPECT_EQ(requests[i].body,
                      ChunkBody(offset, last, "file", "big.PNG", "image/gif", chunk, kShopIdField))
                << c.size << " chunk " << i;
            EXPECT_EQ(requests[i].Header("Content-Type"), "multipart/form-data, boundary=" + B);
        }
    }
}

// A gateway's error page has no error code of the marketplace's own: its status fails the
// upload in every format, whatever the answer rule would say of the body.
TEST(Uploader, ErrorStatusFailsWhateverTheBody) {
    TempFolder folder;
    const auto small = PathToUtf8(folder.Write("small.jpg", Pattern(100)));
    const auto big = PathToUtf8(folder.Write("big.jpg", Pattern(327681)));
    const std::string page = "<html><body><h1>502 Bad Gateway</h1></body></html>";
    const struct {
        const char* name;
        std::string file;
        bool batch;
    } cases[] = {{"single", small, false}, {"chunked", big, false}, {"batch", small, true}};
    for (const auto& c : cases) {
        CaptureServer server({HttpAnswer(502, page)});
        KestoUploader uploader(KestoUploader::kErrcodeRule);
        uploader.batchMode = c.batch;
        uploader.AddFile(nullptr, c.file);
        EXPECT_LE(uploader.Upload(server.Url("/up").c_str()), 0) << c.name;
        EXPECT_EQ(server.Requests().size(), 1u) << c.name;
    }
}

TEST(Uploader, RejectedChunkStopsTheUpload) {
    TempFolder folder;
    const auto path = folder.Write("big.jpg", Pattern(327681));
    CaptureServer server({HttpAnswer(200, "{\"errcode\":5,\"msg\":\"busy\"}")});
    KestoUploader uploader(KestoUploader::kErrcodeRule);
    uploader.AddFile(nullptr, PathToUtf8(path));
    EXPECT_EQ(uploader.Upload(server.Url("/up").c_str()), -1);
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST(Uploader, OneFilePerRequestStopsAtTheFirstFailure) {
    TempFolder folder;
    CaptureServer server({HttpAnswer(200, "result=1"), HttpAnswer(200, "result=0")});
    Uploader uploader;
    for (const char* name : {"1.jpg", "2.jpg", "3.jpg"}) {
        ASSERT_EQ(uploader.AddFile(nullptr, PathToUtf8(folder.Write(name, name))), 1);
    }
    EXPECT_EQ(uploader.AddFile(nullptr, PathToUtf8(folder.path() / "missing.jpg")), 0);
    EXPECT_EQ(uploader.Upload(server.Url("/up").c_str()), -1);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    // Automatic part names are for batches; one file per request uses fileFieldName.
    EXPECT_NE(requests[1].body.find("name=\"file\"; filename=\"2.jpg\""), std::string::npos);
}

TEST(Uploader, BatchSendsEveryFileInOneRequestWithItsPartName) {
    TempFolder folder;
    const std::string picture = Pattern(400000, 1);
    const std::string thumbnail = Pattern(900, 2);
    const auto picturePath = folder.Write("main/p.jpeg", picture);
    const auto thumbnailPath = folder.Write("main/t.gif", thumbnail);
    CaptureServer server({HttpAnswer(200, "<r>[ReturnURL=HTTP://ALBUM.KESTO.EXAMPLE/1.JPG]</r>")});
    KestoUploader uploader(KestoUploader::kReturnUrlRule);
    uploader.SetField("shopid", "12");
    uploader.AddFile("FileData", PathToUtf8(picturePath));
    uploader.AddFile("ThumbData", PathToUtf8(thumbnailPath));
    uploader.batchMode = true;
    EXPECT_EQ(uploader.Upload(server.Url("/album/UploadPicActivex").c_str()), 1);
    EXPECT_EQ(uploader.GetReturnUrl(), "HTTP://ALBUM.KESTO.EXAMPLE/1.JPG");
    EXPECT_FALSE(uploader.batchMode);

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Header("Content-Type"), "multipart/form-data, boundary=" + B);
    EXPECT_EQ(requests[0].body,
              "--" + B + CRLF + BatchPart("FileData", "p.jpeg", "image/jpeg", picture) + CRLF +
                  "--" + B + CRLF + BatchPart("ThumbData", "t.gif", "image/gif", thumbnail) +
                  kShopIdField + kTail);
}

// Part names, file names, field names and values are UTF-8 inside the program and go out in the
// marketplace's code page, each converted exactly once: a second conversion would read the GBK
// bytes as UTF-8 and send "?" for every Chinese character.
TEST(Uploader, BatchTextsGoOutInAChineseCodePageConvertedOnce) {
    const testing::ChineseCodePage chinese;
    if (!chinese.Active()) {
        GTEST_SKIP() << "no Chinese code page on this system";
    }
    TempFolder folder;
    CaptureServer server({HttpAnswer(200, "result=1")});
    Uploader uploader;
    uploader.SetField("\xE5\x90\x8D\xE7\xA7\xB0", "\xE5\x80\xBC");          // 名称 = 值
    uploader.AddFile("\xE5\x9B\xBE\xE7\x89\x87",                            // 图片
                     PathToUtf8(folder.Write("\xE5\x9B\xBE.jpg", "abc")));  // 图.jpg
    uploader.batchMode = true;
    EXPECT_EQ(uploader.Upload(server.Url("/up").c_str()), 1);

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].body,
              "--" + B + CRLF + BatchPart("\xCD\xBC\xC6\xAC", "\xCD\xBC.jpg", "image/jpeg", "abc") +
                  CRLF + "--" + B + CRLF +
                  "Content-Disposition: form-data; name=\"\xC3\xFB\xB3\xC6\"" + CRLF + CRLF +
                  "\xD6\xB5" + kTail);
}

TEST(Uploader, PlainBatchGroupsSmallFilesAndChunksLargeOnes) {
    TempFolder folder;
    const std::string a = Pattern(200000, 3);
    const std::string b = Pattern(200000, 4);
    const std::string c = Pattern(400000, 5);
    CaptureServer server({HttpAnswer(200, "result=1")});
    Uploader uploader;
    uploader.AddFile(nullptr, PathToUtf8(folder.Write("a.txt", a)));
    uploader.AddFile(nullptr, PathToUtf8(folder.Write("b.txt", b)));
    uploader.AddFile(nullptr, PathToUtf8(folder.Write("c.txt", c)));
    uploader.batchMode = true;
    EXPECT_EQ(uploader.Upload(server.Url("/up").c_str()), 1);

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 4u);
    // a alone (a + b would reach the chunk size), c in two chunks, then b's group at the end.
    EXPECT_EQ(requests[0].body,
              "--" + B + CRLF + BatchPart("__file0", "a.txt", "text/plain", a) + kTail);
    EXPECT_EQ(requests[1].body,
              ChunkBody(0, false, "file", "c.txt", "text/plain", c.substr(0, 327680), ""));
    EXPECT_EQ(requests[2].body,
              ChunkBody(327680, true, "file", "c.txt", "text/plain", c.substr(327680), ""));
    EXPECT_EQ(requests[3].body,
              "--" + B + CRLF + BatchPart("__file1", "b.txt", "text/plain", b) + kTail);
}

TEST(Uploader, BatchWithAnEmptyFileSendsNothing) {
    TempFolder folder;
    CaptureServer server({HttpAnswer(200, "errcode=0;")});
    KestoUploader uploader(KestoUploader::kErrcodeRule);
    uploader.AddFile(nullptr, PathToUtf8(folder.Write("a.jpg", "abc")));
    uploader.AddFile(nullptr, PathToUtf8(folder.Write("empty.jpg", "")));
    uploader.batchMode = true;
    EXPECT_EQ(uploader.Upload(server.Url("/up").c_str()), -1);
    EXPECT_TRUE(server.Requests().empty());
}

TEST(Uploader, QueueIsResetButFieldsStay) {
    TempFolder folder;
    CaptureServer server({HttpAnswer(200, "ok")});
    KestoUploader uploader(2);  // every answer accepted
    uploader.SetField("k", nullptr);
    uploader.AddFile(nullptr, PathToUtf8(folder.Write("a.gif", "A")));
    uploader.AddFile(nullptr, PathToUtf8(folder.Write("b.gif", "B")));
    uploader.batchMode = true;
    EXPECT_EQ(uploader.Upload(server.Url("/up").c_str()), 1);
    uploader.AddFile(nullptr, PathToUtf8(folder.Write("c.gif", "C")));
    uploader.batchMode = true;
    EXPECT_EQ(uploader.Upload(server.Url("/up").c_str()), 1);

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    const std::string emptyField =
        CRLF + "--" + B + CRLF + "Content-Disposition: form-data; name=\"k\"" + CRLF + CRLF;
    EXPECT_EQ(requests[0].body,
              "--" + B + CRLF + BatchPart("__file0", "a.gif", "image/gif", "A") + CRLF + "--" + B +
                  CRLF + BatchPart("__file1", "b.gif", "image/gif", "B") + emptyField + kTail);
    EXPECT_EQ(requests[1].body, "--" + B + CRLF + BatchPart("__file0", "c.gif", "image/gif", "C") +
                                    emptyField + kTail);
}

TEST(Uploader, RefusesWithoutSendingWhatItCannotSendRight) {
    TempFolder folder;
    CaptureServer server({HttpAnswer(200, "result=1")});
    Uploader uploader;
    EXPECT_EQ(uploader.Upload(nullptr), 0);
    EXPECT_EQ(uploader.Upload(""), 0);
    // A file past the 32-bit sizes is refused, not sent wrong.
    const auto huge = folder.Write("huge.jpg");
    std::filesystem::resize_file(huge, 0x100000000ull);
    uploader.AddFile(nullptr, PathToUtf8(huge));
    EXPECT_EQ(uploader.Upload(server.Url("/up").c_str()), -1);
    uploader.AddFile(nullptr, PathToUtf8(folder.Write("a.jpg", "a")));
    EXPECT_EQ(uploader.Upload("not a url"), -1);
    EXPECT_TRUE(server.Requests().empty());
}

TEST(Uploader, FileNamesCannotInjectHeaders) {
    TempFolder folder;
    const auto path = folder.path() / "a\"b\r\nX-Injected: 1.jpg";
    std::error_code error;
    if (!std::filesystem::exists(folder.Write("plain.jpg")) || !std::ofstream(path).good()) {
        GTEST_SKIP() << "the file system refuses such names";
    }
    CaptureServer server({HttpAnswer(200, "result=1")});
    Uploader uploader;
    uploader.AddFile(nullptr, PathToUtf8(path));
    EXPECT_EQ(uploader.Upload(server.Url("/up").c_str()), 1);
    EXPECT_NE(server.Requests().at(0).body.find("filename=\"a%22b%0D%0AX-Injected: 1.jpg\"\r\n"),
              std::string::npos);
}

}  // namespace
}  // namespace kesto
