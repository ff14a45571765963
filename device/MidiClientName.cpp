#include "MidiClientName.h"

#include <atomic>

namespace
{
std::atomic<const char*> clientName{"quillet"};
}

void setMidiClientName(const char* name)
{
    clientName = name;
}

const char* quilletMidiClientName()
{
    return clientName;
}
