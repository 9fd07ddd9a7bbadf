#include "core/logboard/playerport.h"

#include "core/session/connection.h"
#include "core/transport/portwriter.h"

LogBoardPlayer::WriteBytes playerPort(Connection &connection, PortWriter &writer)
{
    return [&connection, &writer](QByteArrayView bytes) {
        if (!connection.comport_online())
            return false;
        return writer.write(bytes.toByteArray());
    };
}

LogBoardPlayer::AbandonWrite playerAbandon(PortWriter &writer)
{
    return [&writer] { writer.abandon(); };
}
