#include "market-sim/login_pages.h"

#include "market-sim/form_fields.h"
#include "market-sim/session_cookies.h"
#include "market/hosts.h"

namespace kesto::sim {
namespace {

const std::string kPortal = hosts::Address(hosts::kPortal);
const std::string kMember = hosts::Address(hosts::kMember);

std::string Page(const std::string& title, const std::string& body) {
    return "<!DOCTYPE html>\n<html><head><title>" + title + "</title></head>\n<body>\n" + body +
           "\n</body></html>\n";
}

std::string LoginForm(const std::string& message) {
    return Page("Kesto 登录",
                "<h1>Kesto 用户登录</h1>\n" +
                    (message.empty() ? "" : "<p style=\"color:red\">" + message + "</p>\n") +
                    "<form method=\"post\" action=\"" + kMember +
                    "/cgi-bin/login_submit\">\n"
                    "<p>帐号 <input type=\"text\" name=\"u\"></p>\n"
                    "<p>密码 <input type=\"password\" name=\"p\"></p>\n"
                    "<p><input type=\"submit\" value=\"登录\"></p>\n</form>");
}

std::string TradePasswordForm(const std::string& message) {
    return Page("交易密码验证",
                "<h1>交易密码验证</h1>\n" +
                    (message.empty() ? "" : "<p style=\"color:red\">" + message + "</p>\n") +
                    "<form method=\"post\" action=\"" + kMember +
                    "/cgi-bin/trade_verify\">\n"
                    "<p>请输入交易密码 <input type=\"password\" name=\"tp\"></p>\n"
                    "<p><input type=\"submit\" value=\"确定\"></p>\n</form>");
}

void Redirect(Exchange& exchange, const std::string& address) {
    exchange.response.status = 302;
    exchange.response.set_header("Location", address);
    exchange.response.set_content("<html><body><a href=\"" + address + "\">继续</a></body></html>",
                                  "text/html; charset=UTF-8");
}

void SetLoginCookie(Exchange& exchange, const std::string& name, const std::string& value) {
    exchange.response.set_header(
        "Set-Cookie", name + "=" + value + "; Domain=" + hosts::kCookieDomain + "; Path=/");
}

// The logged-in user of a browser request, or the empty text; never a violation, since the
// pages are open to everyone.
std::string BrowserUser(const Exchange& exchange, const MarketContext& context) {
    const auto cookies = ParseCookieHeader(exchange.request.get_header_value("Cookie"));
    const auto uin = cookies.find("uin");
    const auto skey = cookies.find("skey");
    if (uin == cookies.end() || skey == cookies.end()) {
        return {};
    }
    const auto lock = context.market.Lock();
    const LoginSession* session = context.market.FindSession(skey->second);
    const std::string userNumber = DecodeUinCookie(uin->second);
    return session != nullptr && session->userNumber == userNumber ? userNumber : std::string();
}

void SubmitLogin(Exchange& exchange, const MarketContext& context) {
    const auto fields = ParseFormFields(exchange.body);
    const auto user = fields ? FindField(*fields, "u") : std::nullopt;
    const auto password = fields ? FindField(*fields, "p") : std::nullopt;
    std::optional<std::string> sessionKey;
    if (user && password) {
        const auto lock = context.market.Lock();
        sessionKey = context.market.Login(*user, *password);
    }
    if (!sessionKey) {
        Answer(exchange, context, 200, LoginForm("帐号或密码不正确。"), "text/html");
        return;
    }
    SetLoginCookie(exchange, "uin", EncodeUinCookie(*user));
    SetLoginCookie(exchange, "ptui_loginuin", *user);
    SetLoginCookie(exchange, "skey", *sessionKey);
    Redirect(exchange, kPortal + "/my");
}

void SubmitTradePassword(Exchange& exchange, const MarketContext& context) {
    const std::string user = BrowserUser(exchange, context);
    if (user.empty()) {
        Answer(exchange, context, 200, LoginForm("请先登录。"), "text/html");
        return;
    }
    const auto fields = ParseFormFields(exchange.body);
    const auto password = fields ? FindField(*fields, "tp") : std::nullopt;
    const auto lock = context.market.Lock();
    if (!password || !context.market.CheckTradePassword(user, *password)) {
        Answer(exchange, context, 200, TradePasswordForm("交易密码不正确。"), "text/html");
        return;
    }
    if (Shop* shop = context.market.FindShop(user)) {
        shop->passwordRequired = false;
    }
    Redirect(exchange, kPortal + "/my");
}

}  // namespace

std::string TradePasswordRequiredPage() {
    return Page("交易密码验证",
                "<h1>交易密码验证</h1>\n<p>为了您的帐户安全，请输入交易密码后再管理店铺。</p>\n"
                "<p><a href=\"" +
                    kMember + "/cgi-bin/login_entry?LoginLevel=2\">请输入交易密码</a></p>");
}

void HandlePortal(Exchange& exchange, const MarketContext& context) {
    if (exchange.path == "/") {
        Answer(exchange, context, 200,
               Page("Kesto 网上商城", "<h1>Kesto 网上商城</h1>\n<p><a href=\"" + kMember +
                                          "/cgi-bin/login_entry?LoginLevel=2\">登录</a></p>"),
               "text/html");
        return;
    }
    if (exchange.path == "/my") {
        const std::string user = BrowserUser(exchange, context);
        const std::string body = user.empty() ? "<p>您还没有登录。</p>"
                                              : "<p>欢迎您，" + user + "。</p>\n<p><a href=\"" +
                                                    hosts::Address(hosts::kShop) + "/" + user +
                                                    "\">我的店铺</a></p>";
        Answer(exchange, context, 200, Page("我的Kesto", "<h1>我的Kesto</h1>\n" + body),
               "text/html");
        return;
    }
    Answer(exchange, context, 404, Page("404", "<p>页面不存在。</p>"), "text/html");
}

void HandleMember(Exchange& exchange, const MarketContext& context) {
    const bool post = exchange.request.method == "POST";
    if (exchange.path == "/cgi-bin/login_entry" && !post) {
        const std::string user = BrowserUser(exchange, context);
        bool askTradePassword = false;
        if (!user.empty()) {
            const auto lock = context.market.Lock();
            const Shop* shop = context.market.FindShop(user);
            askTradePassword = shop != nullptr && shop->passwordRequired;
        }
        Answer(exchange, context, 200, askTradePassword ? TradePasswordForm("") : LoginForm(""),
               "text/html");
        return;
    }
    if (exchange.path == "/cgi-bin/login_submit" && post) {
        SubmitLogin(exchange, context);
        return;
    }
    if (exchange.path == "/cgi-bin/trade_verify" && post) {
        SubmitTradePassword(exchange, context);
        return;
    }
    Answer(exchange, context, 404, Page("404", "<p>页面不存在。</p>"), "text/html");
}

}  // namespace kesto::sim
