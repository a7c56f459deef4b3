#include "matcher/pattern_compiler.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

namespace kesto {
namespace {

using Op = PatternOp;
using Code = std::vector<PatternInstruction>;

// Whether a construct can match the empty string. `nominal` is the documented rule that "*"
// and "+" reject; `actual` is the truth (a look-ahead never consumes, a back-reference may
// repeat an empty capture). Lazy repetitions reject on `actual`: they have no progress check,
// so an empty repetition would loop for ever.
struct Emptiness {
    bool nominal = false;
    bool actual = false;
};

struct CompileFailure {
    int code;
};

std::u16string_view Abbreviation(char16_t letter) {
    switch (letter) {
        case u'a':
            return u"([a-zA-Z0-9])";
        case u'b':
            return u"([ \\t])";
        case u'c':
            return u"([a-zA-Z])";
        case u'd':
            return u"([0-9])";
        case u'h':
            return u"([0-9a-fA-F])";
        case u'n':
            return u"(\r)|(\r?\n)";
        case u'q':
            return u"(\"[^\"]*\")|('[^']*')";
        case u'w':
            return u"([a-zA-Z]+)";
        case u'z':
            return u"([0-9]+)";
        default:
            return {};
    }
}

bool IsTarget(Op kind) {
    return kind == Op::kClass || kind == Op::kNegatedClass || kind == Op::kJump ||
           kind == Op::kCall;
}

bool IsSlotOperand(Op kind) {
    return kind >= Op::kPushSlot && kind <= Op::kFailIfNoProgress;
}

class Compiler {
  public:
    Compiler(std::u16string_view pattern, Code& code) : text_(pattern), code_(code) {}

    void CompileWhole() {
        Emit(Op::kCall, 2);
        if (!AtEnd() && Peek() == u'^') {
            ++at_;
            Emit(Op::kAnchoredEnd);
        } else {
            Emit(Op::kAdvanceStart);
        }
        CompileSequence(0);  // a stray closing character at the top level ends the pattern
        Emit(Op::kMatch);
    }

    int GroupCount() const { return static_cast<int>(groups_.size()); }
    int SlotCount() const { return slots_; }

  private:
    struct GroupInfo {
        bool closed = false;
        bool actuallyEmpty = false;
    };

    // Counts one level of nesting for as long as it lives.
    class NestingLevel {
      public:
        explicit NestingLevel(int& depth) : depth_(++depth) {
            if (depth_ > kMaxPatternNesting) {
                --depth_;
                throw CompileFailure{kPatternTooDeep};
            }
        }
        ~NestingLevel() { --depth_; }
        NestingLevel(const NestingLevel&) = delete;
        NestingLevel& operator=(const NestingLevel&) = delete;

      private:
        int& depth_;
    };

    bool AtEnd() const { return at_ >= text_.size(); }
    char16_t Peek() const { return text_[at_]; }
    static bool IsClosing(char16_t c) { return c == u')' || c == u']' || c == u'}'; }

    std::int32_t Here() const { return static_cast<std::int32_t>(code_.size()); }

    std::size_t Emit(Op kind, std::int32_t operand = 0) {
        if (code_.size() >= kMaxPatternInstructions) {
            throw CompileFailure{kPatternTooDeep};
        }
        code_.push_back({kind, operand});
        return code_.size() - 1;
    }

    // Appends code that was built at index `origin`, moving its targets to where it lands.
    void AppendMoved(const Code& piece, std::size_t origin) {
        if (code_.size() + piece.size() > kMaxPatternInstructions) {
            throw CompileFailure{kPatternTooDeep};
        }
        const auto shift =
            static_cast<std::int32_t>(code_.size()) - static_cast<std::int32_t>(origin);
        for (PatternInstruction instruction : piece) {
            if (IsTarget(instruction.kind)) {
                instruction.operand += shift;
            }
            code_.push_back(instruction);
        }
    }

    // Emptiness of a sequence: alternations up to the end or a closing character. Inside a
    // group, `closing` must come next and is consumed.
    Emptiness CompileSequence(char16_t closing) {
        Emptiness all{true, true};
        while (!AtEnd() && !IsClosing(Peek())) {
            const Emptiness part = CompileAlternation();
            all.nominal = all.nominal && part.nominal;
            all.actual = all.actual && part.actual;
        }
        if (closing != 0) {
            if (AtEnd() || Peek() != closing) {
                throw CompileFailure{closing == u'}' ? kPatternUnclosedBrace
                                                     : kPatternUnclosedParenthesis};
            }
            ++at_;
        }
        return all;
    }

