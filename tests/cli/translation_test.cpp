// The messages a person reads, under a Chinese and an English language: each kind (a failure
// reason, a template finding, a plan line, a line of the desktop dialog) comes out whole in the
// language asked for, with its code the same in both, and the dialog's fixed lines stay as they
// are.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include "app/design_dialog.h"
#include "app/login_only.h"
#include "job/decoration_plan.h"
#include "job/parallel_uploads.h"
#include "job/template_check.h"
#include "market/failure_reason.h"
#include "market/identity.h"
#include "market/login_watch.h"
#include "platform/net_layer.h"
#include "platform/translation.h"
#include "templates/template_folder.h"

namespace kesto {
namespace {

// Switches the messages to language for its lifetime; the C locale (English) again after.
class Language {
  public:
    explicit Language(const char* language) {
        setenv("LANGUAGE", language, 1);
        // Setting the locale again makes gettext look at LANGUAGE anew.
        std::setlocale(LC_ALL, "C.UTF-8");
        StartTranslations();
    }
    ~Language() {
        unsetenv("LANGUAGE");
        std::setlocale(LC_ALL, "C");
    }
    Language(const Language&) = delete;
    Language& operator=(const Language&) = delete;
};

std::string MissingTemplateFinding() {
    JobRequest request;
    request.shopSign = true;
    const std::vector<TemplateFinding> findings =
        InspectTemplate(request, ReadTemplateFolder("/nonexistent/template/", {true}));
    return findings.size() == 1 ? findings[0].code + " " + FindingLine(findings[0]) : "";
}

std::string PlanLinesText() {
    DecorationPlan plan;
    plan.shopSign = ShopSignPlan{"head/sign.gif", 2048, false, false, {}};
    plan.categories = CategoriesPlan{{"#7"}, {"Hats", "Hats/Caps"}, "分类 2", {"分类"}, {}};
    std::string text;
    for (const std::string& line : PlanLines(plan)) {
        text += line + "\n";
    }
    return text;
}

// The dialog's lines at the end of a job whose shop front the browser could not open.
class FinishedDialog final : public DesignDialogView, public DesignServices {
  public:
    void AddTemplate(const std::string& /*name*/) override {}
    void SelectTemplate(int /*index*/) override {}
    int SelectedTemplate() const override { return -1; }
    void SetAreaChecked(Area /*area*/, bool /*checked*/) override {}
    bool IsAreaChecked(Area /*area*/) const override { return false; }
    void EnableUpload(bool /*enabled*/) override {}
    void AddProgressLine(const std::string& line) override { lines += line + "\n"; }
    bool AskYesNo(const std::string& /*text*/, const std::string& /*caption*/) override {
        return false;
    }
    void StartLoginTimer(unsigned /*periodMilliseconds*/) override {}
    void StopLoginTimer() override {}
    void End(int /*code*/) override {}
    bool OpenWithShell(const std::string& /*target*/) override { return false; }
    bool OpenShopFront(const std::string& /*address*/,
                       std::function<void()> /*notOpened*/) override {
        return false;
    }
    void OpenLoginBrowser() override {}
    void OpenPasswordBrowser(const std::string& /*address*/) override {}
    bool CheckLogin() override { return false; }
    bool LoginBrowserOpen() const override { return false; }
    void RunJob(const JobRequest& /*request*/,
                std::shared_ptr<ProgressSink> /*progress*/) override {}
    int ParallelUploads(std::string& /*problem*/) override { return 1; }

    static std::string Lines() {
        FinishedDialog window;
        DesignDialog dialog(window, window, 1000, [] {});
        dialog.OnProgress({kDecorationFinished, 0, 0, "http://shop.kesto.example/10001"});
        return window.lines;
    }

  private:
    std::string lines;
};

// kesto-design --login's refusal where the user has no data folder to leave the login in.
std::string NoDataFolderRefusal() {
    FinishedDialog services;
    const std::optional<LoginOnlyEnd> end = LoginOnly(services, ProcessIdentity(), "").Start();
    return end ? end->message : "";
}

TEST(TranslationTest, EachKindOfMessageComesOutInTheLanguageAsked) {
    const struct {
        const char* kind;
        std::function<std::string()> make;
        std::string english;
        std::string chinese;
    } cases[] = {
        {"a network reason",
         [] { return DescribeNetError(net::kErrorCannotConnect, "manage.kesto.example"); },
         "could not connect to manage.kesto.example (the proxy or the network refused the "
         "connection): check the proxy settings",
         "无法连接到 manage.kesto.example（代理或网络拒绝了连接）：请检查代理设置"},
        {"a reason made of a step and a status",
         [] {
             return WithReason(Translate("reading the shop's categories"),
                               DescribeStatus(502, "manage.kesto.example"));
         },
         "reading the shop's categories: manage.kesto.example answered 502",
         "读取店铺的分类：manage.kesto.example 回答了 502"},
        {"the expired login", [] { return LoginExpiredReason(); },
         "the login has expired: log in again, then upload again.",
         "登录已过期，请重新登录后再上传。"},
        {"a template finding", MissingTemplateFinding,
         "template-missing the template folder does not exist",
         "template-missing 模板文件夹不存在"},
        {"plan lines", PlanLinesText,
         "shop sign: replaced by head/sign.gif (2048 bytes, in one request)\n"
         "categories: deleted: #7\n"
         "categories: created: Hats, Hats/Caps\n"
         "categories: pictures go into the new album folder 分类 2; old album folders removed "
         "once saved: 分类, holding none\n"
         "a run could go ahead\n",
         "店招：替换为 head/sign.gif（2048 字节，一次发送）\n"
         "分类：删除：#7\n"
         "分类：新建：Hats、Hats/Caps\n"
         "分类：图片放入新相册文件夹 分类 2；保存后移除的旧相册文件夹：分类，其中的图片：无\n"
         "可以开始装修。\n"},
        {"where the proxy is set, as the help says", [] { return net::ProxySettingPlace(); },
         "the http_proxy environment variable (http_proxy=http://HOST:PORT)",
         "环境变量 http_proxy（http_proxy=http://主机:端口）"},
        {"the login refused without a user data folder", NoDataFolderRefusal,
         "kesto-design: the user's data folder is unknown, so the login would be left nowhere: "
         "set HOME or XDG_DATA_HOME",
         "kesto-design: 用户数据文件夹未知，登录信息无处存放：请设置 HOME 或 XDG_DATA_HOME"},
        {"a flaw of the desktop's setting file",
         [] {
             std::string problem;
             ParallelUploadsSetting("parallel=9\n", problem);
             return problem;
         },
         "parallel takes a count from 1 to 8 (line 1)", "parallel 需要 1 到 8 之间的数（第 1 行）"},
        {"the desktop dialog's lines", FinishedDialog::Lines,
         "装修完成。\n"
         "Shop address: http://shop.kesto.example/10001\n"
         "Could not open the shop front: open the address above in a browser.\n",
         "装修完成。\n"
         "店铺地址：http://shop.kesto.example/10001\n"
         "无法打开店铺首页，请在浏览器中打开上面的地址。\n"},
    };
    for (const auto& c : cases) {
        {
            const Language english("en");
            EXPECT_EQ(c.make(), c.english) << c.kind;
        }
        {
            const Language chinese("zh_CN");
            EXPECT_EQ(c.make(), c.chinese) << c.kind;
        }
    }
}

}  // namespace
}  // namespace kesto
