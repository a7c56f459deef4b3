#include "market-sim/control_interface.h"

#include <json/writer.h>

#include "market-sim/shop_json.h"

namespace kesto::sim {
namespace {

void AnswerJson(Exchange& exchange, int status, const Json::Value& json) {
    Json::StreamWriterBuilder writer;
    writer["emitUTF8"] = true;
    exchange.response.status = status;
    exchange.response.set_content(Json::writeString(writer, json) + "\n",
                                  "application/json; charset=UTF-8");
}

void AnswerError(Exchange& exchange, int status, const std::string& message) {
    Json::Value json(Json::objectValue);
    json["error"] = message;
    AnswerJson(exchange, status, json);
}

void AnswerOk(Exchange& exchange) {
    Json::Value json(Json::objectValue);
    json["ok"] = true;
    AnswerJson(exchange, 200, json);
}

Json::Value ViolationsToJson(const ViolationLog& log) {
    Json::Value list(Json::arrayValue);
    for (const auto& violation : log.Snapshot()) {
        Json::Value entry(Json::objectValue);
        entry["host"] = violation.host;
        entry["path"] = violation.path;
        entry["reason"] = violation.reason;
        list.append(entry);
    }
    Json::Value json(Json::objectValue);
    json["violations"] = list;
    return json;
}

Json::Value FaultsToJson(const FaultTable& faults) {
    Json::Value list(Json::arrayValue);
    for (const auto& setting : faults.Snapshot()) {
        Json::Value entry(Json::objectValue);
        entry["endpoint"] = setting.endpoint;
        entry["kind"] = std::string(FaultKindName(setting.fault.kind));
        entry["seconds"] = setting.fault.seconds;
        entry["count"] = setting.fault.count;
        entry["skip"] = setting.fault.skip;
        entry["every"] = setting.fault.every;
        list.append(entry);
    }
    Json::Value json(Json::objectValue);
    json["faults"] = list;
    return json;
}

Json::Value JournalToJson(const RequestJournal& journal) {
    Json::Value list(Json::arrayValue);
    for (const auto& request : journal.Snapshot()) {
        Json::Value entry(Json::objectValue);
        entry["method"] = request.method;
        entry["host"] = request.host;
        entry["path"] = request.path;
        entry["status"] = request.status;
        list.append(entry);
    }
    Json::Value json(Json::objectValue);
    json["requests"] = list;
    return json;
}

void HandleShop(Exchange& exchange, const MarketContext& context, const std::string& rest) {
    const auto slash = rest.find('/');
    const std::string userNumber = rest.substr(0, slash);
    const std::string action = slash == std::string::npos ? "" : rest.substr(slash + 1);
    const bool post = exchange.request.method == "POST";
    const auto lock = context.market.Lock();
    Shop* shop = context.market.FindShop(userNumber);
    if (shop == nullptr) {
        AnswerError(exchange, 404, "no shop " + userNumber);
        return;
    }
    if (action.empty() && !post) {
        AnswerJson(exchange, 200, ShopToJson(*shop));
    } else if (action == "reset" && post) {
        context.market.ResetShop(userNumber);
        AnswerJson(exchange, 200, ShopToJson(*context.market.FindShop(userNumber)));
    } else if (action == "password" && post) {
        const std::string required = exchange.request.get_param_value("required");
        if (required != "0" && required != "1") {
            AnswerError(exchange, 400, "required must be 0 or 1");
            return;
        }
        shop->passwordRequired = required == "1";
        AnswerOk(exchange);
    } else {
        AnswerError(exchange, 404, "unknown control request");
    }
}

}  // namespace

void HandleControl(Exchange& exchange, const MarketContext& context,
                   const ControlTargets& targets) {
    FaultTable& faults = targets.faults;
    const std::string& path = exchange.path;
    const bool post = exchange.request.method == "POST";
    constexpr std::string_view kShops = "/control/shops/";
    if (path.rfind(kShops, 0) == 0) {
        HandleShop(exchange, context, path.substr(kShops.size()));
    } else if (path == "/control/violations" && !post) {
        AnswerJson(exchange, 200, ViolationsToJson(context.violations));
    } else if (path == "/control/violations/clear" && post) {
        context.violations.Clear();
        AnswerOk(exchange);
    } else if (path == "/control/faults" && !post) {
        AnswerJson(exchange, 200, FaultsToJson(faults));
    } else if (path == "/control/faults" && post) {
        const auto setting = ParseFaultSetting(exchange.request.get_param_value("set"));
        if (!setting) {
            AnswerError(exchange, 400, "set must read <endpoint>=<kind>[:seconds][*count][+skip]");
            return;
        }
        faults.Set(*setting);
        AnswerOk(exchange);
    } else if (path == "/control/faults/clear" && post) {
        faults.Clear();
        AnswerOk(exchange);
    } else if (path == "/control/requests" && !post) {
        AnswerJson(exchange, 200, JournalToJson(targets.journal));
    } else if (path == "/control/requests/clear" && post) {
        targets.journal.Clear();
        AnswerOk(exchange);
    } else if (path == "/control/answers" && !post) {
        Json::Value json(Json::objectValue);
        json["mode"] = std::string(AnswerModeName(targets.answerMode));
        AnswerJson(exchange, 200, json);
    } else if (path == "/control/answers" && post) {
        const auto mode = ParseAnswerMode(exchange.request.get_param_value("mode"));
        if (!mode) {
            AnswerError(exchange, 400, "mode must be rich or documented");
            return;
        }
        targets.answerMode = *mode;
        AnswerOk(exchange);
    } else {
        AnswerError(exchange, 404, "unknown control request");
    }
}

}  // namespace kesto::sim
