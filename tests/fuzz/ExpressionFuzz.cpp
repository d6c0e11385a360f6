// libFuzzer target for the query expression compiler. Any text must either
// compile or raise EExpression with a position inside the query (1 to its
// length + 1); nothing else may escape, crash or hang. What compiles must be
// an operation list the executor can run: at most TCompile::MaxSize bytes,
// well-formed operations, every operator finding its operands on the stack
// (and, or and near two, not and like one; like and near plain texts), one
// operand left at the end mark and nothing after it.
//
// The first input byte picks the operator words: the default ones, or German
// ones (so that keywords of other lengths and ordinary words like "and" are
// exercised too); the rest is the query.

#include "fulltext/Expression.h"

#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <vector>

namespace {

// A simulated operand: a text still to be evaluated, or an evaluated set.
enum TOperand { Text, Set };

void CheckCode(const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.size() > TCompile::MaxSize)
        __builtin_trap();
    std::vector<TOperand> stack;
    auto pop = [&stack] {
        if (stack.empty())
            __builtin_trap();
        const TOperand top = stack.back();
        stack.pop_back();
        return top;
    };
    qsizetype at = 0;
    for (;;) {
        if (at >= bytes.size())
            __builtin_trap(); // no end mark
        const auto op = static_cast<TCompile::TOpCode>(static_cast<std::uint8_t>(bytes[at++]));
        switch (op) {
        case TCompile::opEnd:
            // Nothing after the end mark; one operand, none for an empty query.
            if (at != bytes.size() || stack.size() != (bytes.size() > 1 ? 1u : 0u))
                __builtin_trap();
            return;
        case TCompile::opPush:
        case TCompile::opPhrase: {
            if (at + 2 > bytes.size())
                __builtin_trap();
            const int length = static_cast<std::uint8_t>(bytes[at]) | (static_cast<std::uint8_t>(bytes[at + 1]) << 8);
            at += 2 + length;
            if (at > bytes.size() || (op == TCompile::opPush && (length == 0 || length > TCompile::MaxWordLength)))
                __builtin_trap();
            stack.push_back(op == TCompile::opPush ? Text : Set);
            break;
        }
        case TCompile::opAnd:
        case TCompile::opOr:
            pop();
            pop();
            stack.push_back(Set);
            break;
        case TCompile::opNear:
            if (pop() != Text || pop() != Text)
                __builtin_trap();
            stack.push_back(Set);
            break;
        case TCompile::opLike:
            if (pop() != Text)
                __builtin_trap();
            stack.push_back(Set);
            break;
        case TCompile::opNot:
            pop();
            stack.push_back(Set);
            break;
        case TCompile::opGroup:
            if (stack.empty())
                __builtin_trap();
            break;
        default:
            __builtin_trap();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static const QStringList german = {QStringLiteral("und"), QStringLiteral("oder"), QStringLiteral("nicht"),
                                       QStringLiteral("wie"), QStringLiteral("nahe")};
    const QStringList tokens = data[0] & 1 ? german : QStringList{};
    const QByteArray query(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));
    TCompiler compiler(tokens);
    TCompile code;
    try {
        compiler.Compile(query, code);
    } catch (const EExpression& e) {
        if (e.Position() < 1 || e.Position() > query.size() + 1)
            __builtin_trap();
        return 0;
    } catch (...) {
        __builtin_trap(); // any other error escaping the compiler is a fault
    }
    CheckCode(code.Bytes());
    return 0;
}
