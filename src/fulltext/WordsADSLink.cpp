#include "fulltext/WordsADSLink.h"

#include "fulltext/BitRecord.h"
#include "fulltext/CharCodec.h"
#include "fulltext/Quelvan.h"
#include "platform/Ansi.h"
#include "store/AdsTable.h"
#include "store/Field.h"

#include <QFile>

#include <algorithm>

namespace {

QString TextOf(QByteArrayView bytes) {
    return TAnsi::ToUnicode(bytes.data(), bytes.size());
}

QByteArray Reversed(QByteArrayView word) {
    QByteArray out = word.toByteArray();
    std::reverse(out.begin(), out.end());
    return out;
}

} // namespace

TrbWordsADSLink::TrbWordsADSLink(TAdsTable& table) : table_(table) {}

QString TrbWordsADSLink::ColumnDefinition() const {
    QString def = QStringLiteral("rbWord,Char,%1;").arg(WordFieldSize());
    if (Segmented())
        def += QStringLiteral("rbSegment,ShortInt,2;");
    if (ReverseField())
        def += QStringLiteral("rbReverse,Char,%1;").arg(WordFieldSize());
    def += QStringLiteral("rbCount,Integer,4;");
    if (LikeFieldSize() > 0)
        def += QStringLiteral("rbLike,Char,%1;").arg(LikeFieldSize());
    def += QStringLiteral("rbSize,Integer,4;");
    if (BytesFieldSize() > 0)
        def += QStringLiteral("rbBytes,Raw,%1;").arg(BytesFieldSize());
    def += QStringLiteral("rbBlob,Blob,9");
    return def;
}

bool TrbWordsADSLink::Active() const {
    return table_.Active();
}

void TrbWordsADSLink::RequireActive() const {
    if (!table_.Active())
        EQuelvan::Raise(EQuelvan::WordsDatasetClosed);
}

void TrbWordsADSLink::Open() {
    if (table_.TableName().isEmpty())
        EQuelvan::Raise(EQuelvan::InvalidWordsDataSet);
    if (!table_.Active()) {
        try {
            table_.Open();
        } catch (const EQuelvan&) {
            throw;
        } catch (const EMovarixError&) {
            // A file the table layer cannot open is no words table.
            EQuelvan::Raise(EQuelvan::InvalidWordsDataSet);
        }
    }
    LookUpColumns();
    if (HasIndex(WordIndexName))
        table_.SetIndexName(QLatin1String(WordIndexName));
}

void TrbWordsADSLink::Close() {
    columns_ = {};
    propertiesRowAbsent_ = false;
    if (table_.Active())
        table_.Close();
}

void TrbWordsADSLink::LookUpColumns() {
    TColumns c;
    c.word = table_.FindField(QStringLiteral("rbWord"));
    c.segment = table_.FindField(QStringLiteral("rbSegment"));
    c.reverse = table_.FindField(QStringLiteral("rbReverse"));
    c.count = table_.FindField(QStringLiteral("rbCount"));
    c.like = table_.FindField(QStringLiteral("rbLike"));
    c.size = table_.FindField(QStringLiteral("rbSize"));
    c.bytes = table_.FindField(QStringLiteral("rbBytes"));
    c.chars = table_.FindField(QStringLiteral("rbChar"));
    c.blob = table_.FindField(QStringLiteral("rbBlob"));
    const bool bytesUsable = !c.bytes || c.bytes->DataType() == TFieldType::Raw;
    if (!c.word || !c.count || !c.size || !c.blob || !c.blob->IsBlob() || !bytesUsable) {
        table_.Close();
        EQuelvan::Raise(EQuelvan::InvalidWordsDataSet);
    }
    columns_ = c;
    SetSegmented(c.segment != nullptr);
    bytesSize_ = c.bytes ? c.bytes->Size() : 0;
    charSize_ = c.chars ? c.chars->Size() : 0;
    // The build's link keeps the sizes it was given for the next table it
    // creates; the others report the table's.
    if (!SizesWritable())
        TakeSizes(c.word->Size(), c.like ? c.like->Size() : 0, bytesSize_, charSize_, c.reverse != nullptr);
}

bool TrbWordsADSLink::HasIndex(const char* name) const {
    return table_.IndexNames().contains(QLatin1String(name), Qt::CaseInsensitive);
}

QString TrbWordsADSLink::MemoFilePath() const {
    QString path = table_.FullPath();
    path.chop(4);
    return path + QStringLiteral(".ADM");
}

// ---------------------------------------------------------------- build steps

void TrbWordsADSLink::PrepareBuild() {
    Close();
    table_.SetExclusive(true);
    const bool create = Params().Flag(TrbParams::CreateDataSet, true);
    if (create) {
        TAdsTable::DeleteTable(table_.FullPath());
        QFile::remove(MemoFilePath()); // a missing file counts as deleted
        TAdsTable::CreateTable(table_.FullPath(), ColumnDefinition(), /*durable*/ false);
    }
    Open();
    propertiesRowAbsent_ = create;
    if (Params().Flag(TrbParams::AddWordIndex, true) && Params().Flag(TrbParams::AddWordIndexAtStart, false))
        CreateWordIndex();
    // Rows are appended in natural order while building.
    table_.SetIndexName(QString());
}

