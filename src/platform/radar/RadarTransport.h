#pragma once
// The link between the device library and a module: a serial port or the built-in
// simulated module. A transport delivers what the module sends into the
// CIncomingByteQueue it was made with, from its own thread; destroying it stops that
// thread, after which nothing more is delivered.
#include <cstddef>
#include <cstdint>

class IRadarTransport {
public:
    virtual ~IRadarTransport() = default;
    // Hands bytes to the module. False when the link cannot take them: it has failed,
    // or its thread did not accept them within timeoutMs.
    virtual bool Write(const std::uint8_t* data, std::size_t size, int timeoutMs) = 0;
};
