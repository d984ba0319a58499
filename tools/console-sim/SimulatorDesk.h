// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SimulatorShow.h"
#include "osc/OSCMessage.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pexlora::sim {

struct DeskOptions {
    int oscUser = 1;                   // whom plain "/eos/cmd" and the like act as
    bool setChans = true;              // whether "/eos/set/group/<n>/chans" is in the dictionary
    std::optional<int> losePatchReply; // never answers this patch index
};

// What one message to the desk makes it send, and to whom.
struct DeskOutput {
    std::vector<OSCMessage> reply;       // to the connection that asked
    std::vector<OSCMessage> everyone;    // implicit output, to every connection
    std::vector<OSCMessage> subscribers; // change notices, to subscribed connections
    std::optional<bool> subscribe;       // the asking connection subscribes or ends it
};

// The desk behind the simulator's sockets: its show, its users' command lines and
// selections and its levels. User 1 is the operator at the desk: its command line is
// "/eos/out/cmd" and its selection "/eos/out/active/chan".
class SimulatorDesk {
public:
    static constexpr int operatorUser = 1;

    SimulatorDesk(DeskOptions options, SimulatorShow show);

    DeskOutput take(const OSCMessage& message);
    // Another show file: every selection is cleared and the change announced.
    DeskOutput load(SimulatorShow show);

    const SimulatorShow& show() const { return m_show; }
    // Channel → level 0–100; a channel absent is at 0.
    const std::map<int, int>& levels() const { return m_levels; }

private:
    struct User {
        std::string commandLine;
        ChannelList selection;
    };

    void command(int user, std::string text, bool fresh, DeskOutput& out);
    // Each whether the operator's line of active channels changed with it.
    bool select(int user, ChannelList channels);
    bool setLevel(int user, int level);
    // Whether anything was recorded.
    bool recordGroup(int user, const std::string& number);
    void setGroup(std::string_view rest, const OSCMessage& message, DeskOutput& out);
    void groupChanged(const std::string& number, DeskOutput& out);
    void answerGet(std::string_view what, DeskOutput& out) const;
    void answerPatch(std::string_view what, DeskOutput& out) const;
    void answerGroup(std::string_view what, DeskOutput& out) const;
    OSCMessage activeChannels() const;
    int levelOf(int channel) const;

    DeskOptions m_options;
    SimulatorShow m_show;
    std::map<int, User> m_users;
    std::map<int, int> m_levels; // channel → level; absent is 0
    int m_sequence = 0;          // of the change notices
};

} // namespace pexlora::sim