    // factor ("|" factor)*: push position; call A; pop position; jump B; A: factor; jump end;
    // B: the rest. Alternatives are single factors.
    Emptiness CompileAlternation() {
        Emptiness any;
        std::vector<std::size_t> jumpsToEnd;
        for (;;) {
            const std::size_t begin = code_.size();
            const Emptiness alternative = CompileFactor();
            any.nominal = any.nominal || alternative.nominal;
            any.actual = any.actual || alternative.actual;
            if (AtEnd() || Peek() != u'|') {
                break;
            }
            ++at_;
            InsertBefore(begin, {{Op::kPushPosition, 0},
                                 {Op::kCall, static_cast<std::int32_t>(begin + 4)},
                                 {Op::kPopPosition, 0},
                                 {Op::kJump, 0}});
            jumpsToEnd.push_back(Emit(Op::kJump));
            code_[begin + 3].operand = Here();
        }
        for (const std::size_t jump : jumpsToEnd) {
            code_[jump].operand = Here();
        }
        return any;
    }

    void InsertBefore(std::size_t begin, const Code& prefix) {
        if (code_.size() + prefix.size() > kMaxPatternInstructions) {
            throw CompileFailure{kPatternTooDeep};
        }
        const auto shift = static_cast<std::int32_t>(prefix.size());
        for (std::size_t i = begin; i < code_.size(); ++i) {
            if (IsTarget(code_[i].kind)) {
                code_[i].operand += shift;
            }
        }
        code_.insert(code_.begin() + static_cast<std::ptrdiff_t>(begin), prefix.begin(),
                     prefix.end());
    }

    // An atom and at most one quantifier.
    Emptiness CompileFactor() {
        const std::size_t begin = code_.size();
        const int slotBase = slots_;
        const Emptiness atom = CompileAtom();
        if (AtEnd() || (Peek() != u'*' && Peek() != u'+' && Peek() != u'?')) {
            return atom;
        }
        const char16_t quantifier = text_[at_++];
        const bool lazy = !AtEnd() && Peek() == u'?';
        if (lazy) {
            ++at_;
        }
        const bool repeats = quantifier != u'?';
        if (repeats && (lazy ? atom.actual : atom.nominal)) {
            throw CompileFailure{kPatternEmptyRepetition};
        }
        Code body(code_.begin() + static_cast<std::ptrdiff_t>(begin), code_.end());
        if (quantifier == u'+') {
            // The first copy stays; a second copy with slots of its own repeats after it.
            const int bodySlots = slots_ - slotBase;
            for (PatternInstruction& instruction : body) {
                if (IsSlotOperand(instruction.kind)) {
                    instruction.operand += slots_ - slotBase;
                }
            }
            slots_ += bodySlots;
        } else {
            code_.resize(begin);
        }
        if (lazy) {
            EmitLazy(body, begin, repeats);
        } else {
            EmitGreedy(body, begin, repeats);
        }
        return quantifier == u'+' ? atom : Emptiness{true, true};
    }

    // L: push slot s; store position s; push position; call X; pop position; pop slot s;
    // jump E; X: body; fail if no progress on s; [jump L]; E. A repetition that matched nothing
    // fails, which ends the loop. Slot s holds the start of the repetition being matched, also
    // after backtracking into an earlier one.
    void EmitGreedy(const Code& body, std::size_t origin, bool loops) {
        const std::int32_t loop = Here();
        const std::int32_t slot = slots_++;
        Emit(Op::kPushSlot, slot);
        Emit(Op::kStorePosition, slot);
        Emit(Op::kPushPosition);
        Emit(Op::kCall, loop + 7);
        Emit(Op::kPopPosition);
        Emit(Op::kPopSlot, slot);
        const std::size_t exit = Emit(Op::kJump);
        AppendMoved(body, origin);
        Emit(Op::kFailIfNoProgress, slot);
        if (loops) {
            Emit(Op::kJump, loop);
        }
        code_[exit].operand = Here();
    }

