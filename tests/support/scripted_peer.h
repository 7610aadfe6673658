// A far end for the fake's lines that answers every request with the bytes a test gives it
// (0xFF, two bytes, nothing), whatever else it is sent.
#pragma once

#include <algorithm>
#include <string>

#include "devices/device.h"

namespace support {

class ScriptedPeer final : public devices::Device {
public:
    ScriptedPeer(devices::Bytes request, devices::Bytes reply)
        : Device(0), m_request(std::move(request)), m_reply(std::move(reply)) {}

    std::string description() const override { return "a scripted peer"; }
    devices::ModemLines modemLines() const override { return {.cts = true, .dsr = true}; }

protected:
    devices::Bytes onByte(std::uint8_t byte, devices::Time) override {
        m_tail.push_back(byte);
        if (m_tail.size() > m_request.size())
            m_tail.erase(m_tail.begin());
        if (m_tail != m_request)
            return {};
        m_tail.clear();
        return m_reply;
    }

private:
    devices::Bytes m_request;
    devices::Bytes m_reply;
    devices::Bytes m_tail;
};

}  // namespace support