void TrbWordsADSLink::CreateWordIndex() {
    if (HasIndex(WordIndexName))
        return;
    const QString key = Segmented() ? QStringLiteral("rbWord;rbSegment") : QStringLiteral("rbWord");
    table_.CreateIndex({QLatin1String(WordIndexName), key, QString(), true});
}

void TrbWordsADSLink::AddIndexes() {
    RequireActive();
    if (Params().Flag(TrbParams::AddWordIndex, true))
        CreateWordIndex();
    if (columns_.like && Params().Flag(TrbParams::AddLikeIndex, true) && !HasIndex(LikeIndexName))
        table_.CreateIndex({QLatin1String(LikeIndexName), QStringLiteral("rbLike;rbWord"), QString(), false});
    if (columns_.reverse && Params().Flag(TrbParams::AddReverseIndex, true) && !HasIndex(ReverseIndexName))
        table_.CreateIndex({QLatin1String(ReverseIndexName), QStringLiteral("rbReverse"), QString(), false});
}

void TrbWordsADSLink::FinishBuild() {
    Close();
    table_.SetExclusive(false);
    Open();
}

void TrbWordsADSLink::DiscardTable() {
    Close();
    table_.SetExclusive(false);
    TAdsTable::DeleteTable(table_.FullPath());
    QFile::remove(MemoFilePath());
}

void TrbWordsADSLink::BeginWrites() {
    RequireActive();
    table_.BeginTransaction();
}

void TrbWordsADSLink::EndWrites(bool commit) {
    if (!table_.InTransaction())
        return;
    if (commit)
        table_.Commit();
    else
        table_.Rollback();
}

void TrbWordsADSLink::BeginReads() {
    if (table_.Active())
        table_.BeginReads();
}

void TrbWordsADSLink::EndReads() {
    table_.EndReads();
}

// ---------------------------------------------------------------- rows

void TrbWordsADSLink::SetIndexMode(TIndexMode mode) {
    RequireActive();
    switch (mode) {
    case TIndexMode::Word:
        table_.SetIndexName(HasIndex(WordIndexName) ? QLatin1String(WordIndexName) : QString());
        break;
    case TIndexMode::Like:
        if (!columns_.like || !HasIndex(LikeIndexName))
            EQuelvan::Raise(EQuelvan::LikeNotAvailable);
        table_.SetIndexName(QLatin1String(LikeIndexName));
        break;
    case TIndexMode::Reverse:
        if (!columns_.reverse || !HasIndex(ReverseIndexName))
            EQuelvan::Raise(EQuelvan::ReverseNotAvailable);
        table_.SetIndexName(QLatin1String(ReverseIndexName));
        break;
    }
}

bool TrbWordsADSLink::FindWord(QByteArrayView word, int segment) {
    RequireActive();
    if (table_.IndexName().compare(QLatin1String(WordIndexName), Qt::CaseInsensitive) != 0) {
        if (!HasIndex(WordIndexName))
            return ScanForWord(word, segment);
        table_.SetIndexName(QLatin1String(WordIndexName));
    }
    QVariantList key{TextOf(word)};
    if (columns_.segment && segment >= 0)
        key.append(segment);
    return table_.FindKey(key);
}

bool TrbWordsADSLink::ScanForWord(QByteArrayView word, int segment) {
    const qint64 before = table_.RecNo();
    for (table_.First(); !table_.Eof(); table_.Next()) {
        if (Word() != word)
            continue;
        if (!columns_.segment || segment < 0 || Segment() == segment)
            return true;
    }
    if (before > 0)
        table_.GotoRecNo(before);
    return false;
}

void TrbWordsADSLink::FindPrefix(QByteArrayView prefix) {
    RequireActive();
    table_.FindNearest({TextOf(prefix)});
}

void TrbWordsADSLink::First() {
    RequireActive();
    table_.First();
}

void TrbWordsADSLink::Next() {
    RequireActive();
    table_.Next();
}

void TrbWordsADSLink::Prior() {
    RequireActive();
    table_.Prior();
}

bool TrbWordsADSLink::Eof() const {
    RequireActive();
    return table_.Eof();
}

void TrbWordsADSLink::Insert() {
    RequireActive();
    table_.Insert();
}

void TrbWordsADSLink::Edit() {
    RequireActive();
    table_.Edit();
}

void TrbWordsADSLink::Delete() {
    RequireActive();
    table_.Delete();
}

void TrbWordsADSLink::Cancel() {
    RequireActive();
    table_.Cancel();
}

