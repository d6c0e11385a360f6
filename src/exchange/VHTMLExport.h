#pragma once
// The HTML writer: one table with a caption row and one row per record,
// styled by a generated style sheet (inside the page or in a file of its
// own) whose colours come from one of ten colour templates or from the
// caller. A long export can be split into pages of MaxRecords records each
// (Liste01.htm, Liste02.htm, …) with an optional index page under FileName.
// The colours can be saved to and loaded from a template file (".htf").
//
// Template file (INI-style, Windows-1252, CR LF):
//   [HTML options]   Background-color, Font-color, Font-family, LinkColor,
//                    VLinkColor, ALinkColor
//   [Table options]  Header-bgcolor, Header-color, Table-color,
//                    Even_row-bgcolor, Odd_row-bgcolor, Border-color
// Colours are written "0x" + the stored 0x00BBGGRR value in lower-case hex,
// at least six digits; reading also accepts decimal numbers. A key that is
// missing or unreadable keeps the current value.
//
// Execute returns true at a normal end and false after a stop.

#include "exchange/ExportStyle.h"
#include "exchange/VExport.h"

#include <memory>
#include <vector>

class TVExportStream;

struct THTMLOptions {
    enum TDefaultOption { doFontName = 1, doFontSize = 2 };

    TColor BackgroundColor = TExportColor::White;
    QString BackgroundFileName;
    TColor LinkColor = 0;
    TColor VLinkColor = 0;
    TColor ALinkColor = 0;
    TExportFont TextFont;
    QStringList AdvancedAttributes; // kept for the dialog; not written
    // Font properties left to the browser (not written): doFontSize by default.
    int DefaultOptions = doFontSize;
};

struct TTableOptions {
    int Border = 1;
    int CellPadding = 4;
    int CellSpacing = 1;
    QStringList AdvancedAttributes; // kept for the dialog; not written
    TColor HeadersRowBgColor = 0;
    TColor HeadersRowFontColor = 0;
    TColor TableBgColor = 0;
    TColor TableFontColor = 0;
    TColor OddRowBgColor = 0;
    TColor BorderColor = TExportColor::White;
};

class TVHTMLExport : public TVExport {
public:
    enum class THTMLTemplate { htCustom, htBW, htClassic, htColorFul, htGray, htMS_Money, htMurky, htOlive, htPlain, htSimple };
    enum class TUsingCSS { usInternal, usExternal };
    using TGetHTMLCellParamsEvent = std::function<void(TVExport& sender, const TExportField& field, TCellAlign& align,
                                                       TExportFont& font, TColor& background)>;

    TVHTMLExport();
    ~TVHTMLExport() override;

    THTMLOptions& HTMLOptions() { return htmlOptions_; }
    TTableOptions& TableOptions() { return tableOptions_; }
    THTMLTemplate HTMLTemplate() const { return template_; }
    // Applies the template's colours (htCustom keeps them); setting the
    // template the writer already has does nothing.
    void SetHTMLTemplate(THTMLTemplate value);
    TUsingCSS UsingCSS() const { return usingCSS_; }
    void SetUsingCSS(TUsingCSS value) { usingCSS_ = value; }
    const QString& CSSFileName() const { return cssFileName_; }
    void SetCSSFileName(const QString& value) { cssFileName_ = value; }
    // "column display name=keyword": L/LEFT/ALLEFT, R/RIGHT/ALRIGHT, C/CENTER/ALCENTER.
    QStringList& ColumnsAllign() { return columnsAllign_; }
    int MaxRecords() const { return maxRecords_; }
    void SetMaxRecords(int value) { maxRecords_ = qMax(0, value); }
    bool GenerateIndex() const { return generateIndex_; }
    void SetGenerateIndex(bool value) { generateIndex_ = value; }
    bool BoolAsCheckBox() const { return boolAsCheckBox_; }
    void SetBoolAsCheckBox(bool value) { boolAsCheckBox_ = value; }

    TGetHTMLCellParamsEvent OnGetHTMLCellParams;

    // The display names of the templates, in the order of THTMLTemplate.
    static QStringList TemplateNames();

    void SaveTemplate(const QString& fileName) const;
    void LoadTemplate(const QString& fileName);

    bool Execute() override;
    void EscapeText(const QString& source, QString& result) override;
    void DoStopExport() override;

    // The file of page k (from 1) of an export to fileName.
    static QString PageFileName(const QString& fileName, int page);

private:
    QStringList StyleLines() const;
    QStringList FontLines(int indent) const;
    void OpenPage();
    void ClosePage();
    void WriteRow();
    void WriteIndexPage();
    void WriteStyleReference(TVExportStream& out);

    THTMLOptions htmlOptions_;
    TTableOptions tableOptions_;
    THTMLTemplate template_ = THTMLTemplate::htCustom;
    TUsingCSS usingCSS_ = TUsingCSS::usInternal;
    QString cssFileName_;
    QStringList columnsAllign_;
    int maxRecords_ = 0;
    bool generateIndex_ = false;
    bool boolAsCheckBox_ = false;

    // per run
    std::unique_ptr<TVExportStream> page_;
    QList<int> fields_;
    std::vector<TCellAlign> aligns_;
    QStringList styleLines_;
    QStringList pageFiles_;
    int rowsOnPage_ = 0;
    bool cssWritten_ = false;
};
