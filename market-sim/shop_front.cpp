#include "market-sim/shop_front.h"

#include "market-sim/picture_check.h"
#include "market/hosts.h"

namespace kesto::sim {
namespace {

std::string SignSection(const Shop& shop) {
    if (!shop.sign) {
        return "<div class=\"sign\"><h1>" + EscapeMarkup(shop.nickname) + "</h1></div>\n";
    }
    return "<div class=\"sign\"><img src=\"" + hosts::Address(hosts::kShop) + "/" +
           shop.userNumber + "/sign\" alt=\"店招\" style=\"max-width:100%\"></div>\n";
}

std::string CategorySection(const Shop& shop) {
    std::string html = "<div class=\"categories\"><h2>宝贝分类</h2>\n<ul>\n";
    for (const auto& top : shop.categories) {
        if (top.parentId != "0") {
            continue;
        }
        const auto picture = [](const Category& category) {
            return category.pictureAddress.empty()
                       ? std::string()
                       : "<img src=\"" + EscapeMarkup(category.pictureAddress) +
                             "\" alt=\"\" height=\"32\"> ";
        };
        html += "<li>" + picture(top) + EscapeMarkup(top.name);
        std::string subs;
        for (const auto& sub : shop.categories) {
            if (sub.parentId == top.id) {
                subs += "<li>" + picture(sub) + EscapeMarkup(sub.name) + "</li>\n";
            }
        }
        html += subs.empty() ? "</li>\n" : "\n<ul>\n" + subs + "</ul></li>\n";
    }
    return html + "</ul></div>\n";
}

std::string ContentSection(const Shop& shop) {
    std::string html;
    for (const auto& frame : shop.layout.frames) {
        for (const auto& module : frame.modules) {
            if (module.mid == kCustomContentMid) {
                // The owner's own HTML, shown as it was saved.
                html += "<div class=\"custom\">" + module.content + "</div>\n";
            }
        }
    }
    return html;
}

}  // namespace

void HandleShopFront(Exchange& exchange, const MarketContext& context) {
    const std::string rest = exchange.path.substr(1);
    const auto slash = rest.find('/');
    const std::string userNumber = rest.substr(0, slash);
    const auto lock = context.market.Lock();
    const Shop* shop = context.market.FindShop(userNumber);
    if (shop == nullptr || (slash != std::string::npos && rest.substr(slash) != "/sign")) {
        Answer(exchange, context, 404, "<html><body><p>店铺不存在。</p></body></html>\n",
               "text/html");
        return;
    }
    if (slash != std::string::npos) {
        if (!shop->sign) {
            exchange.response.status = 404;
            return;
        }
        const std::string kind = PictureKind(shop->sign->bytes);
        exchange.response.set_content(shop->sign->bytes,
                                      kind == "jpg" ? "image/jpeg" : "image/" + kind);
        return;
    }
    Answer(exchange, context, 200,
           "<!DOCTYPE html>\n<html><head><title>" + EscapeMarkup(shop->nickname) +
               " - Kesto店铺</title></head>\n<body>\n" + SignSection(*shop) +
               "<table width=\"100%\"><tr><td valign=\"top\" width=\"200\">" +
               CategorySection(*shop) + "</td><td valign=\"top\">" + ContentSection(*shop) +
               "</td></tr></table>\n</body></html>\n",
           "text/html");
}

}  // namespace kesto::sim
