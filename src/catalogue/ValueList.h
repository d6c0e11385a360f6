#pragma once
// One editable value list: the item list of a page combo box and, where the
// grid has an editor box for the same field, the grid editor's own item
// list, both kept in one value-list file in the program folder (one item per
// line, Windows-1252, written whole). A typed value that is not yet an item
// joins the list of the box it was typed in, and that list is saved.

#include <QString>
#include <QStringList>

class TValueList {
public:
    TValueList(QString field, QString fileName, QStringList designItems, QStringList defaults, bool hasGridBox);

    const QString& Field() const { return field_; }
    const QString& FileName() const { return fileName_; }
    bool HasGridBox() const { return hasGridBox_; }
    const QStringList& PageItems() const { return pageItems_; }
    const QStringList& GridItems() const { return gridItems_; }

    // At start: the page box takes the file's lines when the file exists.
    void LoadAtStart(const QString& programFolder);
    // A box of the row gains the focus: an empty page list is filled from
    // the file, or both lists from the defaults when there is no file.
    void Enter(const QString& programFolder);
    // A box of the row loses the focus or closes its drop-down list (CloseUp
    // does the same): each box's text that is not an item of its own list
    // joins that list, which is then written to the file — page box first,
    // grid box last. Returns true when something was written. Write errors
    // reach the caller as EMovarixError.
    bool Exit(const QString& programFolder, const QString& pageText, const QString& gridText = QString());
    bool CloseUp(const QString& programFolder, const QString& pageText, const QString& gridText = QString()) {
        return Exit(programFolder, pageText, gridText);
    }

    // The file of this row in the folder: an existing file whose name matches
    // without regard to case, else the name as given.
    QString FilePath(const QString& programFolder) const;

private:
    bool AddAndSave(const QString& programFolder, QStringList& items, const QString& text);

    QString field_;
    QString fileName_;
    QStringList defaults_;
    bool hasGridBox_;
    QStringList pageItems_;
    QStringList gridItems_;
};
