// What every backend of the port seam promises the screens, checked alike on the tests' fake, on
// the POSIX backend with a pseudo-terminal behind COM1 and on the Windows backend under Wine:
// the names and handles, the line settings as they are read back, the events and their initial
// state, writes and their completion, replies in the input queue, and the close. Each backend
// gives its own error codes; COM1 is present and free, COM2 missing.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "port_calls.h"

namespace porttest {

struct Contract {
    // busy: kSuccess where a second open gets through (Wine's ports).
    ports::ErrorCode missing, busy, badHandle, invalid, waitTimedOut;
    // The far end of COM1: what it received since the last call (waiting, bounded, for
    // `count` bytes), and bytes it sends back.
    std::function<Bytes(std::size_t count)> receive;
    std::function<void(const Bytes&)> send;
};

inline ports::CommDcb stateOf(ports::PortSystem& system, ports::Handle h) {
    ports::CommDcb dcb;
    dcb.baudRate = 1;
    dcb.byteSize = 0;
    dcb.outX = dcb.inX = true;
    dcb.stopBits = ports::StopBits::OneAndHalf;
    EXPECT_EQ(system.getCommState(h, dcb), ports::kSuccess);
    return dcb;
}

inline void expectContract(ports::PortSystem& system, const Contract& c) {
    using ports::kSuccess;
    const ports::Handle h = open(system, "\\\\.\\COM1");
    ASSERT_GE(h, 1) << system.lastError();
    const ports::Handle twice = open(system, "COM1");
    if (c.busy == kSuccess) {
        EXPECT_EQ(system.closeHandle(twice), kSuccess);
    } else {
        EXPECT_EQ(twice, ports::kInvalidHandle) << "both spellings are one port";
        EXPECT_EQ(system.lastError(), c.busy);
    }
    EXPECT_EQ(open(system, "COM2"), ports::kInvalidHandle);
    EXPECT_EQ(system.lastError(), c.missing);

    // The settings a screen asks for are the ones read back, whatever the block held before.
    EXPECT_EQ(setUp(system, h, "COM1:0,n,8,1"), c.invalid) << "0 is no line speed";
    ASSERT_EQ(setUp(system, h, "COM1:4800,n,8,1"), kSuccess);
    ports::CommDcb dcb = stateOf(system, h);
    EXPECT_EQ(dcb.baudRate, 4800u);
    EXPECT_TRUE(dcb.byteSize == 8 && dcb.parity == ports::Parity::None &&
                dcb.stopBits == ports::StopBits::One);
    EXPECT_FALSE(dcb.outxCtsFlow || dcb.outxDsrFlow || dcb.outX || dcb.inX);
    dcb.stopBits = ports::StopBits::Two;
    dcb.outX = true;
    ASSERT_EQ(system.setCommState(h, dcb), kSuccess);
    dcb = stateOf(system, h);
    EXPECT_TRUE(dcb.stopBits == ports::StopBits::Two && dcb.outX && !dcb.inX);
    dcb.stopBits = ports::StopBits::One;
    dcb.outX = false;
    dcb.inX = true;
    ASSERT_EQ(system.setCommState(h, dcb), kSuccess);
    dcb = stateOf(system, h);
    EXPECT_TRUE(dcb.stopBits == ports::StopBits::One && !dcb.outX && dcb.inX);
    dcb.inX = false;
    ASSERT_EQ(system.setCommState(h, dcb), kSuccess);

    // Events: an unsignalled one times out; a signalled one ends a wait at once, every wait
    // when it resets by hand, the first alone when it resets itself.
    const ports::EventHandle quiet = system.createEvent(true, false, "0");
    const ports::EventHandle manual = system.createEvent(true, true, nullptr);
    const ports::EventHandle automatic = system.createEvent(false, true, nullptr);
    ASSERT_TRUE(quiet >= 1 && manual > quiet && automatic > manual);
    EXPECT_EQ(system.waitForSingleObject(quiet, 0), c.waitTimedOut);
    for (const auto& [event, second] :
         {std::pair{manual, kSuccess}, std::pair{automatic, c.waitTimedOut}}) {
        EXPECT_EQ(system.waitForSingleObject(event, 0), kSuccess) << event;
        EXPECT_EQ(system.waitForSingleObject(event, 0), second) << event;
        EXPECT_EQ(system.closeEvent(event), kSuccess);
    }

    // Writes arrive as written and end before they return, signalling the record's event.
    ports::WriteOverlapped overlapped;
    overlapped.event = quiet;
    std::uint32_t count = 0;
    for (const Bytes& bytes : {Bytes{0x0A}, Bytes{0x1B, 'p', 0, 0xFF, 0x11, 0x13}}) {
        ASSERT_EQ(system.writeFile(h, bytes, count, &overlapped), kSuccess);
        EXPECT_EQ(c.receive(bytes.size()), bytes);
    }
    EXPECT_EQ(system.waitForSingleObject(quiet, 1000), kSuccess);
    count = 0;
    EXPECT_EQ(system.getOverlappedResult(h, overlapped, count, true), kSuccess);
    EXPECT_EQ(count, 6u);
    EXPECT_EQ(system.closeEvent(quiet), kSuccess);
    EXPECT_EQ(system.closeEvent(quiet), c.badHandle);

    // Replies wait in the input queue, counted, until read one by one or purged; a read never
    // waits for one.
    std::uint8_t byte = 0;
    std::uint32_t read = 9;
    EXPECT_EQ(system.readFile(h, byte, read, nullptr), ports::kTimedOut) << "a silent device";
    EXPECT_EQ(read, 0u);
    std::uint32_t errors = 0;
    ports::CommStat queues{9, 0};
    ASSERT_EQ(system.clearCommError(h, errors, queues), kSuccess);
    EXPECT_EQ(queues.inQueue, 0u);
    c.send({0x16, 0x12});
    for (int look = 0; look < 200 && queues.inQueue < 2; ++look) {
        ASSERT_EQ(system.clearCommError(h, errors, queues), kSuccess);
        if (queues.inQueue < 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));  // on their way
    }
    EXPECT_EQ(queues.inQueue, 2u);
    EXPECT_EQ(system.purgeComm(h, ports::kPurgeTxClear), kSuccess);  // the output alone
    EXPECT_EQ(system.readFile(h, byte, read, nullptr), kSuccess);
    EXPECT_EQ(std::pair(byte, read), std::pair(std::uint8_t{0x16}, 1u));
    EXPECT_EQ(system.purgeComm(h, ports::kPurgeRxClear), kSuccess);
    EXPECT_EQ(system.readFile(h, byte, read, nullptr), ports::kTimedOut);

    // A closed handle is closed for good, and never reaches a later port.
    ASSERT_EQ(system.closeHandle(h), kSuccess);
    EXPECT_EQ(system.closeHandle(h), c.badHandle);
    EXPECT_EQ(system.setupComm(h, 512, 512), c.badHandle);
    std::uint32_t written = 9;
    EXPECT_EQ(write(system, h, {0x41}, &written), c.badHandle);
    EXPECT_EQ(system.lastError(), c.badHandle);
    EXPECT_EQ(written, 0u);
    read = 9;
    EXPECT_EQ(system.readFile(h, byte, read, nullptr), c.badHandle);
    EXPECT_EQ(read, 0u);
    const ports::Handle next = open(system, "COM1");
    EXPECT_GT(next, h);
    EXPECT_EQ(system.closeHandle(next), kSuccess);
}

}  // namespace porttest