    // L: push position; call P; pop position; body; [jump L]; P. The rest of the pattern is
    // tried first; when it fails, one more repetition from where the previous ones ended.
    void EmitLazy(const Code& body, std::size_t origin, bool loops) {
        const std::int32_t loop = Here();
        Emit(Op::kPushPosition);
        const std::size_t call = Emit(Op::kCall);
        Emit(Op::kPopPosition);
        AppendMoved(body, origin);
        if (loops) {
            Emit(Op::kJump, loop);
        }
        code_[call].operand = Here();
    }

    Emptiness CompileAtom() {
        if (AtEnd()) {
            return {true, true};  // nothing after a final "|" or "!": the empty string
        }
        const char16_t c = text_[at_++];
        switch (c) {
            case u'.':
                Emit(Op::kAny);
                return {};
            case u'[':
                CompileClass();
                return {};
            case u'(':
                return CompileGroup();
            case u'{':
                return CompileCapture();
            case u'!':
                return CompileLookAhead();
            case u'\\':
                return CompileEscape();
            case u'$':
                if (AtEnd()) {
                    Emit(Op::kChar, 0);  // the end of the input
                    return {false, true};
                }
                break;
            default:
                break;
        }
        Emit(Op::kChar, c);
        return {};
    }

    // call G; return; G: sequence (a no-op if empty).
    Emptiness CompileGroup() {
        const NestingLevel level(depth_);
        Emit(Op::kCall, Here() + 2);
        Emit(Op::kReturn);
        const std::size_t content = code_.size();
        const Emptiness emptiness = CompileSequence(u')');
        if (code_.size() == content) {
            Emit(Op::kNoOp);
        }
        return emptiness;
    }

    // push group n; group start n; call G; pop group n; return; G: sequence; group end n.
    Emptiness CompileCapture() {
        const NestingLevel level(depth_);
        const auto group = static_cast<std::int32_t>(groups_.size());
        groups_.push_back({});
        Emit(Op::kPushGroup, group);
        Emit(Op::kGroupStart, group);
        Emit(Op::kCall, Here() + 3);
        Emit(Op::kPopGroup, group);
        Emit(Op::kReturn);
        const std::size_t content = code_.size();
        const Emptiness emptiness = CompileSequence(u'}');
        if (code_.size() == content) {
            Emit(Op::kNoOp);
        }
        Emit(Op::kGroupEnd, group);
        groups_[static_cast<std::size_t>(group)] = {true, emptiness.actual};
        return emptiness;
    }

    // store position p; store depth d; call X; load position p; load depth d; jump E;
    // X: atom; load position p; load depth d; return; E.
    Emptiness CompileLookAhead() {
        const NestingLevel level(depth_);
        const std::int32_t position = slots_++;
        const std::int32_t depth = slots_++;
        Emit(Op::kStorePosition, position);
        Emit(Op::kStoreDepth, depth);
        Emit(Op::kCall, Here() + 4);
        Emit(Op::kLoadPosition, position);
        Emit(Op::kLoadDepth, depth);
        const std::size_t exit = Emit(Op::kJump);
        const Emptiness atom = CompileAtom();
        Emit(Op::kLoadPosition, position);
        Emit(Op::kLoadDepth, depth);
        Emit(Op::kReturn);
        code_[exit].operand = Here();
        return {atom.nominal, true};
    }

    Emptiness CompileEscape() {
        if (AtEnd()) {
            throw CompileFailure{kPatternTrailingBackslash};
        }
        if (Peek() >= u'0' && Peek() <= u'9') {
            return CompileBackReference();
        }
        const char16_t c = text_[at_++];
        const std::u16string_view expansion = Abbreviation(c);
        if (expansion.empty()) {
            Emit(Op::kChar, c);
            return {};
        }
        return CompileExpansion(expansion);
    }

    Emptiness CompileBackReference() {
        std::size_t group = 0;
        while (!AtEnd() && Peek() >= u'0' && Peek() <= u'9') {
            group = std::min<std::size_t>(group * 10 + (Peek() - u'0'), groups_.size());
            ++at_;
        }
        if (group >= groups_.size()) {
            throw CompileFailure{kPatternUnknownGroup};
        }
        Emit(Op::kBackReference, static_cast<std::int32_t>(group));
        const GroupInfo& info = groups_[group];
        return {false, !info.closed || info.actuallyEmpty};
    }

