#include "market-sim/layout_text.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "market-sim/text_pieces.h"

namespace kesto::sim {
namespace {

constexpr std::size_t kMaxLines = 1000;

// The segment a segment line names, in the working copy, or null.
LayoutSegment* FindSegment(ShopLayout& layout, const LayoutLine& line, bool& isBanner) {
    isBanner = layout.banner.sid == line.fields[0] && layout.banner.segnumber == line.fields[1];
    if (isBanner) {
        return &layout.banner;
    }
    for (auto& frame : layout.frames) {
        if (frame.sid == line.fields[0] && frame.segnumber == line.fields[1]) {
            return &frame;
        }
    }
    return nullptr;
}

class LayoutEditor {
  public:
    LayoutEditor(ShopLayout layout, const std::function<std::string()>& newFsid)
        : old_(layout), layout_(std::move(layout)), newFsid_(newFsid) {}

    std::string Apply(const std::vector<LayoutLine>& lines) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string error =
                lines[i].IsSegment() ? OpenSegment(lines[i]) : AddModule(lines[i]);
            if (!error.empty()) {
                return "line " + std::to_string(i + 1) + ": " + error;
            }
        }
        CloseSegment();
        std::erase_if(layout_.frames,
                      [&](const LayoutSegment& frame) { return removed_.contains(frame.sid); });
        const auto headers =
            std::count_if(layout_.banner.modules.begin(), layout_.banner.modules.end(),
                          [](const LayoutModule& module) { return module.mid == kShopHeaderMid; });
        if (headers > 1) {
            return "the banner would hold more than one shop header module";
        }
        return {};
    }

    ShopLayout TakeLayout() { return std::move(layout_); }

  private:
    std::string OpenSegment(const LayoutLine& line) {
        CloseSegment();
        bool isBanner = false;
        current_ = FindSegment(layout_, line, isBanner);
        if (current_ == nullptr) {
            return "no segment has sid " + line.fields[0] + " and segnumber " + line.fields[1];
        }
        if (!seen_.insert(current_->sid + "^" + current_->segnumber).second) {
            return "segment " + line.fields[0] + " is listed twice";
        }
        if (isBanner && line.fields[2] != "0") {
            return "the banner's third field must be 0";
        }
        if (line.fields[6] != layout_.banner.fsid) {
            return "a segment line must carry the banner's fsid " + layout_.banner.fsid;
        }
        if (line.fields[8] != "0" || line.fields[9] != "0") {
            return "fields 9 and 10 of a segment line must be 0";
        }
        if (line.fields[7] == "3") {
            if (isBanner) {
                return "the banner cannot be removed";
            }
            removed_.insert(current_->sid);
        }
        if (!isBanner) {
            current_->order = line.fields[2];
        }
        head_ = {line.fields[0], line.fields[1], line.fields[2]};
        return {};
    }

    std::string AddModule(const LayoutLine& line) {
        if (current_ == nullptr) {
            return "a module line comes before any segment line";
        }
        if (line.fields[0] != head_[0] || line.fields[1] != head_[1] ||
            line.fields[2] != head_[2]) {
            return "a module line does not repeat its segment's first three fields";
        }
        if (line.fields[9] != "0") {
            return "field 10 of a module line must be 0";
        }
        const std::string& action = line.fields[7];
        const std::string& fsid = line.fields[6];
        if (action == "2") {
            if (fsid != "0") {
                return "a module to add must have fsid 0";
            }
            LayoutModule module;
            module.mid = line.fields[4];
            module.name = ModuleName(module.mid);
            module.fsid = newFsid_();
            Place(module, line);
            return {};
        }
        const LayoutModule* existing = FindInOld(fsid);
        if (existing == nullptr) {
            return "no module of this segment has fsid " + fsid;
        }
        if (existing->mid != line.fields[4]) {
            return "module " + fsid + " is of kind " + existing->mid + ", not " + line.fields[4];
        }
        if (action != "3") {
            Place(*existing, line);
        }
        return {};
    }

    void Place(LayoutModule module, const LayoutLine& line) {
        module.area = line.fields[3];
        module.order = line.fields[5];
        module.tssid = line.fields[8];
        module.mindex = std::to_string(modules_.size());
        modules_.push_back(std::move(module));
    }

    const LayoutModule* FindInOld(const std::string& fsid) const {
        const LayoutSegment* segment = &old_.banner;
        if (current_ != &layout_.banner) {
            const auto frame =
                std::find_if(old_.frames.begin(), old_.frames.end(),
                             [&](const LayoutSegment& f) { return f.sid == current_->sid; });
            segment = frame == old_.frames.end() ? nullptr : &*frame;
        }
        if (segment == nullptr) {
            return nullptr;
        }
        for (const auto& module : segment->modules) {
            if (module.fsid == fsid) {
                return &module;
            }
        }
        return nullptr;
    }

    void CloseSegment() {
        if (current_ != nullptr) {
            current_->modules = std::move(modules_);
        }
        modules_.clear();
        current_ = nullptr;
    }

    const ShopLayout old_;
    ShopLayout layout_;
    const std::function<std::string()>& newFsid_;
    LayoutSegment* current_ = nullptr;
    std::array<std::string, 3> head_;
    std::vector<LayoutModule> modules_;
    std::set<std::string> seen_;
    std::set<std::string> removed_;
};

}  // namespace

LayoutTextResult ParseLayoutText(std::string_view text) {
    LayoutTextResult result;
    if (text.empty()) {
        result.error = "the layout text is empty";
        return result;
    }
    const auto rawLines = Split(text, '|');
    if (rawLines.size() > kMaxLines) {
        result.error = "the layout text has more than " + std::to_string(kMaxLines) + " lines";
        return result;
    }
    std::vector<LayoutLine> lines;
    for (std::size_t i = 0; i < rawLines.size(); ++i) {
        const auto fields = Split(rawLines[i], '^');
        if (fields.size() != 10) {
            result.error = "line " + std::to_string(i + 1) + " has " +
                           std::to_string(fields.size()) + " fields instead of 10";
            return result;
        }
        LayoutLine line;
        for (std::size_t f = 0; f < fields.size(); ++f) {
            if (!IsAsciiDigits(fields[f])) {
                result.error = "line " + std::to_string(i + 1) + ", field " +
                               std::to_string(f + 1) + " is not a number";
                return result;
            }
            line.fields[f] = std::string(fields[f]);
        }
        lines.push_back(std::move(line));
    }
    if (!lines.front().IsSegment()) {
        result.error = "the layout text does not start with a segment line";
        return result;
    }
    result.lines = std::move(lines);
    return result;
}

std::string ApplyLayoutLines(ShopLayout& layout, const std::vector<LayoutLine>& lines,
                             const std::function<std::string()>& newFsid) {
    LayoutEditor editor(layout, newFsid);
    std::string error = editor.Apply(lines);
    if (error.empty()) {
        layout = editor.TakeLayout();
    }
    return error;
}

}  // namespace kesto::sim
