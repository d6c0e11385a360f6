#include "fulltext/Expression.h"

#include "fulltext/Quelvan.h"
#include "fulltext/Search.h"
#include "fulltext/WordParser.h"

EExpression::EExpression(int code, int position) : EMovarixError(EQuelvan::TextOf(code), code), position_(position) {}

// --- TCompile ----------------------------------------------------------------

void TCompile::Reserve(qsizetype more, int position) {
    if (bytes_.size() + more > MaxSize)
        throw EExpression(EQuelvan::CodeArrayFull, position);
}

void TCompile::Emit(TOpCode op, int position) {
    Reserve(1, position);
    bytes_.append(char(op));
}

void TCompile::EmitText(TOpCode op, const QByteArray& text, int position) {
    Reserve(3 + text.size(), position);
    bytes_.append(char(op));
    bytes_.append(char(text.size() & 0xFF));
    bytes_.append(char((text.size() >> 8) & 0xFF));
    bytes_.append(text);
}

// --- TCompiler ---------------------------------------------------------------

TCompiler::TCompiler(const QStringList& tokens) {
    static const char* const defaults[] = {"and", "or", "not", "like", "near"};
    for (int i = 0; i < 5; ++i) {
        const QString token = i < tokens.size() ? tokens[i] : QString::fromLatin1(defaults[i]);
        keywords_.append(TrbWordParser::Fold(token.toLatin1()));
    }
}

void TCompiler::Fail(int code, int position) {
    throw EExpression(code, position);
}

namespace {
bool IsBlank(unsigned char c) {
    return c <= 32; // blank, tab and the other control characters separate items
}
} // namespace

TCompiler::TToken TCompiler::Scan() {
    const qsizetype n = query_.size();
    while (pos_ < n && IsBlank(static_cast<unsigned char>(query_[pos_])))
        ++pos_;
    TToken token;
    token.position = int(pos_) + 1;
    if (pos_ >= n)
        return token;
    const char c = query_[pos_];
    if (c == '(' || c == ')') {
        token.kind = c == '(' ? tkOpen : tkClose;
        ++pos_;
        return token;
    }
    if (c == '"' || c == '\'') {
        const qsizetype close = query_.indexOf(c, pos_ + 1);
        if (close < 0)
            Fail(EQuelvan::MissingQuote, int(n) + 1);
        token.kind = tkPhrase;
        token.text = TrbWordParser::Fold(QByteArrayView(query_).sliced(pos_ + 1, close - pos_ - 1));
        pos_ = close + 1;
        return token;
    }
    const qsizetype start = pos_;
    while (pos_ < n && pos_ - start < TCompile::MaxWordLength) {
        const unsigned char b = static_cast<unsigned char>(query_[pos_]);
        if (IsBlank(b) || b == '(' || b == ')')
            break;
        ++pos_;
    }
    token.kind = tkWord;
    token.text = TrbWordParser::Fold(QByteArrayView(query_).sliced(start, pos_ - start));
    const bool wholeItem = pos_ >= n || query_[pos_] == ' ' || query_[pos_] == '\t' || query_[pos_] == '(';
    if (wholeItem) {
        static const TKind kinds[] = {tkAnd, tkOr, tkNot, tkLike, tkNear};
        for (int i = 0; i < keywords_.size(); ++i)
            if (!keywords_[i].isEmpty() && token.text == keywords_[i]) {
                token.kind = kinds[i];
                break;
            }
    }
    return token;
}

const TCompiler::TToken& TCompiler::Peek() {
    if (!peeked_) {
        next_ = Scan();
        peeked_ = true;
    }
    return next_;
}

TCompiler::TToken TCompiler::Take() {
    Peek();
    peeked_ = false;
    return next_;
}

void TCompiler::Compile(const QByteArray& query, TCompile& code) {
    query_ = query;
    pos_ = 0;
    peeked_ = false;
    onlyWords_ = true;
    openGroups_ = 0;
    code_ = &code;
    code.Clear();
    if (Peek().kind == tkEnd) {
        code.Emit(TCompile::opEnd, 1);
        return;
    }
    Expression();
    if (Peek().kind != tkEnd)
        Fail(EQuelvan::SyntaxError, Peek().position);
    code.Emit(TCompile::opEnd, Peek().position);
}

void TCompiler::Expression() {
    Term();
    for (;;) {
        const TKind kind = Peek().kind;
        if (kind != tkAnd && kind != tkOr)
            return;
        const TToken op = Take();
        onlyWords_ = false;
        Term();
        code_->Emit(kind == tkAnd ? TCompile::opAnd : TCompile::opOr, op.position);
    }
}

void TCompiler::Term() {
    if (Peek().kind == tkNot) {
        const TToken op = Take();
        onlyWords_ = false;
        Factor();
        code_->Emit(TCompile::opNot, op.position);
        return;
    }
    Factor();
}

