#pragma once
// TrbPropertiesBlock: the index properties a full build saves in the words
// table's properties row, so that the update and search engines split text
// and address records exactly as the build did. The byte layout is described
// at the top of PropertiesBlock.cpp.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QStringList>

// The content of a properties block.
struct TrbIndexProperties {
    static constexpr int CurrentVersion = 2120;
    // The one version whose blocks carry an extra boolean after the field list.
    static constexpr int LegacyFlagVersion = 200;
    // Blocks from this version on end with the phrase-pair flag.
    static constexpr int PhrasePairVersion = 2040;

    int version = CurrentVersion;
    int wordSize = 32;               // the writer's word size; read and ignored
    QStringList fieldNames;          // the text link's fields, in order
    QString indexFieldName;          // the record number field ("FTSNO")
    int minWordLen = 1;
    QList<QByteArray> omitList;      // stop words, folded (Windows-1252)
    int segmentSize = 0;             // 0: not segmented
    QByteArray wordDelims;           // caret notation (Windows-1252)
    bool ansi = true;
    bool phrasePairs = false;        // only stored from PhrasePairVersion on

    bool operator==(const TrbIndexProperties&) const = default;
};

class TrbPropertiesBlock {
public:
    // The block of `properties`. The omit words are written folded; the extra
    // boolean of version 200 is written False; the phrase-pair flag only from
    // version 2040 on.
    static QByteArray Write(const TrbIndexProperties& properties);
    // Reads a block. An empty block, an unknown tag where a value of the
    // expected kind must stand, or a block cut short raises EQuelvan 30495
    // "Properties not found". Bytes after the last value are ignored.
    static TrbIndexProperties Read(QByteArrayView block);
};
