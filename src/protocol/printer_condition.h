// What a receipt printer tells beside its drawer, where its commands let it: why it is offline
// and how its paper is. An offline printer (cover open, out of paper, an error) holds what it is
// sent, the drawer kick included, until it is back online: the usual reason why a drawer stays
// shut although the kick went out.
#pragma once

#include <string>

namespace protocol {

struct PrinterCondition {
    bool offline = false;  // the printer says so, whatever the cause
    bool coverOpen = false;
    bool paperOut = false;    // printing stopped at the paper's end
    bool paperLow = false;    // the roll is near its end
    bool feedButton = false;  // paper being fed by the feed button
    bool error = false;       // a mechanical, cutter or other error

    // Offline for any cause it tells.
    bool isOffline() const { return offline || coverOpen || paperOut || feedButton || error; }
    // "the printer is offline (cover open): it will not open the drawer until it is back
    // online", "paper is running low", both with "; " between; empty for nothing to tell.
    std::string sentence() const;
    // What a reply said, in a few words for the wire log: "cover open", "online".
    std::string summary() const;
};

// What a simulated printer is in: its drawer (the one the kick connector reads) and its
// condition.
struct PrinterState {
    bool drawerOpen = false;
    PrinterCondition condition;
};

}  // namespace protocol