TCompiler::TToken TCompiler::ExpectWord() {
    const TToken token = Take();
    if (token.kind != tkWord)
        Fail(EQuelvan::MissingString, token.position);
    return token;
}

void TCompiler::Factor() {
    bool plainWord = false;
    if (Peek().kind == tkLike) {
        const TToken op = Take();
        onlyWords_ = false;
        const TToken word = ExpectWord();
        code_->EmitText(TCompile::opPush, word.text, word.position);
        code_->Emit(TCompile::opLike, op.position);
    } else {
        plainWord = Primary();
    }
    if (Peek().kind != tkNear)
        return;
    const TToken op = Take();
    onlyWords_ = false;
    if (!plainWord)
        Fail(EQuelvan::MissingString, op.position);
    const TToken word = ExpectWord();
    code_->EmitText(TCompile::opPush, word.text, word.position);
    code_->Emit(TCompile::opNear, op.position);
    if (Peek().kind == tkNear)
        Fail(EQuelvan::MissingString, Peek().position);
}

bool TCompiler::Primary() {
    const TToken token = Take();
    switch (token.kind) {
    case tkWord:
        code_->EmitText(TCompile::opPush, token.text, token.position);
        return true;
    case tkPhrase:
        onlyWords_ = false;
        code_->EmitText(TCompile::opPhrase, token.text, token.position);
        return false;
    case tkOpen: {
        onlyWords_ = false;
        // Every open group still owes its opGroup byte, and the list its end
        // mark: past that the list can never fit, and going on would only
        // nest the recursion until the stack runs out.
        ++openGroups_;
        if (code_->Bytes().size() + openGroups_ + 1 > TCompile::MaxSize)
            Fail(EQuelvan::CodeArrayFull, token.position);
        if (Peek().kind == tkClose)
            Fail(EQuelvan::SyntaxError, Peek().position);
        Expression();
        const TToken close = Take();
        if (close.kind != tkClose)
            Fail(EQuelvan::MissingParenthesis, close.position);
        --openGroups_;
        code_->Emit(TCompile::opGroup, close.position);
        return false;
    }
    default:
        Fail(EQuelvan::MissingString, token.position);
    }
}

// --- TExpressionStack --------------------------------------------------------

TExpressionEntry TExpressionStack::Pop() {
    if (entries_.empty())
        throw EExpression(EQuelvan::SyntaxError, 0);
    TExpressionEntry entry = std::move(entries_.back());
    entries_.pop_back();
    return entry;
}

// --- operations --------------------------------------------------------------

namespace {

void AndInto(TrbBitSet& target, const TrbBitSet& other) {
    for (int i = 0; i < target.ByteCount() && i < other.ByteCount(); ++i)
        target.Bytes()[i] &= other.Bytes()[i];
}

void OrInto(TrbBitSet& target, const TrbBitSet& other) {
    for (int i = 0; i < target.ByteCount() && i < other.ByteCount(); ++i)
        target.Bytes()[i] |= other.Bytes()[i];
    target.ClearPadding();
}

TExpressionEntry Bits(TrbBitSet bits) {
    TExpressionEntry entry;
    entry.kind = TExpressionEntry::MatchBits;
    entry.bits = std::move(bits);
    return entry;
}

} // namespace

void TPush::Execute(TExecutor& executor, const QByteArray& text) const {
    executor.Stack().Push(TExpressionEntry{TExpressionEntry::Text, text, {}});
}

void TPhrase::Execute(TExecutor& executor, const QByteArray& text) const {
    executor.Stack().Push(executor.Evaluate(text, slPhrase));
}

void TAnd::Execute(TExecutor& executor, const QByteArray&) const {
    TExpressionEntry b = executor.Stack().Pop();
    TExpressionEntry a = executor.Stack().Pop();
    if (a.kind == TExpressionEntry::Ignored) {
        executor.Stack().Push(std::move(b));
        return;
    }
    if (b.kind == TExpressionEntry::Ignored) {
        executor.Stack().Push(std::move(a));
        return;
    }
    a = executor.Resolve(std::move(a));
    if (a.kind == TExpressionEntry::Ignored) {
        executor.Stack().Push(std::move(b));
        return;
    }
    if (b.kind == TExpressionEntry::Text) {
        // Evaluated from the left operand's set: only its records are checked.
        TExpressionEntry e = executor.Evaluate(b.text, slAnd, &a.bits);
        executor.Stack().Push(e.kind == TExpressionEntry::Ignored ? std::move(a) : std::move(e));
        return;
    }
    AndInto(a.bits, b.bits);
    executor.Stack().Push(std::move(a));
}

