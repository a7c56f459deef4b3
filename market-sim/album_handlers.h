#pragma once
// The album host: the album page, folders, the upload protocol and the stored pictures.

#include "market-sim/exchange.h"

namespace kesto::sim {

void HandleAlbum(Exchange& exchange, const MarketContext& context);

// Split out by subject; HandleAlbum dispatches to them.
void HandleUploadRequest(Exchange& exchange, const MarketContext& context);
void HandlePictureUpload(Exchange& exchange, const MarketContext& context);
void HandlePictureDownload(Exchange& exchange, const MarketContext& context);

// A success answer in the album's XML wrapper around the inner text; rich answers put an error
// code of zero first.
void AnswerAlbumXml(Exchange& exchange, const MarketContext& context, const std::string& inner);

// Where the album serves a picture.
std::string PictureAddress(const std::string& userNumber, const std::string& pictureId,
                           const std::string& extension);

}  // namespace kesto::sim
