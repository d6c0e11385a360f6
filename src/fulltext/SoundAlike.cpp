#include "fulltext/SoundAlike.h"

#include "platform/Ansi.h"

#include <array>

namespace {

std::array<char, 256> BuildCodes() {
    std::array<char, 256> codes{};
    auto give = [&codes](const char* letters, char code) {
        for (const char* p = letters; *p; ++p) {
            const unsigned char upper = static_cast<unsigned char>(*p);
            codes[upper] = code;
            codes[upper + 32] = code; // the lower-case letter
        }
    };
    give("BFPV", '1');
    give("CGJKQSXZ", '2');
    give("DT", '3');
    give("L", '4');
    give("MN", '5');
    give("R", '6');
    codes[0xC7] = codes[0xE7] = '2'; // Ç ç
    codes[0xD1] = codes[0xF1] = '5'; // Ñ ñ
    return codes;
}

const std::array<char, 256>& Codes() {
    static const std::array<char, 256> codes = BuildCodes();
    return codes;
}

} // namespace

char TrbSoundAlike::CodeOf(unsigned char byte) {
    return Codes()[byte];
}

QByteArray TrbSoundAlike::Key(QByteArrayView word) {
    QByteArray key(KeyLength, '0');
    if (word.size() < 2)
        return key;

    const unsigned char* fold = TAnsi::InternationalFoldTable();
    key[0] = static_cast<char>(fold[static_cast<unsigned char>(word[0])]);
    key[1] = static_cast<char>(fold[static_cast<unsigned char>(word[1])]);

    int next = 2;
    for (qsizetype i = 2; i < word.size() && next < KeyLength; ++i) {
        const char code = CodeOf(static_cast<unsigned char>(word[i]));
        // A repeated code is skipped even when a vowel stood between, and the
        // first code is compared with the second character of the key.
        if (code == 0 || code == key[next - 1])
            continue;
        key[next++] = code;
    }
    return key;
}
