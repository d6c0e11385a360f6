#pragma once
// The dBASE writer: the records as a dBASE III table file (no memo file).
// Field names and typed columns are kept; captions, header and footer lines
// and the value formats are not used.
//
// File layout (little-endian; every byte not listed is 0):
//   offset 0     1 byte   version 3
//          1     3 bytes  date of the export: year - 1900, month, day
//          4     u32      number of records, kept up to date while writing
//          8     u16      header length = 32 × fields + 33
//         10     u16      record length = 1 + sum of the field lengths
//         12    20 bytes  zero
//         32    32 bytes per field, the field descriptors:
//                  0  11 bytes  name, upper case, at most 10 characters,
//                               padded with zero bytes
//                 11   1 byte   type letter C, N, L or D
//                 12   u32      position of the field's first byte in the
//                               record, 0 for the first field (the
//                               deletion flag not counted)
//                 16   1 byte   length
//                 17   1 byte   decimal count
//                 18  14 bytes  zero
//   after them   1 byte   0x0D, end of the header
//   then         the records: a deletion flag byte (a space), then each
//                field's bytes, exactly its length
//   end          1 byte   0x1A (only after a complete export)
//
// Types: string → C (its size, at most 254); small integer → N 6; integer
// and auto-increment → N 11; word → N 5; Boolean → L 1; float, currency,
// BCD → N 15.4; date, time, date-time → D 8; anything else → C 10.
// Values: C left-aligned and cut, N right-aligned (floating values with four
// decimals and a point), D as yyyymmdd, L as T, F or a space; NULL is all
// spaces. A number too long for its field is written as asterisks, a date
// that cannot be read as spaces; a memo gives the start of its text (line
// breaks as spaces), a picture or other blob spaces. Field names keep
// letters, digits and "_" (other characters become "_"); a name that
// repeats an earlier one after cutting ends in a number instead.
//
// Execute returns true at a normal end and false after a stop.

#include "exchange/VExport.h"

#include <QDate>

class TVDBFExport : public TVExport {
public:
    TVDBFExport();

    // The date written into the header; the current date unless set (tests
    // and reproducible files set it).
    void SetFileDate(const QDate& date) { fileDate_ = date; }

    bool Execute() override;

    struct TFieldDescriptor {
        QByteArray name; // at most 10 bytes
        char type = 'C';
        int position = 0;
        int length = 0;
        int decimals = 0;
        int fieldIndex = 0; // in the data set
    };

private:
    QByteArray ValueBytes(const TExportField& field, const TFieldDescriptor& descriptor) const;

    QDate fileDate_;
};