void TOr::Execute(TExecutor& executor, const QByteArray&) const {
    TExpressionEntry b = executor.Stack().Pop();
    TExpressionEntry a = executor.Stack().Pop();
    if (a.kind == TExpressionEntry::Text)
        a = executor.Evaluate(a.text, slOr);
    if (b.kind == TExpressionEntry::Text)
        b = executor.Evaluate(b.text, slOr);
    if (a.kind == TExpressionEntry::Ignored) {
        executor.Stack().Push(std::move(b));
        return;
    }
    if (b.kind == TExpressionEntry::Ignored) {
        executor.Stack().Push(std::move(a));
        return;
    }
    OrInto(a.bits, b.bits);
    executor.Stack().Push(std::move(a));
}

void TNot::Execute(TExecutor& executor, const QByteArray&) const {
    TExpressionEntry a = executor.Stack().Pop();
    if (a.kind == TExpressionEntry::Text) {
        executor.Stack().Push(executor.Evaluate(a.text, slNot));
        return;
    }
    if (a.kind == TExpressionEntry::MatchBits) {
        for (int i = 0; i < a.bits.ByteCount(); ++i)
            a.bits.Bytes()[i] = std::uint8_t(~a.bits.Bytes()[i]);
        a.bits.ClearPadding();
        // Positions of records that no longer exist never match.
        AndInto(a.bits, executor.Search().ExistingRecords());
    }
    executor.Stack().Push(std::move(a));
}

void TLike::Execute(TExecutor& executor, const QByteArray&) const {
    TExpressionEntry a = executor.Stack().Pop();
    executor.Stack().Push(executor.Evaluate(a.text, slLike));
}

void TNear::Execute(TExecutor& executor, const QByteArray&) const {
    TExpressionEntry b = executor.Stack().Pop();
    TExpressionEntry a = executor.Stack().Pop();
    executor.Stack().Push(executor.Evaluate(a.text + ' ' + b.text, slNear));
}

// --- TExecutor ---------------------------------------------------------------

TExecutor::TExecutor(TrbSearch& search) : search_(search) {}

TExpressionEntry TExecutor::Evaluate(const QByteArray& text, int logic, const TrbBitSet* start) {
    const TrbSearchLogic l = static_cast<TrbSearchLogic>(logic);
    TrbBitSet bits(search_.RangeBits());
    if (start)
        bits = *start;
    else if (l != slOr && l != slNot)
        bits.SetAll();
    const bool used = search_.EvaluateWords(text, l, bits);
    if (!used) {
        TExpressionEntry ignored;
        ignored.kind = TExpressionEntry::Ignored;
        return ignored;
    }
    return Bits(std::move(bits));
}

TExpressionEntry TExecutor::Resolve(TExpressionEntry entry) {
    if (entry.kind == TExpressionEntry::Text)
        return Evaluate(entry.text, slAnd);
    return entry;
}

TrbBitSet TExecutor::Execute(const TCompile& code) {
    static const TPush push;
    static const TPhrase phrase;
    static const TAnd opAnd;
    static const TOr opOr;
    static const TNot opNot;
    static const TLike like;
    static const TNear near;
    const QByteArray& bytes = code.Bytes();
    qsizetype at = 0;
    while (at < bytes.size()) {
        const auto op = static_cast<TCompile::TOpCode>(static_cast<unsigned char>(bytes[at++]));
        QByteArray text;
        if (op == TCompile::opPush || op == TCompile::opPhrase) {
            if (at + 2 > bytes.size())
                throw EExpression(EQuelvan::SyntaxError, 0);
            const int length = static_cast<unsigned char>(bytes[at]) | (static_cast<unsigned char>(bytes[at + 1]) << 8);
            at += 2;
            if (at + length > bytes.size())
                throw EExpression(EQuelvan::SyntaxError, 0);
            text = bytes.mid(at, length);
            at += length;
        }
        const TOperation* operation = nullptr;
        switch (op) {
        case TCompile::opEnd:
            at = bytes.size();
            continue;
        case TCompile::opGroup:
            continue;
        case TCompile::opPush: operation = &push; break;
        case TCompile::opPhrase: operation = &phrase; break;
        case TCompile::opAnd: operation = &opAnd; break;
        case TCompile::opOr: operation = &opOr; break;
        case TCompile::opNot: operation = &opNot; break;
        case TCompile::opLike: operation = &like; break;
        case TCompile::opNear: operation = &near; break;
        default:
            throw EExpression(EQuelvan::SyntaxError, 0);
        }
        operation->Execute(*this, text);
    }
    TrbBitSet result(search_.RangeBits());
    if (stack_.Size() == 0)
        return result;
    TExpressionEntry last = Resolve(stack_.Pop());
    if (last.kind == TExpressionEntry::MatchBits)
        result = std::move(last.bits);
    return result;
}
