#pragma once

#include "core/module/commanddecoder.h"

#include <QList>

#include <bitset>

// The byte values one position of a command accepts.
using ByteRule = std::bitset<256>;

// One command the module knows: the bytes it reads as that command and the
// name the decoded-command list gives it. The decoder and commandName() both
// read these rows, so a new command is a row in commandtable.cpp (and its
// effect in moduleeffects.cpp). The sender's catalogue is deliberately not
// read here: the module checks the bytes the catalogue sends.
struct CommandSyntax
{
    ModuleOp op;
    const char *name;      // "Cursor set"
    QList<ByteRule> rules; // one per byte
    // What follows the name: the parameters as the list shows them (" x=23 y=5").
    QString (*parameters)(const DecodedCommand &command) = nullptr;
};

// Every row, in the order of ModuleOp, so that the row of an op is its index.
const QList<CommandSyntax> &commandTable();
