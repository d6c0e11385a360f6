// Properties block
// ================
//
// The "rbBlob" of the words table's properties row (whose "rbWord" is
// DEL DEL "Properties" DEL DEL) holds a sequence of tagged values. Each value
// starts with a one-byte tag:
//
//   tag  meaning        payload
//   0    end of list    none
//   1    start of list  none
//   2    integer        1 byte, signed
//   3    integer        2 bytes, signed, little-endian
//   4    integer        4 bytes, signed, little-endian
//   6    string         1-byte length, then the characters
//   8    False          none
//   9    True           none
//   12   long string    4-byte little-endian length, then the characters
//
// Writers use the smallest of tags 2, 3, 4 that holds an integer, tag 6 for
// strings of up to 255 characters and tag 12 for longer ones; readers accept
// any integer tag for an integer and either string tag for a string. Strings
// are Windows-1252 bytes.
//
// Content, in order:
//   1. integer  block version (2120 when written by this program)
//   2. integer  32, the writer's word size (read and ignored)
//   3. list     the text link's field names: tag 1, strings, tag 0
//      boolean  only when the version is exactly 200: read and ignored
//      string   IndexFieldName
//   4. (nothing: the words link part is empty)
//   5. integer  MinWordLen
//   6. list     the omit list, each word folded to upper case
//   7. integer  SegmentSize when segmented, else 0
//   8. string   WordDelims in caret notation
//   9. boolean  Ansi
//  10. boolean  phrase-pair flag, only when the version is 2040 or higher

#include "fulltext/PropertiesBlock.h"

#include "fulltext/Quelvan.h"
#include "fulltext/WordParser.h"
#include "platform/Ansi.h"

#include <cstdint>
#include <limits>

namespace {

enum : std::uint8_t {
    tagEndOfList = 0,
    tagList = 1,
    tagInt8 = 2,
    tagInt16 = 3,
    tagInt32 = 4,
    tagString = 6,
    tagFalse = 8,
    tagTrue = 9,
    tagLongString = 12,
};

class TWriter {
public:
    void Integer(int value) {
        if (value >= std::numeric_limits<std::int8_t>::min() && value <= std::numeric_limits<std::int8_t>::max()) {
            Tag(tagInt8);
            Bytes(value, 1);
        } else if (value >= std::numeric_limits<std::int16_t>::min() &&
                   value <= std::numeric_limits<std::int16_t>::max()) {
            Tag(tagInt16);
            Bytes(value, 2);
        } else {
            Tag(tagInt32);
            Bytes(value, 4);
        }
    }
    void String(QByteArrayView text) {
        if (text.size() <= 255) {
            Tag(tagString);
            Bytes(static_cast<int>(text.size()), 1);
        } else {
            Tag(tagLongString);
            Bytes(static_cast<int>(text.size()), 4);
        }
        out_.append(text);
    }
    void Boolean(bool value) { Tag(value ? tagTrue : tagFalse); }
    void BeginList() { Tag(tagList); }
    void EndList() { Tag(tagEndOfList); }
    const QByteArray& Result() const { return out_; }

private:
    void Tag(std::uint8_t tag) { out_.append(static_cast<char>(tag)); }
    void Bytes(int value, int width) {
        const std::uint32_t v = static_cast<std::uint32_t>(value);
        for (int i = 0; i < width; ++i)
            out_.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
    QByteArray out_;
};

class TReader {
public:
    explicit TReader(QByteArrayView block) : block_(block) {}

    int Integer() {
        switch (Tag()) {
        case tagInt8: return static_cast<std::int8_t>(Bytes(1));
        case tagInt16: return static_cast<std::int16_t>(Bytes(2));
        case tagInt32: return static_cast<std::int32_t>(Bytes(4));
        default: Bad();
        }
    }
    QByteArray String() {
        return StringOfTag(Tag());
    }
    bool Boolean() {
        switch (Tag()) {
        case tagFalse: return false;
        case tagTrue: return true;
        default: Bad();
        }
    }
    // A list of strings.
    QList<QByteArray> StringList() {
        if (Tag() != tagList)
            Bad();
        QList<QByteArray> items;
        for (;;) {
            const std::uint8_t tag = Tag();
            if (tag == tagEndOfList)
                return items;
            items.append(StringOfTag(tag));
        }
    }

private:
    [[noreturn]] static void Bad() { EQuelvan::Raise(EQuelvan::PropertiesNotFound); }

    QByteArray StringOfTag(std::uint8_t tag) {
        std::uint32_t length = 0;
        if (tag == tagString)
            length = Bytes(1);
        else if (tag == tagLongString)
            length = Bytes(4);
        else
            Bad();
        if (length > static_cast<std::uint64_t>(block_.size() - pos_))
            Bad();
        const QByteArray text = block_.sliced(pos_, length).toByteArray();
        pos_ += length;
        return text;
    }
    std::uint8_t Tag() { return static_cast<std::uint8_t>(Bytes(1)); }
    std::uint32_t Bytes(int width) {
        if (block_.size() - pos_ < width)
            Bad();
        std::uint32_t v = 0;
        for (int i = 0; i < width; ++i)
            v |= std::uint32_t(static_cast<std::uint8_t>(block_[pos_ + i])) << (8 * i);
        pos_ += width;
        return v;
    }

    QByteArrayView block_;
    qsizetype pos_ = 0;
};

} // namespace

QByteArray TrbPropertiesBlock::Write(const TrbIndexProperties& p) {
    TWriter w;
    w.Integer(p.version);
    w.Integer(p.wordSize);
    w.BeginList();
    for (const QString& name : p.fieldNames)
        w.String(TAnsi::FromUnicode(name));
    w.EndList();
    if (p.version == TrbIndexProperties::LegacyFlagVersion)
        w.Boolean(false);
    w.String(TAnsi::FromUnicode(p.indexFieldName));
    w.Integer(p.minWordLen);
    w.BeginList();
    for (const QByteArray& word : p.omitList)
        w.String(TrbWordParser::Fold(word));
    w.EndList();
    w.Integer(p.segmentSize);
    w.String(p.wordDelims);
    w.Boolean(p.ansi);
    if (p.version >= TrbIndexProperties::PhrasePairVersion)
        w.Boolean(p.phrasePairs);
    return w.Result();
}

TrbIndexProperties TrbPropertiesBlock::Read(QByteArrayView block) {
    if (block.isEmpty())
        EQuelvan::Raise(EQuelvan::PropertiesNotFound);
    TReader r(block);
    TrbIndexProperties p;
    p.version = r.Integer();
    p.wordSize = r.Integer();
    p.fieldNames.clear();
    for (const QByteArray& name : r.StringList())
        p.fieldNames.append(TAnsi::ToUnicode(name));
    if (p.version == TrbIndexProperties::LegacyFlagVersion)
        r.Boolean();
    p.indexFieldName = TAnsi::ToUnicode(r.String());
    p.minWordLen = r.Integer();
    p.omitList = r.StringList();
    p.segmentSize = r.Integer();
    p.wordDelims = r.String();
    p.ansi = r.Boolean();
    p.phrasePairs = p.version >= TrbIndexProperties::PhrasePairVersion ? r.Boolean() : false;
    return p;
}
