// The command channel on Windows, for now a stand-in: a second start finds no
// running program and starts a window of its own. The real one finds the
// running program's main frame with FindWindowW on its registered class and
// posts it a registered window message carrying the command id.

#include "platform/CommandChannel.h"

// The X event watch of the other systems; nothing to watch here.
class CGdkEventWatch {};

CCommandReceiver::CCommandReceiver() = default;

CCommandReceiver::~CCommandReceiver() = default;

bool CCommandReceiver::Listen(Handler onCommand) {
    m_fnOnCommand = std::move(onCommand);
    return true;
}

bool SendCommand(int, std::string& error) {
    error = "no running program found";
    return false;
}

EHandOver HandOver(int, const std::string&, int) {
    return EHandOver::NoProgram;
}