    // The abbreviation's sub-pattern, compiled in place as one factor.
    Emptiness CompileExpansion(std::u16string_view expansion) {
        const NestingLevel level(depth_);
        const std::u16string_view outerText = text_;
        const std::size_t outerAt = at_;
        text_ = expansion;
        at_ = 0;
        Emptiness emptiness;
        try {
            emptiness = CompileSequence(0);
        } catch (const CompileFailure& failure) {
            throw CompileFailure{failure.code == kPatternTooDeep ? kPatternTooDeep
                                                                 : kPatternBadAbbreviation};
        }
        if (!AtEnd()) {
            throw CompileFailure{kPatternBadAbbreviation};
        }
        text_ = outerText;
        at_ = outerAt;
        return emptiness;
    }

    // "[" has been read: optional "^", items up to "]". Emits the class and its range pairs.
    void CompileClass() {
        const bool negated = !AtEnd() && Peek() == u'^';
        if (negated) {
            ++at_;
        }
        if (AtEnd()) {
            throw CompileFailure{kPatternUnclosedBracket};
        }
        if (Peek() == u']') {
            throw CompileFailure{kPatternEmptyClass};
        }
        const std::size_t head = Emit(negated ? Op::kNegatedClass : Op::kClass);
        for (;;) {
            if (AtEnd()) {
                throw CompileFailure{kPatternUnclosedBracket};
            }
            if (Peek() == u']') {
                ++at_;
                break;
            }
            const char16_t low = ClassCharacter();
            char16_t high = low;
            if (!AtEnd() && Peek() == u'-') {
                ++at_;
                if (AtEnd() || Peek() == u']') {
                    throw CompileFailure{kPatternUnclosedBracket};  // range without high end
                }
                high = ClassCharacter();
                if (high < low) {
                    throw CompileFailure{kPatternReversedRange};
                }
            }
            Emit(Op::kNoOp, low);
            Emit(Op::kNoOp, high);
        }
        code_[head].operand = Here();
    }

    // A class character, possibly escaped: "\t" is a tab, "\x" any other x itself.
    char16_t ClassCharacter() {
        char16_t c = text_[at_++];
        if (c != u'\\') {
            return c;
        }
        if (AtEnd()) {
            throw CompileFailure{kPatternUnclosedBracket};
        }
        c = text_[at_++];
        return c == u't' ? u'\t' : c;
    }

    std::u16string_view text_;
    std::size_t at_ = 0;
    Code& code_;
    std::vector<GroupInfo> groups_;
    int slots_ = 0;
    int depth_ = 0;
};

std::u16string LowerAscii(std::u16string_view text) {
    std::u16string lower(text);
    for (char16_t& c : lower) {
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        }
    }
    return lower;
}

}  // namespace

int CompilePattern(std::u16string_view pattern, CaseMode caseMode, PatternProgram& program) {
    program = PatternProgram{};
    program.caseMode = caseMode;
    pattern = pattern.substr(0, pattern.find(u'\0'));
    try {
        const std::u16string text =
            caseMode == CaseMode::kInsensitive ? LowerAscii(pattern) : std::u16string(pattern);
        Compiler compiler(text, program.code);
        compiler.CompileWhole();
        program.groupCount = compiler.GroupCount();
        program.slotCount = compiler.SlotCount();
    } catch (const CompileFailure& failure) {
        program.lastError = failure.code;
    } catch (const std::bad_alloc&) {
        program.lastError = kPatternOutOfMemory;
    }
    if (program.lastError != kPatternOk) {
        program.code.clear();
        program.code.shrink_to_fit();
        program.groupCount = 0;
        program.slotCount = 0;
    }
    return program.lastError;
}

int CompilePattern(const char16_t* pattern, CaseMode caseMode, PatternProgram& program) {
    if (pattern == nullptr) {
        program = PatternProgram{};
        program.caseMode = caseMode;
        program.lastError = kPatternMissing;
        return kPatternMissing;
    }
    return CompilePattern(std::u16string_view(pattern), caseMode, program);
}

}  // namespace kesto
