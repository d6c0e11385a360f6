#pragma once
// What every command of movarix-cli gets, and how commands are listed.
// A command is one function; main.cpp holds the table of them.

#include "platform/Folders.h"
#include "platform/MovarixError.h"

#include <QStringList>

class TUserInterface;

struct TCliContext {
    TFolders folders;
    TUserInterface& ui;
    QStringList args; // the words after the command name
};

// Wrong use of a command: movarix-cli prints the usage and exits with 2.
class EUsage : public EMovarixError {
public:
    using EMovarixError::EMovarixError;
};

using TCliHandler = int (*)(TCliContext&);

struct TCliCommand {
    const char* name;
    const char* usage;
    TCliHandler run;
};

// Prints one line to standard output.
void PrintLine(const QString& line);

// The commands, each in the file of its subject.
int CmdInit(TCliContext& context);
int CmdInfo(TCliContext& context);
int CmdGet(TCliContext& context);
int CmdSet(TCliContext& context);
int CmdAdd(TCliContext& context);
int CmdEdit(TCliContext& context);
int CmdDelete(TCliContext& context);
int CmdList(TCliContext& context);
int CmdDuplicate(TCliContext& context);
int CmdImport(TCliContext& context);
int CmdDemo(TCliContext& context);
int CmdSearch(TCliContext& context);
int CmdExport(TCliContext& context);
int CmdWords(TCliContext& context);
int CmdReindex(TCliContext& context);
int CmdWordRows(TCliContext& context);
