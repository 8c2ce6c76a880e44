#pragma once
// Results of engine calls: HRESULT values, as Direct3D, D3DX and DirectInput return them. Shared by
// every engine library; it depends on nothing.
#include <cstdint>

namespace velor {

enum class Result : uint32_t {
    Ok = 0,
    Fail = 0x80004005,
    OutOfMemory = 0x8007000E,
    InvalidCall = 0x8876086C,
    NotAvailable = 0x8876091A,
    DeviceLost = 0x88760868,
    DeviceNotReset = 0x88760869,
    DriverInternalError = 0x88760827,
    InvalidData = 0x88760B59,  // D3DXERR_INVALIDDATA: a file or value that cannot be read
};
inline bool Succeeded(Result r) { return r == Result::Ok; }
inline bool Failed(Result r) { return r != Result::Ok; }

}  // namespace velor
