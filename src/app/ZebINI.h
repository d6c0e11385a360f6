#pragma once
// TZebINI: the settings kept in an INI file. It finds the file, reads and
// writes single values by section and key, saves and restores the placement
// of the window that owns it, and raises two events in which the owner reads
// or writes its own values.
//
// Every operation opens the file, does its one job and closes it again; the
// component caches nothing, so two instances on the same file always see what
// the other wrote. Writes replace the file atomically and keep every other
// line (comments, unknown sections, order) as it stands.
//
// Reads return their default for a missing file, section or key. Write errors
// are not reported to the user; a write operation returns false when the file
// could not be written (or the section, key or value cannot be expressed in an
// INI line), and the file then stays as it was.

#include "app/FormPlacement.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// Which part of the owner's placement ReadINI and WriteINI restore and save.
enum class TSaveWinPos {
    swpNone,
    swpPosition,     // Top, Left and the window state
    swpSizePosition, // also Height and Width
};

// The four styles of a list view, kept in the file as "Icon", "SmallIcon",
// "List" and "Report".
enum class TViewStyle {
    vsIcon,
    vsSmallIcon,
    vsList,
    vsReport,
};

// One column of a list view as INISaveColumns/INILoadColumns keep it.
struct TListColumn {
    QString caption;
    int width = 0;
};

class TZebINI {
public:
    using TNotifyEvent = std::function<void(TZebINI& sender)>;

    // name: the component's name, which Caption falls back to.
    // executableFolder: where a bare file name is looked for.
    // owner: the window whose placement ReadINI/WriteINI handle; may be null,
    // then they only raise their events.
    TZebINI(const QString& name, const QString& executableFolder, TFormPlacement* owner = nullptr);

    const QString& Name() const { return name_; }
    TFormPlacement* Owner() const { return owner_; }

    // Prefix of the window-position keys. Empty by default; ReadINI and
    // WriteINI set it to Name() when they find it empty.
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption) { caption_ = caption; }

    // The file name as set ("Default.INI" when set empty). A value with a
    // path separator ("/", or "\" as in Windows paths) is taken as the path
    // itself; otherwise the file lies in the executable's folder.
    const QString& INIFileName() const { return iniFileName_; }
    void SetINIFileName(const QString& fileName);
    // The path every operation works on, resolved when INIFileName is set.
    const QString& FullPath() const { return fullPath_; }

    TSaveWinPos SaveWinPos() const { return saveWinPos_; }
    void SetSaveWinPos(TSaveWinPos mode) { saveWinPos_ = mode; }

    TNotifyEvent OnReadINI;  // raised at the end of ReadINI
    TNotifyEvent OnWriteINI; // raised at the end of WriteINI

    // Restores the owner's placement, then raises OnReadINI.
    void ReadINI();
    // Saves the owner's placement, then raises OnWriteINI.
    void WriteINI();

    // "1"/"0" as written; "true"/"false" in any letter case are accepted too.
    // Anything else, or an absent key, gives the default.
    bool INIReadBool(const QString& section, const QString& key, bool defaultValue) const;
    bool INIWriteBool(const QString& section, const QString& key, bool value);

    // A ";" within the first 255 characters starts a comment, which is cut
    // together with the blanks before it; the rest must be a decimal 32-bit
    // integer, else the default is returned.
    int INIReadInteger(const QString& section, const QString& key, int defaultValue) const;
    bool INIWriteInteger(const QString& section, const QString& key, int value);

    // The value without leading and trailing blanks; a present but empty
    // value reads as empty, an absent key as the default.
    QString INIReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    bool INIWriteString(const QString& section, const QString& key, const QString& value);

    // Section "WinPos", keys caption + "_Top", "_Left", "_Height", "_Width",
    // "_WindowState". Loading without that section lets the window open
    // centred on the screen; a stored state other than 0, 1, 2 is normal.
    void INILoadWinPos(const QString& caption, TFormPlacement& form, TSaveWinPos mode) const;
    // Saves the state, and the position (and size) only while the window is
    // normal, so that a minimised or maximised window keeps the normal
    // placement saved earlier.
    bool INISaveWinPos(const QString& caption, const TFormPlacement& form, TSaveWinPos mode);

    // Every write is on disk when it returns, so there is nothing to flush.
    void INIFlush();

    // True when the file has a header line for the section, even if the
    // section holds no key.
    bool INISectionExists(const QString& section) const;
    // Removes the section with all its lines (every copy, when the file holds
    // the same section more than once).
    bool INIEraseSection(const QString& section);
    bool INIDeleteKey(const QString& section, const QString& key);

    // Clears the list, reads the count "Anzahl" (default 0) and, when it is
    // not negative, appends the values of the keys "0" up to and including
    // the count, each with the default "Leer". A count above one million is
    // taken for a damaged file and leaves the list empty.
    void INIReadItems(const QString& section, QStringList& list) const;
    // The key names of the section as written in the file, in file order.
    void INIReadSection(const QString& section, QStringList& keys) const;
    // "key=value" for each key of the section, in file order.
    void INIReadSectionValues(const QString& section, QStringList& lines) const;

    // Keys prefix + "_Name", "_Size" (points), "_Color" (0x00BBGGRR as a
    // decimal integer) and "_Style" (the letters "B", "I", "U", "S").
    // Loading starts from the current values and replaces those found.
    bool INISaveFont(const QString& section, const QString& prefix, const QFont& font, const QColor& color);
    void INILoadFont(const QString& section, const QString& prefix, QFont& font, QColor& color) const;

    // Keys prefix + "Colum_" + column number from 0, value caption + "|" +
    // width. Loading sets the widths, and the captions when withCaptions is
    // true, of the columns given; absent keys leave their column unchanged.
    bool INISaveColumns(const QString& section, const QString& prefix, const std::vector<TListColumn>& columns);
    void INILoadColumns(const QString& section, const QString& prefix, std::vector<TListColumn>& columns,
                        bool withCaptions) const;

    // Any text but the four style names (compared without regard to case),
    // or an absent key, reads as vsSmallIcon.
    TViewStyle INIReadViewStyle(const QString& section, const QString& key) const;
    bool INIWriteViewStyle(const QString& section, const QString& key, TViewStyle style);

private:
    // The file's lines; empty when it is missing or cannot be read.
    QStringList ReadLines() const;
    // Loads the lines, lets change() edit them and writes them back when they
    // differ. Fails without touching the file when it exists but cannot be
    // read, or when it cannot be written.
    bool Change(const std::function<void(QStringList&)>& change);

    QString name_;
    QString executableFolder_; // with a trailing "/"
    TFormPlacement* owner_;    // not owned
    QString caption_;
    QString iniFileName_;
    QString fullPath_;
    TSaveWinPos saveWinPos_ = TSaveWinPos::swpNone;
};
