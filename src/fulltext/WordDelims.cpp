#include "fulltext/WordDelims.h"

namespace {

// Blank , . ; : ? ! [ ] { } ( ) < > / + - * = \ | _ & # % $ @ ^ ~ ` " '
// followed by CR LF TAB, in caret notation.
constexpr char kDefaultCaret[] = " ,.;:?![]{}()<>/+-*=\\|_&#%$@^^~`\"'^M^J^I";
constexpr char kControlTail[] = "^M^J^I";

} // namespace

TrbWordDelims::TrbWordDelims() {
    SetCaret({});
}

TrbWordDelims::TrbWordDelims(QByteArrayView caret) {
    SetCaret(caret);
}

QByteArray TrbWordDelims::DefaultCaret() {
    return QByteArray(kDefaultCaret);
}

QByteArray TrbWordDelims::ProgramCaret() {
    QByteArray caret = DefaultCaret();
    caret.chop(int(sizeof(kControlTail)) - 1);
    return QByteArrayLiteral("<<<") + caret;
}

QByteArray TrbWordDelims::DecodeCaret(QByteArrayView caret) {
    QByteArray out;
    out.reserve(caret.size());
    for (qsizetype i = 0; i < caret.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(caret[i]);
        if (c == '^' && i + 1 < caret.size()) {
            const unsigned char next = static_cast<unsigned char>(caret[i + 1]);
            if (next == '^') {
                out.append('^');
                ++i;
                continue;
            }
            if (next >= 'A' && next <= '_') {
                out.append(static_cast<char>(next - 64));
                ++i;
                continue;
            }
        }
        out.append(static_cast<char>(c));
    }
    return out;
}

QByteArray TrbWordDelims::EncodeCaret(QByteArrayView raw) {
    QByteArray out;
    out.reserve(raw.size() * 2);
    for (char ch : raw) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 32) {
            out.append('^');
            out.append(static_cast<char>(c + 64));
        } else if (c == '^') {
            out.append("^^", 2);
        } else {
            out.append(ch);
        }
    }
    return out;
}

void TrbWordDelims::SetCaret(QByteArrayView caret) {
    decoded_ = DecodeCaret(caret.isEmpty() ? QByteArrayView(kDefaultCaret) : caret);
    flags_.fill(0);
    // The markers are looked for in the string as written; "<<<" cannot come
    // out of an escape, so the decoded string answers the same.
    if (decoded_.contains("<<<"))
        for (int b = 0; b < 32; ++b)
            Add(static_cast<unsigned char>(b));
    if (decoded_.contains(">>>"))
        for (int b = 128; b < 256; ++b)
            Add(static_cast<unsigned char>(b));
    for (char ch : decoded_)
        Add(static_cast<unsigned char>(ch));
}

QByteArray TrbWordDelims::Caret() const {
    return EncodeCaret(decoded_);
}

int TrbWordDelims::Count() const {
    int n = 0;
    for (std::uint8_t flag : flags_)
        n += flag;
    return n;
}
