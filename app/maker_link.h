#pragma once
// The link at the bottom of the main dialog: the maker's web site and the notice line shown for
// it, the same on every front end.

namespace kesto {

inline constexpr char kMakerSiteAddress[] = "http://www.kesto.example/";
inline constexpr char kMakerNoticeLine[] = "Kesto网上商城  www.kesto.example";

}  // namespace kesto
