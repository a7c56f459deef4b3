#pragma once
// The shop's content-information page, where the server-side identities (fsid) of the layout's
// modules can be read: the shop data text cut out of the page, and the fsid lookup by module.

#include <string>
#include <string_view>

namespace kesto {

struct ShopData {
    // 1: the text ends before "</script>"; 2: the page ended first; 0: no shop data or the
    // transaction-password page; -1: an empty answer.
    int result = 0;
    std::string text;  // lower case, from "shopdata=" on
    bool asksTransactionPassword = false;
};

ShopData ExtractShopData(std::string_view answer);

}  // namespace kesto
