#pragma once
// The XML writer: a data packet document with the field list (METADATA) and
// one empty ROW element per record whose attributes hold the values.
//
//   <?xml version="1.0" standalone="yes"?>
//   <DATAPACKET Version="2.0">
//   <METADATA>
//   <FIELDS>
//   <FIELD FieldName="Title" DisplayLabel="Title" FieldType="ftString" FieldClass="TStringField"/>
//   </FIELDS>
//   </METADATA>
//   <ROWDATA>
//   <ROW Title="Alien"/>
//   </ROWDATA>
//   </DATAPACKET>
//
// The file is Windows-1252. Without an encoding in the declaration a reader
// takes the file for UTF-8, so characters beyond ASCII are then written as
// character references (&#228;); with Encoding windows-1252 (or
// iso-8859-1 for the characters it has) they are written as they are.
// Line breaks and tabs inside values are written as references too, so that
// a reader gets them back from the attribute.
//
// Execute returns true at a normal end and false after a stop.

#include "exchange/VExport.h"

struct TXMLOptions {
    QString Version = QStringLiteral("1.0");
    QString Encoding;
    bool StandAlone = true;
};

class TVXMLExport : public TVExport {
public:
    TVXMLExport();

    TXMLOptions& XMLOptions() { return xmlOptions_; }

    bool Execute() override;
    void EscapeText(const QString& source, QString& result) override;

private:
    TXMLOptions xmlOptions_;
};
