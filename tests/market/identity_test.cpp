#include "market/identity.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace kesto {
namespace {

class FakeCookieSource final : public CookieSource {
  public:
    std::optional<std::string> GetCookie() override {
        const std::lock_guard<std::mutex> guard(lock_);
        ++reads_;
        return text_;
    }
    void CloseLogin() override { ++closes_; }

    void SetText(std::optional<std::string> text) {
        const std::lock_guard<std::mutex> guard(lock_);
        text_ = std::move(text);
    }
    int Reads() {
        const std::lock_guard<std::mutex> guard(lock_);
        return reads_;
    }
    int Closes() const { return closes_; }

  private:
    std::mutex lock_;
    std::optional<std::string> text_;
    int reads_ = 0;
    std::atomic<int> closes_ = 0;
};

class LoginIdentityTest : public ::testing::Test {
  protected:
    LoginIdentityTest() { identity.SetCookieSource(source); }

    std::shared_ptr<FakeCookieSource> source = std::make_shared<FakeCookieSource>();
    LoginIdentity identity;
};

TEST_F(LoginIdentityTest, LoginIsIncompleteUntilBothCookiesArePresent) {
    const std::optional<std::string> incomplete[] = {
        std::nullopt,              // no page completed, or the login form is showing
        "a=1",                     // no identity cookies
        "a=1; uin=o0000099; b=2",  // no session key
        "skey=@k; a=1",            // no user number
        "uin=abc; skey=; b=2",     // empty session key
    };
    for (const auto& text : incomplete) {
        source->SetText(text);
        EXPECT_FALSE(identity.CheckLogin()) << text.value_or("(none)");
        EXPECT_FALSE(identity.CheckLogin());  // every tick
        EXPECT_FALSE(identity.Current().Complete());
    }
    EXPECT_EQ(source->Closes(), 0);

    source->SetText("a=1; uin=o0000099; skey=@k1");
    EXPECT_TRUE(identity.CheckLogin());
    EXPECT_EQ(identity.Current().userNumber, "100000099");
    EXPECT_EQ(identity.Current().sessionKey, "@k1");
    EXPECT_EQ(source->Closes(), 1);
}

TEST_F(LoginIdentityTest, WithoutACookieSourceNothingIsLoggedIn) {
    identity.SetCookieSource(nullptr);
    EXPECT_FALSE(identity.CheckLogin());
    EXPECT_FALSE(identity.EnsureIdentity());
}

TEST_F(LoginIdentityTest, ALaterLoginWithAnotherAccountReplacesTheWholeIdentity) {
    source->SetText("uin=o1; skey=first");
    ASSERT_TRUE(identity.CheckLogin());

    // The second login is not complete yet: the first account stays whole.
    source->SetText("uin=o2");
    EXPECT_FALSE(identity.CheckLogin());
    EXPECT_EQ(identity.Current().userNumber, "101");
    EXPECT_EQ(identity.Current().sessionKey, "first");

    source->SetText("uin=o2; skey=second");
    EXPECT_TRUE(identity.CheckLogin());
    EXPECT_EQ(identity.Current().userNumber, "102");
    EXPECT_EQ(identity.Current().sessionKey, "second");
    EXPECT_EQ(source->Closes(), 2);
}

TEST_F(LoginIdentityTest, EnsureIdentityReadsOnlyWhileIncompleteAndNeverCloses) {
    source->SetText("uin=o5");
    EXPECT_FALSE(identity.EnsureIdentity());
    EXPECT_FALSE(identity.Current().Complete());

    source->SetText("uin=o5; skey=key");
    EXPECT_TRUE(identity.EnsureIdentity());
    EXPECT_EQ(identity.Current().userNumber, "105");

    const int reads = source->Reads();
    source->SetText("uin=o6; skey=other");
    EXPECT_TRUE(identity.EnsureIdentity());
    EXPECT_EQ(source->Reads(), reads);
    EXPECT_EQ(identity.Current().userNumber, "105");
    EXPECT_EQ(source->Closes(), 0);
}

TEST_F(LoginIdentityTest, ReadersNeverSeeAMixOfTwoAccounts) {
    std::atomic<bool> done = false;
    std::thread logins([&] {
        for (int i = 0; i < 2000; ++i) {
            source->SetText(i % 2 == 0 ? "uin=o1; skey=one" : "uin=o2; skey=two");
            identity.CheckLogin();
        }
        done = true;
    });
    int mixed = 0;
    while (!done) {
        const IdentityTexts texts = identity.Current();
        if (texts.Complete() && (texts.userNumber == "101") != (texts.sessionKey == "one")) {
            ++mixed;
        }
    }
    logins.join();
    EXPECT_EQ(mixed, 0);
}

// The process-wide identity, as the job asks for the request token.
TEST(ProcessIdentityTest, RequestTokenComesFromTheProcessSessionKey) {
    EXPECT_EQ(GetRequestToken(), "");  // nobody logged in

    const auto source = std::make_shared<FakeCookieSource>();
    source->SetText("uin=o1; skey=abc");
    ProcessIdentity().SetCookieSource(source);
    EXPECT_EQ(GetRequestToken(), "193485963");  // read through EnsureIdentity
    EXPECT_TRUE(EnsureIdentity());
    EXPECT_EQ(source->Closes(), 0);

    source->SetText("uin=o2; skey=abd");
    EXPECT_TRUE(CheckLogin());
    EXPECT_EQ(GetRequestToken(), "193485964");  // computed afresh, from the new key
    ProcessIdentity().SetCookieSource(nullptr);
}

}  // namespace
}  // namespace kesto
