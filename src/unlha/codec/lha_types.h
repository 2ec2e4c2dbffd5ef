// SPDX-License-Identifier: GPL-3.0-or-later
// Shared vocabulary of the LHA codec: methods, errors and the byte stream interfaces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace lha {

enum class Method { Lh0, Lh4, Lh5, Lh6, Lh7, Directory };

// Parameters of one sliding-dictionary method. Offsets are coded as a position slot q (a Huffman symbol
// below `np`) followed by q - 1 raw bits, so the largest offset is 2^(np - 2) - 1.
struct MethodParams {
    unsigned dictBits;   // log2 of the dictionary size
    unsigned np;         // number of position slots
    unsigned pbit;       // width of the slot-table count field
};

MethodParams methodParams(Method m);
const char* methodId(Method m);            // "-lh5-" etc.
bool parseMethodId(const std::uint8_t* id5, Method& out);

// Failure classes reported to the caller of the archiver; the numbers are the library's return codes.
enum class ErrorCode : int {
    BadCommand = 1,
    CannotRead = 2,
    CannotWrite = 3,
    BadHeader = 4,
    BadData = 5,
    UnsupportedMethod = 6,
    TooLarge = 7,
    NoEntry = 8,
    Internal = 9,
};

class Error : public std::runtime_error {
public:
    Error(ErrorCode code, const std::string& what) : std::runtime_error(what), code_(code) {}
    ErrorCode code() const { return code_; }

private:
    ErrorCode code_;
};

// A source of bytes. read() returns the number of bytes stored (0 only at the end); it throws Error on failure.
class Reader {
public:
    virtual ~Reader() = default;
    virtual std::size_t read(std::uint8_t* buf, std::size_t size) = 0;
};

// A source that can start over, needed when a packed file has to be stored instead.
class Source : public Reader {
public:
    virtual void rewind() = 0;
};

class Writer {
public:
    virtual ~Writer() = default;
    virtual void write(const std::uint8_t* data, std::size_t size) = 0;
};

// An output that can go back, to fill in the header once sizes and checksum are known.
class Target : public Writer {
public:
    virtual std::uint64_t tell() = 0;
    virtual void seek(std::uint64_t pos) = 0;
    virtual void truncateHere() = 0;
};

// Reads until `size` bytes are stored or the input ends; returns the count stored.
std::size_t readFully(Reader& in, std::uint8_t* buf, std::size_t size);

} // namespace lha