void TrbWordsADSLink::Post() {
    RequireActive();
    const bool inserting = table_.State() == TAdsTable::TState::Insert;
    table_.Post();
    inserting ? CountInsert() : CountEdit();
    CallAfterPost();
}

void TrbWordsADSLink::SetWord(QByteArrayView word) {
    RequireActive();
    columns_.word->SetAsBytes(word.toByteArray());
    if (columns_.reverse)
        columns_.reverse->SetAsBytes(Reversed(word));
}

void TrbWordsADSLink::SetSegment(int segment) {
    RequireActive();
    if (columns_.segment)
        columns_.segment->SetAsInteger(segment);
}

void TrbWordsADSLink::SetLike(QByteArrayView key) {
    RequireActive();
    if (columns_.like)
        columns_.like->SetAsBytes(key.toByteArray());
}

void TrbWordsADSLink::WriteRecord(QByteArrayView stored) {
    RequireActive();
    const TrbBitRecord::THeader header = TrbBitRecord::ReadHeader(stored);
    const qsizetype size = stored.size();
    const qsizetype inBytes = std::min<qsizetype>(size, bytesSize_);
    const qsizetype inChars = std::min<qsizetype>(size - inBytes, TrbCharCodec::Capacity(charSize_));
    columns_.count->SetAsInteger(static_cast<int>(header.count));
    columns_.size->SetAsInteger(static_cast<int>(size));
    if (columns_.bytes) {
        QByteArray bytes = stored.first(inBytes).toByteArray();
        bytes.resize(bytesSize_, '\0');
        columns_.bytes->SetAsBytes(bytes);
    }
    if (columns_.chars)
        columns_.chars->SetAsBytes(TrbCharCodec::Encode(stored.sliced(inBytes, inChars)));
    // A shorter record than before leaves no stale blob behind.
    columns_.blob->SetAsBytes(stored.sliced(inBytes + inChars).toByteArray());
}

QByteArray TrbWordsADSLink::Word() const {
    RequireActive();
    return columns_.word->AsBytes();
}

int TrbWordsADSLink::Segment() const {
    RequireActive();
    return columns_.segment ? columns_.segment->AsInteger() : 0;
}

int TrbWordsADSLink::Count() const {
    RequireActive();
    return columns_.count->AsInteger();
}

int TrbWordsADSLink::Size() const {
    RequireActive();
    return columns_.size->AsInteger();
}

QByteArray TrbWordsADSLink::ReadRecord(qsizetype capacity) const {
    RequireActive();
    const int size = columns_.size->AsInteger();
    const QByteArray bytes = columns_.bytes ? columns_.bytes->AsBytes() : QByteArray();
    const QByteArray blob = columns_.blob->AsBytes();
    if (!columns_.chars)
        return TrbBitRecord::JoinFromRow(size, bytes, blob, bytesSize_, capacity);
    // With an "rbChar" column the record is rbBytes, then the decoded
    // characters, then the blob.
    const int charCapacity = TrbCharCodec::Capacity(charSize_);
    const int inBytes = std::min(std::max(size, 0), bytesSize_);
    const int inChars = std::min(std::max(size - inBytes, 0), charCapacity);
    const QByteArray chars = TrbCharCodec::Decode(columns_.chars->AsBytes());
    if (chars.size() < inChars)
        EQuelvan::Raise(EQuelvan::InvalidBlockSize);
    QByteArray front = bytes.first(std::min<qsizetype>(bytes.size(), inBytes));
    front.resize(bytesSize_, '\0');
    front.append(chars.first(inChars));
    // The characters act as a longer "rbBytes" column.
    return TrbBitRecord::JoinFromRow(size, front, blob, bytesSize_ + inChars, capacity);
}

// ---------------------------------------------------------------- properties

TrbIndexProperties TrbWordsADSLink::ReadProperties(std::optional<int>* minIndex) {
    RequireActive();
    if (!FindWord(PropertiesWord(), 0))
        EQuelvan::Raise(EQuelvan::PropertiesNotFound);
    const TrbIndexProperties properties = TrbPropertiesBlock::Read(columns_.blob->AsBytes());
    if (minIndex) {
        if (columns_.count->IsNull())
            minIndex->reset();
        else
            *minIndex = columns_.count->AsInteger();
    }
    return properties;
}

void TrbWordsADSLink::WriteProperties(const TrbIndexProperties& properties, std::optional<int> minIndex) {
    RequireActive();
    if (!propertiesRowAbsent_ && FindWord(PropertiesWord(), 0)) {
        table_.Edit();
    } else {
        table_.Insert();
        SetWord(PropertiesWord());
        SetSegment(0);
    }
    if (minIndex)
        columns_.count->SetAsInteger(*minIndex);
    else
        columns_.count->Clear();
    columns_.size->SetAsInteger(0);
    columns_.blob->SetAsBytes(TrbPropertiesBlock::Write(properties));
    Post();
    propertiesRowAbsent_ = false;
}
