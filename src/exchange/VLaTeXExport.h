#pragma once
// The LaTeX writer: a document with one tabular, a caption row in bold and
// one row per record, every cell framed.
//
//   \documentclass[a4paper]{article}
//   \usepackage[cp1252]{inputenc}
//   \usepackage[english]{babel}
//   \begin{document}
//
//   \par\bigskip
//   \begin{tabular}{|l|r|}
//   \hline
//   …
//   \end{tabular}
//
//   \end{document}
//
// Text is escaped for text mode: # $ % & _ { } get a backslash, the
// backslash, ~ and ^ become \textbackslash{}, \textasciitilde{} and
// \textasciicircum{}, line breaks inside a value become spaces (a cell of
// the tabular holds one line).
//
// Execute returns true at a normal end and false after a stop.

#include "exchange/VExport.h"

struct TLaTeXOptions {
    enum class TLaTeXVersion { LaTeX209, LaTeX2e };
    enum class TDocumentStyle { dsArticle, dsBook };

    TLaTeXVersion LaTeXVersion = TLaTeXVersion::LaTeX2e;
    TDocumentStyle DocumentStyle = TDocumentStyle::dsArticle;
    QString DocumentParams = QStringLiteral("a4paper");
    int CodePage = 1252; // the code page of the text we write
    QString Languages = QStringLiteral("english");
};

class TVLaTeXExport : public TVExport {
public:
    TVLaTeXExport();

    TLaTeXOptions& LaTeXOptions() { return options_; }
    // A code page of 0 or less stands for the one we write, 1252.
    void SetCodePage(int codePage) { options_.CodePage = codePage > 0 ? codePage : 1252; }
    QStringList& Preambula() { return preambula_; }

    bool Execute() override;
    void EscapeText(const QString& source, QString& result) override;
    void DoStopExport() override;

private:
    void WriteEnd();

    TLaTeXOptions options_;
    QStringList preambula_;
    class TVExportStream* out_ = nullptr;
};
