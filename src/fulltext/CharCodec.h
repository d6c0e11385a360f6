#pragma once
// TrbCharCodec: the text coding of a words table's optional "rbChar" column,
// which holds the bytes of a bit record that follow those in "rbBytes" as
// printable characters. The layout is described at the top of CharCodec.cpp.
// Tables made by this program have no such column; existing ones are read.

#include <QByteArray>
#include <QByteArrayView>

class TrbCharCodec {
public:
    // Every 3 bytes become 4 characters; a final short group is padded with
    // zero bytes.
    static QByteArray Encode(QByteArrayView raw);
    // The bytes of an encoded text: floor(3 * length / 4) of them (padding of
    // the last group included). A character outside the code raises EQuelvan
    // 30477.
    static QByteArray Decode(QByteArrayView text);
    // Raw bytes a column of `columnSize` characters can carry: three quarters.
    static int Capacity(int columnSize);
};
