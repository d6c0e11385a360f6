#pragma once
// The query expression language of the search engine: operator words (the
// engine's Tokens: and, or, not, like, near by position), parentheses and
// quoted phrases. TCompiler turns a query into a compact operation list
// (TCompile); TExecutor evaluates that list over an operand stack
// (TExpressionStack), calling back into the engine's word-list evaluation.
//
// Grammar, loosest binding first:
//   expression := term { ("and" | "or") term }        equal precedence, left to right
//   term       := "not" factor | factor
//   factor     := "like" word | primary [ "near" word ]   ("near" only after a plain word)
//   primary    := quoted phrase | "(" expression ")" | word
// A keyword is recognised without regard to case when it stands as a whole
// item followed by the end, a blank or "(". Words are runs of up to 256
// characters other than control characters, blanks and parentheses.
//
// Operation list layout (bytes, at most MaxSize including the end mark):
//   opPush, opPhrase   op, length (2 bytes, little-endian), the folded text
//   opAnd, opOr, opNot, opLike, opNear, opGroup, opEnd   op alone
// opGroup follows the operations of a parenthesised expression; it changes
// nothing in the evaluation.

#include "fulltext/BitSet.h"
#include "platform/MovarixError.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

class TrbSearch;

// A faulty expression: the engine's code (30464, 30485, 30486, 30487,
// 30498) with its text, and the 1-based character position where compiling
// failed (the length of the query + 1 when it failed at the end).
class EExpression : public EMovarixError {
public:
    EExpression(int code, int position);
    int Position() const { return position_; }

private:
    int position_;
};

class TCompile {
public:
    static constexpr int MaxSize = 1023;
    static constexpr int MaxWordLength = 256;
    enum TOpCode : std::uint8_t {
        opEnd = 0,
        opPush = 1,
        opAnd = 2,
        opOr = 3,
        opNot = 4,
        opPhrase = 5,
        opNear = 6,
        opLike = 7,
        opGroup = 8,
    };

    // Raise 30464 "Code array full" at `position` when the list would grow
    // beyond MaxSize.
    void Emit(TOpCode op, int position);
    void EmitText(TOpCode op, const QByteArray& text, int position);
    void Clear() { bytes_.clear(); }
    const QByteArray& Bytes() const { return bytes_; }
    // True when nothing but the end mark was compiled (an empty query).
    bool Empty() const { return bytes_.size() <= 1; }

private:
    void Reserve(qsizetype more, int position);
    QByteArray bytes_;
};

class TCompiler {
public:
    explicit TCompiler(const QStringList& tokens);

    // Compiles the query (Windows-1252 bytes) into `code`; EExpression on
    // error. A query of blanks only compiles to the end mark alone.
    void Compile(const QByteArray& query, TCompile& code);
    // Whether nothing but plain words had been compiled when it stopped
    // (no operator, phrase or parenthesis).
    bool OnlyWords() const { return onlyWords_; }

private:
    enum TKind { tkEnd, tkWord, tkPhrase, tkOpen, tkClose, tkAnd, tkOr, tkNot, tkLike, tkNear };
    struct TToken {
        TKind kind = tkEnd;
        QByteArray text;
        int position = 0; // 1-based
    };

    TToken Scan();
    const TToken& Peek();
    TToken Take();
    [[noreturn]] void Fail(int code, int position);
    void Expression();
    void Term();
    void Factor();
    // Returns whether the primary was a plain word.
    bool Primary();
    TToken ExpectWord();

    QList<QByteArray> keywords_; // upper case: and, or, not, like, near
    QByteArray query_;
    qsizetype pos_ = 0;
    bool peeked_ = false;
    TToken next_;
    TCompile* code_ = nullptr;
    bool onlyWords_ = true;
    int openGroups_ = 0; // parentheses opened and not yet closed
};

// One entry of the operand stack: a text not yet evaluated, an evaluated
// record set, or an operand whose words were all ignored.
struct TExpressionEntry {
    enum TKind { Text, MatchBits, Ignored };
    TKind kind = Text;
    QByteArray text;
    TrbBitSet bits;
};

class TExpressionStack {
public:
    void Push(TExpressionEntry entry) { entries_.push_back(std::move(entry)); }
    // Raises 30498 when empty (a damaged operation list).
    TExpressionEntry Pop();
    int Size() const { return int(entries_.size()); }

private:
    std::vector<TExpressionEntry> entries_;
};

class TExecutor;

// One operation kind of the list.
class TOperation {
public:
    virtual ~TOperation() = default;
    virtual void Execute(TExecutor& executor, const QByteArray& text) const = 0;
};
class TString : public TOperation {}; // operations that carry a text
class TPush : public TString {
public:
    void Execute(TExecutor& executor, const QByteArray& text) const override;
};
class TPhrase : public TString {
public:
    void Execute(TExecutor& executor, const QByteArray& text) const override;
};
class TAnd : public TOperation {
public:
    void Execute(TExecutor& executor, const QByteArray& text) const override;
};
class TOr : public TOperation {
public:
    void Execute(TExecutor& executor, const QByteArray& text) const override;
};
class TNot : public TOperation {
public:
    void Execute(TExecutor& executor, const QByteArray& text) const override;
};
class TLike : public TOperation {
public:
    void Execute(TExecutor& executor, const QByteArray& text) const override;
};
class TNear : public TOperation {
public:
    void Execute(TExecutor& executor, const QByteArray& text) const override;
};

class TExecutor {
public:
    explicit TExecutor(TrbSearch& search);

    // Evaluates a compiled list; the result has the search's range size.
    TrbBitSet Execute(const TCompile& code);

    TExpressionStack& Stack() { return stack_; }
    TrbSearch& Search() { return search_; }
    // A text operand evaluated under `logic` (start set: all for the
    // and-like logics, none for or and not); Ignored when every word was.
    TExpressionEntry Evaluate(const QByteArray& text, int logic, const TrbBitSet* start = nullptr);
    // An entry as a record set (a text is evaluated with and).
    TExpressionEntry Resolve(TExpressionEntry entry);

private:
    TrbSearch& search_;
    TExpressionStack stack_;
};
