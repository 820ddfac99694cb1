#pragma once
// The support log: one line per event that explains what Brelkin did and why
// the button may do nothing. Callers anywhere (device, settings, shell) write
// events; the log adds the time stamp and keeps the file small.
#include <cstdint>
#include <string>
#include <string_view>

namespace brelkin {

class ISupportLog {
public:
    virtual ~ISupportLog() = default;
    // One event in UTF-8, without time stamp or line end. Never fails in a
    // way the caller sees: a log that cannot be written loses the line.
    virtual void Write(std::string_view event) = 0;
};

// Where the lines go: the current file and the one older file kept beside it.
class ILogStore {
public:
    virtual ~ILogStore() = default;
    // Bytes in the current file; 0 when it does not exist or cannot be read.
    virtual uint64_t Size() = 0;
    virtual bool Append(std::string_view bytes) = 0;
    // The current file becomes the older one, replacing it; the next append
    // starts a new current file.
    virtual bool Rotate() = 0;
    // Empties the current file in place: what is left when it cannot be
    // rotated (the older file held open by a program that does not share
    // deleting). True when the current file is empty afterwards.
    virtual bool Truncate() = 0;
    // The local time of the line about to be written.
    virtual std::string Timestamp() = 0;
};

class NullSupportLog final : public ISupportLog {
public:
    void Write(std::string_view) override {}
};

}  // namespace brelkin
