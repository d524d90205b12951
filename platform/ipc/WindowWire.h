// The frames on a window socket: a little-endian u32 with the length of the body, then the body.
// Two request bodies (u32 msg, u64 wParam, i64 lParam; the same followed by two u16 block
// handles) and one answer body (i64 result). A reader rejects any length it does not know, so it
// never waits for, or reads, more than it can hold.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/ipc/WindowRequest.h"

namespace winlink::wire {

constexpr std::size_t kHeader = 4;
constexpr std::uint32_t kRequestBody = 4 + 8 + 8;
constexpr std::uint32_t kBlockRequestBody = kRequestBody + 2 + 2;
constexpr std::size_t kRequestFrame = kHeader + kRequestBody;
// The largest frame a server reads.
constexpr std::size_t kMaxRequestFrame = kHeader + kBlockRequestBody;
constexpr std::uint32_t kAnswerBody = 8;
constexpr std::size_t kAnswerFrame = kHeader + kAnswerBody;
// A request carries at most one descriptor per block.
constexpr std::size_t kMaxFdsPerRequest = 2;

// The whole frame's length for the length field of a request; 0 for a length no request has.
std::size_t RequestFrameLength(const unsigned char* header);
// Encodes a request; with blocks when one of them has a handle. Returns the frame's length.
std::size_t EncodeRequest(const Request& request, unsigned char (&frame)[kMaxRequestFrame]);
// Decodes a whole frame of `length` bytes (as RequestFrameLength gave). The blocks get the
// descriptors in `fds` in the order of their nonzero handles; a handle without one gets -1.
bool DecodeRequest(const unsigned char* frame, std::size_t length, const int* fds,
                   std::size_t fdCount, Request& request);

void EncodeAnswer(LRESULT result, unsigned char (&frame)[kAnswerFrame]);
// True when the first `length` bytes can begin an answer (the length field, once there, is
// the answer's).
bool AnswerHeaderValid(const unsigned char* frame, std::size_t length);
// The result of a whole answer frame.
LRESULT DecodeAnswer(const unsigned char (&frame)[kAnswerFrame]);

}  // namespace winlink::wire
