#pragma once
// Requests the album and shop sign tests send, built as the client builds them.

#include <httplib.h>
#include <json/value.h>

#include <string>
#include <utility>
#include <vector>

#include "market_fixture.h"

namespace kesto::sim::testing {

using FieldList = std::vector<std::pair<std::string, std::string>>;

constexpr char kAlbum[] = "http://album.kesto.example";
constexpr char kFormType[] = "application/x-www-form-urlencoded";

// JPEG signature bytes padded to the size.
std::string FakeJpeg(std::size_t size);
std::string Md5Hex(const std::string& bytes);

// The shop's state from the control interface.
Json::Value ShopState(MarketFixture& market, const std::string& userNumber = "10001");

// Creates a folder at the top of the album and returns its path ("/<id>/").
std::string MakeAlbumFolder(MarketFixture& market, const std::string& name);
httplib::Result SendUploadRequest(MarketFixture& market, const std::string& body);
// Sends a picture as a.jpg into the folder, as the logged-in demo account 10001.
httplib::Result UploadPicture(MarketFixture& market, const std::string& folder,
                              const std::string& picture, const std::string& md5);

// Gives the banner a shop header module to receive the sign; returns the module's fsid.
std::string AddShopHeader(MarketFixture& market);
// The six fields of a shop sign request for the header module, as account 10001.
FieldList ShopSignFields(const std::string& headerFsid);
// The offset and end parts that put a chunk's head before its picture part.
std::string ShopSignChunkHead(std::size_t offset, bool last);
// Sends sign.jpg with the parts in head before it and the fields after it.
httplib::Result SendShopSign(MarketFixture& market, const std::string& head,
                             const std::string& bytes, const FieldList& fields);

}  // namespace kesto::sim::testing
