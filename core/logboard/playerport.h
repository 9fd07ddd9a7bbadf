#pragma once

#include "core/logboard/logboardplayer.h"

class Connection;
class PortWriter;

// The players' way to port 1: the port writer's writes of at most 64 bytes,
// with its "COM port error" and offline on a failure. A run that finds the
// connection gone offline (the user pressed Offline while the run let the
// window work) ends quietly, as a command does, instead of reporting an error
// for a port the user closed.
LogBoardPlayer::WriteBytes playerPort(Connection &connection, PortWriter &writer);
// STOP's way to end a line's write that the port does not take.
LogBoardPlayer::AbandonWrite playerAbandon(PortWriter &writer);
