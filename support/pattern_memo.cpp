#include "support/pattern_memo.h"

#include <algorithm>

namespace kesto {
namespace {

using Op = PatternOp;

struct Region {
    std::size_t begin;
    std::size_t end;
    std::int32_t slot;
};

bool KindsAt(const std::vector<PatternInstruction>& code, std::size_t at,
             std::initializer_list<Op> kinds) {
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
std::vector<bool> InsideSelfReferringGroups(const std::vector<PatternInstruction>& code) {
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

std::unique_ptr<PatternMemo> PatternMemo::Plan(const std::vector<PatternInstruction>& code,
                                               std::size_t inputLength) {
    std::unique_ptr<PatternMemo> memo(new PatternMemo);
    std::vector<Region> loops;  // greedy repetition bodies, by their slot
    std::vector<bool> candidate(code.size(), false);
    memo->atomEnd_.assign(code.size(), false);
    for (std::size_t pc = 0; pc < code.size(); ++pc) {
        if (code[pc].kind == Op::kBackReference) {
            memo->referencedGroups_.push_back(code[pc].operand);
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
            memo->atomEnd_[Target(code[pc + 5]) - 2] = true;
            memo->logMarks_ = true;
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
    std::sort(memo->referencedGroups_.begin(), memo->referencedGroups_.end());
    memo->referencedGroups_.erase(
        std::unique(memo->referencedGroups_.begin(), memo->referencedGroups_.end()),
        memo->referencedGroups_.end());

    const std::vector<bool> excluded = InsideSelfReferringGroups(code);
    memo->pointOfPc_.assign(code.size(), -1);
    std::int32_t points = 0;
    for (std::size_t pc = 0; pc < code.size(); ++pc) {
        if (!candidate[pc] || excluded[pc]) {
            continue;
        }
        memo->pointOfPc_[pc] = points++;
        memo->guardsBegin_.push_back(memo->guards_.size());
        for (const Region& loop : loops) {
            if (loop.begin <= pc && pc < loop.end) {
                memo->guards_.push_back(loop.slot);
            }
        }
    }
    memo->guardsBegin_.push_back(memo->guards_.size());
    const std::size_t pointCount = static_cast<std::size_t>(points);
    if (pointCount == 0) {
        return nullptr;
    }
    memo->stride_ = inputLength + 1;
    memo->state_.assign(2 + 2 * memo->referencedGroups_.size(), 0);
    if (memo->referencedGroups_.empty() && pointCount <= kMaxMemoBits / memo->stride_) {
        memo->bits_.assign((pointCount * memo->stride_ + 63) / 64, 0);
    } else {
        memo->table_.emplace(memo->state_.size(), kMaxTableBytes);
    }
    return memo;
}

bool PatternMemo::SeenBefore(std::int32_t pc, std::int32_t position,
                             const std::vector<std::int32_t>& slots,
                             const std::vector<GroupSpan>& groups) {
    const std::int32_t point = pointOfPc_[static_cast<std::size_t>(pc)];
    const auto index = static_cast<std::size_t>(point);
    for (std::size_t g = guardsBegin_[index]; g < guardsBegin_[index + 1]; ++g) {
        if (slots[static_cast<std::size_t>(guards_[g])] == position) {
            return false;  // a loop around it has not progressed: not memoizable here
        }
    }
    state_[0] = point;
    state_[1] = position;
    std::size_t at = 2;
    for (const std::int32_t group : referencedGroups_) {
        state_[at++] = groups[static_cast<std::size_t>(group)].start;
        state_[at++] = groups[static_cast<std::size_t>(group)].end;
    }
    if (TestAndMark()) {
        return true;
    }
    if (logMarks_) {
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
    if (!atomEnd_[static_cast<std::size_t>(pc)]) {
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
