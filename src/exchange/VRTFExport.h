#pragma once
// The RTF writer: a Rich Text document holding one table, an optional
// caption row and one row per record, with cell borders, column widths from
// the caption widths, right-aligned numbers and per-cell fonts and colours.
//
//   {\rtf1\ansi\deff0\deftab720
//   {\fonttbl{\f0\fnil Arial;}{\f1\fnil Arial;}}
//   {\colortbl\red0\green0\blue0;}
//   \f1\fs20
//   …
//   \pard
//   \par
//   }
//
// Fonts and colours that cells ask for are added to the tables already
// written (inserted before their closing braces).
//
// Text values are escaped for RTF: "\" "{" "}" get a backslash, a line
// break becomes \line; other characters are written as Windows-1252 bytes.
//
// Execute returns true at a normal end and false after a stop.

#include "exchange/ExportStyle.h"
#include "exchange/VExport.h"

#include <memory>

class TVExportStream;

struct TRTFOptions {
    TExportFont DefaultFont;                        // data cells: Arial 10
    TExportFont HeaderFont = [] {                   // caption row: the same, bold
        TExportFont f;
        f.bold = true;
        return f;
    }();
};

class TVRTFExport : public TVExport {
public:
    using TGetRTFCellParamsEvent = std::function<void(TVExport& sender, const TExportField& field, TCellAlign& align,
                                                      TExportFont& font, TColor& background)>;

    TVRTFExport();
    ~TVRTFExport() override;

    TRTFOptions& RTFOptions() { return options_; }
    // "field name=width in characters"
    QStringList& ColumnsWidth() { return columnsWidth_; }
    TGetRTFCellParamsEvent OnGetRTFCellParams;

    bool Execute() override;
    void EscapeText(const QString& source, QString& result) override;
    void DoStopExport() override;

    // The width of a text in a font on the screen, in pixels (an estimate
    // from the point size when there is no screen).
    static int TextWidth(const TExportFont& font, const QString& text);

private:
    class TRTF;
    void WriteEnd();

    TRTFOptions options_;
    QStringList columnsWidth_;
    std::unique_ptr<TRTF> out_;
};
