#pragma once
// Shared helpers of the index tests: a real catalogue in a temporary folder,
// deterministic records, a plain reference of which records hold which word
// (straight from the word parser, not through the engines), and the contents
// of a words table read back row by row.

#include "store/AdsTable.h"
#include "support/RecordingUserInterface.h"
#include "support/TempFolder.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <map>
#include <set>
#include <vector>

// word -> record numbers (FTSNo) that contain it
using TWordRecords = std::map<QByteArray, std::set<int>>;

class TIndexFixture {
public:
    TIndexFixture();
    ~TIndexFixture();

    TTempFolder folder;
    TRecordingUserInterface ui;
    TAdsTable catalogue;

    // Inserts one film record with the given field values; returns its FTSNo.
    int AddRecord(const std::map<QString, QVariant>& values);
    // Inserts `count` generated records (one transaction); seed picks the text.
    void AddGeneratedRecords(int count, unsigned seed);
    // The field values of a generated record.
    static std::map<QString, QVariant> GeneratedRecord(unsigned seed, int number);

    // Word -> records, computed from the catalogue's records by the word
    // parser with the program's word rules.
    TWordRecords Reference();
    // Word -> records as the words table in the folder stores them. Checks
    // each row's rbCount and rbSize against its record on the way.
    TWordRecords StoredIndex();
    // Beeps the user interface has heard.
    int Beeps() const { return int(ui.calls.count(QStringLiteral("beep"))); }
};
