#pragma once
// Where the program keeps its files. The program folder holds the catalogue
// and every data file; the "Windows folder" holds the settings file. Both are
// held with a trailing "/".
//
// Program folder: --data-dir DIR, else $MOVARIX_DATA, else the executable's
// folder when it holds DVD.ADT or a file named "portable", else
// $XDG_DATA_HOME/movarix/ (~/.local/share/movarix/).
// Windows folder: --config-dir DIR, else $MOVARIX_CONFIG, else
// $XDG_CONFIG_HOME (~/.config/).

#include <QString>

class TFolders {
public:
    struct TChoice {
        QString dataDirFlag;   // value of --data-dir, empty when not given
        QString configDirFlag; // value of --config-dir, empty when not given
    };

    // Resolves both folders from the flags, the environment and the folder of
    // the executable. Does not create anything.
    TFolders(const TChoice& choice, const QString& executableDir);

    const QString& ProgramFolder() const { return programFolder_; }
    const QString& WindowsFolder() const { return windowsFolder_; }
    // The settings file "Talmer-DVD.ini" in the Windows folder.
    QString SettingsFile() const { return windowsFolder_ + QStringLiteral("Talmer-DVD.ini"); }

    // Creates the program folder (and its parents) when it is missing.
    // Throws EMovarixError when that is impossible.
    void EnsureProgramFolder() const;

    // The path with exactly one trailing "/".
    static QString WithTrailingSlash(const QString& path);

private:
    QString programFolder_;
    QString windowsFolder_;
};
