#pragma once
// What both systems' proxy tests send: one request to the manage host through the request
// layer, then one upload to the album host through the uploader, each to be seen by a loopback
// server that the system's proxy setting names.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "market/hosts.h"
#include "market/http_request.h"
#include "market/kesto_uploader.h"
#include "tests/common/capture_server.h"
#include "tests/common/temp_folder.h"

namespace kesto::testing {

struct ProxyRoundTrip {
    std::string manage = hosts::Address(hosts::kManage, "/cgi-bin/x?a=1");
    std::string album = hosts::Address(hosts::kAlbum, "/album/UploadPicActivex");

    // Sends both over the session; the requests the proxy saw.
    std::vector<CapturedRequest> Run(net::Session& session, const CaptureServer& proxy) const {
        RequestOptions options;
        std::string result;
        EXPECT_EQ(HttpRequest(session, result, manage.c_str(), options, kMethodGet, nullptr, false),
                  1);
        const TempFolder folder;
        KestoUploader uploader(KestoUploader::kErrcodeRule);
        uploader.AddFile(nullptr, PathToUtf8(folder.Write("a.jpg", "a")));
        EXPECT_EQ(uploader.Upload(album.c_str()), 1);
        return proxy.Requests();
    }
};

}  // namespace kesto::testing
