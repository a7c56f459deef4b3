#include "matcher/pattern_memo.h"

#include <algorithm>
#include <cstring>

namespace kesto {
namespace {

using Op = PatternOp;
using Code = std::vector<PatternInstruction>;

struct Region {
    std::size_t begin;
    std::size_t end;  // exclusive
    std::int32_t slot;
};

bool KindsAt(const Code& code, std::size_t at, std::initializer_list<Op> kinds) {
    if (at + kinds.size() > code.size()) {
        return false;
    }
    std::size_t i = at;
    for (const Op kind : kinds) {
        if (code[i++].kind != kind) {
            return false;
        }
    }
    return true;
}

std::size_t Target(const PatternInstruction& instruction) {
    return static_cast<std::size_t>(instruction.operand);
}

// Per instruction: inside the body of a group that holds a back-reference to itself. A body
// runs from the instruction its entry calls to the group's end instruction, which counts too:
// a path from there sets the group's end.
std::vector<bool> InsideSelfReferringGroups(const Code& code) {
    std::vector<int> change(code.size() + 1, 0);
    for (std::size_t pc = 0; pc < code.size(); ++pc) {
        if (!KindsAt(code, pc, {Op::kPushGroup, Op::kGroupStart, Op::kCall}) ||
            Target(code[pc + 2]) >= code.size()) {
            continue;
        }
        const std::int32_t group = code[pc].operand;
        bool refersToItself = false;
        std::size_t end = Target(code[pc + 2]);
        while (end < code.size() &&
               !(code[end].kind == Op::kGroupEnd && code[end].operand == group)) {
            refersToItself |= code[end].kind == Op::kBackReference && code[end].operand == group;
            ++end;
        }
        if (refersToItself && end < code.size()) {
            ++change[Target(code[pc + 2])];
            --change[end + 1];
        }
    }
    std::vector<bool> inside(code.size(), false);
    int depth = 0;
    for (std::size_t pc = 0; pc < code.size(); ++pc) {
        depth += change[pc];
        inside[pc] = depth > 0;
    }
    return inside;
}

}  // namespace

PatternMemoPlan::PatternMemoPlan(const Code& code) {
    std::vector<Region> loops;  // greedy repetition bodies, by their slot
    std::vector<bool> candidate(code.size(), false);
    atomEnd_.assign(code.size(), false);
    for (std::size_t pc = 0; pc < code.size(); ++pc) {
        if (code[pc].kind == Op::kBackReference) {
            referencedGroups_.push_back(code[pc].operand);
        }
        if (KindsAt(code, pc,
                    {Op::kPushSlot, Op::kStorePosition, Op::kPushPosition, Op::kCall,
                     Op::kPopPosition, Op::kPopSlot, Op::kJump}) &&
            Target(code[pc + 3]) == pc + 7) {
            loops.push_back({pc + 7, Target(code[pc + 6]), code[pc].operand});
            candidate[pc] = true;
        } else if (KindsAt(code, pc,
                           {Op::kStorePosition, Op::kStoreDepth, Op::kCall, Op::kLoadPosition,
                            Op::kLoadDepth, Op::kJump}) &&
                   Target(code[pc + 5]) >= 2 && Target(code[pc + 5]) <= code.size()) {
            // store p; store d; call X; load p; load d; jump E; X: atom; load p; load d; return
            atomEnd_[Target(code[pc + 5]) - 2] = true;
            hasLookAheads_ = true;
        } else if (KindsAt(code, pc, {Op::kPushPosition, Op::kCall, Op::kPopPosition}) &&
                   pc + 3 < code.size()) {
            if (code[pc + 3].kind == Op::kJump) {
                // An alternative: its join is where the jump before the next alternative goes.
                const std::size_t next = Target(code[pc + 3]);
                if (next >= 1 && next - 1 < code.size() && code[next - 1].kind == Op::kJump &&
                    Target(code[next - 1]) < code.size()) {
                    candidate[Target(code[next - 1])] = true;
                }
            } else if (code[pc + 3].kind != Op::kPopSlot) {
                candidate[pc] = true;  // a lazy repetition
            }
        }
    }
    std::sort(referencedGroups_.begin(), referencedGroups_.end());
    referencedGroups_.erase(std::unique(referencedGroups_.begin(), referencedGroups_.end()),
                            referencedGroups_.end());

    const std::vector<bool> excluded = InsideSelfReferringGroups(code);
    pointOfPc_.assign(code.size(), -1);
    // Loop bodies nest, and they are found in the order they begin: a sweep keeps the ones
    // around the current instruction.
    std::vector<const Region*> around;
    auto nextLoop = loops.begin();
    for (std::size_t pc = 0; pc < code.size(); ++pc) {
        while (!around.empty() && around.back()->end <= pc) {
            around.pop_back();
        }
        for (; nextLoop != loops.end() && nextLoop->begin <= pc; ++nextLoop) {
            around.push_back(&*nextLoop);
        }
        if (!candidate[pc] || excluded[pc]) {
            continue;
        }
        pointOfPc_[pc] = static_cast<std::int32_t>(pointCount_++);
        guardsBegin_.push_back(guards_.size());
        for (const Region* loop : around) {
            if (pc < loop->end) {
                guards_.push_back(loop->slot);
            }
        }
    }
    guardsBegin_.push_back(guards_.size());
}

PatternMemo::PatternMemo(const PatternMemoPlan& plan, std::size_t inputLength)
    : plan_(plan), stride_(inputLength + 1) {
    state_.assign(2 + 2 * plan_.referencedGroups_.size(), 0);
    if (plan_.referencedGroups_.empty() && plan_.pointCount_ <= kMaxMemoBits / stride_) {
        bits_.assign((plan_.pointCount_ * stride_ + 63) / 64, 0);
    } else {
        table_.emplace(state_.size(), kMaxTableBytes);
    }
}

bool PatternMemo::SeenBefore(std::int32_t pc, std::int32_t position,
                             const std::vector<std::int32_t>& slots,
                             const std::vector<GroupSpan>& groups) {
    const std::int32_t point = plan_.pointOfPc_[static_cast<std::size_t>(pc)];
    const auto index = static_cast<std::size_t>(point);
    for (std::size_t g = plan_.guardsBegin_[index]; g < plan_.guardsBegin_[index + 1]; ++g) {
        if (slots[static_cast<std::size_t>(plan_.guards_[g])] == position) {
            return false;  // a loop around it has not progressed: not memoizable here
        }
    }
    state_[0] = point;
    state_[1] = position;
    std::size_t at = 2;
    for (const std::int32_t group : plan_.referencedGroups_) {
        state_[at++] = groups[static_cast<std::size_t>(group)].start;
        state_[at++] = groups[static_cast<std::size_t>(group)].end;
    }
    if (TestAndMark()) {
        return true;
    }
    if (plan_.hasLookAheads_) {
        marks_.insert(marks_.end(), state_.begin(), state_.end());
    }
    return false;
}

std::size_t PatternMemo::Bit(const std::int32_t* state) const {
    return static_cast<std::size_t>(state[0]) * stride_ + static_cast<std::size_t>(state[1]);
}

bool PatternMemo::TestAndMark() {
    if (table_) {
        return table_->TestAndAdd(state_.data());
    }
    const std::size_t bit = Bit(state_.data());
    const std::uint64_t mask = std::uint64_t{1} << (bit % 64);
    std::uint64_t& word = bits_[bit / 64];
    if ((word & mask) != 0) {
        return true;
    }
    word |= mask;
    return false;
}

void PatternMemo::Unmark(const std::int32_t* state) {
    if (table_) {
        table_->Remove(state);
    } else {
        const std::size_t bit = Bit(state);
        bits_[bit / 64] &= ~(std::uint64_t{1} << (bit % 64));
    }
}

void PatternMemo::OnStoreDepth(std::int32_t slot) {
    const auto index = static_cast<std::size_t>(slot);
    if (marksAtLookAhead_.size() <= index) {
        marksAtLookAhead_.resize(index + 1, 0);
    }
    marksAtLookAhead_[index] = marks_.size();
}

void PatternMemo::OnLoadDepth(std::int32_t pc, std::int32_t slot) {
    if (!plan_.atomEnd_[static_cast<std::size_t>(pc)]) {
        return;
    }
    const auto index = static_cast<std::size_t>(slot);
    // A look-ahead that began before the memo existed: take back every mark.
    const std::size_t keep =
        index < marksAtLookAhead_.size() ? std::min(marksAtLookAhead_[index], marks_.size()) : 0;
    const std::size_t width = state_.size();
    while (marks_.size() > keep) {
        Unmark(&marks_[marks_.size() - width]);
        marks_.resize(marks_.size() - width);
    }
}

}  // namespace kesto
