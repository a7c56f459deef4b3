#pragma once
// The main page's custom-content module on the live shop. The main page update adds a new module
// beside the old one, saves the new text into it, and only then removes the old one; when a step
// after the first layout change fails, the new module is taken off again so the old page shows.

#include <json/value.h>

#include <set>
#include <string>

namespace kesto {

struct ShopSession;

// The new module, from the layout edit that adds it to the step that removes the old ones.
struct NewCustomContent {
    // A save adding the module went out (its outcome may be unknown).
    bool sent = false;
    // That save got no answer: the marketplace may carry it out after the module was looked for.
    bool answerLost = false;
    // The layout as it was read before the module was added, and every module's fsid in it.
    Json::Value layoutBefore;
    std::set<std::string> knownFsids;
    // The order the module was added with; the fsid lookup finds the module by it.
    std::string order;
    // The module's fsid, once found.
    std::string fsid;
    // The marketplace's layout answer held no document that could be read: no layout was saved,
    // and the text goes into the custom-content module the content information names.
    bool layoutUnreadable = false;
};

// Reads the layout and saves it with a new custom-content module in the first frame, the old
// ones kept. 1 saved; 0 not editable, nothing could be added, refused or the
// transaction-password page; -1 no answer. failure says why.
int AddCustomContentModule(ShopSession& session, std::string& failure, NewCustomContent& module);

// Finds the new module's fsid in the shop's content information. 1 found (module.fsid set);
// 0 not listed or the transaction-password page; -1 no answer.
int FindCustomContentModule(ShopSession& session, std::string& failure, NewCustomContent& module);

// Finds the fsid of the custom-content module the shop's content information names (the front
// page's own, at order 100), for a shop whose layout cannot be edited. Codes as
// FindCustomContentModule.
int FindPresentCustomContentModule(ShopSession& session, std::string& failure,
                                   NewCustomContent& module);

// Removes every custom-content module of the first frame's column 1 but the new one. 1 removed
// or none to remove; otherwise as AddCustomContentModule.
int RemoveOldCustomContent(ShopSession& session, std::string& failure,
                           const NewCustomContent& module);

// Puts the layout back as it was before the module was added (see RestoreShopLayout). Does
// nothing (1) when no save adding one went out. failure keeps the reason the update failed
// with, followed by this step's own when it fails too.
int TakeBackCustomContent(ShopSession& session, std::string& failure,
                          const NewCustomContent& module);

}  // namespace kesto
